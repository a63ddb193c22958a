#include "app/ScriptEditor.h"

#include <algorithm>

namespace daubix::app {

std::string editorText(std::string_view fileText)
{
    std::string out;
    out.reserve(fileText.size() + fileText.size() / 16);
    for (std::size_t i = 0; i < fileText.size(); ++i) {
        const char c = fileText[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < fileText.size() && fileText[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::size_t editorCharacterOffset(std::string_view text, std::size_t byte)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size() && i < byte;) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 1, counts = 1;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            length = 2;
        else if (c >= 0xF0)
            length = 4, counts = 2;
        else if (c >= 0xE0)
            length = 3;
        else if (c >= 0xC0)
            length = 2;
        if (i + length > byte)
            break; // inside the break or the sequence: at its start
        i += length;
        units += counts;
    }
    return units;
}

void MemoryScriptEditor::setText(const std::string& text)
{
    m_text = editorText(text);
    m_anchor = m_caret = 0;
}

std::string MemoryScriptEditor::selectedText() const
{
    const auto [from, to] = std::minmax(m_anchor, m_caret);
    return m_text.substr(from, to - from);
}

void MemoryScriptEditor::replaceSelection(const std::string& text)
{
    const auto [from, to] = std::minmax(m_anchor, m_caret);
    const std::string inserted = editorText(text);
    m_text.replace(from, to - from, inserted);
    m_anchor = m_caret = from + inserted.size();
}

void MemoryScriptEditor::select(std::size_t from, std::size_t to)
{
    m_anchor = std::min(from, m_text.size());
    m_caret = std::min(to, m_text.size());
}

} // namespace daubix::app
