#include "ui/ScriptHighlighter.h"

#include <QColor>
#include <QFont>

namespace daubix::ui {

namespace {

QColor qcolor(gfx::Color c)
{
    const gfx::Color rgb = gfx::resolveColor(c);
    return QColor(gfx::red(rgb), gfx::green(rgb), gfx::blue(rgb));
}

// Attributes left at clNone leave the editor's own colour, so those formats stay empty.
QTextCharFormat charFormat(const script::TokenAttribute& attribute)
{
    QTextCharFormat f;
    if (attribute.bold)
        f.setFontWeight(QFont::Bold);
    if (attribute.italic)
        f.setFontItalic(true);
    if (attribute.underline)
        f.setFontUnderline(true);
    if (attribute.background != gfx::clNone)
        f.setBackground(qcolor(attribute.background));
    if (attribute.foreground != gfx::clNone)
        f.setForeground(qcolor(attribute.foreground));
    return f;
}

} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument* document, script::HighlighterSettings settings)
    : QSyntaxHighlighter(document)
    , m_highlighter(std::move(settings))
{
    for (std::size_t k = 0; k < m_formats.size(); ++k)
        m_formats[k] = charFormat(m_highlighter.settings().attributes[k]);
}

void ScriptHighlighter::highlightBlock(const QString& text)
{
    const std::u16string_view line(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    setCurrentBlockState(m_highlighter.classifyLine(line, previousBlockState(), m_runs));
    for (const script::TokenRun& run : m_runs) {
        const QTextCharFormat& f = m_formats[static_cast<std::size_t>(run.kind)];
        if (!f.properties().isEmpty())
            setFormat(run.start, run.length, f);
    }
}

} // namespace daubix::ui
