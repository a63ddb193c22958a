#include "gfx/Raster_p.h"

#include <algorithm>
#include <cstring>

namespace daubix::gfx::detail {

void normalizeSpans(std::vector<Span>& spans)
{
    std::erase_if(spans, [](const Span& s) { return s.x1 <= s.x0; });
    std::sort(
        spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
    std::size_t out = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (out > 0 && spans[out - 1].y == spans[i].y && spans[i].x0 <= spans[out - 1].x1) {
            spans[out - 1].x1 = std::max(spans[out - 1].x1, spans[i].x1);
            continue;
        }
        spans[out++] = spans[i];
    }
    spans.resize(out);
}

std::vector<Span> subtractSpans(const std::vector<Span>& a, const std::vector<Span>& b)
{
    std::vector<Span> out;
    std::size_t j = 0;
    for (const Span& s : a) {
        while (j < b.size() && (b[j].y < s.y || (b[j].y == s.y && b[j].x1 <= s.x0)))
            ++j;
        int x = s.x0;
        for (std::size_t k = j; k < b.size() && b[k].y == s.y && b[k].x0 < s.x1; ++k) {
            if (b[k].x0 > x)
                out.push_back({s.y, x, b[k].x0});
            x = std::max(x, b[k].x1);
        }
        if (x < s.x1)
            out.push_back({s.y, x, s.x1});
    }
    return out;
}

void clipSpans(std::vector<Span>& spans, int width, int height)
{
    for (Span& s : spans) {
        s.x0 = std::max(s.x0, 0);
        s.x1 = std::min(s.x1, width);
        if (s.y < 0 || s.y >= height)
            s.x1 = s.x0;
    }
    std::erase_if(spans, [](const Span& s) { return s.x1 <= s.x0; });
}

PixelWriter::PixelWriter(Bitmap& target, PenMode mode, Color color)
    : m_target(target)
    , m_mode(mode)
    , m_raw(target.rawFromColor(resolveColor(color)))
    , m_bgr{static_cast<std::uint8_t>(blue(resolveColor(color))), static_cast<std::uint8_t>(green(resolveColor(color))),
          static_cast<std::uint8_t>(red(resolveColor(color)))}
    , m_mask(target.bitsPerPixel() >= 24 ? 0xFFFFFFu : (1u << target.bitsPerPixel()) - 1)
    , m_width(target.width())
    , m_height(target.height())
    , m_is24(target.format() == PixelFormat::Bits24)
{
}

void PixelWriter::plotInside(int x, int y)
{
    if (m_is24) {
        std::uint8_t* p = m_target.scanLine(y) + static_cast<std::size_t>(x) * 3;
        if (m_mode == PenMode::Copy) {
            p[0] = m_bgr[0], p[1] = m_bgr[1], p[2] = m_bgr[2];
            return;
        }
        for (int i = 0; i < 3; ++i)
            p[i] = static_cast<std::uint8_t>(applyRop2(m_mode, m_bgr[i], p[i]));
        return;
    }
    m_target.setRawPixel(x, y, applyRop2(m_mode, m_raw, m_target.rawPixel(x, y)) & m_mask);
}

void PixelWriter::span(int y, int x0, int x1)
{
    if (y < 0 || y >= m_height)
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_width);
    if (x0 >= x1)
        return;
    if (!m_is24) {
        for (int x = x0; x < x1; ++x)
            plotInside(x, y);
        return;
    }
    std::uint8_t* p = m_target.scanLine(y) + static_cast<std::size_t>(x0) * 3;
    const int n = x1 - x0;
    if (m_mode == PenMode::Copy) {
        // One pixel, then the filled part copied onto the rest, doubling each time.
        p[0] = m_bgr[0], p[1] = m_bgr[1], p[2] = m_bgr[2];
        const std::size_t total = static_cast<std::size_t>(n) * 3;
        for (std::size_t done = 3; done < total;) {
            const std::size_t chunk = std::min(done, total - done);
            std::memcpy(p + done, p, chunk);
            done += chunk;
        }
        return;
    }
    for (int i = 0; i < n; ++i, p += 3)
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>(applyRop2(m_mode, m_bgr[c], p[c]));
}

void PixelWriter::spans(const std::vector<Span>& spans)
{
    for (const Span& s : spans)
        span(s.y, s.x0, s.x1);
}

void paintBrushSpans(
    Bitmap& target, PenMode mode, const Brush& brush, const std::vector<Span>& spans, std::optional<Color> hatchGap)
{
    if (!brush.pattern() && brush.style() == BrushStyle::Clear)
        return;
    if (!brush.pattern() && brush.style() == BrushStyle::Solid) {
        PixelWriter(target, mode, brush.color()).spans(spans);
        return;
    }
    for (const Span& s : spans) {
        if (s.y < 0 || s.y >= target.height())
            continue;
        const int x0 = std::max(s.x0, 0), x1 = std::min(s.x1, target.width());
        for (int x = x0; x < x1; ++x) {
            const auto c = brush.colorAt(x, s.y);
            if (c)
                PixelWriter(target, mode, *c).plotInside(x, s.y);
            else if (hatchGap)
                PixelWriter(target, mode, *hatchGap).plotInside(x, s.y);
        }
    }
}

} // namespace daubix::gfx::detail
