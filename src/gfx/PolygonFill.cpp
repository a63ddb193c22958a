#include "gfx/Raster_p.h"

#include <algorithm>
#include <cmath>

namespace daubix::gfx::detail {

namespace {

// An edge from its upper end (y0) to its lower end; dir is +1 when the contour runs downward along it.
struct Edge {
    double x0, y0, x1, y1;
    int dir;
};

struct Crossing {
    double x;
    int dir;
};

} // namespace

// The edges are sorted by their upper ends and kept in an active list while the rows pass them, so a
// polygon of many edges costs what its rows cross, not rows times edges. Crossings are computed and
// rounded exactly as polygonSpans does, so that both agree on a single contour under the alternate rule.
std::vector<Span> polyPolygonSpans(
    std::span<const Point> points, std::span<const int> counts, int height, FillRule rule)
{
    std::vector<Edge> edges;
    std::size_t start = 0;
    for (const int count : counts) {
        const std::size_t n
            = std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), points.size() - start);
        for (std::size_t i = 0; i < n; ++i) {
            const Point a = points[start + i], b = points[start + (i + 1) % n];
            if (a.y == b.y)
                continue;
            if (a.y < b.y)
                edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), 1});
            else
                edges.push_back({double(b.x), double(b.y), double(a.x), double(a.y), -1});
        }
        start += n;
    }
    std::vector<Span> spans;
    if (edges.empty())
        return spans;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    double bottom = edges[0].y1;
    for (const Edge& e : edges)
        bottom = std::max(bottom, e.y1);
    const auto y0 = static_cast<std::int64_t>(std::max(std::ceil(edges[0].y0), 0.0));
    const auto y1 = static_cast<std::int64_t>(std::min(std::ceil(bottom), static_cast<double>(height)));
    std::vector<const Edge*> active;
    std::vector<Crossing> crossings;
    std::size_t next = 0;
    for (std::int64_t y = y0; y < y1; ++y) {
        const auto fy = static_cast<double>(y);
        while (next < edges.size() && edges[next].y0 <= fy)
            active.push_back(&edges[next++]);
        std::erase_if(active, [fy](const Edge* e) { return fy >= e->y1; });
        crossings.clear();
        for (const Edge* e : active)
            crossings.push_back({e->x0 + (fy - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir});
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        auto column = [](double x) { return std::clamp(std::ceil(x - 1e-9), INT32_MIN / 2.0, INT32_MAX / 2.0); };
        auto emit = [&](double from, double to) {
            const double x0 = column(from), x1 = column(to);
            if (x0 < x1)
                spans.push_back({static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)});
        };
        if (rule == FillRule::Alternate) {
            for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
                emit(crossings[i].x, crossings[i + 1].x);
            continue;
        }
        int winding = 0;
        double from = 0;
        for (const Crossing& c : crossings) {
            if (winding == 0)
                from = c.x;
            winding += c.dir;
            if (winding == 0)
                emit(from, c.x);
        }
    }
    normalizeSpans(spans);
    return spans;
}

} // namespace daubix::gfx::detail
