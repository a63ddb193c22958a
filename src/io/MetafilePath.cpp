#include "io/MetafileReplay_p.h"

#include <cmath>

namespace daubix::io::detail {

namespace {

using Op = MetafileOp;

// A path holding more points than this takes no more: it bounds the memory a file of repeated
// figures inside one path can ask for.
constexpr std::size_t kMaxPathPoints = std::size_t{1} << 22;

// Cubic curves split in halves until flat to a quarter pixel, in picture pixels.
void flatten(PointD p0, PointD p1, PointD p2, PointD p3, std::vector<PointD>& out, int depth)
{
    const double dx = p3.x - p0.x, dy = p3.y - p0.y, length = std::hypot(dx, dy);
    auto distance = [&](PointD p) {
        return length == 0 ? std::hypot(p.x - p0.x, p.y - p0.y)
                           : std::abs((p.x - p0.x) * dy - (p.y - p0.y) * dx) / length;
    };
    if (depth >= 12 || std::max(distance(p1), distance(p2)) <= 0.25) {
        out.push_back(p3);
        return;
    }
    auto mid = [](PointD a, PointD b) { return PointD{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
    const PointD a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3), ab = mid(a, b), bc = mid(b, c), m = mid(ab, bc);
    flatten(p0, a, ab, m, out, depth + 1);
    flatten(m, bc, c, p3, out, depth + 1);
}

} // namespace

void Player::pathFigure(std::vector<PointD> points, bool closed)
{
    if (points.empty() || m_pathPoints + points.size() > kMaxPathPoints)
        return;
    m_pathPoints += points.size();
    m_path.push_back({std::move(points), closed});
}

// While a path is open, figures go into it in picture pixels instead of onto the canvas. Records that
// a path does not take (pixels, text, blits) are drawn as usual.
bool Player::addToPath(MetafileOp op, Values v)
{
    std::vector<PointD> points;
    for (std::size_t i = 0; i + 1 < v.size(); i += 2)
        points.push_back(toDevice({double(v[i]), double(v[i + 1])}));
    // Figures that continue from the current position join the open figure, or start one there.
    const auto extend = [&](std::vector<PointD> more) {
        if (m_path.empty() || m_path.back().closed)
            pathFigure({toDevice(m_dc.position)}, false);
        if (m_path.empty() || m_pathPoints + more.size() > kMaxPathPoints)
            return;
        m_pathPoints += more.size();
        m_path.back().points.insert(m_path.back().points.end(), more.begin(), more.end());
    };
    const auto curves = [&](PointD start, std::span<const PointD> controls) {
        std::vector<PointD> flat;
        for (std::size_t i = 0; i + 2 < controls.size(); i += 3) {
            flatten(start, controls[i], controls[i + 1], controls[i + 2], flat, 0);
            start = controls[i + 2];
        }
        return flat;
    };
    switch (op) {
    case Op::MoveTo:
        m_dc.position = {double(v[0]), double(v[1])};
        pathFigure({points[0]}, false);
        return true;
    case Op::LineTo:
    case Op::PolylineTo:
        if (!points.empty()) {
            extend(points);
            m_dc.position = {double(v[v.size() - 2]), double(v[v.size() - 1])};
        }
        return true;
    case Op::PolyBezierTo:
        if (!points.empty()) {
            extend(curves(toDevice(m_dc.position), points));
            m_dc.position = {double(v[v.size() - 2]), double(v[v.size() - 1])};
        }
        return true;
    case Op::Polyline:
    case Op::Polygon:
        pathFigure(std::move(points), op == Op::Polygon);
        return true;
    case Op::PolyBezier:
        if (!points.empty()) {
            std::vector<PointD> flat{points[0]};
            const std::vector<PointD> rest = curves(points[0], std::span(points).subspan(1));
            flat.insert(flat.end(), rest.begin(), rest.end());
            pathFigure(std::move(flat), false);
        }
        return true;
    case Op::PolyPolygon:
    case Op::PolyPolyline: {
        const std::size_t polys = static_cast<std::size_t>(v[0]);
        std::size_t start = 0;
        std::vector<PointD> all;
        for (std::size_t i = 1 + polys; i + 1 < v.size(); i += 2)
            all.push_back(toDevice({double(v[i]), double(v[i + 1])}));
        for (std::size_t i = 0; i < polys; ++i) {
            const std::size_t k = std::min<std::size_t>(static_cast<std::uint32_t>(v[1 + i]), all.size() - start);
            pathFigure({all.begin() + static_cast<std::ptrdiff_t>(start),
                           all.begin() + static_cast<std::ptrdiff_t>(start + k)},
                op == Op::PolyPolygon);
            start += k;
        }
        return true;
    }
    case Op::Rectangle:
    case Op::RoundRect:
    case Op::Ellipse:
    case Op::Arc:
    case Op::Chord:
    case Op::Pie: {
        std::vector<PointD> outline
            = figureOutline(op, v.subspan(0, op == Op::Rectangle || op == Op::Ellipse ? 4 : v.size()),
                m_dc.arcDirection == 2, std::max(lengthX(1), lengthY(1)));
        for (PointD& p : outline)
            p = toDevice(p);
        pathFigure(std::move(outline), op != Op::Arc);
        return true;
    }
    default:
        return false;
    }
}

void Player::path(MetafileOp op)
{
    switch (op) {
    case Op::BeginPath:
        m_path.clear();
        m_pathPoints = 0;
        m_inPath = true;
        return;
    case Op::EndPath:
        m_inPath = false;
        return;
    case Op::AbortPath:
        m_inPath = false;
        m_path.clear();
        m_pathPoints = 0;
        return;
    case Op::CloseFigure:
        if (m_inPath && !m_path.empty())
            m_path.back().closed = true;
        return;
    default:
        break;
    }
    if (m_inPath)
        return; // filling or stroking an open path does nothing
    prepare();
    std::vector<gfx::Point> points;
    std::vector<int> counts;
    for (const PathFigure& f : m_path) {
        for (const PointD& p : f.points)
            points.push_back(pixel(p));
        counts.push_back(static_cast<int>(f.points.size()));
    }
    if (op == Op::FillPath || op == Op::StrokeAndFillPath) {
        const gfx::PenStyle style = m_canvas.pen.style;
        m_canvas.pen.style = gfx::PenStyle::Clear;
        m_canvas.polyPolygon(points, counts);
        m_canvas.pen.style = style;
    }
    if (op == Op::StrokePath || op == Op::StrokeAndFillPath) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < m_path.size(); ++i) {
            const auto figure = std::span(points).subspan(start, static_cast<std::size_t>(counts[i]));
            std::vector<gfx::Point> line(figure.begin(), figure.end());
            if (m_path[i].closed && !line.empty())
                line.push_back(line.front());
            m_canvas.polyline(line);
            start += static_cast<std::size_t>(counts[i]);
        }
    }
    m_path.clear();
    m_pathPoints = 0;
}

} // namespace daubix::io::detail
