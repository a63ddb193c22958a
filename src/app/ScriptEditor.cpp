#include "app/ScriptEditor.h"

#include "app/Windows1252.h"

#include <algorithm>

namespace daubix::app {

namespace {

bool validUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        std::uint32_t code = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = code << 6 | (d & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(n);
    }
    return true;
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string utf8FromScriptBytes(std::string_view bytes)
{
    if (validUtf8(bytes))
        return std::string(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, fromWindows1252(c));
    }
    return out;
}


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

// Where the window's caret would stand for a byte position: at the start of a character, before a CR LF.
std::size_t characterStart(std::string_view text, std::size_t byte)
{
    byte = std::min(byte, text.size());
    while (byte > 0 && byte < text.size() && (static_cast<unsigned char>(text[byte]) & 0xC0) == 0x80)
        --byte;
    if (byte > 0 && byte < text.size() && text[byte] == '\n' && text[byte - 1] == '\r')
        --byte;
    return byte;
}

void MemoryScriptEditor::select(std::size_t from, std::size_t to)
{
    m_anchor = characterStart(m_text, from);
    m_caret = characterStart(m_text, to);
}

} // namespace daubix::app
