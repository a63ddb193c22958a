#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace daubix::effects {

namespace {

// The convolution's inner loops, built for wide vector units where the processor has them.
using Lanes16 = std::int16_t __attribute__((vector_size(32)));

// One output row from its source rows and weights, sixteen values at a time kept in a register across
// all taps; the sums go through the quotient table.
__attribute__((target_clones("avx2", "default"))) void convolveRow16(std::uint8_t* __restrict out,
    const std::int16_t* const* sources, const std::int16_t* weights, int taps, std::size_t n,
    const std::uint8_t* quotient)
{
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        Lanes16 acc = {};
        for (int t = 0; t < taps; ++t) {
            Lanes16 values;
            std::memcpy(&values, sources[t] + i, sizeof values);
            acc += values * weights[t];
        }
        for (int l = 0; l < 16; ++l)
            out[i + static_cast<std::size_t>(l)] = quotient[static_cast<std::uint16_t>(acc[l])];
    }
    for (; i < n; ++i) {
        int acc = 0;
        for (int t = 0; t < taps; ++t)
            acc += weights[t] * sources[t][i];
        out[i] = quotient[static_cast<std::uint16_t>(static_cast<std::int16_t>(acc))];
    }
}

__attribute__((target_clones("avx2", "default"))) void accumulate32(
    std::int32_t* __restrict acc, const std::int16_t* __restrict src, std::int32_t weight, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        acc[i] += weight * src[i];
}

} // namespace

void TketPaintFX::AntiAliasArea(gfx::Bitmap& bmp, int x1, int y1, int x2, int y2)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    x1 = std::max(1, x1);
    y1 = std::max(1, y1);
    x2 = std::min(bmp.width() - 2, x2);
    y2 = std::min(bmp.height() - 2, y2);
    // In place: the neighbours above and to the left already hold their new values.
    for (int y = y1; y <= y2; ++y) {
        const std::uint8_t* up = bmp.scanLine(y - 1);
        std::uint8_t* row = bmp.scanLine(y);
        const std::uint8_t* down = bmp.scanLine(y + 1);
        for (int x = x1; x <= x2; ++x)
            for (int c = 0; c < 3; ++c) {
                const int i = x * 3 + c;
                row[i] = static_cast<std::uint8_t>((up[i] + down[i] + row[i - 3] + row[i + 3]) >> 2);
            }
    }
}

void TketPaintFX::AntiAlias(gfx::Bitmap& bmp)
{
    AntiAliasArea(bmp, 0, 0, bmp.width(), bmp.height());
}

void TketPaintFX::SplitBlur(gfx::Bitmap& bmp, int distance)
{
    const int w = bmp.width(), h = bmp.height();
    // The edge rule reads row H - y and column W - x, so the distance must stay below both sizes.
    const int d = std::min(distance, std::min(w, h) - 1);
    if (d <= 0)
        return;
    std::vector<int> left(static_cast<std::size_t>(w)), right(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        left[static_cast<std::size_t>(x)] = (x - d < 0 ? x : x - d) * 3;
        right[static_cast<std::size_t>(x)] = (x + d >= w ? w - x : x + d) * 3;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* upper = bmp.scanLine(y - d < 0 ? y : y - d);
        const std::uint8_t* lower = bmp.scanLine(y + d >= h ? h - y : y + d);
        std::uint8_t* row = bmp.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int l = left[static_cast<std::size_t>(x)], r = right[static_cast<std::size_t>(x)];
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c]
                    = static_cast<std::uint8_t>((upper[l + c] + lower[l + c] + upper[r + c] + lower[r + c]) >> 2);
        }
    }
}

void TketPaintFX::GaussianBlur(gfx::Bitmap& bmp, int passes)
{
    for (int pass = passes; pass >= 0; --pass)
        SplitBlur(bmp, 3);
}

void TketPaintFX::Emboss(gfx::Bitmap& bmp)
{
    const int w = bmp.width(), h = bmp.height();
    if (h < 2 || w < 4)
        return;
    const std::size_t bytes = static_cast<std::size_t>(w - 3) * 3;
    for (int y = 0; y <= h - 2; ++y) {
        std::uint8_t* __restrict row = bmp.scanLine(y);
        const std::uint8_t* __restrict below = bmp.scanLine(y + 1) + 9; // three pixels right, one row down
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = static_cast<std::uint8_t>(((255 - below[i]) + row[i]) >> 1);
    }
}

void TketPaintFX::Mosaic(gfx::Bitmap& bmp, int size)
{
    if (size <= 1)
        return;
    const int w = bmp.width(), h = bmp.height();
    for (int by = 0; by < h; by += size) {
        std::uint8_t* first = bmp.scanLine(by);
        for (int bx = 0; bx < w; bx += size) {
            const std::uint8_t* corner = first + bx * 3;
            const int x1 = std::min(w, bx + size);
            for (int x = bx + 1; x < x1; ++x)
                std::memcpy(first + x * 3, corner, 3);
        }
        const std::size_t bytes = static_cast<std::size_t>(w) * 3;
        for (int y = by + 1; y < std::min(h, by + size); ++y)
            std::memcpy(bmp.scanLine(y), first, bytes);
    }
}

void TketPaintFX::Convolve5x5(gfx::Bitmap& bmp, const std::array<int, 25>& k)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int w = bmp.width(), h = bmp.height();
    if (w == 0 || h == 0)
        return;
    int sum = 0;
    for (int v : k)
        sum += static_cast<std::int16_t>(v);
    const int divisor = sum == 0 ? 1 : sum;
    // A copy padded by two pixels on every side with the border pixels repeated, so the inner loop
    // needs no clamping; channels widened to 16 bits so the products vectorise.
    const int pw = w + 4;
    std::vector<std::int16_t> padded(static_cast<std::size_t>(pw) * 3 * static_cast<std::size_t>(h + 4));
    for (int py = 0; py < h + 4; ++py) {
        const std::uint8_t* src = bmp.scanLine(std::clamp(py - 2, 0, h - 1));
        std::int16_t* out = &padded[static_cast<std::size_t>(py) * pw * 3];
        for (int px = 0; px < pw; ++px) {
            const std::uint8_t* p = src + std::clamp(px - 2, 0, w - 1) * 3;
            out[px * 3] = p[0], out[px * 3 + 1] = p[1], out[px * 3 + 2] = p[2];
        }
    }
    const std::size_t rowValues = static_cast<std::size_t>(w) * 3;
    int absSum = 0;
    for (int v : k)
        absSum += std::abs(static_cast<int>(static_cast<std::int16_t>(v)));
    if (absSum * 255 <= INT16_MAX) {
        // Every partial sum fits 16 bits, so the products run twice as wide, and the division becomes a
        // table over all 65536 possible sums.
        std::vector<std::uint8_t> quotient(65536);
        for (int v = INT16_MIN; v <= INT16_MAX; ++v)
            quotient[static_cast<std::uint16_t>(v)] = detail::clampByte(v / divisor);
        for (int y = 0; y < h; ++y) {
            const std::int16_t* sources[25];
            std::int16_t weights[25];
            int taps = 0;
            for (int a = 0; a < 5; ++a)
                for (int b = 0; b < 5; ++b) {
                    const auto weight = static_cast<std::int16_t>(k[static_cast<std::size_t>(a * 5 + b)]);
                    if (weight == 0)
                        continue;
                    sources[taps] = &padded[(static_cast<std::size_t>(y + b) * pw + static_cast<std::size_t>(a)) * 3];
                    weights[taps++] = weight;
                }
            convolveRow16(bmp.scanLine(y), sources, weights, taps, rowValues, quotient.data());
        }
        return;
    }
    std::vector<std::int32_t> acc(rowValues);
    for (int y = 0; y < h; ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        for (int a = 0; a < 5; ++a)
            for (int b = 0; b < 5; ++b) {
                const std::int32_t weight = static_cast<std::int16_t>(k[static_cast<std::size_t>(a * 5 + b)]);
                if (weight != 0)
                    accumulate32(acc.data(),
                        &padded[(static_cast<std::size_t>(y + b) * pw + static_cast<std::size_t>(a)) * 3], weight,
                        rowValues);
            }
        std::uint8_t* out = bmp.scanLine(y);
        // Exact truncating division: |sum| < 2^31, so the double quotient never crosses an integer.
        const double denominator = divisor;
        for (std::size_t i = 0; i < rowValues; ++i)
            out[i] = detail::clampByte(static_cast<int>(acc[i] / denominator));
    }
}

} // namespace daubix::effects
