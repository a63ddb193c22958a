#pragma once

#include "app/ScriptEditor.h"

#include <QWidget>

class QListWidget;
class QPlainTextEdit;
class QSplitter;

namespace daubix::app {
struct Document;
class Host;
class IniFile;
} // namespace daubix::app

namespace daubix::ui {

// The script window: the editor and, beside it, the script library. Made with the main window and only
// shown and hidden, so the text survives; it is the editor the Script menu's commands work on.
class TDaubixScriptF : public QWidget, public app::ScriptEditor {
    Q_OBJECT
public:
    // Reads the library from the program folder and takes its place from the settings.
    TDaubixScriptF(app::Document& doc, app::Host& host, const std::string& programFolder, const app::IniFile& ini,
        QWidget* parent);

    // Where the window stands, for the settings file.
    void savePlacement(app::IniFile& ini) const;
    // The library's list as the document holds it.
    void showLibrary();

    bool showing() const override;
    void show() override;
    std::string text() const override;
    void setText(const std::string& text) override;
    std::string selectedText() const override;
    void replaceSelection(const std::string& text) override;
    void select(std::size_t from, std::size_t to) override;
    void focus() override;

signals:
    // F1 on the library: the help page at that anchor.
    void helpRequested(const QString& anchor);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    app::Document& m_doc;
    app::Host& m_host;
    std::string m_loadFailure; // said once, when the window first shows
    QPlainTextEdit* m_editor = nullptr;
    QListWidget* m_library = nullptr;
    QSplitter* m_splitter = nullptr;
};

} // namespace daubix::ui
