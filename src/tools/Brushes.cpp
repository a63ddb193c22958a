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
    const int side = 2 * r;
    gfx::Bitmap s = copySquare(target, x - r, y - r, side, side);
    if (m->filter) {
        for (int row = 0; row < side; ++row) {
            std::uint8_t* p = s.scanLine(row);
            for (int col = 0; col < side; ++col, p += 3)
                m->filter(p);
        }
    } else {
        // In place: the left and upper neighbours are already smoothed when a pixel is reached.
        for (int row = 1; row < side - 1; ++row)
            for (int col = 1; col < side - 1; ++col)
                for (int c = 0; c < 3; ++c) {
                    const auto at = [&](int cx, int cy) { return s.scanLine(cy)[cx * 3 + c]; };
                    const int sum = at(col - 1, row) + at(col + 1, row) + at(col, row - 1) + at(col, row + 1);
                    s.scanLine(row)[col * 3 + c] = static_cast<std::uint8_t>(roundHalfEven(sum / 4.0));
                }
    }
    whiteOutsideDisc(s);
    for (int row = 0; row < side; ++row) {
        const int ty = y - r + row;
        if (ty < 0 || ty >= target.height())
            continue;
        const std::uint8_t* p = s.scanLine(row);
        std::uint8_t* out = target.scanLine(ty);
        for (int col = 0; col < side; ++col, p += 3) {
            const int tx = x - r + col;
            if (tx >= 0 && tx < target.width() && !isWhite(p))
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
    for (std::int64_t i = a; i <= b; ++i) {
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
