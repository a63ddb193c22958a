#pragma once

#include "script/Highlighter.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>
#include <vector>

namespace daubix::ui {

// The script editor's highlighter: each block goes through the core classifier, with the open comment
// carried from block to block as Qt's block state. Qt calls it only for the blocks an edit touched and
// for those after them whose incoming state changed.
class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    ScriptHighlighter(QTextDocument* document, script::HighlighterSettings settings);

protected:
    void highlightBlock(const QString& text) override;

private:
    script::Highlighter m_highlighter;
    std::array<QTextCharFormat, script::kTokenKindCount> m_formats; // by token kind, built once
    std::vector<script::TokenRun> m_runs; // reused from block to block
};

} // namespace daubix::ui
