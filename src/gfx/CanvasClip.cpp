#include "gfx/Canvas.h"
#include "gfx/Raster_p.h"
#include "gfx/Text.h"

#include <cmath>

namespace daubix::gfx {

using detail::Span;

void Canvas::intersectClip(const Rect& box)
{
    if (!m_clip)
        m_clip.emplace(box);
    else
        m_clip->intersect(box);
}

void Canvas::excludeClip(const Rect& box)
{
    if (!m_clip)
        m_clip.emplace();
    m_clip->exclude(box);
}

void Canvas::applyClip(std::vector<Span>& spans) const
{
    if (!m_clip)
        return;
    std::vector<Span> inside;
    inside.reserve(spans.size());
    for (const Span& s : spans)
        m_clip->forEachPart(s.y, s.x0, s.x1, [&](int x0, int x1) { inside.push_back({s.y, x0, x1}); });
    spans = std::move(inside);
}

void Canvas::polyPolygon(std::span<const Point> points, std::span<const int> counts)
{
    Bitmap& target = *m_target;
    std::vector<Span> fill = detail::polyPolygonSpans(points, counts, target.height(), fillRule);
    detail::clipSpans(fill, target.width(), target.height());
    applyClip(fill);
    detail::paintBrushSpans(target, pen.mode, brush, fill, hatchBackground());
    std::size_t start = 0;
    for (const int count : counts) {
        const std::size_t n
            = std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), points.size() - start);
        if (n > 0)
            strokePath(points.subspan(start, n), true);
        start += n;
    }
}

// The reference point names a point of the text's cell: the cell's top-left lies back from it along the
// baseline and up across it, both turned with the font's angle.
void Canvas::textOut(int x, int y, std::string_view text)
{
    if (textAlign.horizontal == TextAlignH::Left && textAlign.vertical == TextAlignV::Top
        && !textAlign.updatePosition) {
        drawText(*m_target, font, x, y, text, background(), clipPointer());
        return;
    }
    if (textAlign.updatePosition) {
        x = penPos.x;
        y = penPos.y;
    }
    const TextExtent extent = textExtent(font, text);
    const double along = textAlign.horizontal == TextAlignH::Center ? extent.width / 2.0
        : textAlign.horizontal == TextAlignH::Right                 ? extent.width
                                                                    : 0.0;
    const double across = textAlign.vertical == TextAlignV::Baseline ? extent.ascent
        : textAlign.vertical == TextAlignV::Bottom                   ? extent.height
                                                                     : 0.0;
    const double radians = font.angle / 10.0 * M_PI / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const double left = x - along * c - across * s, top = y + along * s - across * c;
    drawText(*m_target, font, static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)), text,
        background(), clipPointer());
    if (textAlign.updatePosition) {
        const double advance = textAlign.horizontal == TextAlignH::Left ? extent.width
            : textAlign.horizontal == TextAlignH::Right                 ? -extent.width
                                                                        : 0.0;
        penPos = {static_cast<int>(std::lround(x + advance * c)), static_cast<int>(std::lround(y - advance * s))};
    }
}

} // namespace daubix::gfx
