#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <cstdlib>
#include <cstring>
#include <numeric>
#include <thread>
#include <vector>

namespace daubix::effects {

namespace {

// The convolution's inner loops, built for wide vector units where the processor has them.
using Lanes16 = std::int16_t __attribute__((vector_size(32)));
using Half16 = std::int16_t __attribute__((vector_size(16)));
using Ints8 = std::int32_t __attribute__((vector_size(32)));
using Floats8 = float __attribute__((vector_size(32)));
using Bytes8 = std::uint8_t __attribute__((vector_size(8)));

// Eight sums divided, truncated toward zero and clamped to bytes. The float quotient truncates exactly
// as integer division does here: sums stay within 16 bits and the divisor within 128, so a quotient
// that is not whole lies at least 1/128 from the next integer, far beyond the float's rounding.
inline void divideEight(std::uint8_t* out, Half16 sums, float divisor)
{
    const Ints8 wide = __builtin_convertvector(sums, Ints8);
    Ints8 q = __builtin_convertvector(__builtin_convertvector(wide, Floats8) / divisor, Ints8);
    q = q < 0 ? 0 : q;
    q = q > 255 ? 255 : q;
    // The values are bytes already: take the low byte of each lane.
    using Bytes32 = std::uint8_t __attribute__((vector_size(32)));
    const auto raw = reinterpret_cast<const Bytes32&>(q);
    const Bytes8 bytes = __builtin_shufflevector(raw, raw, 0, 4, 8, 12, 16, 20, 24, 28);
    std::memcpy(out, &bytes, sizeof bytes);
}

// Sixteen values from position i of each source row, weighted and summed in one register.
inline void weightedSum16(
    Lanes16& acc, const std::int16_t* const* sources, const std::int16_t* weights, int taps, std::size_t i)
{
    acc = Lanes16{};
    for (int t = 0; t < taps; ++t) {
        Lanes16 values;
        std::memcpy(&values, sources[t] + i, sizeof values);
        acc += values * weights[t];
    }
}

// One output row from its source rows and weights, sixteen values at a time kept in a register across
// all taps.
__attribute__((target_clones("avx2", "default"))) void convolveRow16(std::uint8_t* __restrict out,
    const std::int16_t* const* sources, const std::int16_t* weights, int taps, std::size_t n, int divisor)
{
    const auto fdivisor = static_cast<float>(divisor);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        Lanes16 acc;
        weightedSum16(acc, sources, weights, taps, i);
        divideEight(out + i, __builtin_shufflevector(acc, acc, 0, 1, 2, 3, 4, 5, 6, 7), fdivisor);
        divideEight(out + i + 8, __builtin_shufflevector(acc, acc, 8, 9, 10, 11, 12, 13, 14, 15), fdivisor);
    }
    for (; i < n; ++i) {
        int acc = 0;
        for (int t = 0; t < taps; ++t)
            acc += weights[t] * sources[t][i];
        out[i] = detail::clampByte(static_cast<std::int16_t>(acc) / divisor);
    }
}

// Weighted sums of source rows kept at 16 bits, for the first pass of a separable kernel.
__attribute__((target_clones("avx2", "default"))) void sumRow16(std::int16_t* __restrict out,
    const std::int16_t* const* sources, const std::int16_t* weights, int taps, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        Lanes16 acc;
        weightedSum16(acc, sources, weights, taps, i);
        std::memcpy(out + i, &acc, sizeof acc);
    }
    for (; i < n; ++i) {
        int acc = 0;
        for (int t = 0; t < taps; ++t)
            acc += weights[t] * sources[t][i];
        out[i] = static_cast<std::int16_t>(acc);
    }
}

// The kernel as a column of weights times a row of weights, k[a * 5 + b] = u[a] * v[b], when it is one.
bool separate(const std::array<int, 25>& k, std::array<std::int16_t, 5>& u, std::array<std::int16_t, 5>& v)
{
    const auto at = [&](int a, int b) {
        return static_cast<int>(static_cast<std::int16_t>(k[static_cast<std::size_t>(a * 5 + b)]));
    };
    int a0 = -1, b0 = -1;
    for (int i = 0; i < 25 && a0 < 0; ++i)
        if (at(i / 5, i % 5) != 0)
            a0 = i / 5, b0 = i % 5;
    if (a0 < 0)
        return false;
    // u is the column through the first weight, divided by its common factor; then v follows, and is
    // whole whenever the kernel is a product of whole weights.
    int g = 0;
    for (int a = 0; a < 5; ++a)
        g = std::gcd(g, at(a, b0));
    for (int a = 0; a < 5; ++a)
        u[static_cast<std::size_t>(a)] = static_cast<std::int16_t>(at(a, b0) / g);
    for (int b = 0; b < 5; ++b) {
        const int scaled = at(a0, b) * g;
        if (scaled % at(a0, b0) != 0)
            return false;
        v[static_cast<std::size_t>(b)] = static_cast<std::int16_t>(scaled / at(a0, b0));
    }
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b)
            if (u[static_cast<std::size_t>(a)] * v[static_cast<std::size_t>(b)] != at(a, b))
                return false;
    return true;
}

__attribute__((target_clones("avx2", "default"))) void accumulate32(
    std::int32_t* __restrict acc, const std::int16_t* __restrict src, std::int32_t weight, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        acc[i] += weight * src[i];
}

// The blur of the values from .. to - 1 of a row from the rows above and below, reach values either side.
__attribute__((target_clones("avx2", "default"))) void blurSpan(std::uint8_t* __restrict row,
    const std::uint8_t* __restrict upper, const std::uint8_t* __restrict lower, std::size_t from, std::size_t to,
    std::size_t reach)
{
    for (std::size_t i = from; i < to; ++i)
        row[i] = static_cast<std::uint8_t>(
            (upper[i - reach] + lower[i - reach] + upper[i + reach] + lower[i + reach]) >> 2);
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
    const auto blurColumns
        = [&](std::uint8_t* row, const std::uint8_t* upper, const std::uint8_t* lower, int x0, int x1) {
              for (int x = x0; x < x1; ++x) {
                  const int l = left[static_cast<std::size_t>(x)], r = right[static_cast<std::size_t>(x)];
                  for (int c = 0; c < 3; ++c)
                      row[x * 3 + c]
                          = static_cast<std::uint8_t>((upper[l + c] + lower[l + c] + upper[r + c] + lower[r + c]) >> 2);
              }
          };
    // Columns d .. W - d - 1 read d columns either side without the edge rule.
    const int middle0 = d, middle1 = std::max(d, w - d);
    for (int y = 0; y < h; ++y) {
        const int upperY = y - d < 0 ? y : y - d, lowerY = y + d >= h ? h - y : y + d;
        const std::uint8_t* upper = bmp.scanLine(upperY);
        const std::uint8_t* lower = bmp.scanLine(lowerY);
        std::uint8_t* row = bmp.scanLine(y);
        if (upperY == y || lowerY == y) {
            // The row reads itself: left to right, each pixel after the new values on its left.
            blurColumns(row, upper, lower, 0, w);
            continue;
        }
        // The row reads only two other rows, so its pixels may be made in any order.
        blurColumns(row, upper, lower, 0, middle0);
        blurSpan(row, upper, lower, static_cast<std::size_t>(middle0) * 3, static_cast<std::size_t>(middle1) * 3,
            static_cast<std::size_t>(d) * 3);
        blurColumns(row, upper, lower, middle1, w);
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
    const std::size_t rowValues = static_cast<std::size_t>(w) * 3;
    int absSum = 0;
    for (int v : k)
        absSum += std::abs(static_cast<int>(static_cast<std::int16_t>(v)));
    const bool narrow = absSum * 255 <= INT16_MAX; // every partial sum fits 16 bits
    // A separable kernel runs as a pass along each row and one down the columns: ten products a value
    // instead of up to twenty-five, with the same sums (each partial sum is bounded by the whole).
    std::array<std::int16_t, 5> u{}, v{};
    const bool separable = narrow && separate(k, u, v);
    const double denominator = divisor;

    // Output rows y0 .. y1 - 1, from source rows that sourceRow gives. Five source rows at a time are
    // kept padded by two pixels on each side with the border pixels repeated, so the inner loop needs no
    // clamping; channels widened to 16 bits so the products vectorise. Padded row py holds source row
    // py - 2 (clamped) and lives in slot py % 5; the row for output row y + 2 is read before row y is
    // overwritten.
    const auto band = [&](int y0, int y1, const auto& sourceRow) {
        const int pw = w + 4;
        const std::size_t stride = static_cast<std::size_t>(pw) * 3;
        std::vector<std::int16_t> ring(stride * 5);
        const auto row = [&](int py) { return &ring[static_cast<std::size_t>(py % 5) * stride]; };
        std::vector<std::int16_t> passed(separable ? rowValues * 5 : 0);
        const auto passedRow = [&](int py) { return &passed[static_cast<std::size_t>(py % 5) * rowValues]; };
        const auto loadRow = [&](int py) {
            const std::uint8_t* src = sourceRow(std::clamp(py - 2, 0, h - 1));
            std::int16_t* out = row(py);
            for (int c = 0; c < 3; ++c) {
                out[c] = out[3 + c] = src[c];
                out[(pw - 2) * 3 + c] = out[(pw - 1) * 3 + c] = src[(w - 1) * 3 + c];
            }
            std::int16_t* inner = out + 6;
            for (int i = 0; i < w * 3; ++i)
                inner[i] = src[i];
            if (!separable)
                return;
            const std::int16_t* sources[5];
            std::int16_t weights[5];
            int taps = 0;
            for (int a = 0; a < 5; ++a)
                if (u[static_cast<std::size_t>(a)] != 0) {
                    sources[taps] = out + a * 3;
                    weights[taps++] = u[static_cast<std::size_t>(a)];
                }
            sumRow16(passedRow(py), sources, weights, taps, rowValues);
        };
        for (int py = y0; py < y0 + 4; ++py)
            loadRow(py);
        std::vector<std::int32_t> acc(narrow ? 0 : rowValues);
        for (int y = y0; y < y1; ++y) {
            loadRow(y + 4);
            std::uint8_t* out = bmp.scanLine(y);
            const std::int16_t* sources[25];
            std::int16_t weights[25];
            int taps = 0;
            if (separable) {
                for (int b = 0; b < 5; ++b)
                    if (v[static_cast<std::size_t>(b)] != 0) {
                        sources[taps] = passedRow(y + b);
                        weights[taps++] = v[static_cast<std::size_t>(b)];
                    }
                convolveRow16(out, sources, weights, taps, rowValues, divisor);
                continue;
            }
            if (narrow) {
                for (int a = 0; a < 5; ++a)
                    for (int b = 0; b < 5; ++b) {
                        const auto weight = static_cast<std::int16_t>(k[static_cast<std::size_t>(a * 5 + b)]);
                        if (weight == 0)
                            continue;
                        sources[taps] = row(y + b) + a * 3;
                        weights[taps++] = weight;
                    }
                convolveRow16(out, sources, weights, taps, rowValues, divisor);
                continue;
            }
            std::fill(acc.begin(), acc.end(), 0);
            for (int a = 0; a < 5; ++a)
                for (int b = 0; b < 5; ++b) {
                    const std::int32_t weight = static_cast<std::int16_t>(k[static_cast<std::size_t>(a * 5 + b)]);
                    if (weight != 0)
                        accumulate32(acc.data(), row(y + b) + a * 3, weight, rowValues);
                }
            // Exact truncating division: |sum| < 2^31, so the double quotient never crosses an integer.
            for (std::size_t i = 0; i < rowValues; ++i)
                out[i] = detail::clampByte(static_cast<int>(acc[i] / denominator));
        }
    };

    const auto image = [&](int sy) -> const std::uint8_t* { return bmp.scanLine(sy); };
    const int middle = h / 2;
    if (h < 64 || std::thread::hardware_concurrency() < 2) {
        band(0, h, image);
        return;
    }
    // Two halves at once. Each reads two rows beyond its edge that the other half overwrites, so the
    // four rows about the middle are read from a copy taken before either starts.
    std::vector<std::uint8_t> edge(rowValues * 4);
    for (int i = 0; i < 4; ++i)
        std::copy_n(bmp.scanLine(middle - 2 + i), rowValues, edge.begin() + static_cast<std::ptrdiff_t>(i * rowValues));
    const auto guarded = [&](int sy) -> const std::uint8_t* {
        if (sy >= middle - 2 && sy < middle + 2)
            return &edge[static_cast<std::size_t>(sy - (middle - 2)) * rowValues];
        return bmp.scanLine(sy);
    };
    std::thread top([&] { band(0, middle, guarded); });
    band(middle, h, guarded);
    top.join();
}

} // namespace daubix::effects
