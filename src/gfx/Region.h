#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"

#include <climits>
#include <span>
#include <vector>

namespace daubix::gfx {

// Pixels x0 .. x1 - 1 of row y.
struct RowSpan {
    int y = 0;
    int x0 = 0;
    int x1 = 0;
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};

// A clip region on a bitmap of a given size, held as row spans (top row first, left to right, none empty
// and no two touching), so that copying through it moves whole runs and never tests a pixel.
class Region {
public:
    Region() = default;
    // The pixels that Canvas::ellipse fills with its brush for the box (right and bottom exclusive) when
    // the pen is clear, on a width x height bitmap.
    static Region ellipse(const Rect& box, int width, int height);
    // The pixels that Canvas::polygon fills with its brush (alternate rule) when the pen is clear; for a
    // convex polygon the winding rule fills the same.
    static Region polygon(std::span<const Point> points, int width, int height);

    const std::vector<RowSpan>& spans() const { return m_spans; }

    // Copies the pixels of src inside the region to the same places in dst, in rows top .. bottom - 1
    // only, so that bands of rows can be copied at the same time. src and dst have the same pixel format
    // of 8 bits or more; whatever lies beyond either bitmap is left out.
    void copy(const Bitmap& src, Bitmap& dst, int top = 0, int bottom = INT_MAX) const;
    // Paints the pixels of dst outside the region with the colour (its nearest entry on a palette
    // bitmap), in rows top .. bottom - 1 only. dst has 8 bits a pixel or more.
    void fillOutside(Bitmap& dst, Color color, int top = 0, int bottom = INT_MAX) const;

private:
    std::vector<RowSpan> m_spans;
};

} // namespace daubix::gfx
