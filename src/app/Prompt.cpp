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

} // namespace daubix::app
