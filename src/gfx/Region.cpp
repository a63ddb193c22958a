#include "gfx/Region.h"

#include "gfx/Raster_p.h"

#include <algorithm>
#include <cstring>

namespace daubix::gfx {

namespace {

std::vector<RowSpan> rowSpans(const std::vector<detail::Span>& spans)
{
    std::vector<RowSpan> rows(spans.size());
    std::transform(spans.begin(), spans.end(), rows.begin(), [](const detail::Span& s) {
        return RowSpan{s.y, s.x0, s.x1};
    });
    return rows;
}

} // namespace

// Both shapes take the very spans the canvas paints, clipped as it clips them, so that a clipped copy
// and a filled figure cover the same pixels.
Region Region::ellipse(const Rect& box, int width, int height)
{
    Region region;
    const Rect b = box.normalized();
    if (b.isEmpty())
        return region;
    std::vector<detail::Span> spans = detail::filledEllipseSpans(b.left, b.top, b.right, b.bottom, width, height);
    detail::normalizeSpans(spans);
    detail::clipSpans(spans, width, height);
    region.m_spans = rowSpans(spans);
    return region;
}

Region Region::polygon(std::span<const Point> points, int width, int height)
{
    Region region;
    if (points.empty())
        return region;
    std::vector<detail::Span> spans = detail::polygonSpans(points, height);
    detail::clipSpans(spans, width, height);
    region.m_spans = rowSpans(spans);
    return region;
}

void Region::copy(const Bitmap& src, Bitmap& dst, int top, int bottom) const
{
    if (src.format() != dst.format() || src.bitsPerPixel() < 8)
        return;
    const std::size_t bytes = static_cast<std::size_t>(src.bitsPerPixel() / 8);
    top = std::max(top, 0);
    bottom = std::min({bottom, src.height(), dst.height()});
    const int width = std::min(src.width(), dst.width());
    auto span
        = std::lower_bound(m_spans.begin(), m_spans.end(), top, [](const RowSpan& s, int row) { return s.y < row; });
    for (; span != m_spans.end() && span->y < bottom; ++span) {
        const int x0 = std::max(span->x0, 0), x1 = std::min(span->x1, width);
        if (x0 < x1)
            std::memcpy(dst.scanLine(span->y) + static_cast<std::size_t>(x0) * bytes,
                src.scanLine(span->y) + static_cast<std::size_t>(x0) * bytes,
                static_cast<std::size_t>(x1 - x0) * bytes);
    }
}

// The gaps of each row are copied from one row painted in the colour beforehand.
void Region::fillOutside(Bitmap& dst, Color color, int top, int bottom) const
{
    if (dst.bitsPerPixel() < 8 || dst.isEmpty())
        return;
    const std::size_t bytes = static_cast<std::size_t>(dst.bitsPerPixel() / 8);
    const int width = dst.width();
    top = std::max(top, 0);
    bottom = std::min(bottom, dst.height());
    if (top >= bottom)
        return;
    Bitmap painted(width, 1, dst.format());
    painted.setPalette(dst.palette());
    painted.fill(color);
    const auto paint = [&](int y, int x0, int x1) {
        if (x0 < x1)
            std::memcpy(dst.scanLine(y) + static_cast<std::size_t>(x0) * bytes, painted.scanLine(0),
                static_cast<std::size_t>(x1 - x0) * bytes);
    };
    auto span
        = std::lower_bound(m_spans.begin(), m_spans.end(), top, [](const RowSpan& s, int row) { return s.y < row; });
    for (int y = top; y < bottom; ++y) {
        int x = 0;
        for (; span != m_spans.end() && span->y == y; ++span) {
            paint(y, x, std::min(span->x0, width));
            x = std::max(x, std::min(span->x1, width));
        }
        paint(y, x, width);
    }
}

} // namespace daubix::gfx
