#pragma once

// The script editor as the commands see it. Its text is UTF-8 with every line break written CR LF, and
// positions count bytes of that text from 0, as the interpreter counts them; the window maps them to its
// own characters.

#include <cstddef>
#include <string>
#include <string_view>

namespace daubix::app {

// The text with each line break (LF, CR or CR LF) written CR LF.
std::string editorText(std::string_view fileText);
// A script's bytes as UTF-8: as they are when they are UTF-8 (a byte order mark dropped), else read as
// Windows-1252, the classic editor's code page.
std::string utf8FromScriptBytes(std::string_view bytes);

// A byte position of the editor's text as a window counts characters: UTF-16 units, each line break one.
// A position inside a UTF-8 sequence is that character's start; one between CR and LF is the line's end;
// beyond the text is its end.
std::size_t editorCharacterOffset(std::string_view text, std::size_t byte);

class ScriptEditor {
public:
    virtual ~ScriptEditor() = default;

    virtual bool showing() const = 0;
    virtual void show() = 0;
    virtual std::string text() const = 0;
    // Replaces the whole text (any line breaks), with the caret at the start.
    virtual void setText(const std::string& text) = 0;
    // Empty when nothing is selected.
    virtual std::string selectedText() const = 0;
    // The text (any line breaks) in place of the selection, as one step of the editor's undo; the caret
    // after it.
    virtual void replaceSelection(const std::string& text) = 0;
    // Selects from .. to (to exclusive), the caret at to; both are held within the text.
    virtual void select(std::size_t from, std::size_t to) = 0;
    virtual void setCaret(std::size_t position) { select(position, position); }
    virtual void focus() = 0;
};

// The editor without a window, for the command line and the tests.
class MemoryScriptEditor : public ScriptEditor {
public:
    bool showing() const override { return m_showing; }
    void show() override { m_showing = true; }
    void hide() { m_showing = false; }
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override;
    std::string selectedText() const override;
    void replaceSelection(const std::string& text) override;
    void select(std::size_t from, std::size_t to) override;
    void focus() override { }
    std::size_t caret() const { return m_caret; }
    std::size_t anchor() const { return m_anchor; }

private:
    std::string m_text;
    std::size_t m_anchor = 0;
    std::size_t m_caret = 0;
    bool m_showing = false;
};

} // namespace daubix::app
