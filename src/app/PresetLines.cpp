#include "app/PresetLines.h"

#include "app/TextCase.h"

namespace daubix::app {

std::string_view presetName(std::string_view line)
{
    return line.substr(0, line.find('='));
}

std::vector<std::string_view> presetValues(std::string_view line)
{
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || equals + 1 == line.size())
        return {};
    std::vector<std::string_view> values;
    std::string_view rest = line.substr(equals + 1);
    while (true) {
        const auto comma = rest.find(',');
        values.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos)
            return values;
        rest.remove_prefix(comma + 1);
    }
}

std::optional<int> findPreset(std::span<const std::string> lines, std::string_view name)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (sameIgnoringCase(presetName(lines[i]), name))
            return static_cast<int>(i);
    return std::nullopt;
}

std::vector<std::string> presetNames(std::span<const std::string> lines)
{
    std::vector<std::string> names;
    names.reserve(lines.size());
    for (const std::string& line : lines)
        names.emplace_back(presetName(line));
    return names;
}

std::vector<std::string> splitPresetLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            lines.emplace_back(line);
    }
    return lines;
}

std::string presetFileText(std::span<const std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

} // namespace daubix::app
