#include "effects/FilterPresets.h"

#include "app/PresetLines.h"
#include "app/TextCase.h"

#include <algorithm>
#include <charconv>

namespace daubix::effects {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::int16_t> cellValue(std::string_view text)
{
    text = trimmed(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    // 64 bits, so that a long row of digits is out of range rather than unreadable.
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < INT16_MIN || v > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

bool nameBefore(std::string_view a, std::string_view b)
{
    return app::lessIgnoringCase(a, b);
}

} // namespace

gfx::Result<Matrix> readMatrixCells(const MatrixCells& cells)
{
    Matrix m{};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto v = cellValue(cells[i]);
        if (!v)
            return gfx::Error{"invalid integer in UserMatrix"};
        m[i] = *v;
    }
    return m;
}

gfx::Status presetIntoCells(std::string_view line, MatrixCells& cells)
{
    const std::vector<std::string_view> values = presetValues(line);
    const std::size_t count = std::min(values.size(), cells.size());
    for (std::size_t i = 0; i < count; ++i)
        cells[i] = values[i];
    if (count < cells.size())
        return gfx::Error{
            "preset \"" + std::string(presetName(line)) + "\" has " + std::to_string(count) + " of 25 values"};
    return {};
}

std::string presetLine(std::string_view name, const Matrix& matrix)
{
    std::string line(name);
    line += '=';
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        if (i > 0)
            line += ',';
        line += std::to_string(matrix[i]);
    }
    return line;
}

gfx::Status checkPresetName(std::string_view name)
{
    const bool bad = std::ranges::any_of(name, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == '=' || u < 0x20 || u == 0x7F;
    });
    if (bad)
        return gfx::Error{"a filter name cannot contain \"=\" or control characters"};
    return {};
}

void sortPresets(std::vector<std::string>& lines)
{
    std::ranges::stable_sort(
        lines, [](const std::string& a, const std::string& b) { return nameBefore(presetName(a), presetName(b)); });
}

int insertPreset(std::vector<std::string>& lines, std::string line)
{
    const std::string_view name = presetName(line);
    const auto at
        = std::ranges::upper_bound(lines, name, nameBefore, [](const std::string& l) { return presetName(l); });
    // The insertion may move the list, so its start is taken only afterwards.
    const auto inserted = lines.insert(at, std::move(line));
    return static_cast<int>(inserted - lines.begin());
}

std::vector<std::string> parsePresetFile(std::string_view text)
{
    std::vector<std::string> lines = app::splitPresetLines(text);
    sortPresets(lines);
    return lines;
}

} // namespace daubix::effects
