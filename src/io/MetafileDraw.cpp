#include "io/MetafileReplay_p.h"

#include <cmath>

namespace daubix::io::detail {

namespace {

using Op = MetafileOp;

gfx::PenStyle penStyle(int style)
{
    switch (style & 0xF) {
    case 1:
        return gfx::PenStyle::Dash;
    case 2:
    case 8:
        return gfx::PenStyle::Dot; // PS_DOT, PS_ALTERNATE
    case 3:
        return gfx::PenStyle::DashDot;
    case 4:
        return gfx::PenStyle::DashDotDot;
    case 5:
        return gfx::PenStyle::Clear;
    case 6:
        return gfx::PenStyle::InsideFrame;
    default:
        return gfx::PenStyle::Solid;
    }
}

gfx::Brush canvasBrush(const BrushObject& b)
{
    static constexpr gfx::BrushStyle kHatches[] = {gfx::BrushStyle::Horizontal, gfx::BrushStyle::Vertical,
        gfx::BrushStyle::FDiagonal, gfx::BrushStyle::BDiagonal, gfx::BrushStyle::Cross, gfx::BrushStyle::DiagCross};
    gfx::Brush out;
    if (b.pattern) {
        out.setPattern(*b.pattern);
    } else if (b.style == 1) {
        out.setStyle(gfx::BrushStyle::Clear);
    } else {
        out.setColor(b.color);
        if (b.style == 2 && b.hatch >= 0 && b.hatch < 6)
            out.setStyle(kHatches[b.hatch]);
    }
    return out;
}

} // namespace

void Player::prepare()
{
    gfx::Pen& pen = m_canvas.pen;
    pen.color = m_dc.pen.color;
    pen.style = penStyle(m_dc.pen.style);
    pen.width = m_dc.pen.width <= 0 ? 1 : std::max(1, static_cast<int>(std::lround(lengthX(m_dc.pen.width))));
    pen.mode = static_cast<gfx::PenMode>(m_dc.rop2);
    if (m_brushChanged) {
        m_canvas.brush = canvasBrush(m_dc.brush);
        m_brushChanged = false;
    }
    m_canvas.fillRule = m_dc.fillMode == 2 ? gfx::FillRule::Winding : gfx::FillRule::Alternate;
    m_canvas.backgroundMode = m_dc.bkMode == 1 ? gfx::BackgroundMode::Transparent : gfx::BackgroundMode::Opaque;
    m_canvas.backgroundColor = m_dc.bkColor;
}

void Player::draw(MetafileOp op, Values v)
{
    if (m_inPath && addToPath(op, v))
        return;
    prepare();
    const std::size_t n = v.size() / 2;
    switch (op) {
    case Op::MoveTo:
        m_dc.position = {double(v[0]), double(v[1])};
        break;
    case Op::LineTo: {
        const gfx::Point from = pixel(toDevice(m_dc.position));
        m_canvas.moveTo(from.x, from.y);
        const gfx::Point to = pixelOf(v[0], v[1]);
        m_canvas.lineTo(to.x, to.y);
        m_dc.position = {double(v[0]), double(v[1])};
        break;
    }
    case Op::Polyline:
        m_canvas.polyline(pixels(v));
        break;
    case Op::Polygon:
        m_canvas.polygon(pixels(v));
        break;
    case Op::PolyBezier:
        m_canvas.polyBezier(pixels(v));
        break;
    case Op::PolylineTo:
    case Op::PolyBezierTo: {
        if (n == 0)
            break;
        std::vector<gfx::Point> points{pixel(toDevice(m_dc.position))};
        const std::vector<gfx::Point> rest = pixels(v);
        points.insert(points.end(), rest.begin(), rest.end());
        if (op == Op::PolylineTo)
            m_canvas.polyline(points);
        else
            m_canvas.polyBezier(points);
        m_dc.position = {double(v[2 * n - 2]), double(v[2 * n - 1])};
        break;
    }
    case Op::PolyPolygon:
    case Op::PolyPolyline: {
        const std::size_t polys = static_cast<std::size_t>(v[0]);
        const Values counts = v.subspan(1, polys);
        const std::vector<gfx::Point> points = pixels(v.subspan(1 + polys));
        if (op == Op::PolyPolygon) {
            m_canvas.polyPolygon(points, counts);
            break;
        }
        std::size_t start = 0;
        for (const std::int32_t count : counts) {
            const std::size_t k = std::min<std::size_t>(static_cast<std::uint32_t>(count), points.size() - start);
            m_canvas.polyline(std::span(points).subspan(start, k));
            start += k;
        }
        break;
    }
    case Op::SetPixel: {
        const gfx::Point p = pixelOf(v[0], v[1]);
        m_canvas.setPixel(p.x, p.y, static_cast<gfx::Color>(v[2]));
        break;
    }
    default:
        figure(op, v);
    }
}

// Box figures: drawn as the canvas draws them while the transform keeps axes apart, else as the
// polygon or polyline of their outline.
void Player::figure(MetafileOp op, Values v)
{
    const bool clockwise = m_dc.arcDirection == 2;
    if (!m_transform.axisAligned()) {
        const double perUnit = std::max(lengthX(1), lengthY(1));
        std::vector<gfx::Point> outline;
        for (const PointD& p : figureOutline(op, v, clockwise, perUnit))
            outline.push_back(pixel(toDevice(p)));
        if (op == Op::Arc)
            m_canvas.polyline(outline);
        else
            m_canvas.polygon(outline);
        return;
    }
    const gfx::Point a = pixelOf(v[0], v[1]), b = pixelOf(v[2], v[3]);
    switch (op) {
    case Op::Rectangle:
        m_canvas.rectangle(a.x, a.y, b.x, b.y);
        break;
    case Op::Ellipse:
        m_canvas.ellipse(a.x, a.y, b.x, b.y);
        break;
    case Op::RoundRect:
        m_canvas.roundRect(a.x, a.y, b.x, b.y, static_cast<int>(std::lround(lengthX(v[4]))),
            static_cast<int>(std::lround(lengthY(v[5]))));
        break;
    case Op::Arc:
    case Op::Chord:
    case Op::Pie: {
        gfx::Point from = pixelOf(v[4], v[5]), to = pixelOf(v[6], v[7]);
        if (clockwise)
            std::swap(from, to); // the same curve, followed the other way
        if (op == Op::Arc)
            m_canvas.arc(a.x, a.y, b.x, b.y, from.x, from.y, to.x, to.y);
        else if (op == Op::Chord)
            m_canvas.chord(a.x, a.y, b.x, b.y, from.x, from.y, to.x, to.y);
        else
            m_canvas.pie(a.x, a.y, b.x, b.y, from.x, from.y, to.x, to.y);
        break;
    }
    default:
        break;
    }
}

std::vector<PointD> figureOutline(MetafileOp op, std::span<const std::int32_t> v, bool clockwise, double pixelsPerUnit)
{
    const double l = std::min(v[0], v[2]), r = std::max(v[0], v[2]), t = std::min(v[1], v[3]), b = std::max(v[1], v[3]);
    if (op == Op::Rectangle)
        return {{l, t}, {r, t}, {r, b}, {l, b}};
    const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
    // One vertex every few pixels of the curve, within bounds that keep any figure cheap.
    const auto steps = [&](double sweep, double radiusX, double radiusY) {
        const double pixels = std::abs(sweep) * std::max(radiusX, radiusY) * pixelsPerUnit;
        return static_cast<int>(std::clamp(pixels / 3, 8.0, 1024.0));
    };
    // Points on the ellipse about (x, y) from angle a0 through sweep, counter-clockwise on the page.
    const auto arc = [&](std::vector<PointD>& out, double x, double y, double ax, double ay, double a0, double sweep) {
        const int n = steps(sweep, ax, ay);
        for (int i = 0; i <= n; ++i) {
            const double a = a0 + sweep * i / n;
            out.push_back({x + ax * std::cos(a), y - ay * std::sin(a)});
        }
    };
    std::vector<PointD> out;
    if (op == Op::Ellipse) {
        arc(out, cx, cy, rx, ry, 0, 2 * M_PI);
        out.pop_back();
        return out;
    }
    if (op == Op::RoundRect) {
        const double w = std::min(std::abs(double(v[4])), r - l) / 2, h = std::min(std::abs(double(v[5])), b - t) / 2;
        arc(out, r - w, t + h, w, h, 0, M_PI / 2);
        arc(out, l + w, t + h, w, h, M_PI / 2, M_PI / 2);
        arc(out, l + w, b - h, w, h, M_PI, M_PI / 2);
        arc(out, r - w, b - h, w, h, 3 * M_PI / 2, M_PI / 2);
        return out;
    }
    // Arcs, chords and pies: the rays through the two points, as parameters of the ellipse.
    const auto angle
        = [&](double x, double y) { return std::atan2(ry > 0 ? (cy - y) / ry : 0, rx > 0 ? (x - cx) / rx : 0); };
    const double a0 = angle(v[4], v[5]), a1 = angle(v[6], v[7]);
    double sweep = a1 - a0;
    if (clockwise) {
        while (sweep >= 0)
            sweep -= 2 * M_PI;
    } else {
        while (sweep <= 0)
            sweep += 2 * M_PI;
    }
    arc(out, cx, cy, rx, ry, a0, sweep);
    if (op == Op::Pie)
        out.push_back({cx, cy});
    return out;
}

} // namespace daubix::io::detail
