#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

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

void TketPaintFX::Saturation(gfx::Bitmap& bmp, int amount)
{
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3) {
            const int g = (p[0] + p[1] + p[2]) / 3;
            for (int c = 0; c < 3; ++c)
                p[c] = clampByte(g + (amount * (p[c] - g)) / 255);
        }
    }
}

void TketPaintFX::NoiseColor(gfx::Bitmap& bmp, int amount)
{
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3)
            for (int c = 0; c < 3; ++c) // blue, green, red: the order of the draws
                p[c] = clampByte(p[c] + m_random(amount) - amount / 2);
    }
}

void TketPaintFX::NoiseMono(gfx::Bitmap& bmp, int amount)
{
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3) {
            const int d = m_random(amount) - amount / 2;
            for (int c = 0; c < 3; ++c)
                p[c] = clampByte(p[c] + d);
        }
    }
}

namespace {
// Byte offset of a channel within a blue, green, red pixel.
int channelOffset(Channel channel)
{
    return channel == Channel::Blue ? 0 : channel == Channel::Green ? 1 : 2;
}

void band(gfx::Bitmap& bmp, Channel channel, int lo, int hi, bool keepOthers)
{
    const int tested = channelOffset(channel);
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3) {
            const int v = p[tested];
            if (!keepOthers)
                p[0] = p[1] = p[2] = 0;
            p[tested] = (lo < v && v < hi) ? 255 : 0;
        }
    }
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

void TketPaintFX::Solarize(gfx::Bitmap& src, gfx::Bitmap& dst, int threshold)
{
    src.convertTo(gfx::PixelFormat::Bits24);
    detail::prepare(dst, src.width(), src.height());
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* s = src.scanLine(y);
        std::uint8_t* d = dst.scanLine(y);
        for (int x = 0; x < src.width(); ++x, s += 3, d += 3) {
            const bool invert = (s[0] + s[1] + s[2]) / 3 > threshold;
            for (int c = 0; c < 3; ++c)
                d[c] = invert ? static_cast<std::uint8_t>(255 - s[c]) : s[c];
        }
    }
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
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* s = src.scanLine(y);
        std::uint8_t* d = dst.scanLine(y);
        for (int i = 0; i < src.width() * 3; ++i)
            d[i] = table[s[i]];
    }
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
