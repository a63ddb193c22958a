#pragma once

#include "gfx/Color.h"
#include "gfx/PixelMemory.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace daubix::gfx {

enum class PixelFormat : std::uint8_t { Bits1 = 1, Bits4 = 4, Bits8 = 8, Bits24 = 24, Bits32 = 32 };

constexpr int bitsPerPixel(PixelFormat f)
{
    return static_cast<int>(f);
}
constexpr bool isIndexed(PixelFormat f)
{
    return bitsPerPixel(f) <= 8;
}

// A device-independent bitmap with value semantics: copying copies the pixels. Rows are stored top row
// first, each padded to a multiple of 4 bytes (the padding is kept zero); 24-bit pixels are the bytes
// blue, green, red, 32-bit pixels blue, green, red, unused. Formats of 8 bits and fewer carry a palette
// and store indices (1 and 4 bits: the leftmost pixel in the high bits of a byte).
// Thrown when the memory for a bitmap's pixels cannot be had, with the size that was asked for, so that
// a command can say what did not fit.
struct OutOfPixelMemory : std::bad_alloc {
    OutOfPixelMemory(int w, int h)
        : width(w)
        , height(h)
    {
    }
    const char* what() const noexcept override { return "not enough memory for a bitmap"; }
    int width;
    int height;
};

class Bitmap {
public:
    // More pixels than this are refused by every reader and command that sizes a bitmap from outside data.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
    static bool isSaneSize(std::int64_t width, std::int64_t height)
    {
        return width >= 0 && height >= 0 && width <= (1 << 30) && height <= (1 << 30) && width * height <= kMaxPixels;
    }

    Bitmap() = default;
    Bitmap(const Bitmap&) = default;
    Bitmap& operator=(const Bitmap&) = default;
    // A bitmap moved from is empty, never a size without pixels behind it.
    Bitmap(Bitmap&& other) noexcept
        : transparent(other.transparent)
        , transparentColor(other.transparentColor)
        , m_width(std::exchange(other.m_width, 0))
        , m_height(std::exchange(other.m_height, 0))
        , m_format(other.m_format)
        , m_stride(std::exchange(other.m_stride, 0))
        , m_palette(std::move(other.m_palette))
        , m_bits(std::move(other.m_bits))
    {
    }
    Bitmap& operator=(Bitmap&& other) noexcept
    {
        transparent = other.transparent;
        transparentColor = other.transparentColor;
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_format = other.m_format;
        m_stride = std::exchange(other.m_stride, 0);
        m_palette = std::move(other.m_palette);
        m_bits = std::move(other.m_bits);
        return *this;
    }
    // A white bitmap; negative sizes count as 0, and sizes beyond the limit above give an empty bitmap.
    // Indexed formats get their standard palette.
    Bitmap(int width, int height, PixelFormat format = PixelFormat::Bits24);
    // The same with every byte zero (black, or the palette's first entry), made without a pass over the
    // pixels: for results that write every pixel anyway.
    static Bitmap zeroed(int width, int height, PixelFormat format = PixelFormat::Bits24);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }
    PixelFormat format() const { return m_format; }
    int bitsPerPixel() const { return gfx::bitsPerPixel(m_format); }
    std::size_t stride() const { return m_stride; }
    std::size_t byteSize() const { return m_bits.size(); }

    std::uint8_t* scanLine(int y) { return m_bits.data() + static_cast<std::size_t>(y) * m_stride; }
    const std::uint8_t* scanLine(int y) const { return m_bits.data() + static_cast<std::size_t>(y) * m_stride; }
    std::uint8_t* bits() { return m_bits.data(); }
    const std::uint8_t* bits() const { return m_bits.data(); }

    const std::vector<Color>& palette() const { return m_palette; }
    // At most 2^bits entries; indices beyond the palette read as black.
    void setPalette(std::vector<Color> palette);
    // The palette entry closest to c (squared RGB distance, first of equals).
    int nearestIndex(Color c) const;

    // The stored value of a pixel: an index for indexed formats, 0x00BBGGRR otherwise. No bounds check.
    std::uint32_t rawPixel(int x, int y) const;
    void setRawPixel(int x, int y, std::uint32_t value);
    std::uint32_t rawFromColor(Color c) const { return isIndexed(m_format) ? nearestIndex(c) : (c & 0xFFFFFF); }
    Color colorFromRaw(std::uint32_t raw) const;

    // Pixel access with bounds: outside the bitmap pixel() gives clNone and setPixel() does nothing.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    void fill(Color c);

    // New size; the top-left pixels stay, the new area is white. A size beyond the limit changes nothing.
    void setSize(int width, int height);
    // Converts in place: to 1 bit black and white, to 4 bits the 16 standard colours, to 8 bits the
    // halftone palette, each pixel to its nearest entry; to 24 or 32 bits exactly.
    void convertTo(PixelFormat format);
    Bitmap converted(PixelFormat format) const;

    // Drawing this bitmap onto a canvas skips pixels of the transparent colour when transparent is set.
    bool transparent = false;
    Color transparentColor = clWhite;

    // Same size, format, palette and pixels (row padding and the transparency fields are not compared).
    friend bool operator==(const Bitmap& a, const Bitmap& b);

private:
    struct Zeroed { };
    static PixelBuffer pixels(std::size_t stride, int width, int height);
    Bitmap(int width, int height, PixelFormat format, Zeroed);

    int m_width = 0;
    int m_height = 0;
    PixelFormat m_format = PixelFormat::Bits24;
    std::size_t m_stride = 0;
    std::vector<Color> m_palette;
    PixelBuffer m_bits;
};

std::size_t strideFor(int width, PixelFormat format);

} // namespace daubix::gfx
