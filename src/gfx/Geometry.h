#pragma once

#include <algorithm>
#include <cstdint>

namespace daubix::gfx {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A box in pixels. right and bottom are exclusive: (l, t, r, b) covers columns l .. r-1 and rows t .. b-1.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // In 64 bits, so that boxes spanning the whole int range do not overflow.
    std::int64_t width() const { return std::int64_t{right} - left; }
    std::int64_t height() const { return std::int64_t{bottom} - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    Rect intersected(const Rect& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace daubix::gfx
