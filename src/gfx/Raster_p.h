#pragma once

// Internals shared by the canvas's drawing files: spans, the raster-operation pixel writer and exact
// integer helpers. Not part of the raster layer's interface.

#include "gfx/Canvas.h"
#include "gfx/Text.h"

#include <cstdint>
#include <span>
#include <vector>

namespace daubix::gfx::detail {

// Sorts by row and position and merges overlapping or touching spans, so that every pixel appears once.
void normalizeSpans(std::vector<Span>& spans);
// The pixels of a that are not in b; both normalised. The result is normalised.
std::vector<Span> subtractSpans(const std::vector<Span>& a, const std::vector<Span>& b);
// The pixels inside a polygon by the alternate rule: rows sampled at whole pixels, an edge counting from
// its upper end to just above its lower end, each run from the left crossing rounded up to just before the
// right crossing rounded up. Rows outside 0 .. height-1 are left out.
std::vector<Span> polygonSpans(std::span<const PointF> points, int height);
std::vector<Span> polygonSpans(std::span<const Point> points, int height);
// The pixels inside several closed contours filled together (counts[i] points each, cut short at the
// points given), sampled as polygonSpans samples, by either rule. Rows outside 0 .. height-1 are left
// out; normalised.
std::vector<Span> polyPolygonSpans(
    std::span<const Point> points, std::span<const int> counts, int height, FillRule rule);
// The filled ellipse of the box (right and bottom exclusive): its outline pixels and what lies between,
// rows -1 .. height only, columns clamped to -2 .. width + 2. Not normalised.
std::vector<Span> filledEllipseSpans(
    std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int width, int height);
// Keeps only what lies inside the bitmap.
void clipSpans(std::vector<Span>& spans, int width, int height);

constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Writes one colour through a binary raster operation. On palette bitmaps the colour becomes its nearest
// index and the operation works on indices.
class PixelWriter {
public:
    PixelWriter(Bitmap& target, PenMode mode, Color color);

    void plot(int x, int y)
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(m_width)
            && static_cast<unsigned>(y) < static_cast<unsigned>(m_height))
            plotInside(x, y);
    }
    void plotInside(int x, int y);
    // Pixels x0 .. x1-1 of row y, clipped.
    void span(int y, int x0, int x1);
    void spans(const std::vector<Span>& spans);

private:
    Bitmap& m_target;
    PenMode m_mode;
    std::uint32_t m_raw;
    std::uint8_t m_bgr[3];
    std::uint32_t m_mask;
    int m_width;
    int m_height;
    bool m_is24;
};

// Paints spans with a brush through a binary raster operation: solid colours, hatches (lines only, the
// gaps in hatchGap when given, else untouched) and patterns, all anchored to the bitmap's origin. A clear
// brush paints nothing.
void paintBrushSpans(Bitmap& target, PenMode mode, const Brush& brush, const std::vector<Span>& spans,
    std::optional<Color> hatchGap = std::nullopt);

} // namespace daubix::gfx::detail
