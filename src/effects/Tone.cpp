#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <array>
#include <cstdlib>

namespace daubix::effects {

using detail::clampByte;

void TketPaintFX::Contrast(gfx::Bitmap& bmp, int amount)
{
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        const int d = (std::abs(127 - v) * amount) / 255;
        table[v] = clampByte(v > 127 ? v + d : v - d);
    }
    detail::applyTable(bmp, table);
}

void TketPaintFX::Brightness(gfx::Bitmap& bmp, int amount)
{
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = clampByte(v + (amount * (255 - v)) / 255);
    detail::applyTable(bmp, table);
}

void TketPaintFX::Darken(gfx::Bitmap& bmp, int amount)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = clampByte(v - (amount * v) / 255);
    detail::applyTable(bmp, table);
}

namespace {

// A row is worked in pieces that stay in the nearest cache with their helper arrays; a multiple of 3, so
// that pieces start on a pixel.
constexpr int kPiece = 3 * 1024;

constexpr std::uint16_t mulHigh(std::uint16_t a, std::uint16_t b)
{
    return static_cast<std::uint16_t>((std::uint32_t{a} * b) >> 16);
}

// Division as a multiply and shift in 16-bit lanes, which the vectoriser maps onto one instruction.
constexpr std::uint16_t div3(std::uint16_t v)
{
    return mulHigh(v, 21846);
}
constexpr std::uint16_t div255(std::uint16_t v)
{
    return static_cast<std::uint16_t>(mulHigh(v, 0x8081) >> 7);
}

constexpr bool divisionsAreExact()
{
    for (std::uint32_t v = 0; v <= 3 * 255; ++v)
        if (div3(static_cast<std::uint16_t>(v)) != v / 3)
            return false;
    for (std::uint32_t v = 0; v <= 255 * 255; ++v)
        if (div255(static_cast<std::uint16_t>(v)) != v / 255)
            return false;
    return true;
}
static_assert(divisionsAreExact(), "exact over every sum of a pixel and every product of two bytes");

// Which byte of its pixel each byte of a piece is.
constexpr auto kChannelOf = [] {
    std::array<std::uint8_t, kPiece> channel{};
    for (int i = 0; i < kPiece; ++i)
        channel[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 3);
    return channel;
}();

// sums[i] = blue + green + red of the pixel that byte i of the n bytes belongs to. Each byte takes the sum
// of its pixel from its neighbours, so the loops over it run over plain arrays: loading bytes in threes
// vectorises badly where there are no byte shuffles.
DAUBIX_VECTOR_CLONES void pixelSums(const std::uint8_t* __restrict in, std::uint16_t* __restrict sums, int n)
{
    const std::uint8_t* channel = kChannelOf.data();
    // The first and last pixels are done apart, so that no byte reads outside the piece.
    for (int i = 3; i < n - 3; ++i) {
        const std::uint16_t before2 = in[i - 2], before = in[i - 1], at = in[i], after = in[i + 1], after2 = in[i + 2];
        const std::uint16_t others = channel[i] == 0 ? after + after2
            : channel[i] == 1                        ? before + after
                                                     : before2 + before;
        sums[i] = static_cast<std::uint16_t>(at + others);
    }
    for (const int first : {0, n - 3})
        sums[first] = sums[first + 1] = sums[first + 2]
            = static_cast<std::uint16_t>(in[first] + in[first + 1] + in[first + 2]);
}

// The saturation formula for a = |amount| <= 255: a |c - g| fits 16 bits, and truncating amount (c - g) / 255
// is that quotient with the sign of amount (c - g).
DAUBIX_VECTOR_CLONES void saturateBytes(
    std::uint8_t* p, const std::uint16_t* __restrict sums, int n, std::uint16_t a, bool negative)
{
    for (int i = 0; i < n; ++i) {
        const std::uint16_t grey = div3(sums[i]), v = p[i];
        const bool below = v < grey;
        const std::uint16_t q = div255(static_cast<std::uint16_t>(a * (below ? grey - v : v - grey)));
        // 16-bit all through: one int in the loop would halve the lanes.
        const auto r = static_cast<std::int16_t>(below != negative ? grey - q : grey + q);
        p[i] = static_cast<std::uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
    }
}

} // namespace

void TketPaintFX::Saturation(gfx::Bitmap& bmp, int amount)
{
    const int w = bmp.width();
    if (amount < -255 || amount > 255) {
        // Beyond the bar's range: the formula as it stands, which nothing calls often.
        detail::inTwoBands(bmp.height(), std::int64_t{w} * bmp.height(), [&](int first, int last) {
            for (int y = first; y < last; ++y) {
                std::uint8_t* p = bmp.scanLine(y);
                for (int x = 0; x < w; ++x, p += 3) {
                    const int g = (p[0] + p[1] + p[2]) / 3;
                    for (int c = 0; c < 3; ++c)
                        p[c] = clampByte(g + (amount * (p[c] - g)) / 255);
                }
            }
        });
        return;
    }
    const auto a = static_cast<std::uint16_t>(std::abs(amount));
    const int bytes = w * 3;
    detail::inTwoBands(bmp.height(), std::int64_t{w} * bmp.height(), [&](int first, int last) {
        std::uint16_t sums[kPiece];
        for (int y = first; y < last; ++y) {
            std::uint8_t* row = bmp.scanLine(y);
            for (int from = 0; from < bytes; from += kPiece) {
                const int n = std::min(kPiece, bytes - from);
                pixelSums(row + from, sums, n);
                saturateBytes(row + from, sums, n, a, amount < 0);
            }
        }
    });
}

namespace {

DAUBIX_VECTOR_CLONES void addNoise(std::uint8_t* p, const int* __restrict noise, int n, int half)
{
    for (int i = 0; i < n; ++i)
        p[i] = clampByte(p[i] + noise[i] - half);
}

DAUBIX_VECTOR_CLONES void addMonoNoise(std::uint8_t* p, const int* __restrict noise, int pixels, int half)
{
    for (int x = 0; x < pixels; ++x, p += 3) {
        const int d = noise[x] - half;
        for (int c = 0; c < 3; ++c)
            p[c] = clampByte(p[c] + d);
    }
}

} // namespace

// The draws run through the rows top to bottom: each band's generator jumps past the draws of the rows
// above it, and the document's is left where one pass would leave it.
void TketPaintFX::NoiseColor(gfx::Bitmap& bmp, int amount)
{
    const int bytes = bmp.width() * 3, h = bmp.height();
    detail::inTwoBands(h, std::int64_t{bmp.width()} * h, [&](int first, int last) {
        app::Random random = m_random;
        random.skip(static_cast<std::uint64_t>(bytes) * static_cast<std::uint64_t>(first));
        int noise[kPiece];
        for (int y = first; y < last; ++y) {
            std::uint8_t* row = bmp.scanLine(y);
            for (int from = 0; from < bytes; from += kPiece) {
                const int n = std::min(kPiece, bytes - from);
                random.draws(amount, noise, static_cast<std::size_t>(n)); // blue, green, red: the bytes' order
                addNoise(row + from, noise, n, amount / 2);
            }
        }
    });
    m_random.skip(static_cast<std::uint64_t>(bytes) * static_cast<std::uint64_t>(h));
}

void TketPaintFX::NoiseMono(gfx::Bitmap& bmp, int amount)
{
    const int w = bmp.width(), h = bmp.height();
    detail::inTwoBands(h, std::int64_t{w} * h, [&](int first, int last) {
        app::Random random = m_random;
        random.skip(static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(first));
        int noise[kPiece];
        for (int y = first; y < last; ++y) {
            std::uint8_t* row = bmp.scanLine(y);
            for (int from = 0; from < w; from += kPiece) {
                const int n = std::min(kPiece, w - from);
                random.draws(amount, noise, static_cast<std::size_t>(n));
                addMonoNoise(row + from * 3, noise, n, amount / 2);
            }
        }
    });
    m_random.skip(static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h));
}

namespace {
// Byte offset of a channel within a blue, green, red pixel.
int channelOffset(Channel channel)
{
    return channel == Channel::Blue ? 0 : channel == Channel::Green ? 1 : 2;
}

// The test as a table looked up per pixel: a branch on it is mispredicted on busy pictures, and loops that
// pick one byte in three vectorise badly where there are no byte shuffles.
void bandRow(std::uint8_t* p, int width, int tested, const std::uint8_t* mark, bool keepOthers)
{
    for (int x = 0; x < width; ++x, p += 3) {
        const std::uint8_t v = mark[p[tested]];
        if (!keepOthers)
            p[0] = p[1] = p[2] = 0;
        p[tested] = v;
    }
}

void band(gfx::Bitmap& bmp, Channel channel, int lo, int hi, bool keepOthers)
{
    std::uint8_t mark[256];
    for (int v = 0; v < 256; ++v)
        mark[v] = (lo < v && v < hi) ? 255 : 0;
    detail::inTwoBands(bmp.height(), std::int64_t{bmp.width()} * bmp.height(), [&](int first, int last) {
        for (int y = first; y < last; ++y)
            bandRow(bmp.scanLine(y), bmp.width(), channelOffset(channel), mark, keepOthers);
    });
}
} // namespace

void TketPaintFX::ChannelBand(gfx::Bitmap& bmp, Channel channel, int lo, int hi)
{
    band(bmp, channel, lo, hi, false);
}

void TketPaintFX::ChannelBandKeep(gfx::Bitmap& bmp, Channel channel, int lo, int hi)
{
    band(bmp, channel, lo, hi, true);
}

namespace {

// A pixel is inverted when its sum passes limit. On a busy picture a branch per pixel is mispredicted about
// half the time; the mask costs the same for every pixel.
DAUBIX_VECTOR_CLONES void solarizeRow(const std::uint8_t* s, std::uint8_t* d, int width, std::int16_t limit)
{
    for (int x = 0; x < width; ++x, s += 3, d += 3) {
        const auto sum = static_cast<std::int16_t>(s[0] + s[1] + s[2]);
        const std::uint8_t mask = sum > limit ? 0xFF : 0;
        for (int c = 0; c < 3; ++c)
            d[c] = s[c] ^ mask; // 255 - v
    }
}

} // namespace

void TketPaintFX::Solarize(gfx::Bitmap& src, gfx::Bitmap& dst, int threshold)
{
    src.convertTo(gfx::PixelFormat::Bits24);
    detail::prepare(dst, src.width(), src.height());
    // (sum div 3) > t is sum > 3 t + 2; a grey is never below 0 nor above 255, which bounds t.
    const auto limit = static_cast<std::int16_t>(3 * std::clamp(threshold, -1, 255) + 2);
    detail::inTwoBands(src.height(), std::int64_t{src.width()} * src.height(), [&](int first, int last) {
        for (int y = first; y < last; ++y)
            solarizeRow(src.scanLine(y), dst.scanLine(y), src.width(), limit);
    });
}

void TketPaintFX::Posterize(gfx::Bitmap& src, gfx::Bitmap& dst, int step)
{
    src.convertTo(gfx::PixelFormat::Bits24);
    detail::prepare(dst, src.width(), src.height());
    if (step == 0)
        step = 1; // a zero step would divide by zero; callers never pass it
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = clampByte(std::min(255, step * app::roundHalfEven(static_cast<double>(v) / step)));
    detail::applyTable(src, dst, table);
}

void TketPaintFX::Blend(gfx::Bitmap& srcA, gfx::Bitmap& srcB, double t, gfx::Bitmap& dst)
{
    srcA.convertTo(gfx::PixelFormat::Bits24);
    srcB.convertTo(gfx::PixelFormat::Bits24);
    detail::prepare(dst, srcA.width(), srcA.height());
    const int w = std::min(srcA.width(), srcB.width()), h = std::min(srcA.height(), srcB.height());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* a = srcA.scanLine(y);
        const std::uint8_t* b = srcB.scanLine(y);
        std::uint8_t* d = dst.scanLine(y);
        for (int i = 0; i < w * 3; ++i)
            d[i] = clampByte(app::roundHalfEven((1 - t) * a[i] + t * b[i]));
    }
}

} // namespace daubix::effects
