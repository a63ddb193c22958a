#include "gfx/Canvas.h"
#include "gfx/Raster_p.h"
#include "gfx/Text.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <cstdlib>

namespace daubix::gfx {

using detail::filledEllipseSpans;
using detail::floorDiv;
using detail::PixelWriter;
using detail::polygonSpans;
using detail::Span;

constexpr double kBezierTolerance = 1.0;
// Ellipses wider or taller than this are drawn row by row over the visible rows only.
constexpr std::int64_t kHugeEllipse = std::int64_t{1} << 20;
constexpr std::size_t kMergeSpans = std::size_t{1} << 20;

namespace {

// Visits the pixels of the line from (x0, y0) towards (x1, y1), end excluded, that lie inside a
// width x height bitmap, with their index along the line (for dash phases). Pixel i of a line whose
// major axis runs n steps is offset on the minor axis by floor((2 i d + n - 1) / 2n): halves round down.
// Only the visible stretch is walked, so far-away coordinates cost nothing.
template <typename Visit>
void walkLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int width, int height, Visit&& visit)
{
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0)
        return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t d = xMajor ? dy : dx;
    const std::int64_t step = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const std::int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const std::int64_t majorLimit = xMajor ? width : height, minorLimit = xMajor ? height : width;
    std::int64_t lo = 0, hi = 0;
    if (step > 0) {
        lo = std::max<std::int64_t>(0, -major0);
        hi = std::min<std::int64_t>(n, majorLimit - major0);
    } else {
        lo = std::max<std::int64_t>(0, major0 - majorLimit + 1);
        hi = std::min<std::int64_t>(n, major0 + 1);
    }
    if (lo >= hi)
        return;
    const std::int64_t twoN = 2 * n, twoD = 2 * d;
    const __int128 q = static_cast<__int128>(2) * lo * d + n - 1;
    __int128 v128 = q / twoN;
    if (q % twoN != 0 && q < 0)
        --v128;
    auto v = static_cast<std::int64_t>(v128);
    auto r = static_cast<std::int64_t>(q - v128 * twoN);
    for (std::int64_t i = lo; i < hi; ++i) {
        const std::int64_t minor = minor0 + v, major = major0 + step * i;
        if (minor >= 0 && minor < minorLimit) {
            if (xMajor)
                visit(static_cast<int>(major), static_cast<int>(minor), i);
            else
                visit(static_cast<int>(minor), static_cast<int>(major), i);
        }
        r += twoD;
        while (r >= twoN)
            r -= twoN, ++v;
        while (r < 0)
            r += twoN, --v;
    }
}

// On and off runs of the one-pixel dashed styles, starting with "on".
std::span<const int> dashPattern(PenStyle style)
{
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case PenStyle::Dash:
        return kDash;
    case PenStyle::Dot:
        return kDot;
    case PenStyle::DashDot:
        return kDashDot;
    case PenStyle::DashDotDot:
        return kDashDotDot;
    default:
        return {};
    }
}

bool dashOn(std::span<const int> pattern, std::int64_t position)
{
    int period = 0;
    for (int run : pattern)
        period += run;
    std::int64_t p = position % period;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (p < pattern[k])
            return k % 2 == 0;
        p -= pattern[k];
    }
    return false;
}

void addRect(std::vector<Span>& spans, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int height)
{
    t = std::max<std::int64_t>(t, -1);
    b = std::min<std::int64_t>(b, height + 1);
    l = std::clamp<std::int64_t>(l, INT32_MIN / 2, INT32_MAX / 2);
    r = std::clamp<std::int64_t>(r, INT32_MIN / 2, INT32_MAX / 2);
    if (l >= r)
        return;
    for (std::int64_t y = t; y < b; ++y)
        spans.push_back({static_cast<int>(y), static_cast<int>(l), static_cast<int>(r)});
}

// The outline pixels of the ellipse inscribed in the inclusive box x0..x1, y0..y1: an integer
// midpoint walk over the four quadrants at once, stepping in y while the error allows and in x while it
// demands. Boxes one or two pixels wide are their whole box; a single pixel draws nothing.
template <typename Plot>
void ellipsePoints(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Plot&& plot,
    std::int64_t rowMin = INT64_MIN, std::int64_t rowMax = INT64_MAX, std::int64_t colMin = INT64_MIN,
    std::int64_t colMax = INT64_MAX)
{
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    const std::int64_t a = x1 - x0, b = y1 - y0;
    if (a > kHugeEllipse || b > kHugeEllipse) {
        // Far larger than any bitmap: only the rows rowMin .. rowMax can show, so compute those rows'
        // ends directly and join them to the next row's, instead of walking billions of steps.
        const double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0, ra = a / 2.0, rb = b / 2.0;
        auto halfWidth = [&](std::int64_t y) {
            const double t = (static_cast<double>(y) - cy) / rb;
            return t * t >= 1 ? 0.0 : ra * std::sqrt(1 - t * t);
        };
        for (std::int64_t y = std::max(y0, rowMin); y <= std::min(y1, rowMax); ++y) {
            const double w = halfWidth(y);
            const double inner = std::min(w, std::max(halfWidth(y - 1), halfWidth(y + 1)));
            for (const int side : {-1, 1}) {
                std::int64_t from = std::llround(cx + side * inner), to = std::llround(cx + side * w);
                if (from > to)
                    std::swap(from, to);
                from = std::max(from, colMin);
                to = std::min(to, colMax);
                for (std::int64_t x = from; x <= to; ++x)
                    plot(x, y);
            }
        }
        return;
    }
    if (a <= 1) {
        if (a == 0 && b == 0)
            return;
        for (std::int64_t y = y0; y <= y1; ++y)
            for (std::int64_t x = x0; x <= x1; ++x)
                plot(x, y);
        return;
    }
    const std::int64_t b1 = b & 1;
    __int128 dx = static_cast<__int128>(4) * (1 - a) * b * b;
    __int128 dy = static_cast<__int128>(4) * (b1 + 1) * a * a;
    __int128 err = dx + dy + static_cast<__int128>(b1) * a * a;
    y0 += (b + 1) / 2;
    y1 = y0 - b1;
    const __int128 a8 = static_cast<__int128>(8) * a * a, b8 = static_cast<__int128>(8) * b * b;
    do {
        plot(x1, y0);
        plot(x0, y0);
        plot(x0, y1);
        plot(x1, y1);
        const __int128 e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a8;
        }
        if (e2 >= dx) {
            ++x0;
            --x1;
            err += dx += b8;
        }
    } while (x0 <= x1);
}

} // namespace

std::vector<Span> detail::polygonSpans(std::span<const Point> points, int height)
{
    std::vector<PointF> real(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        real[i] = {static_cast<double>(points[i].x), static_cast<double>(points[i].y)};
    return polygonSpans(std::span<const PointF>(real), height);
}

namespace {

// Visits the one-pixel path segment by segment (end points excluded), with whether each pixel falls on
// a dash or in a gap; the dash pattern runs on from one segment to the next.
template <typename Visit>
void walkPath(
    std::span<const Point> path, bool closed, std::span<const int> dashes, int width, int height, Visit&& visit)
{
    std::int64_t phase = 0;
    const std::size_t segments = path.size() - 1 + (closed ? 1 : 0);
    for (std::size_t k = 0; k < segments; ++k) {
        const Point a = path[k], b = path[(k + 1) % path.size()];
        walkLine(a.x, a.y, b.x, b.y, width, height,
            [&](int x, int y, std::int64_t i) { visit(x, y, dashes.empty() || dashOn(dashes, phase + i)); });
        phase += std::max(std::llabs(std::int64_t{b.x} - a.x), std::llabs(std::int64_t{b.y} - a.y));
    }
}

// A one-pixel path through a clip region: its pixels are gathered into runs along rows first, in the
// order the pen visits them, so that the region cuts runs rather than testing pixels.
void strokeThroughClip(const ClipRegion& clip, std::span<const Point> path, bool closed, std::span<const int> dashes,
    PixelWriter& ink, PixelWriter* gap, const Bitmap& target)
{
    struct Run {
        Span span;
        bool on;
    };
    std::vector<Run> runs;
    walkPath(path, closed, dashes, target.width(), target.height(), [&](int x, int y, bool on) {
        if (!runs.empty() && runs.back().on == on && runs.back().span.y == y) {
            Span& last = runs.back().span;
            if (last.x1 == x) {
                ++last.x1;
                return;
            }
            if (last.x0 == x + 1) {
                --last.x0;
                return;
            }
        }
        runs.push_back({{y, x, x + 1}, on});
    });
    for (const Run& run : runs) {
        PixelWriter* writer = run.on ? &ink : gap;
        if (writer)
            clip.forEachPart(
                run.span.y, run.span.x0, run.span.x1, [&](int a, int b) { writer->span(run.span.y, a, b); });
    }
}

// The outline of the ellipse in the inclusive box 0..w-1, 0..h-1 as a closed path, counter-clockwise from
// the right end of its middle row, each point moved by place(x, y). Boxes at least three pixels wide.
template <typename Place> std::vector<Point> ellipsePath(std::int64_t w, std::int64_t h, Place&& place)
{
    std::vector<Point> quadrant[4]; // lower right, lower left, upper left, upper right
    int corner = 0;
    ellipsePoints(
        0, 0, w - 1, h - 1, [&](std::int64_t x, std::int64_t y) { quadrant[corner++ % 4].push_back(place(x, y)); });
    std::vector<Point> path(quadrant[3].begin(), quadrant[3].end());
    path.insert(path.end(), quadrant[2].rbegin(), quadrant[2].rend());
    path.insert(path.end(), quadrant[1].begin(), quadrant[1].end());
    path.insert(path.end(), quadrant[0].rbegin(), quadrant[0].rend());
    path.erase(std::unique(path.begin(), path.end()), path.end());
    if (path.size() > 1 && path.front() == path.back())
        path.pop_back();
    return path;
}

// For a closed outline (normalised spans), each row from its leftmost to its rightmost outline pixel.
std::vector<Span> spansBetweenEnds(const std::vector<Span>& outline)
{
    std::vector<Span> fill;
    for (std::size_t i = 0; i < outline.size();) {
        std::size_t j = i;
        while (j + 1 < outline.size() && outline[j + 1].y == outline[i].y)
            ++j;
        fill.push_back({outline[i].y, outline[i].x0, outline[j].x1});
        i = j + 1;
    }
    return fill;
}

} // namespace

// Each row keeps only its outermost outline pixels, so a flat ellipse far wider than the image costs no
// sorting of its outline.
std::vector<Span> detail::filledEllipseSpans(
    std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int width, int height)
{
    const std::int64_t top = std::max<std::int64_t>(std::min(t, b - 1), -1);
    const std::int64_t bottom = std::min<std::int64_t>(std::max(t, b - 1), height);
    if (top > bottom)
        return {};
    std::vector<std::pair<std::int64_t, std::int64_t>> ends(
        static_cast<std::size_t>(bottom - top + 1), {INT64_MAX, INT64_MIN});
    ellipsePoints(
        l, t, r - 1, b - 1,
        [&](std::int64_t x, std::int64_t y) {
            if (y < top || y > bottom)
                return;
            auto& [lo, hi] = ends[static_cast<std::size_t>(y - top)];
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        },
        -1, height, -1, width);
    std::vector<Span> fill;
    for (std::size_t i = 0; i < ends.size(); ++i)
        if (ends[i].first <= ends[i].second)
            fill.push_back({static_cast<int>(top + static_cast<std::int64_t>(i)),
                static_cast<int>(std::clamp<std::int64_t>(ends[i].first, -2, width + 1)),
                static_cast<int>(std::clamp<std::int64_t>(ends[i].second + 1, -1, width + 2))});
    return fill;
}

namespace {

// Whether a pen of the width about the box of a and b can reach the target at all.
bool reaches(Point a, Point b, int width, int targetWidth, int targetHeight)
{
    const std::int64_t margin = width / 2 + 2;
    return std::max<std::int64_t>(a.x, b.x) + margin >= 0 && std::max<std::int64_t>(a.y, b.y) + margin >= 0
        && std::min<std::int64_t>(a.x, b.x) - margin < targetWidth
        && std::min<std::int64_t>(a.y, b.y) - margin < targetHeight;
}

// The union of spans on a band of the image's rows, merged row by row as they arrive; a row covered
// from edge to edge takes no more work, and once all are, the caller can stop.
class RowUnion {
public:
    RowUnion(int top, int count, int width)
        : m_top(top)
        , m_width(width)
        , m_rows(static_cast<std::size_t>(count))
        , m_open(static_cast<std::size_t>(count) + 1)
    {
        for (std::size_t i = 0; i < m_open.size(); ++i)
            m_open[i] = static_cast<int>(i);
    }
    // Whether every row from y0 to y1 is covered already, so that a shape there would add nothing.
    bool covered(std::int64_t y0, std::int64_t y1)
    {
        const std::int64_t first = std::max<std::int64_t>(y0 - m_top, 0);
        const std::int64_t last = std::min<std::int64_t>(y1 - m_top, static_cast<std::int64_t>(m_rows.size()) - 1);
        return first > last || nextOpen(static_cast<int>(first)) > last;
    }
    void add(const std::vector<Span>& spans)
    {
        for (const Span& s : spans)
            add(s);
    }
    void add(Span s)
    {
        if (s.y < m_top || s.y - m_top >= static_cast<std::int64_t>(m_rows.size()))
            return;
        s.x0 = std::max(s.x0, 0);
        s.x1 = std::min(s.x1, m_width);
        Row& row = m_rows[static_cast<std::size_t>(s.y - m_top)];
        if (s.x1 <= s.x0 || row.full)
            return;
        row.spans.push_back(s);
        if (row.spans.size() > row.mergeAt)
            merge(row);
    }
    bool full() const { return m_full == m_rows.size(); }
    // The spans of a shape given about the origin (in row order, as a disc), moved by (dx, dy): only the
    // rows not yet covered are visited.
    void addMoved(const std::vector<Span>& shape, std::int64_t dx, std::int64_t dy)
    {
        if (shape.empty())
            return;
        const std::int64_t count = static_cast<std::int64_t>(m_rows.size());
        const std::int64_t first = std::max<std::int64_t>(dy + shape.front().y - m_top, 0);
        const std::int64_t last = std::min<std::int64_t>(dy + shape.back().y - m_top, count - 1);
        if (first > last)
            return;
        for (std::int64_t r = nextOpen(static_cast<int>(first)); r <= last; r = nextOpen(static_cast<int>(r + 1))) {
            const std::int64_t y = r + m_top - dy;
            auto s = std::lower_bound(
                shape.begin(), shape.end(), y, [](const Span& span, std::int64_t row) { return span.y < row; });
            if (s == shape.end() || s->y != y)
                continue;
            add(Span{static_cast<int>(r + m_top),
                static_cast<int>(std::clamp<std::int64_t>(dx + s->x0, -2, std::int64_t{m_width} + 1)),
                static_cast<int>(std::clamp<std::int64_t>(dx + s->x1, -1, std::int64_t{m_width} + 2))});
            if (r + 1 >= count)
                break;
        }
    }
    std::vector<Span> spans()
    {
        std::vector<Span> out;
        for (Row& row : m_rows) {
            merge(row);
            out.insert(out.end(), row.spans.begin(), row.spans.end());
        }
        return out;
    }

private:
    struct Row {
        std::vector<Span> spans;
        std::size_t mergeAt = 8;
        bool full = false;
    };
    void merge(Row& row)
    {
        std::vector<Span>& v = row.spans;
        std::sort(v.begin(), v.end(), [](const Span& a, const Span& b) { return a.x0 < b.x0; });
        std::size_t out = 0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (out > 0 && v[i].x0 <= v[out - 1].x1)
                v[out - 1].x1 = std::max(v[out - 1].x1, v[i].x1);
            else
                v[out++] = v[i];
        }
        v.resize(out);
        row.mergeAt = std::max<std::size_t>(8, 2 * out);
        if (!row.full && out == 1 && v[0].x0 == 0 && v[0].x1 == m_width) {
            row.full = true;
            ++m_full;
            const auto index = static_cast<std::size_t>(&row - m_rows.data());
            m_open[index] = static_cast<int>(index) + 1;
        }
    }
    // The first row from i on that is not covered yet (m_rows.size() when none), shortening the chain.
    int nextOpen(int i)
    {
        int root = i;
        while (m_open[static_cast<std::size_t>(root)] != root)
            root = m_open[static_cast<std::size_t>(root)];
        while (m_open[static_cast<std::size_t>(i)] != root)
            i = std::exchange(m_open[static_cast<std::size_t>(i)], root);
        return root;
    }

    int m_top;
    int m_width;
    std::vector<Row> m_rows;
    std::vector<int> m_open; // a covered row points on towards the next row that is not
    std::size_t m_full = 0;
};

// The area a pen wider than one pixel covers along a path: a band of the pen's width centred on each
// segment, and a disc of the pen's diameter on every vertex (round ends and joins), as one region.
// Segments and vertices too far from the target to reach it are skipped: a figure far larger than the
// image costs what shows.
std::vector<Span> widePathSpans(std::span<const Point> points, bool closed, int width, int targetWidth, int height)
{
    std::vector<Span> spans;
    // A pen wider than the image often has a vertex whose disc alone covers all of it; every other disc
    // and band would only be sorted away.
    const double inside = width / 2.0 - 2;
    for (const Point& p : points) {
        double farthest = 0;
        for (const double cx : {0.0, targetWidth - 1.0})
            for (const double cy : {0.0, height - 1.0})
                farthest = std::max(farthest, std::hypot(cx - p.x, cy - p.y));
        if (inside > 0 && farthest <= inside) {
            for (int y = 0; y < height; ++y)
                spans.push_back({y, 0, targetWidth});
            return spans;
        }
    }
    const double half = width / 2.0;
    // The rows a pen can reach, each merging what lands on it as it comes: a wide pen along a path of
    // many short segments lays thousands of nearly equal discs and bands on the same rows.
    std::int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (const Point& p : points) {
        top = std::min<std::int64_t>(top, p.y);
        bottom = std::max<std::int64_t>(bottom, p.y);
    }
    top = std::max<std::int64_t>(top - width, 0);
    bottom = std::min<std::int64_t>(bottom + width, std::int64_t{height} - 1);
    if (top > bottom)
        return spans;
    // A row costs a little memory each; beyond a million (a very tall, narrow image) the spans are
    // gathered in one list instead.
    constexpr std::int64_t kMaxRows = std::int64_t{1} << 20;
    RowUnion rows(static_cast<int>(top), static_cast<int>(std::min(bottom - top + 1, kMaxRows)), targetWidth);
    const bool tall = bottom - top + 1 > kMaxRows;
    const auto add = [&](std::vector<Span> part) {
        if (tall)
            spans.insert(spans.end(), part.begin(), part.end());
        else
            rows.add(part);
    };
    const std::size_t segments = points.size() - 1 + (closed && points.size() > 2 ? 1 : 0);
    for (std::size_t k = 0; k < segments && (tall || !rows.full()); ++k) {
        const Point a = points[k], b = points[(k + 1) % points.size()];
        if (!reaches(a, b, width, targetWidth, height))
            continue;
        const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
        const double length = std::hypot(dx, dy);
        if (length == 0)
            continue;
        const double nx = -dy / length * half, ny = dx / length * half;
        // The band's corners are whole pixels: on the side the offset points to the right (or, for a
        // level segment, down) they are rounded away from the path, on the other side to nearest with
        // halves up. This is how the classic interface places wide bands, to the pixel.
        const bool plusOutward = nx > 0 || (nx == 0 && ny > 0);
        auto outward = [](double v) { return v > 0 ? std::ceil(v) : std::floor(v); };
        auto nearest = [](double v) { return std::floor(v + 0.5); };
        auto offset = [&](double ox, double oy, bool away) {
            return away ? PointF{outward(ox), outward(oy)} : PointF{nearest(ox), nearest(oy)};
        };
        const PointF plus = offset(nx, ny, plusOutward), minus = offset(-nx, -ny, !plusOutward);
        const PointF band[] = {{a.x + plus.x, a.y + plus.y}, {b.x + plus.x, b.y + plus.y},
            {b.x + minus.x, b.y + minus.y}, {a.x + minus.x, a.y + minus.y}};
        // The band itself, not only the pen about the segment, must reach the image: a short band
        // across a long pen's width lies beside the image more often than on it.
        const double bandLeft = std::min({band[0].x, band[1].x, band[2].x, band[3].x});
        const double bandRight = std::max({band[0].x, band[1].x, band[2].x, band[3].x});
        const double bandTop = std::min({band[0].y, band[1].y, band[2].y, band[3].y});
        const double bandBottom = std::max({band[0].y, band[1].y, band[2].y, band[3].y});
        if (bandRight < -1 || bandLeft > targetWidth + 1 || bandBottom < -1 || bandTop > height + 1)
            continue;
        if (!tall
            && rows.covered(static_cast<std::int64_t>(std::floor(bandTop)) - 1,
                static_cast<std::int64_t>(std::ceil(bandBottom)) + 1))
            continue;
        add(detail::polygonSpans(std::span<const PointF>(band), height));
    }
    // Every vertex has the same disc: it is drawn once about the origin, row by row, and each vertex
    // takes only the rows of it that land on the image.
    std::vector<Span> disc;
    for (std::size_t k = 0; k < points.size() && (tall || !rows.full()); ++k) {
        const Point& p = points[k];
        if (!reaches(p, p, width, targetWidth, height))
            continue;
        const std::int64_t l = std::int64_t{p.x} - width / 2, t = std::int64_t{p.y} - width / 2;
        if (!tall && rows.covered(t - 1, t + width + 1))
            continue;
        if (disc.empty())
            disc = filledEllipseSpans(0, 0, width, width, INT32_MAX / 4, width + 2);
        if (!tall) {
            rows.addMoved(disc, l, t);
            continue;
        }
        // The disc's rows are in order from its top; those from -1 to the image's height show.
        const std::int64_t firstRow = -1 - t;
        auto d = std::lower_bound(disc.begin(), disc.end(), firstRow,
            [](const Span& span, std::int64_t row) { return span.y < row; });
        std::vector<Span> part;
        for (; d != disc.end() && t + d->y <= height; ++d) {
            part.push_back({static_cast<int>(t + d->y),
                static_cast<int>(std::clamp<std::int64_t>(l + d->x0, -2, std::int64_t{targetWidth} + 1)),
                static_cast<int>(std::clamp<std::int64_t>(l + d->x1, -1, std::int64_t{targetWidth} + 2))});
        }
        add(std::move(part));
    }
    if (!tall)
        return rows.spans();
    detail::normalizeSpans(spans);
    return spans;
}

} // namespace

std::optional<Color> Canvas::background() const
{
    if (backgroundMode == BackgroundMode::Opaque)
        return backgroundColor;
    if (backgroundMode == BackgroundMode::FromBrush && !brush.pattern() && brush.style() == BrushStyle::Solid)
        return brush.color();
    return std::nullopt;
}

std::optional<Color> Canvas::hatchBackground() const
{
    if (backgroundMode == BackgroundMode::Opaque)
        return backgroundColor;
    return std::nullopt;
}

void Canvas::lineTo(int x, int y)
{
    const Point from = penPos;
    const Point points[] = {from, {x, y}};
    penPos = {x, y};
    strokePath(points, false);
}

void Canvas::polyline(std::span<const Point> points)
{
    strokePath(points, false);
}

void Canvas::strokePath(std::span<const Point> points, bool closed)
{
    if (pen.style == PenStyle::Clear || points.empty())
        return;
    Bitmap& target = *m_target;
    PixelWriter ink(target, pen.mode, pen.color);
    if (penWidth() > 1) {
        std::vector<Span> area = widePathSpans(points, closed, penWidth(), target.width(), target.height());
        detail::clipSpans(area, target.width(), target.height());
        applyClip(area);
        ink.spans(area);
        return;
    }
    const std::span<const int> dashes = dashPattern(pen.style);
    if (m_clip) {
        std::optional<PixelWriter> gap;
        if (const std::optional<Color> gapColor = background(); !dashes.empty() && gapColor)
            gap.emplace(target, pen.mode, *gapColor);
        strokeThroughClip(*m_clip, points, closed, dashes, ink, gap ? &*gap : nullptr, target);
        return;
    }
    if (dashes.empty()) {
        // The common case, kept free of per-pixel dash bookkeeping.
        const std::size_t segments = points.size() - 1 + (closed ? 1 : 0);
        for (std::size_t k = 0; k < segments; ++k) {
            const Point a = points[k], b = points[(k + 1) % points.size()];
            walkLine(a.x, a.y, b.x, b.y, target.width(), target.height(),
                [&](int x, int y, std::int64_t) { ink.plotInside(x, y); });
        }
        return;
    }
    std::optional<PixelWriter> gap;
    if (const std::optional<Color> gapColor = background(); !dashes.empty() && gapColor)
        gap.emplace(target, pen.mode, *gapColor);
    walkPath(points, closed, dashes, target.width(), target.height(), [&](int x, int y, bool on) {
        if (on)
            ink.plotInside(x, y);
        else if (gap)
            gap->plotInside(x, y);
    });
}

Canvas::Outline Canvas::outlineOf(std::span<const Point> path, bool closed) const
{
    Outline area;
    const Bitmap& target = *m_target;
    if (pen.style == PenStyle::Clear || path.empty())
        return area;
    if (penWidth() > 1) {
        area.ink = widePathSpans(path, closed, penWidth(), target.width(), target.height());
        detail::clipSpans(area.ink, target.width(), target.height());
        return area;
    }
    const bool opaqueGaps = background().has_value();
    walkPath(path, closed, dashPattern(pen.style), target.width(), target.height(), [&](int x, int y, bool on) {
        if (on)
            area.ink.push_back({y, x, x + 1});
        else if (opaqueGaps)
            area.gap.push_back({y, x, x + 1});
    });
    detail::normalizeSpans(area.ink);
    detail::normalizeSpans(area.gap);
    area.gap = detail::subtractSpans(area.gap, area.ink);
    return area;
}

void Canvas::paintFigure(std::vector<Span> fill, const Outline& outline)
{
    Bitmap& target = *m_target;
    detail::normalizeSpans(fill);
    detail::clipSpans(fill, target.width(), target.height());
    if (!outline.ink.empty() || !outline.gap.empty()) {
        std::vector<Span> both = outline.ink;
        both.insert(both.end(), outline.gap.begin(), outline.gap.end());
        detail::normalizeSpans(both);
        fill = detail::subtractSpans(fill, both);
    }
    const Outline* shown = &outline;
    Outline clipped;
    if (m_clip) {
        clipped = outline;
        applyClip(fill);
        applyClip(clipped.ink);
        applyClip(clipped.gap);
        shown = &clipped;
    }
    detail::paintBrushSpans(target, pen.mode, brush, fill, hatchBackground());
    if (const std::optional<Color> back = background(); back && !shown->gap.empty())
        PixelWriter(target, pen.mode, *back).spans(shown->gap);
    PixelWriter(target, pen.mode, pen.color).spans(shown->ink);
}

Rect Canvas::penBox(const Rect& box) const
{
    if (pen.style != PenStyle::InsideFrame || penWidth() <= 1)
        return box;
    const int inset = penWidth() / 2;
    return {box.left + inset, box.top + inset, box.right - inset, box.bottom - inset};
}

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    const Rect box = penBox(Rect{left, top, right, bottom}.normalized());
    const std::int64_t l = box.left, t = box.top, r = box.right, b = box.bottom;
    std::vector<Span> fill;
    addRect(fill, l, t, r - 1, b - 1, m_target->height());
    if (pen.style == PenStyle::Clear) {
        paintFigure(std::move(fill), {});
        return;
    }
    // A box one pixel wide or high has no room for an outline and draws nothing.
    if (r - l < 2 || b - t < 2)
        return;
    // From the bottom-left corner, right along the bottom edge first: where the dashes of a styled pen fall.
    const Point path[]
        = {{box.left, box.bottom - 1}, {box.right - 1, box.bottom - 1}, {box.right - 1, box.top}, {box.left, box.top}};
    paintFigure(std::move(fill), outlineOf(path, true));
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    const Rect box = penBox(Rect{left, top, right, bottom}.normalized());
    if (box.isEmpty())
        return;
    Bitmap& target = *m_target;
    const std::int64_t l = box.left, t = box.top, r = box.right, b = box.bottom;
    std::vector<Span> fill = filledEllipseSpans(l, t, r, b, target.width(), target.height());
    if (pen.style == PenStyle::Clear) {
        paintFigure(std::move(fill), {});
        return;
    }
    Outline outline;
    // Walking the whole curve as a path costs its length; one that reaches far beyond the image is
    // drawn the way a huge one is, only where it can touch the image.
    const std::int64_t extent = std::max(r - l, b - t);
    const bool huge = extent > kHugeEllipse
        || extent > 8 * std::int64_t{std::max(target.width(), target.height())} + (std::int64_t{1} << 16);
    if (!huge && r - l > 2 && (penWidth() > 1 || !dashPattern(pen.style).empty())) {
        // Along the outline as a path, so that wide and dashed pens follow the curve.
        outline = outlineOf(ellipsePath(r - l, b - t,
                                [&](std::int64_t x, std::int64_t y) {
                                    return Point{static_cast<int>(l + x), static_cast<int>(t + y)};
                                }),
            true);
    } else {
        // Beyond the visible rows a huge ellipse is not walked, so its wide outline is the pen's disc on
        // every outline pixel. The discs on a run of pixels of one row make each disc row stretched over
        // the run, so runs are gathered first and pixels that cannot reach the image are dropped.
        const int pw = penWidth() > 1 ? penWidth() : 0;
        std::vector<Span> disc{{0, 0, 1}}; // about (0, 0), as a wide pen draws a single point
        if (pw > 0) {
            disc = filledEllipseSpans(0, 0, pw, pw, INT32_MAX / 4, INT32_MAX / 4);
            for (Span& s : disc)
                s = {s.y - pw / 2, s.x0 - pw / 2, s.x1 - pw / 2};
        }
        const std::int64_t reach = pw + 1;
        std::int64_t runY = 0, runX0 = 0, runX1 = -1;
        // Only the disc rows that land on the image are kept: a pen far wider than the image would
        // otherwise pile up rows that clipping throws away anyway.
        const auto flush = [&] {
            // The disc's rows are in order: go straight to the first one on the image.
            auto s = std::lower_bound(disc.begin(), disc.end(), -runY,
                [](const Span& span, std::int64_t row) { return span.y < row; });
            for (; s != disc.end() && runY + s->y < target.height(); ++s)
                outline.ink.push_back(
                    {static_cast<int>(runY + s->y), static_cast<int>(runX0 + s->x0), static_cast<int>(runX1 + s->x1)});
            if (outline.ink.size() > kMergeSpans)
                detail::normalizeSpans(outline.ink);
        };
        ellipsePoints(
            l, t, r - 1, b - 1,
            [&](std::int64_t x, std::int64_t y) {
                if (y < -reach || y >= target.height() + reach || x < -reach || x >= target.width() + reach)
                    return;
                if (runX1 >= runX0 && y == runY && x == runX1 + 1) {
                    runX1 = x;
                    return;
                }
                if (runX1 >= runX0)
                    flush();
                runY = y;
                runX0 = runX1 = x;
            },
            -1 - penWidth(), target.height() + penWidth(), -1 - penWidth(), target.width() + penWidth());
        if (runX1 >= runX0)
            flush();
        detail::normalizeSpans(outline.ink);
    }
    detail::clipSpans(outline.ink, target.width(), target.height());
    paintFigure(std::move(fill), outline);
}

void Canvas::frameRect(const Rect& box)
{
    const Rect r = box.normalized();
    std::vector<Span> frame;
    addRect(frame, r.left, r.top, r.right, std::int64_t{r.top} + 1, m_target->height());
    addRect(frame, r.left, std::int64_t{r.bottom} - 1, r.right, r.bottom, m_target->height());
    addRect(frame, r.left, r.top, std::int64_t{r.left} + 1, r.bottom, m_target->height());
    addRect(frame, std::int64_t{r.right} - 1, r.top, r.right, r.bottom, m_target->height());
    detail::normalizeSpans(frame);
    detail::clipSpans(frame, m_target->width(), m_target->height());
    applyClip(frame);
    detail::paintBrushSpans(*m_target, PenMode::Copy, brush, frame, hatchBackground());
}

void Canvas::polygon(std::span<const Point> points)
{
    if (points.empty())
        return;
    Bitmap& target = *m_target;
    std::vector<Span> fill;
    if (fillRule == FillRule::Winding) {
        const int counts[] = {static_cast<int>(std::min<std::size_t>(points.size(), INT32_MAX))};
        fill = detail::polyPolygonSpans(points, counts, target.height(), FillRule::Winding);
    } else {
        fill = polygonSpans(points, target.height());
    }
    detail::clipSpans(fill, target.width(), target.height());
    applyClip(fill);
    detail::paintBrushSpans(target, pen.mode, brush, fill, hatchBackground());
    strokePath(points, true);
}

namespace {

struct Cubic {
    PointF p0, p1, p2, p3;
};

// Splits the curve in halves until both control points lie within a fixed distance of the chord, and
// emits the end of each flat piece rounded to a pixel.
void flattenCubic(const Cubic& c, std::vector<Point>& out, int depth)
{
    const double dx = c.p3.x - c.p0.x, dy = c.p3.y - c.p0.y;
    const double length = std::hypot(dx, dy);
    auto distance = [&](const PointF& p) {
        if (length == 0)
            return std::hypot(p.x - c.p0.x, p.y - c.p0.y);
        return std::abs((p.x - c.p0.x) * dy - (p.y - c.p0.y) * dx) / length;
    };
    if (depth >= 16 || std::max(distance(c.p1), distance(c.p2)) <= kBezierTolerance) {
        const Point end{static_cast<int>(std::floor(c.p3.x + 0.5)), static_cast<int>(std::floor(c.p3.y + 0.5))};
        if (!(end == out.back()))
            out.push_back(end);
        return;
    }
    auto mid = [](const PointF& a, const PointF& b) { return PointF{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
    const PointF a = mid(c.p0, c.p1), b = mid(c.p1, c.p2), d = mid(c.p2, c.p3);
    const PointF ab = mid(a, b), bd = mid(b, d), m = mid(ab, bd);
    flattenCubic({c.p0, a, ab, m}, out, depth + 1);
    flattenCubic({m, bd, d, c.p3}, out, depth + 1);
}

} // namespace

void Canvas::polyBezier(std::span<const Point> points)
{
    if (points.size() < 4)
        return;
    std::vector<Point> flat{points[0]};
    auto real = [](const Point& p) { return PointF{static_cast<double>(p.x), static_cast<double>(p.y)}; };
    for (std::size_t i = 0; i + 3 < points.size(); i += 3)
        flattenCubic({real(points[i]), real(points[i + 1]), real(points[i + 2]), real(points[i + 3])}, flat, 0);
    strokePath(flat, false);
}

void Canvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    const Rect box = Rect{left, top, right, bottom}.normalized();
    if (box.isEmpty())
        return;
    const std::int64_t w = std::min<std::int64_t>(std::llabs(cornerWidth), box.width());
    const std::int64_t h = std::min<std::int64_t>(std::llabs(cornerHeight), box.height());
    // Corners larger than any bitmap cannot be told from a plain rectangle where they show.
    if (w <= 2 || h <= 2 || w > kHugeEllipse || h > kHugeEllipse) {
        rectangle(box.left, box.top, box.right, box.bottom);
        return;
    }
    Bitmap& target = *m_target;
    const Rect edge = penBox(box);
    const std::int64_t l = edge.left, t = edge.top, r = edge.right, b = edge.bottom;
    // The corner ellipse, its halves pushed out to the box's corners; the straight edges join them.
    auto place = [&](std::int64_t x, std::int64_t y) {
        return Point{static_cast<int>(2 * x < w ? l + x : r - w + x), static_cast<int>(2 * y < h ? t + y : b - h + y)};
    };
    // The fill lies between each row's outermost outline pixels, taken unclipped so that a shape hanging
    // over the bitmap's edge still fills up to that edge.
    std::vector<Span> outlinePixels;
    auto add = [&](std::int64_t x, std::int64_t y) {
        if (y >= -1 && y <= target.height())
            outlinePixels.push_back(
                {static_cast<int>(y), static_cast<int>(std::clamp<std::int64_t>(x, -2, target.width() + 1)),
                    static_cast<int>(std::clamp<std::int64_t>(x + 1, -1, target.width() + 2))});
    };
    ellipsePoints(0, 0, w - 1, h - 1, [&](std::int64_t x, std::int64_t y) {
        const Point p = place(x, y);
        add(p.x, p.y);
    });
    addRect(outlinePixels, l, t + h / 2, l + 1, b - h + h / 2 + (h & 1), target.height());
    addRect(outlinePixels, r - 1, t + h / 2, r, b - h + h / 2 + (h & 1), target.height());
    addRect(outlinePixels, l + w / 2, t, r - w + w / 2 + (w & 1), t + 1, target.height());
    addRect(outlinePixels, l + w / 2, b - 1, r - w + w / 2 + (w & 1), b, target.height());
    detail::normalizeSpans(outlinePixels);
    std::vector<Span> fill = spansBetweenEnds(outlinePixels);
    if (pen.style == PenStyle::Clear) {
        paintFigure(std::move(fill), {});
        return;
    }
    if (penWidth() <= 1 && dashPattern(pen.style).empty()) {
        detail::clipSpans(outlinePixels, target.width(), target.height());
        paintFigure(std::move(fill), {std::move(outlinePixels), {}});
        return;
    }
    paintFigure(std::move(fill), outlineOf(ellipsePath(w, h, place), true));
}

void Canvas::arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    arcFigure(Figure::Arc, left, top, right, bottom, x1, y1, x2, y2);
}

void Canvas::chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    arcFigure(Figure::Chord, left, top, right, bottom, x1, y1, x2, y2);
}

void Canvas::pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    arcFigure(Figure::Pie, left, top, right, bottom, x1, y1, x2, y2);
}

void Canvas::arcFigure(Figure figure, int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    const Rect box = Rect{left, top, right, bottom}.normalized();
    if (box.isEmpty())
        return;
    const double cx = (std::int64_t{box.left} + box.right - 1) / 2.0,
                 cy = (std::int64_t{box.top} + box.bottom - 1) / 2.0;
    // Angles grow counter-clockwise on the screen, where y points down.
    const double start = std::atan2(cy - y1, x1 - cx), end = std::atan2(cy - y2, x2 - cx);
    double sweep = end - start;
    while (sweep <= 0)
        sweep += 2 * M_PI;
    std::vector<std::pair<double, Point>> onCurve;
    ellipsePoints(
        box.left, box.top, std::int64_t{box.right} - 1, std::int64_t{box.bottom} - 1,
        [&](std::int64_t x, std::int64_t y) {
            double a = std::atan2(cy - static_cast<double>(y), static_cast<double>(x) - cx) - start;
            while (a < 0)
                a += 2 * M_PI;
            while (a >= 2 * M_PI)
                a -= 2 * M_PI;
            if (a < sweep)
                onCurve.push_back({a, {static_cast<int>(x), static_cast<int>(y)}});
        },
        -1, m_target->height(), -1, m_target->width());
    std::sort(onCurve.begin(), onCurve.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Point> path;
    for (const auto& [angle, p] : onCurve) {
        if (path.empty() || !(path.back() == p))
            path.push_back(p);
    }
    if (path.empty())
        return;
    if (figure == Figure::Pie)
        path.push_back({static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy))});
    Bitmap& target = *m_target;
    if (figure != Figure::Arc) {
        std::vector<Span> fill = polygonSpans(path, target.height());
        detail::clipSpans(fill, target.width(), target.height());
        applyClip(fill);
        detail::paintBrushSpans(target, pen.mode, brush, fill, hatchBackground());
    }
    const Pen saved = pen;
    if (figure == Figure::Arc) {
        path.push_back(path.back());
        strokePath(path, false);
    } else {
        strokePath(path, true);
    }
    pen = saved;
}

namespace {

// The connected area around a seed, as spans: a span is grown left and right along its row, then the
// rows above and below are scanned for runs that continue it. The area is found first and painted
// after, so a brush that writes the key colour cannot confuse the search.
template <typename Inside> std::vector<Span> floodArea(int width, int height, int x, int y, Inside inside)
{
    const std::size_t wordsPerRow = (static_cast<std::size_t>(width) + 63) / 64;
    std::vector<std::uint64_t> seen(wordsPerRow * static_cast<std::size_t>(height), 0);
    auto isSeen = [&](int px, int py) {
        return (seen[static_cast<std::size_t>(py) * wordsPerRow + (px >> 6)] >> (px & 63)) & 1;
    };
    auto markSeen = [&](int py, int x0, int x1) {
        std::uint64_t* row = &seen[static_cast<std::size_t>(py) * wordsPerRow];
        for (int px = x0; px < x1;) {
            if ((px & 63) == 0 && px + 64 <= x1) {
                row[px >> 6] = ~std::uint64_t{0};
                px += 64;
                continue;
            }
            row[px >> 6] |= std::uint64_t{1} << (px & 63);
            ++px;
        }
    };
    // Runs found inside and not yet seen when they were pushed. A pixel of a run that has been seen since
    // means its whole maximal run was taken, because runs are marked whole.
    std::vector<Span> area;
    if (!inside(x, y))
        return area;
    std::vector<Span> stack{{y, x, x + 1}};
    while (!stack.empty()) {
        const Span run = stack.back();
        stack.pop_back();
        if (isSeen(run.x0, run.y))
            continue;
        int x0 = run.x0, x1 = run.x1;
        while (x0 > 0 && inside(x0 - 1, run.y))
            --x0;
        while (x1 < width && inside(x1, run.y))
            ++x1;
        markSeen(run.y, x0, x1);
        area.push_back({run.y, x0, x1});
        for (const int ny : {run.y - 1, run.y + 1}) {
            if (ny < 0 || ny >= height)
                continue;
            const std::uint64_t* seenRow = &seen[static_cast<std::size_t>(ny) * wordsPerRow];
            int start = -1;
            for (int nx = x0; nx < x1; ++nx) {
                if ((nx & 63) == 0 && nx + 64 <= x1 && seenRow[nx >> 6] == ~std::uint64_t{0}) {
                    if (start >= 0)
                        stack.push_back({ny, start, nx});
                    start = -1;
                    nx += 63;
                    continue;
                }
                const bool open = !((seenRow[nx >> 6] >> (nx & 63)) & 1) && inside(nx, ny);
                if (open && start < 0)
                    start = nx;
                else if (!open && start >= 0) {
                    stack.push_back({ny, start, nx});
                    start = -1;
                }
            }
            if (start >= 0)
                stack.push_back({ny, start, x1});
        }
    }
    return area;
}

} // namespace

void Canvas::floodFill(int x, int y, Color color, FillStyle style)
{
    Bitmap& target = *m_target;
    const int w = target.width(), h = target.height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    const std::uint32_t key = target.rawFromColor(resolveColor(color));
    const bool surface = style == FillStyle::Surface;
    std::vector<Span> area;
    if (target.format() == PixelFormat::Bits24) {
        const std::uint8_t k0 = static_cast<std::uint8_t>(key >> 16), k1 = static_cast<std::uint8_t>(key >> 8),
                           k2 = static_cast<std::uint8_t>(key);
        const std::uint8_t* bits = target.bits();
        const std::size_t stride = target.stride();
        area = floodArea(w, h, x, y, [=](int px, int py) {
            const std::uint8_t* p = bits + static_cast<std::size_t>(py) * stride + static_cast<std::size_t>(px) * 3;
            return (p[0] == k0 && p[1] == k1 && p[2] == k2) == surface;
        });
    } else {
        area = floodArea(w, h, x, y, [&](int px, int py) { return (target.rawPixel(px, py) == key) == surface; });
    }
    applyClip(area);
    detail::paintBrushSpans(target, PenMode::Copy, brush, area, hatchBackground());
}

std::vector<Span> detail::polygonSpans(std::span<const PointF> points, int height)
{
    std::vector<Span> spans;
    if (points.size() < 3)
        return spans;
    double top = points[0].y, bottom = points[0].y;
    for (const PointF& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const auto y0 = static_cast<std::int64_t>(std::max(std::ceil(top), 0.0));
    const auto y1 = static_cast<std::int64_t>(std::min(std::ceil(bottom), static_cast<double>(height)));
    std::vector<double> crossings;
    for (std::int64_t y = y0; y < y1; ++y) {
        crossings.clear();
        const auto fy = static_cast<double>(y);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const PointF a = points[i], b = points[(i + 1) % points.size()];
            if (a.y == b.y)
                continue;
            const PointF lo = a.y < b.y ? a : b, hi = a.y < b.y ? b : a;
            if (fy < lo.y || fy >= hi.y)
                continue;
            crossings.push_back(lo.x + (fy - lo.y) * (hi.x - lo.x) / (hi.y - lo.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double x0 = std::clamp(std::ceil(crossings[i] - 1e-9), INT32_MIN / 2.0, INT32_MAX / 2.0);
            const double x1 = std::clamp(std::ceil(crossings[i + 1] - 1e-9), INT32_MIN / 2.0, INT32_MAX / 2.0);
            if (x0 < x1)
                spans.push_back({static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)});
        }
    }
    detail::normalizeSpans(spans);
    return spans;
}

} // namespace daubix::gfx

namespace daubix::gfx {

int Canvas::textWidth(std::string_view text) const
{
    return textExtent(font, text).width;
}

int Canvas::textHeight(std::string_view text) const
{
    return textExtent(font, text).height;
}

} // namespace daubix::gfx
