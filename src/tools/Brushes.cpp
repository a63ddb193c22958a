#include "tools/Brushes.h"

#include "app/Arithmetic.h"
#include "gfx/Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace daubix::tools {

namespace {

using app::roundHalfEven;

struct SpotMode {
    std::string_view mode;
    void (*filter)(std::uint8_t* p); // p[0] blue, p[1] green, p[2] red
};

std::uint8_t ninetyPercent(std::uint8_t v)
{
    return static_cast<std::uint8_t>(v * 9 / 10);
}

constexpr SpotMode kSpotModes[] = {
    {"bluebrush", [](std::uint8_t* p) { p[1] = p[2] = 0; }}, {"greenbrush", [](std::uint8_t* p) { p[0] = p[2] = 0; }},
    {"redbrush", [](std::uint8_t* p) { p[0] = p[1] = 0; }}, {"notbluebrush", [](std::uint8_t* p) { p[0] = 0; }},
    {"notgreenbrush", [](std::uint8_t* p) { p[1] = 0; }}, {"notredbrush", [](std::uint8_t* p) { p[2] = 0; }},
    {"halfbluebrush", [](std::uint8_t* p) { p[0] = ninetyPercent(p[0]); }},
    {"halfgreenbrush", [](std::uint8_t* p) { p[1] = ninetyPercent(p[1]); }},
    {"halfredbrush", [](std::uint8_t* p) { p[2] = ninetyPercent(p[2]); }},
    {"darkerbrush",
        [](std::uint8_t* p) {
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(roundHalfEven(10.0 * p[c] / 11));
        }},
    {"lighterbrush",
        [](std::uint8_t* p) {
            // Stored modulo 256: bright values wrap to dark ones, so repeated strokes burn.
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(roundHalfEven(11.0 * p[c] / 10) & 0xFF);
        }},
    {"graybrush",
        [](std::uint8_t* p) {
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(roundHalfEven((p[0] + p[1] + p[2]) / 3.0));
        }},
    {"rollmixbrush",
        [](std::uint8_t* p) {
            const std::uint8_t b = p[0];
            p[0] = p[1];
            p[1] = p[2];
            p[2] = b;
        }},
    {"smoothbrush", nullptr}, // works on neighbours: see spotFilter
};

const SpotMode* spotMode(std::string_view mode)
{
    for (const SpotMode& m : kSpotModes)
        if (m.mode == mode)
            return &m;
    return nullptr;
}

// Square of the target at (x, y), 24 bits, white where it reaches outside the target.
gfx::Bitmap copySquare(const gfx::Bitmap& target, int x, int y, int w, int h)
{
    gfx::Bitmap out(w, h);
    for (int row = 0; row < h; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= target.height())
            continue;
        const int from = std::max(0, -x), to = std::min(w, target.width() - x);
        if (from < to)
            std::copy_n(target.scanLine(sy) + static_cast<std::size_t>(x + from) * 3,
                static_cast<std::size_t>(to - from) * 3, out.scanLine(row) + static_cast<std::size_t>(from) * 3);
    }
    return out;
}

bool isWhite(const std::uint8_t* p)
{
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

} // namespace

bool isSpotFilterMode(std::string_view mode)
{
    return spotMode(mode) != nullptr;
}

std::vector<effects::ColumnSpan> discSpans(int w, int h, const gfx::Rect& window)
{
    const int ww = static_cast<int>(std::max<std::int64_t>(window.width(), 0));
    const int wh = static_cast<int>(std::max<std::int64_t>(window.height(), 0));
    std::vector<effects::ColumnSpan> spans(static_cast<std::size_t>(wh));
    if (ww == 0 || wh == 0)
        return spans;
    // The canvas's ellipse, drawn shifted onto the window alone: its pixels do not depend on where the
    // box lies, and a byte per pixel is enough to tell black from white.
    gfx::Bitmap mask(ww, wh, gfx::PixelFormat::Bits8);
    {
        gfx::Canvas c(mask);
        c.brush.setColor(gfx::clBlack);
        c.ellipse(-window.left, -window.top, w - 1 - window.left, h - 1 - window.top);
    }
    const auto black = static_cast<std::uint8_t>(mask.rawFromColor(gfx::clBlack));
    for (int y = 0; y < wh; ++y) {
        const std::uint8_t* row = mask.scanLine(y);
        const std::uint8_t* first = std::find(row, row + ww, black);
        if (first == row + ww)
            continue;
        // A filled ellipse is one run per row: its outline's outermost pixels and all between.
        const std::uint8_t* last = row + ww;
        while (last[-1] != black)
            --last;
        spans[static_cast<std::size_t>(y)] = {static_cast<int>(first - row), static_cast<int>(last - row)};
    }
    return spans;
}

void whiteOutside(gfx::Bitmap& bmp, std::span<const effects::ColumnSpan> spans)
{
    const int rows = std::min(bmp.height(), static_cast<int>(spans.size()));
    for (int y = 0; y < rows; ++y) {
        const effects::ColumnSpan s = spans[static_cast<std::size_t>(y)];
        const int x0 = std::clamp(s.x0, 0, bmp.width()), x1 = std::clamp(s.x1, x0, bmp.width());
        std::uint8_t* row = bmp.scanLine(y);
        std::fill(row, row + static_cast<std::size_t>(x0) * 3, std::uint8_t{255});
        std::fill(
            row + static_cast<std::size_t>(x1) * 3, row + static_cast<std::size_t>(bmp.width()) * 3, std::uint8_t{255});
    }
}

void whiteOutsideDisc(gfx::Bitmap& bmp)
{
    whiteOutside(bmp, discSpans(bmp.width(), bmp.height(), {0, 0, bmp.width(), bmp.height()}));
}

gfx::Rect effectSquare(gfx::Point centre, int radius, int w, int h)
{
    // In 64 bits: a centre far off the image plus the radius would not fit in an int.
    std::int64_t cx = std::max<std::int64_t>(centre.x, radius), cy = std::max<std::int64_t>(centre.y, radius);
    if (cx + radius > w - 1)
        cx = std::int64_t{w} - radius - 1;
    if (cy + radius > h - 1)
        cy = std::int64_t{h} - radius - 1;
    return {static_cast<int>(cx - radius), static_cast<int>(cy - radius), static_cast<int>(cx + radius),
        static_cast<int>(cy + radius)};
}

void spotFilter(gfx::Bitmap& target, int x, int y, std::string_view mode, int r)
{
    const SpotMode* m = spotMode(mode);
    if (!m || r <= 0 || target.format() != gfx::PixelFormat::Bits24)
        return;
    // Beyond this a disc about a point near the image covers all of it; the square's corners stay in int.
    r = std::min(r, 1 << 29);
    // The brush works on the square (x - r, y - r) .. (x + r, y + r), white where it leaves the image.
    // Only the part within one pixel of the image matters: farther out every pixel is white and stays
    // white, so the square is cut there and a wide brush costs what it covers.
    const std::int64_t side = 2 * std::int64_t{r};
    const std::int64_t squareLeft = std::int64_t{x} - r, squareTop = std::int64_t{y} - r;
    const std::int64_t left = std::max<std::int64_t>(squareLeft, -1), top = std::max<std::int64_t>(squareTop, -1);
    const std::int64_t right = std::min<std::int64_t>(squareLeft + side, target.width() + 1);
    const std::int64_t bottom = std::min<std::int64_t>(squareTop + side, target.height() + 1);
    if (left >= right || top >= bottom)
        return;
    const int w = static_cast<int>(right - left), h = static_cast<int>(bottom - top);
    const int ox = static_cast<int>(left), oy = static_cast<int>(top);
    gfx::Bitmap s = copySquare(target, ox, oy, w, h);
    if (m->filter) {
        for (int row = 0; row < h; ++row) {
            std::uint8_t* p = s.scanLine(row);
            for (int col = 0; col < w; ++col, p += 3)
                m->filter(p);
        }
    } else {
        // In place, row by row: the left and upper neighbours are already smoothed when a pixel is reached.
        // Pixels on the square's border keep their colour; neighbours beyond the cut are white.
        const auto at = [&](int col, int row, int c) -> int {
            if (col < 0 || row < 0 || col >= w || row >= h)
                return 255;
            return s.scanLine(row)[col * 3 + c];
        };
        for (int row = 0; row < h; ++row) {
            const std::int64_t ay = top + row;
            if (ay <= squareTop || ay >= squareTop + side - 1)
                continue;
            for (int col = 0; col < w; ++col) {
                const std::int64_t ax = left + col;
                if (ax <= squareLeft || ax >= squareLeft + side - 1)
                    continue;
                for (int c = 0; c < 3; ++c) {
                    const int sum
                        = at(col - 1, row, c) + at(col + 1, row, c) + at(col, row - 1, c) + at(col, row + 1, c);
                    s.scanLine(row)[col * 3 + c] = static_cast<std::uint8_t>(roundHalfEven(sum / 4.0));
                }
            }
        }
    }
    // The disc: the ellipse inscribed in the whole square, drawn shifted onto the cut part.
    gfx::Bitmap mask(w, h);
    {
        gfx::Canvas c(mask);
        c.brush.setColor(gfx::clBlack);
        const std::int64_t l = squareLeft - left, t = squareTop - top;
        c.ellipse(
            static_cast<int>(l), static_cast<int>(t), static_cast<int>(l + side - 1), static_cast<int>(t + side - 1));
    }
    for (int row = 0; row < h; ++row) {
        const int ty = oy + row;
        if (ty < 0 || ty >= target.height())
            continue;
        const std::uint8_t* p = s.scanLine(row);
        const std::uint8_t* inside = mask.scanLine(row);
        std::uint8_t* out = target.scanLine(ty);
        for (int col = 0; col < w; ++col, p += 3, inside += 3) {
            const int tx = ox + col;
            // Outside the disc the mask whitens the square, and white is never written.
            if (tx >= 0 && tx < target.width() && inside[0] == 0 && !isWhite(p))
                std::copy_n(p, 3, out + static_cast<std::size_t>(tx) * 3);
        }
    }
}

void gradientLine(gfx::Bitmap& bmp, int line, int a, int b, gfx::Color c1, gfx::Color c2, bool smooth, bool vertical)
{
    if (bmp.format() != gfx::PixelFormat::Bits24)
        return;
    const int along = vertical ? bmp.height() : bmp.width();
    const int across = vertical ? bmp.width() : bmp.height();
    if (line < 0 || line >= across)
        return;
    if (a > b)
        std::swap(a, b);
    const auto pixel = [&](int i) {
        return vertical ? bmp.scanLine(i) + static_cast<std::size_t>(line) * 3
                        : bmp.scanLine(line) + static_cast<std::size_t>(i) * 3;
    };
    const double from[3]
        = {static_cast<double>(gfx::blue(c1)), static_cast<double>(gfx::green(c1)), static_cast<double>(gfx::red(c1))};
    const double to[3]
        = {static_cast<double>(gfx::blue(c2)), static_cast<double>(gfx::green(c2)), static_cast<double>(gfx::red(c2))};
    const double n = static_cast<double>(b) - a;
    double value[3], step[3];
    for (int c = 0; c < 3; ++c) {
        value[c] = from[c];
        step[c] = n == 0 ? 0 : (to[c] - from[c]) / n;
    }
    // The line is drawn as far as the bitmap reaches; a start far outside it is stepped over at once
    // (exactly enough for any line a brush can draw: those start within a pen width of the pointer).
    std::int64_t i = a;
    if (const std::int64_t skip = std::int64_t{-1} - a; skip > (1 << 20)) {
        for (int c = 0; c < 3; ++c)
            value[c] += step[c] * static_cast<double>(skip);
        i += skip;
    }
    const std::int64_t last = std::min<std::int64_t>(b, along - 1);
    for (; i <= last; ++i) {
        std::uint8_t rounded[3];
        for (int c = 0; c < 3; ++c) {
            value[c] += step[c];
            rounded[c] = static_cast<std::uint8_t>(std::clamp(roundHalfEven(value[c]), 0, 255));
        }
        if (i >= 0 && i < along)
            std::copy_n(rounded, 3, pixel(static_cast<int>(i)));
    }
    if (!smooth)
        return;
    for (const std::int64_t end : {std::int64_t{a} - 1, std::int64_t{b} + 1}) {
        if (end <= 0 || end >= along - 1 || line == 0 || line == across - 1)
            continue; // border pixels keep their colour
        const int i = static_cast<int>(end);
        const auto neighbour = [&](int di, int dl, int c) {
            const int x = vertical ? line + dl : i + di, y = vertical ? i + di : line + dl;
            return bmp.scanLine(y)[x * 3 + c];
        };
        std::uint8_t* p = pixel(i);
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>(
                (neighbour(-1, 0, c) + neighbour(1, 0, c) + neighbour(0, -1, c) + neighbour(0, 1, c)) >> 2);
    }
}

void rippleCircle(const gfx::Bitmap& src, gfx::Bitmap& dst, double a)
{
    rippleCircle(effects::SourceView::of(src), dst, effects::ResultWindow::of(dst), a);
}

namespace {

// Which source pixels of the ripple can land in a box of target pixels. The source pixel at offset
// S = (x - b, b - y) from the centre lands at offset P = S d / r from (b, midY), rounded, with the rows
// counted the other way (hence the mirror) and |d - r| <= b / |a|. So, in the plane where P = S d / r,
// S lies within b / |a| of the box, its distance from the centre within b / |a| of the box's distances
// and, when the box leaves the centre out, its direction within the box's angle. Every bound is widened
// by a pixel or two, so that no source pixel whose target lies in the box is passed over; the target
// itself is still checked.
class RippleSources {
public:
    // Targets at offsets x0 .. x1, y0 .. y1 (inclusive) from the centre; b is the disc's radius.
    RippleSources(double x0, double x1, double y0, double y1, double b, double a)
    {
        const double shift = std::isfinite(b / a) ? std::abs(b / a) : HUGE_VAL;
        // Rounding moves a target by half a pixel; the disc holds every target.
        x0 = std::max(x0 - 1, -b), x1 = std::min(x1 + 1, b);
        y0 = std::max(y0 - 1, -b), y1 = std::min(y1 + 1, b);
        m_empty = x0 > x1 || y0 > y1;
        const double margin = shift + 2;
        m_x0 = x0 - margin, m_x1 = x1 + margin, m_y0 = y0 - margin, m_y1 = y1 + margin;
        const double nx = std::max({x0, -x1, 0.0}), ny = std::max({y0, -y1, 0.0});
        const double fx = std::max(std::abs(x0), std::abs(x1)), fy = std::max(std::abs(y0), std::abs(y1));
        m_outer = std::min(b, std::sqrt(fx * fx + fy * fy)) + margin;
        m_inner = std::max(0.0, std::sqrt(nx * nx + ny * ny) - margin);
        if (x0 > 1 || x1 < -1 || y0 > 1 || y1 < -1) {
            // The box's angle from the centre: its corners, one pixel further out (the centre still
            // outside), seen from its middle.
            m_cone = true;
            const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
            double lo = HUGE_VAL, hi = -HUGE_VAL;
            for (const double px : {x0 - 1, x1 + 1})
                for (const double py : {y0 - 1, y1 + 1}) {
                    const double angle = std::atan2(cx * py - cy * px, cx * px + cy * py);
                    if (angle < lo)
                        lo = angle, m_e1x = px, m_e1y = py;
                    if (angle > hi)
                        hi = angle, m_e2x = px, m_e2y = py;
                }
        }
    }

    bool empty() const { return m_empty; }
    double lowestUp() const { return std::max(m_y0, -m_outer); }
    double highestUp() const { return std::min(m_y1, m_outer); }

    // For the source row at height dy, the offsets dx worth visiting, as up to two ranges (lo, hi);
    // returns how many.
    int columns(double dy, double (&lo)[2], double (&hi)[2]) const
    {
        if (m_empty || dy * dy > m_outer * m_outer)
            return 0;
        const double chord = std::sqrt(m_outer * m_outer - dy * dy);
        double l = std::max(m_x0, -chord), h = std::min(m_x1, chord);
        if (m_cone) {
            // dy and dx between the edges e1 (clockwise) and e2: cross(e1, S) >= 0 and cross(S, e2) >= 0.
            if (!halfPlane(m_e1x * dy, -m_e1y, l, h) || !halfPlane(-dy * m_e2x, m_e2y, l, h))
                return 0;
        }
        if (l > h)
            return 0;
        if (dy * dy < m_inner * m_inner) {
            const double hole = std::sqrt(m_inner * m_inner - dy * dy);
            if (l < -hole && h > hole) {
                lo[0] = l, hi[0] = -hole, lo[1] = hole, hi[1] = h;
                return 2;
            }
            if (l >= -hole && h <= hole)
                return 0;
            if (l >= -hole)
                l = std::max(l, hole);
            else
                h = std::min(h, -hole);
        }
        lo[0] = l, hi[0] = h;
        return 1;
    }

private:
    // Keeps the dx in lo .. hi with c + k dx >= 0, widened by a pixel; false when none remain.
    static bool halfPlane(double c, double k, double& lo, double& hi)
    {
        if (k > 0)
            lo = std::max(lo, -c / k - 1);
        else if (k < 0)
            hi = std::min(hi, -c / k + 1);
        else if (c < 0)
            return false;
        return lo <= hi;
    }

    bool m_empty = false;
    bool m_cone = false;
    double m_x0 = 0, m_x1 = 0, m_y0 = 0, m_y1 = 0;
    double m_outer = 0, m_inner = 0;
    double m_e1x = 0, m_e1y = 0, m_e2x = 0, m_e2y = 0;
};

} // namespace

void rippleCircle(const effects::SourceView& src, gfx::Bitmap& dst, const effects::ResultWindow& window, double a)
{
    const int b = src.width / 2, midY = src.height / 2;
    if (b <= 0 || a == 0)
        return;
    // The targets the window holds.
    const int tx0 = std::max(window.left, 0), tx1 = std::min(window.left + dst.width(), window.fullWidth);
    const int ty0 = std::max(window.top, 0), ty1 = std::min(window.top + dst.height(), window.fullHeight);
    if (tx0 >= tx1 || ty0 >= ty1)
        return;
    const RippleSources sources(tx0 - b, tx1 - 1 - b, ty0 - midY, ty1 - 1 - midY, b, a);
    if (sources.empty())
        return;
    // Rows in the source's order (top down), so that where two source pixels meet the later one wins.
    const double yFirst = std::max(0.0, std::floor(b - sources.highestUp()) - 1);
    const double yLast = std::min(src.height - 1.0, std::ceil(b - sources.lowestUp()) + 1);
    for (int y = static_cast<int>(yFirst); y <= yLast; ++y) {
        const double dy = b - y;
        double lo[2], hi[2];
        const int ranges = sources.columns(dy, lo, hi);
        int next = 0; // widened ranges may meet: each pixel is visited once, left to right
        for (int k = 0; k < ranges; ++k) {
            const int x0 = std::max(next, static_cast<int>(std::max(0.0, std::floor(b + lo[k]) - 1)));
            const int x1 = static_cast<int>(std::min(src.width - 1.0, std::ceil(b + hi[k]) + 1));
            next = std::max(next, x1 + 1);
            for (int x = x0; x <= x1; ++x) {
                const double dx = x - b;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double d = r + (b / a) * std::sin(a * (r / b) * 2 * std::numbers::pi);
                if (!(d > 0 && d < b))
                    continue;
                const double phi = std::atan2(dy, dx);
                const int tx = b + roundHalfEven(d * std::cos(phi)), ty = midY + roundHalfEven(d * std::sin(phi));
                if (tx >= tx0 && ty >= ty0 && tx < tx1 && ty < ty1)
                    std::copy_n(src.pixel(x, y), 3,
                        dst.scanLine(ty - window.top) + static_cast<std::size_t>(tx - window.left) * 3);
            }
        }
    }
}

} // namespace daubix::tools
