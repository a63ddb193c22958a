#include "io/TiffWriter.h"

#include <array>
#include <cstring>

namespace daubix::io {

using gfx::Bitmap;

namespace {

enum FieldType : std::uint16_t { kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value; // a SHORT sits in the low two bytes, as little-endian puts it first
};
using Directory = std::array<Entry, 15>;

// Nine characters and the terminating zero: both layouts reserve exactly ten bytes for it.
constexpr char kSoftware[10] = "Daubix   ";
static_assert(sizeof kSoftware == 10);
constexpr std::uint32_t kDirectoryBytes = 2 + 15 * 12 + 4;

// Appends little-endian values. A sane bitmap holds at most 2^28 pixels, so every offset of a file made
// from one (at most 3 bytes a pixel plus a few kilobytes) fits the 32 bits that TIFF offsets have.
class Output {
public:
    explicit Output(std::size_t total) { m_bytes.reserve(total); }

    std::uint32_t size() const { return static_cast<std::uint32_t>(m_bytes.size()); }
    void u16(std::uint32_t v)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void text(const char* s, std::size_t length) { m_bytes.insert(m_bytes.end(), s, s + length); }
    // Room for one row of pixels, written by the caller straight away.
    std::uint8_t* grow(std::size_t length)
    {
        m_bytes.resize(m_bytes.size() + length);
        return m_bytes.data() + m_bytes.size() - length;
    }
    void header() { text("II*\0\0\0\0\0", 8); } // the directory offset is patched by directory()
    void resolutions()
    {
        // 877/10 dots per inch, once for X and once for Y.
        for (int i = 0; i < 2; ++i)
            u32(877), u32(10);
    }
    void directory(const Directory& entries)
    {
        const std::uint32_t at = size();
        for (int i = 0; i < 4; ++i)
            m_bytes[4 + i] = static_cast<std::uint8_t>(at >> (8 * i)); // the header's offset field
        u16(static_cast<std::uint32_t>(entries.size()));
        for (const Entry& e : entries)
            u16(e.tag), u16(e.type), u32(e.count), u32(e.value);
        u32(0); // no further directory
    }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Width and height are SHORT as far as they fit, LONG beyond.
Entry dimension(std::uint16_t tag, int value)
{
    return {tag, value > 0xFFFF ? kLong : kShort, 1, static_cast<std::uint32_t>(value)};
}

std::vector<std::uint8_t> encodePalette(const Bitmap& image)
{
    // 1-bit pixels go out as 8-bit indices: the colour map keeps the two colours and pads the rest.
    const int depth = image.bitsPerPixel() == 1 ? 8 : image.bitsPerPixel();
    const int width = image.width(), height = image.height();
    const std::uint32_t entries = 1u << depth;
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * depth + 7) / 8;
    const std::uint32_t mapBytes = 3 * entries * 2;
    const std::uint32_t xResolution = 8 + mapBytes, yResolution = xResolution + 8, software = yResolution + 8;
    const std::uint32_t strip = software + 10, stripBytes = rowBytes * static_cast<std::uint32_t>(height);

    Output out(std::size_t{strip} + stripBytes + kDirectoryBytes);
    out.header();
    const std::vector<gfx::Color>& palette = image.palette();
    for (int shift : {0, 8, 16}) // all reds, then all greens, then all blues
        for (std::uint32_t i = 0; i < entries; ++i)
            out.u16(i < palette.size() ? ((palette[i] >> shift) & 0xFF) * 257u : 0u); // 255 * 257 = 65535
    out.resolutions();
    out.text(kSoftware, sizeof kSoftware);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.grow(rowBytes);
        const std::uint8_t* in = image.scanLine(y);
        if (image.bitsPerPixel() == 1) {
            for (int x = 0; x < width; ++x)
                row[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        } else {
            std::memcpy(row, in, rowBytes);
        }
    }
    out.directory({{
        {254, kLong, 1, 0},
        dimension(256, width),
        dimension(257, height),
        {258, kShort, 1, static_cast<std::uint32_t>(depth)},
        {259, kShort, 1, 1}, // no compression
        {262, kShort, 1, 3}, // palette colour
        {273, kLong, 1, strip},
        {277, kShort, 1, 1},
        {278, kLong, 1, static_cast<std::uint32_t>(height)},
        {279, kLong, 1, stripBytes},
        {282, kRational, 1, xResolution},
        {283, kRational, 1, yResolution},
        {296, kShort, 1, 2}, // inches
        {305, kAscii, sizeof kSoftware, software},
        {320, kShort, 3 * entries, 8},
    }});
    return out.take();
}

std::vector<std::uint8_t> encodeTrueColor(const Bitmap& image)
{
    const int width = image.width(), height = image.height();
    const int step = image.bitsPerPixel() / 8;
    const std::uint32_t rowBytes = static_cast<std::uint32_t>(width) * 3;
    const std::uint32_t strip = 40, stripBytes = rowBytes * static_cast<std::uint32_t>(height);

    Output out(std::size_t{strip} + stripBytes + kDirectoryBytes);
    out.header();
    out.resolutions();
    out.u16(8), out.u16(8), out.u16(8); // bits per sample, at 24
    out.text(kSoftware, sizeof kSoftware); // at 30
    for (int y = 0; y < height; ++y) {
        std::uint8_t* o = out.grow(rowBytes);
        const std::uint8_t* in = image.scanLine(y);
        for (int x = 0; x < width; ++x, in += step, o += 3) {
            o[0] = in[2];
            o[1] = in[1];
            o[2] = in[0];
        }
    }
    out.directory({{
        {254, kLong, 1, 0},
        dimension(256, width),
        dimension(257, height),
        {258, kShort, 3, 24},
        {259, kShort, 1, 1}, // no compression
        {262, kShort, 1, 2}, // RGB
        {273, kLong, 1, strip},
        {277, kShort, 1, 3},
        {278, kLong, 1, static_cast<std::uint32_t>(height)},
        {279, kLong, 1, stripBytes},
        {282, kRational, 1, 8},
        {283, kRational, 1, 16},
        {284, kShort, 1, 1}, // chunky: R, G, B side by side
        {296, kShort, 1, 2}, // inches
        {305, kAscii, sizeof kSoftware, 30},
    }});
    return out.take();
}

} // namespace

gfx::Result<std::vector<std::uint8_t>> encodeTiff(const Bitmap& image)
{
    if (image.isEmpty())
        return gfx::Error{"The image is empty."};
    return gfx::isIndexed(image.format()) ? encodePalette(image) : encodeTrueColor(image);
}

} // namespace daubix::io
