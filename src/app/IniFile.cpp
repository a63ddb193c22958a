#include "app/IniFile.h"

#include "app/TextCase.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace daubix::app {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

} // namespace

IniFile IniFile::parse(std::string_view text)
{
    IniFile ini;
    Section* current = nullptr;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = trim(line.substr(1, line.size() - 2));
            current = ini.find(name);
            if (!current) {
                ini.m_sections.push_back({std::string(name), {}, {}});
                current = &ini.m_sections.back();
            }
            continue;
        }
        if (!current)
            continue;
        current->lines.emplace_back(line);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        ini.write(current->name, trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
        current = ini.find(current->name); // the vector may have moved
    }
    return ini;
}

std::string IniFile::text() const
{
    std::string out;
    for (const Section& s : m_sections) {
        out += "[" + s.name + "]\n";
        for (const auto& [key, value] : s.entries)
            out += key + "=" + value + "\n";
        out += "\n";
    }
    return out;
}

IniFile::Section* IniFile::find(std::string_view section)
{
    for (Section& s : m_sections)
        if (sameIgnoringCase(s.name, section))
            return &s;
    return nullptr;
}

const IniFile::Section* IniFile::find(std::string_view section) const
{
    for (const Section& s : m_sections)
        if (sameIgnoringCase(s.name, section))
            return &s;
    return nullptr;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    if (const Section* s = find(section))
        for (const auto& [k, v] : s->entries)
            if (sameIgnoringCase(k, key))
                return v;
    return std::nullopt;
}

int IniFile::readInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::optional<std::string> text = value(section, key);
    if (!text || text->empty())
        return defaultValue;
    std::string_view digits = *text;
    bool negative = false;
    if (digits.front() == '-' || digits.front() == '+') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    long long v = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return defaultValue;
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX)
        return defaultValue;
    return static_cast<int>(v);
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    return value(section, key).value_or(std::string(defaultValue));
}

std::vector<std::string> IniFile::sectionLines(std::string_view section) const
{
    const Section* s = find(section);
    return s ? s->lines : std::vector<std::string>{};
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value)
{
    Section* s = find(section);
    if (!s) {
        m_sections.push_back({std::string(section), {}, {}});
        s = &m_sections.back();
    }
    for (auto& [k, v] : s->entries)
        if (sameIgnoringCase(k, key)) {
            v = value;
            return;
        }
    s->entries.emplace_back(std::string(key), std::string(value));
}

void IniFile::writeInt(std::string_view section, std::string_view key, int value)
{
    write(section, key, std::to_string(value));
}

} // namespace daubix::app
