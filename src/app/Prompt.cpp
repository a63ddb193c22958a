#include "app/Prompt.h"

#include "app/Host.h"

#include <charconv>
#include <cmath>

namespace daubix::app {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string askText(Host& host, const std::string& caption, const std::string& prompt, const std::string& initial)
{
    return host.askText(caption, prompt, initial).value_or(initial);
}

std::optional<int> parseInteger(std::string_view text)
{
    text = trimmed(text);
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

std::optional<double> parseReal(std::string_view text)
{
    std::string point(trimmed(text));
    for (char& c : point)
        if (c == ',')
            c = '.';
    double v = 0;
    const auto [end, ec] = std::from_chars(point.data(), point.data() + point.size(), v);
    if (point.empty() || ec != std::errc() || end != point.data() + point.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string dialogFilter(std::string_view classic)
{
    std::string out;
    while (!classic.empty()) {
        const auto bar = classic.find('|');
        const std::string_view name = classic.substr(0, bar);
        std::string_view globs = bar == std::string_view::npos ? std::string_view() : classic.substr(bar + 1);
        const auto next = globs.find('|');
        classic = next == std::string_view::npos ? std::string_view() : globs.substr(next + 1);
        globs = globs.substr(0, next);
        if (!out.empty())
            out += ";;";
        out += std::string(name) + " (";
        for (const char c : globs)
            out += c == ';' ? ' ' : c;
        out += ")";
    }
    return out;
}

} // namespace daubix::app
