#include "gfx/Bitmap.h"

#include "gfx/HalftoneMap.h"
#include "gfx/Palette.h"

#include <algorithm>
#include <cstring>

namespace daubix::gfx {

std::size_t strideFor(int width, PixelFormat format)
{
    const std::size_t bitsPerRow = static_cast<std::size_t>(std::max(width, 0)) * bitsPerPixel(format);
    return ((bitsPerRow + 31) / 32) * 4;
}

Bitmap::Bitmap(int width, int height, PixelFormat format)
    : Bitmap(width, height, format, Zeroed{})
{
    fill(clWhite);
}

Bitmap::Bitmap(int width, int height, PixelFormat format, Zeroed)
    : m_width(isSaneSize(width, height) ? std::max(width, 0) : 0)
    , m_height(isSaneSize(width, height) ? std::max(height, 0) : 0)
    , m_format(format)
    , m_stride(strideFor(m_width, format))
    , m_palette(defaultPalette(bitsPerPixel()))
    , m_bits(pixels(m_stride, width, height))
{
}

PixelBuffer Bitmap::pixels(std::size_t stride, int width, int height)
{
    try {
        return PixelBuffer(stride * static_cast<std::size_t>(isSaneSize(width, height) ? std::max(height, 0) : 0));
    } catch (const std::bad_alloc&) {
        throw OutOfPixelMemory(width, height);
    }
}

Bitmap Bitmap::zeroed(int width, int height, PixelFormat format)
{
    return Bitmap(width, height, format, Zeroed{});
}

void Bitmap::setPalette(std::vector<Color> palette)
{
    if (!isIndexed(m_format))
        return;
    palette.resize(std::min<std::size_t>(palette.size(), std::size_t{1} << bitsPerPixel()));
    m_palette = std::move(palette);
}

int Bitmap::nearestIndex(Color c) const
{
    return nearestPaletteIndex(m_palette, c);
}

std::uint32_t Bitmap::rawPixel(int x, int y) const
{
    const std::uint8_t* row = scanLine(y);
    switch (m_format) {
    case PixelFormat::Bits1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case PixelFormat::Bits4:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case PixelFormat::Bits8:
        return row[x];
    case PixelFormat::Bits24: {
        const std::uint8_t* p = row + x * 3;
        return p[2] | (p[1] << 8) | (p[0] << 16);
    }
    case PixelFormat::Bits32: {
        const std::uint8_t* p = row + x * 4;
        return p[2] | (p[1] << 8) | (p[0] << 16);
    }
    }
    return 0;
}

void Bitmap::setRawPixel(int x, int y, std::uint32_t value)
{
    std::uint8_t* row = scanLine(y);
    switch (m_format) {
    case PixelFormat::Bits1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((value & 1) << shift));
        return;
    }
    case PixelFormat::Bits4: {
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F))
                    : static_cast<std::uint8_t>((b & 0x0F) | ((value & 0x0F) << 4));
        return;
    }
    case PixelFormat::Bits8:
        row[x] = static_cast<std::uint8_t>(value);
        return;
    case PixelFormat::Bits24:
    case PixelFormat::Bits32: {
        std::uint8_t* p = row + x * (m_format == PixelFormat::Bits24 ? 3 : 4);
        p[0] = static_cast<std::uint8_t>(value >> 16);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value);
        return;
    }
    }
}

Color Bitmap::colorFromRaw(std::uint32_t raw) const
{
    if (!isIndexed(m_format))
        return raw & 0xFFFFFF;
    return raw < m_palette.size() ? m_palette[raw] : clBlack;
}

Color Bitmap::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return clNone;
    return colorFromRaw(rawPixel(x, y));
}

void Bitmap::setPixel(int x, int y, Color c)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    setRawPixel(x, y, rawFromColor(c));
}

void Bitmap::fill(Color c)
{
    if (isEmpty())
        return;
    const std::uint32_t raw = rawFromColor(c);
    // Build the first row pixel by pixel, then copy it; the padding stays zero.
    for (int x = 0; x < m_width; ++x)
        setRawPixel(x, 0, raw);
    for (int y = 1; y < m_height; ++y)
        std::memcpy(scanLine(y), scanLine(0), m_stride);
}

void Bitmap::setSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if ((width == m_width && height == m_height) || !isSaneSize(width, height))
        return;
    Bitmap resized(width, height, m_format);
    resized.m_palette = m_palette;
    if (isIndexed(m_format))
        resized.fill(clWhite); // white by this palette's nearest entry
    const int keepW = std::min(width, m_width), keepH = std::min(height, m_height);
    for (int y = 0; y < keepH; ++y) {
        if (bitsPerPixel() >= 8) {
            std::memcpy(resized.scanLine(y), scanLine(y), static_cast<std::size_t>(keepW) * bitsPerPixel() / 8);
        } else {
            for (int x = 0; x < keepW; ++x)
                resized.setRawPixel(x, y, rawPixel(x, y));
        }
    }
    resized.transparent = transparent;
    resized.transparentColor = transparentColor;
    *this = std::move(resized);
}

Bitmap Bitmap::converted(PixelFormat format) const
{
    if (format == m_format)
        return *this;
    // Every pixel is written below, so the new bitmap needs no white first.
    Bitmap out = zeroed(m_width, m_height, format);
    out.transparent = transparent;
    out.transparentColor = transparentColor;
    if (isIndexed(format)) {
        NearestColorMap nearest(out.m_palette);
        for (int y = 0; y < m_height; ++y) {
            if (m_format == PixelFormat::Bits24 && format == PixelFormat::Bits8) {
                // A new 8-bit bitmap carries the halftone palette, whose nearest entries have a fast map.
                const HalftoneMap& halftone = HalftoneMap::instance();
                const std::uint8_t* in = scanLine(y);
                std::uint8_t* o = out.scanLine(y);
                for (int x = 0; x < m_width; ++x, in += 3)
                    o[x] = halftone(in[2], in[1], in[0]);
                continue;
            }
            for (int x = 0; x < m_width; ++x)
                out.setRawPixel(x, y, static_cast<std::uint32_t>(nearest(colorFromRaw(rawPixel(x, y)))));
        }
        return out;
    }
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            out.setRawPixel(x, y, colorFromRaw(rawPixel(x, y)));
    return out;
}

void Bitmap::convertTo(PixelFormat format)
{
    if (format != m_format)
        *this = converted(format);
}

bool operator==(const Bitmap& a, const Bitmap& b)
{
    if (a.m_width != b.m_width || a.m_height != b.m_height || a.m_format != b.m_format || a.m_palette != b.m_palette)
        return false;
    const std::size_t bitsPerRow = static_cast<std::size_t>(a.m_width) * a.bitsPerPixel();
    const std::size_t fullBytes = bitsPerRow / 8;
    const int restBits = static_cast<int>(bitsPerRow % 8);
    for (int y = 0; y < a.m_height; ++y) {
        const std::uint8_t* ra = a.scanLine(y);
        const std::uint8_t* rb = b.scanLine(y);
        if (std::memcmp(ra, rb, fullBytes) != 0)
            return false;
        if (restBits) {
            const auto mask = static_cast<std::uint8_t>(0xFF << (8 - restBits));
            if ((ra[fullBytes] & mask) != (rb[fullBytes] & mask))
                return false;
        }
    }
    return true;
}

} // namespace daubix::gfx
