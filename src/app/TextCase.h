#pragma once

// Case folding for the program's own words (file extensions, ini keys, effect, mode and colour names),
// which are ASCII; other bytes stay as they are.

#include <algorithm>
#include <string>
#include <string_view>

namespace daubix::app {

inline char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return lowerAscii(c); });
    return out;
}

inline bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

// Ordered as the program's sorted lists are: byte by byte with ASCII letters folded, bytes beyond ASCII
// after it.
inline bool lessIgnoringCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char p, char q) {
        return static_cast<unsigned char>(lowerAscii(p)) < static_cast<unsigned char>(lowerAscii(q));
    });
}

} // namespace daubix::app
