#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"
#include "gfx/Canvas.h"

#include <cstring>

namespace daubix::effects {

using app::roundHalfEven;

void TketPaintFX::Fractal(
    gfx::Bitmap& bmp, int maxIter, double left, double top, double right, double bottom, bool mandelbrot)
{
    static constexpr gfx::Color kPalette[16] = {gfx::clBlack, gfx::rgb(0, 0, 128), gfx::rgb(0, 128, 0),
        gfx::rgb(0, 255, 255), gfx::rgb(255, 0, 0), gfx::rgb(128, 0, 128), gfx::rgb(128, 0, 0), gfx::rgb(192, 192, 192),
        gfx::rgb(128, 128, 128), gfx::rgb(0, 0, 255), gfx::rgb(0, 255, 0), gfx::rgb(128, 128, 0), gfx::rgb(255, 0, 255),
        gfx::rgb(0, 128, 128), gfx::rgb(255, 255, 0), gfx::clWhite};
    bmp.convertTo(gfx::PixelFormat::Bits24);
    maxIter = std::max(maxIter, 16);
    const int w = bmp.width(), h = bmp.height();
    if (w == 0 || h == 0)
        return;
    const double xstep = (right - left) / w, ystep = (bottom - top) / h;
    double cr = 0, ci = 1;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = bmp.scanLine(y);
        for (int x = 0; x < w; ++x) {
            double zr = left + x * xstep, zi = top + y * ystep;
            if (mandelbrot) {
                cr = zr, ci = zi;
                zr = 0, zi = 0;
            }
            int j = 0;
            double remembered = 0;
            while (j <= maxIter && remembered < 4) {
                remembered = zr * zr + zi * zi;
                const double nr = zr * zr - zi * zi + cr;
                zi = 2 * zr * zi + ci;
                zr = nr;
                ++j;
            }
            const int n = j - 1;
            const int index = n == maxIter ? 0 : std::min(15, roundHalfEven(n / (maxIter / 16.0)));
            const gfx::Color c = kPalette[std::max(index, 0)];
            out[x * 3] = static_cast<std::uint8_t>(gfx::blue(c));
            out[x * 3 + 1] = static_cast<std::uint8_t>(gfx::green(c));
            out[x * 3 + 2] = static_cast<std::uint8_t>(gfx::red(c));
        }
    }
}

void TketPaintFX::Triangles(gfx::Bitmap& bmp, int amount)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int a = (std::max(amount, 5) / 2) * 2 + 1, half = a / 2;
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* row = bmp.scanLine(y);
        std::uint8_t held[3];
        std::memcpy(held, row, 3);
        int f = y % (a - 1);
        if (f > half)
            f = 2 * half - f;
        if (f == 0)
            f = a;
        const int e = std::abs(half - (y % a)) + half;
        for (int x = 0; x < bmp.width(); ++x) {
            if (x % f == 0)
                std::memcpy(held, row + x * 3, 3);
            if (x % e == 1)
                std::memcpy(held, row + x * 3, 3);
            std::memcpy(row + x * 3, held, 3);
        }
    }
}

namespace {
// The saw-tooth and random ripples: each row, bottom-up, smeared downward by a varying offset.
template <typename NextOffset> void ripple(gfx::Bitmap& bmp, int amount, NextOffset next)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int h = bmp.height(), a = std::clamp(amount, 0, h / 2);
    for (int y = h - a - 1; y >= 0; --y) {
        const std::uint8_t* row = bmp.scanLine(y);
        int k = 0;
        for (int x = 0; x < bmp.width(); ++x) {
            if (y + k < h)
                std::memcpy(bmp.scanLine(y + k) + x * 3, row + x * 3, 3);
            k = next(k, a);
        }
    }
}
} // namespace

void TketPaintFX::RippleTooth(gfx::Bitmap& bmp, int amount)
{
    ripple(bmp, amount, [](int k, int a) { return k + 1 > a ? 0 : k + 1; });
}

void TketPaintFX::RippleRandom(gfx::Bitmap& bmp, int amount)
{
    m_random.seedFromClock();
    ripple(bmp, amount, [this](int, int a) { return m_random(a); });
}

namespace {
void tile(gfx::Bitmap& bmp, int size, bool overlap)
{
    const int c = std::min(bmp.height() / 2, std::min(bmp.width() / 2, size));
    if (c <= 0)
        return;
    gfx::Bitmap thumb(c, c);
    gfx::Canvas(thumb).stretchDraw({0, 0, c, c}, bmp);
    const int step = overlap ? std::max(1, roundHalfEven(2.0 * c / 3)) : c;
    gfx::Canvas canvas(bmp);
    for (int y = 0; y < bmp.height(); y += step)
        for (int x = 0; x < bmp.width(); x += step)
            canvas.draw(x, y, thumb);
}
} // namespace

void TketPaintFX::TextureTile(gfx::Bitmap& bmp, int size)
{
    tile(bmp, size, false);
}

void TketPaintFX::TextureOverlap(gfx::Bitmap& bmp, int size)
{
    tile(bmp, size, true);
}

void TketPaintFX::Map(gfx::Bitmap& bmp, int amount)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const gfx::Bitmap copy = bmp;
    for (int y = 0; y < copy.height(); ++y) {
        const std::uint8_t* row = copy.scanLine(y);
        for (int x = 0; x < copy.width(); ++x) {
            const std::uint8_t* p = row + x * 3;
            const int target = y - roundHalfEven((p[0] + p[1] + p[2]) / 3.0 / 255 * amount);
            if (target >= 0 && target < bmp.height())
                std::memcpy(bmp.scanLine(target) + x * 3, p, 3);
        }
    }
}

namespace {
// One channel-wise blend: round((1 - e) a + e b).
void mix(std::uint8_t* a, const std::uint8_t* b, double e)
{
    for (int c = 0; c < 3; ++c)
        a[c] = detail::clampByte(roundHalfEven((1 - e) * a[c] + e * b[c]));
}
} // namespace

void TketPaintFX::Seam(gfx::Bitmap& bmp, int size)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int w = bmp.width(), h = bmp.height();
    if (size <= 0 || w == 0 || h == 0)
        return;
    for (int r = 0; r <= size && r < h; ++r) {
        const double e = 1 - static_cast<double>(r) / size;
        std::uint8_t* top = bmp.scanLine(r);
        std::uint8_t* bottom = bmp.scanLine(h - 1 - r);
        for (int x = r; x <= w - 1 - r; ++x)
            mix(bottom + x * 3, top + x * 3, e);
        for (int f = 0; f <= r && f < w; ++f) {
            const double g = 1 - static_cast<double>(f) / size;
            mix(top + (w - 1 - f) * 3, top + f * 3, g);
            mix(bottom + (w - 1 - f) * 3, bottom + f * 3, g);
        }
    }
    for (int y = size; y <= h - 1 - size; ++y) {
        std::uint8_t* row = bmp.scanLine(y);
        for (int d = 0; d <= size && d < w; ++d) {
            const double e = 1 - static_cast<double>(d) / size;
            mix(row + (w - 1 - d) * 3, row + d * 3, e);
        }
    }
}

void TketPaintFX::Buttonize(gfx::Bitmap& bmp, int size, int amount)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int w = bmp.width(), h = bmp.height();
    if (size <= 0 || w == 0 || h == 0)
        return;
    auto lighten = [amount](std::uint8_t* p) {
        for (int c = 0; c < 3; ++c)
            p[c] = detail::clampByte(p[c] + (amount * (255 - p[c])) / 255);
    };
    auto darken = [amount](std::uint8_t* p) {
        for (int c = 0; c < 3; ++c)
            p[c] = detail::clampByte(p[c] - (amount * p[c]) / 255);
    };
    for (int r = 0; r <= size && r < h; ++r) {
        std::uint8_t* top = bmp.scanLine(r);
        std::uint8_t* bottom = bmp.scanLine(h - 1 - r);
        for (int x = r; x <= w - 1 - r; ++x)
            lighten(top + x * 3);
        for (int x = r; x <= w - 1 - r; ++x)
            darken(bottom + x * 3);
        for (int c = 0; c <= r && c < w; ++c) {
            lighten(top + c * 3);
            lighten(bottom + c * 3);
            darken(top + (w - 1 - c) * 3);
            darken(bottom + (w - 1 - c) * 3);
        }
    }
    if (h - size - 2 >= size + 1) {
        for (int y = size + 1; y <= h - size - 2; ++y) {
            std::uint8_t* row = bmp.scanLine(y);
            for (int c = 0; c <= size && c < w; ++c)
                lighten(row + c * 3);
            for (int c = 0; c <= size && c < w; ++c)
                darken(row + (w - 1 - c) * 3);
        }
    }
}

} // namespace daubix::effects
