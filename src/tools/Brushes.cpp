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

// The mask of the disc inscribed in a w x h box: a white bitmap with a filled black ellipse, as the
// canvas draws it. Brushes ask for the same size move after move, so the last one is kept.
const gfx::Bitmap& discMask(int w, int h)
{
    thread_local gfx::Bitmap mask;
    if (mask.width() != w || mask.height() != h) {
        mask = gfx::Bitmap(w, h);
        gfx::Canvas c(mask);
        c.brush.setColor(gfx::clBlack);
        c.ellipse(0, 0, w - 1, h - 1);
    }
    return mask;
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

void whiteOutsideDisc(gfx::Bitmap& bmp)
{
    const gfx::Bitmap& mask = discMask(bmp.width(), bmp.height());
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        const std::uint8_t* m = mask.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3, m += 3)
            if (m[0] != 0)
                p[0] = p[1] = p[2] = 255;
    }
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
    const int b = src.width() / 2, midY = src.height() / 2;
    if (b <= 0 || a == 0)
        return;
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* p = src.scanLine(y);
        for (int x = 0; x < src.width(); ++x, p += 3) {
            const double dx = x - b, dy = b - y;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double d = r + (b / a) * std::sin(a * (r / b) * 2 * std::numbers::pi);
            if (!(d > 0 && d < b))
                continue;
            const double phi = std::atan2(dy, dx);
            const int tx = b + roundHalfEven(d * std::cos(phi)), ty = midY + roundHalfEven(d * std::sin(phi));
            if (tx >= 0 && ty >= 0 && tx < dst.width() && ty < dst.height())
                std::copy_n(p, 3, dst.scanLine(ty) + static_cast<std::size_t>(tx) * 3);
        }
    }
}

} // namespace daubix::tools
