#include "effects/ImageEffects.h"

#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "gfx/HalftoneMap.h"

#include <algorithm>
#include <array>

namespace daubix::effects {

namespace {

// Round(0.3 R + 0.59 G + 0.11 B) with halves to even, in whole numbers: the sum is s / 100 with
// s = 30 R + 59 G + 11 B. Computed in doubles the formula would let its rounding error decide the exact
// halves (0, 45, 45 is 31.5 but comes out as 31.499999999999996).
inline std::uint8_t greyOf(int r, int g, int b)
{
    const int s = 30 * r + 59 * g + 11 * b;
    const int whole = s / 100, rest = s - 100 * whole;
    return static_cast<std::uint8_t>(whole + (rest > 50 || (rest == 50 && (whole & 1) != 0) ? 1 : 0));
}

std::int64_t pixelsOf(const gfx::Bitmap& bmp)
{
    return std::int64_t{bmp.width()} * bmp.height();
}

// The halftone index of each pixel, taking red, green and blue from the given byte offsets of the blue,
// green, red pixel.
gfx::Bitmap halftoneIndices(const gfx::Bitmap& bmp, int r, int g, int b)
{
    // Every pixel is written, so the result needs no white first; a new 8-bit bitmap has the halftone palette.
    gfx::Bitmap out = gfx::Bitmap::zeroed(bmp.width(), bmp.height(), gfx::PixelFormat::Bits8);
    const gfx::HalftoneMap& halftone = gfx::HalftoneMap::instance();
    const int w = bmp.width();
    detail::inTwoBands(bmp.height(), pixelsOf(bmp), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* in = bmp.scanLine(y);
            std::uint8_t* o = out.scanLine(y);
            for (int x = 0; x < w; ++x, in += 3)
                o[x] = halftone(in[r], in[g], in[b]);
        }
    });
    return out;
}

} // namespace

void grayscale(gfx::Bitmap& bmp)
{
    const int w = bmp.width();
    detail::inTwoBands(bmp.height(), pixelsOf(bmp), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* p = bmp.scanLine(y);
            for (int x = 0; x < w; ++x, p += 3)
                p[0] = p[1] = p[2] = greyOf(p[2], p[1], p[0]);
        }
    });
}

void spray(gfx::Bitmap& bmp, app::Random& random)
{
    const int w = bmp.width(), h = bmp.height();
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const int r = random(30);
            const int sx = x + r - random(2 * r);
            const int sy = y + r - random(2 * r);
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                std::copy_n(bmp.scanLine(sy) + sx * 3, 3, bmp.scanLine(y) + sx * 3);
        }
    }
}

gfx::Bitmap reducedTo8Bits(const gfx::Bitmap& bmp)
{
    return halftoneIndices(bmp, 2, 1, 0);
}

gfx::Bitmap permutedTo8Bits(const gfx::Bitmap& bmp, ChannelOrder order)
{
    // Where the new red, green and blue come from, as byte offsets into the old blue, green, red pixel.
    static constexpr std::array<std::array<int, 3>, 4> kSources{{{0, 2, 1}, {2, 0, 1}, {1, 2, 0}, {0, 1, 2}}};
    const auto [r, g, b] = kSources[static_cast<std::size_t>(order)];
    return halftoneIndices(bmp, r, g, b);
}

void shadow(gfx::Bitmap& bmp, ShadowDirection direction)
{
    constexpr int kReach = 4;
    const int w = bmp.width(), h = bmp.height();
    if (w <= kReach || h <= kReach)
        return;
    const bool up = direction == ShadowDirection::UpLeft || direction == ShadowDirection::UpRight;
    const bool left = direction == ShadowDirection::UpLeft || direction == ShadowDirection::DownLeft;
    // The neighbour always lies four rows away, so whichever order the columns run in, a row reads only
    // rows not yet processed as long as the rows run away from the neighbour: top down when it lies
    // below. Each value is then min(v, u + 1) of the untouched picture; u + 1 only counts when u < v, so
    // it never passes 255.
    const std::size_t bytes = static_cast<std::size_t>(w - kReach) * 3;
    const std::size_t selfStart = left ? 0 : kReach * 3, otherStart = left ? kReach * 3 : 0;
    const auto shadeRow = [&](int y) {
        std::uint8_t* __restrict row = bmp.scanLine(y) + selfStart;
        const std::uint8_t* __restrict other = bmp.scanLine(up ? y + kReach : y - kReach) + otherStart;
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = other[i] < row[i] ? static_cast<std::uint8_t>(other[i] + 1) : row[i];
    };
    if (up) {
        for (int y = 0; y < h - kReach; ++y)
            shadeRow(y);
    } else {
        for (int y = h - 1; y >= kReach; --y)
            shadeRow(y);
    }
}

void invertBytes(gfx::Bitmap& bmp)
{
    const std::int64_t bits = std::int64_t{bmp.width()} * bmp.bitsPerPixel();
    const auto pixelBytes = static_cast<std::size_t>((bits + 7) / 8);
    const std::size_t count = std::min(static_cast<std::size_t>(bmp.width()), pixelBytes);
    // Below 8 bits the last byte may hold bits past the last pixel, which stay zero as in every row.
    const int spare = count == pixelBytes ? static_cast<int>((8 - bits % 8) % 8) : 0;
    const auto lastMask = static_cast<std::uint8_t>(0xFF << spare);
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* row = bmp.scanLine(y);
        for (std::size_t i = 0; i < count; ++i)
            row[i] = static_cast<std::uint8_t>(~row[i]);
        if (count > 0)
            row[count - 1] &= lastMask;
    }
}

} // namespace daubix::effects
