#include "script/ScriptLibrary.h"

#include "app/TextCase.h"
#include "io/FileWriter.h"

#include <algorithm>
#include <filesystem>

namespace daubix::script {

namespace {

bool entryBefore(std::string_view a, std::string_view b)
{
    return app::lessIgnoringCase(a, b);
}

// The length of a line break at i (CR LF, CR, LF, and U+2028 and U+2029 in UTF-8), or 0.
std::size_t breakAt(std::string_view s, std::size_t i)
{
    if (s[i] == '\r')
        return i + 1 < s.size() && s[i + 1] == '\n' ? 2 : 1;
    if (s[i] == '\n')
        return 1;
    if (s.substr(i, 3) == "\xE2\x80\xA8" || s.substr(i, 3) == "\xE2\x80\xA9")
        return 3;
    return 0;
}

} // namespace

std::string_view ScriptLibrary::tag(std::string_view entry)
{
    return entry.substr(0, entry.find('='));
}

std::string ScriptLibrary::script(std::string_view entry)
{
    const auto equals = entry.find('=');
    if (equals == std::string_view::npos)
        return {};
    std::string out;
    const std::string_view s = entry.substr(equals + 1);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '~' && i + 1 < s.size() && s[i + 1] == '~') {
            out += "\r\n";
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string ScriptLibrary::entryFor(std::string_view tag, std::string_view selection)
{
    std::string entry(tag);
    entry += '=';
    for (std::size_t i = 0; i < selection.size();) {
        if (const std::size_t n = breakAt(selection, i)) {
            entry += "~~";
            i += n;
        } else {
            entry += selection[i++];
        }
    }
    return entry;
}

bool ScriptLibrary::acceptableTag(std::string_view tag)
{
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (tag[i] == '=' || breakAt(tag, i))
            return false;
    return true;
}

gfx::Status ScriptLibrary::load(const std::string& path)
{
    m_entries.clear();
    m_selected = -1;
    m_path.clear();
    std::error_code error;
    if (std::filesystem::exists(path, error) || error) {
        auto bytes = io::readFile(path, kMaxScriptFileBytes);
        if (!bytes)
            return gfx::Error{bytes.error()};
        const std::string_view text(reinterpret_cast<const char*>(bytes.value().data()), bytes.value().size());
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = start;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n')
                ++end;
            if (end > start)
                m_entries.emplace_back(text.substr(start, end - start));
            start = end + (end < text.size() ? breakAt(text, end) : 0);
        }
        std::ranges::stable_sort(m_entries, entryBefore);
    }
    m_path = path;
    return {};
}

std::string ScriptLibrary::fileText() const
{
    std::string text;
    for (const std::string& entry : m_entries)
        text += entry + "\r\n";
    return text;
}

gfx::Status ScriptLibrary::save() const
{
    if (m_path.empty())
        return {};
    const std::string text = fileText();
    if (gfx::Status written
        = io::writeFileAtomically(m_path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        !written) {
        const std::string& message = written.error();
        const std::string lead = "Cannot write \"" + m_path + "\": ";
        return gfx::Error{"Cannot save the script library: "
            + (message.starts_with(lead) ? message.substr(lead.size()) : message)};
    }
    return {};
}

std::optional<int> ScriptLibrary::find(std::string_view wanted) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (tag(m_entries[i]) == wanted)
            return static_cast<int>(i);
    return std::nullopt;
}

int ScriptLibrary::insert(std::string entry)
{
    const auto at = std::ranges::upper_bound(m_entries, entry, entryBefore);
    const auto inserted = m_entries.insert(at, std::move(entry));
    const int index = static_cast<int>(inserted - m_entries.begin());
    if (m_selected >= index)
        ++m_selected;
    return index;
}

void ScriptLibrary::removeSelected()
{
    if (!hasSelection())
        return;
    m_entries.erase(m_entries.begin() + m_selected);
    m_selected = -1;
}

void ScriptLibrary::replaceSelected(std::string entry)
{
    if (!hasSelection())
        return;
    m_entries.erase(m_entries.begin() + m_selected);
    m_selected = -1;
    m_selected = insert(std::move(entry));
}

} // namespace daubix::script
