#include "io/BmpCodec.h"

#include "io/FileWriter.h"

#include <bit>
#include <cstring>
#include <limits>

namespace daubix::io {

using gfx::Bitmap;
using gfx::Error;
using gfx::PixelFormat;

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 31;

std::uint16_t le16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

const Error kTruncated{"The BMP file is truncated."};

// A colour channel described by a bit mask, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m)
        : mask(m)
    {
        if (!m)
            return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (!max)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

// Run-length data, always stored bottom-up. Pixels the stream skips keep index 0.
gfx::Status decodeRle(std::span<const std::uint8_t> data, bool fourBits, Bitmap& out)
{
    const int w = out.width(), h = out.height();
    for (int y = 0; y < h; ++y)
        std::memset(out.scanLine(y), 0, out.stride());
    auto put = [&](std::int64_t x, std::int64_t y, std::uint32_t index) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            out.setRawPixel(static_cast<int>(x), static_cast<int>(h - 1 - y), index);
    };
    std::size_t p = 0;
    std::int64_t x = 0, y = 0;
    while (y < h) {
        if (p + 2 > data.size())
            return kTruncated;
        const int count = data[p], code = data[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                const std::uint32_t index = fourBits ? ((i & 1) ? (code & 0x0F) : (code >> 4)) : code;
                put(x + i, y, index);
            }
            x += count;
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (p + 2 > data.size())
                return kTruncated;
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else {
            const std::size_t bytes = fourBits ? (static_cast<std::size_t>(code) + 1) / 2 : code;
            if (p + bytes > data.size())
                return kTruncated;
            for (int i = 0; i < code; ++i) {
                const std::uint8_t b = data[p + (fourBits ? i / 2 : i)];
                put(x + i, y, fourBits ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            x += code;
            p += (bytes + 1) & ~std::size_t{1};
        }
    }
    return {};
}

} // namespace

gfx::Result<Bitmap> decodeBmp(std::span<const std::uint8_t> d)
{
    if (d.size() < 2 || d[0] != 'B' || d[1] != 'M')
        return Error{"Not a BMP file."};
    if (d.size() < 14 + 12)
        return kTruncated;
    const std::uint32_t dataOffset = le32(&d[10]);
    const std::uint32_t headerSize = le32(&d[14]);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 16 || headerSize > 1024))
        return Error{"Unsupported BMP header."};
    if (14 + std::uint64_t{headerSize} > d.size())
        return kTruncated;
    const std::uint8_t* h = &d[14];
    // Fields past the end of a short (OS/2) header read as zero.
    auto field32 = [&](std::uint32_t offset) { return offset + 4 <= headerSize ? le32(h + offset) : 0u; };

    std::int64_t width = 0, height = 0;
    int bpp = 0;
    std::uint32_t compression = kRgb, colorsUsed = 0;
    if (core) {
        width = le16(h + 4);
        height = le16(h + 6);
        bpp = le16(h + 10);
    } else {
        width = static_cast<std::int32_t>(le32(h + 4));
        height = static_cast<std::int32_t>(le32(h + 8));
        bpp = le16(h + 14);
        compression = field32(16);
        colorsUsed = field32(32);
    }
    const bool topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0)
        return Error{"The BMP file has no pixels (bad width or height)."};
    if (!Bitmap::isSaneSize(width, height))
        return Error{"The BMP image is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")."};

    const bool masked = compression == kBitFields || compression == kAlphaBitFields;
    const bool rle = compression == kRle8 || compression == kRle4;
    const bool depthOk
        = (compression == kRgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32))
        || (compression == kRle8 && bpp == 8) || (compression == kRle4 && bpp == 4)
        || (masked && (bpp == 16 || bpp == 32));
    if (!depthOk)
        return Error{"Unsupported BMP format (" + std::to_string(bpp) + " bits, compression "
            + std::to_string(compression) + ")."};
    if (rle && topDown)
        return Error{"The BMP file is damaged (a compressed image cannot be top-down)."};

    std::uint64_t paletteOffset = 14 + std::uint64_t{headerSize};
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32)
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    if (masked) {
        const std::uint8_t* m = h + 40;
        if (headerSize < 52) {
            // The masks follow a 40-byte header.
            const std::uint64_t maskBytes = compression == kAlphaBitFields ? 16 : 12;
            if (paletteOffset + maskBytes > d.size())
                return kTruncated;
            m = &d[paletteOffset];
            paletteOffset += maskBytes;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = le32(m + 4 * i);
    }

    std::vector<gfx::Color> palette;
    if (bpp <= 8) {
        const std::uint32_t maxColors = 1u << bpp;
        const std::uint32_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
        const std::uint64_t entry = core ? 3 : 4;
        // Some writers store fewer entries than they declare; read what lies before the pixels.
        std::uint64_t available = (dataOffset > paletteOffset ? dataOffset - paletteOffset : 0) / entry;
        if (available > count)
            available = count;
        if (paletteOffset + available * entry > d.size())
            return kTruncated;
        for (std::uint64_t i = 0; i < available; ++i) {
            const std::uint8_t* e = &d[paletteOffset + i * entry];
            palette.push_back(gfx::rgb(e[2], e[1], e[0]));
        }
        if (palette.empty())
            return Error{"The BMP file is damaged (no colour table)."};
    }

    if (dataOffset < paletteOffset || dataOffset >= d.size())
        return Error{"The BMP file is damaged (bad pixel data offset)."};
    const std::span<const std::uint8_t> pixels = d.subspan(dataOffset);
    const int w = static_cast<int>(width), hgt = static_cast<int>(height);

    if (rle) {
        Bitmap out(w, hgt, bpp == 8 ? PixelFormat::Bits8 : PixelFormat::Bits4);
        out.setPalette(palette);
        if (gfx::Status s = decodeRle(pixels, compression == kRle4, out); !s)
            return Error{s.error()};
        return out;
    }

    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
    if ((static_cast<std::uint64_t>(height) - 1) * stride + rowBytes > pixels.size())
        return kTruncated;
    auto fileRow = [&](int y) { return pixels.data() + (topDown ? y : hgt - 1 - y) * stride; };

    if (bpp <= 8 || (bpp == 24) || (bpp == 32 && !masked)) {
        const PixelFormat format = bpp == 1 ? PixelFormat::Bits1
            : bpp == 4                      ? PixelFormat::Bits4
            : bpp == 8                      ? PixelFormat::Bits8
            : bpp == 24                     ? PixelFormat::Bits24
                                            : PixelFormat::Bits32;
        Bitmap out(w, hgt, format);
        if (bpp <= 8)
            out.setPalette(palette);
        for (int y = 0; y < hgt; ++y) {
            std::memcpy(out.scanLine(y), fileRow(y), rowBytes);
            if (bpp < 8 && rowBytes < out.stride())
                std::memset(out.scanLine(y) + rowBytes, 0, out.stride() - rowBytes);
        }
        if (bpp < 8 && (width * bpp) % 8 != 0) {
            // Clear the unused low bits of each row's last byte, so equal images compare equal.
            const int used = static_cast<int>((width * bpp) % 8);
            for (int y = 0; y < hgt; ++y)
                out.scanLine(y)[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - used));
        }
        return out;
    }

    // 16 bits, and masked 32 bits: unpack the channels to 24 bits.
    const Channel r(masks[0]), g(masks[1]), b(masks[2]);
    Bitmap out(w, hgt, PixelFormat::Bits24);
    for (int y = 0; y < hgt; ++y) {
        const std::uint8_t* in = fileRow(y);
        std::uint8_t* o = out.scanLine(y);
        for (int x = 0; x < w; ++x, o += 3) {
            const std::uint32_t v = bpp == 16 ? le16(in + 2 * x) : le32(in + 4 * x);
            o[0] = b(v);
            o[1] = g(v);
            o[2] = r(v);
        }
    }
    return out;
}

gfx::Result<Bitmap> readBmpFile(const std::string& path)
{
    auto bytes = readFile(path, kMaxFileBytes);
    if (!bytes)
        return Error{bytes.error()};
    return decodeBmp(bytes.value());
}

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap)
{
    const int bpp = bitmap.bitsPerPixel();
    const std::size_t paletteEntries = bpp <= 8 ? bitmap.palette().size() : 0;
    const std::size_t offset = 14 + 40 + paletteEntries * 4;
    const std::size_t imageBytes = bitmap.stride() * static_cast<std::size_t>(bitmap.height());
    std::vector<std::uint8_t> out(offset + imageBytes, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, static_cast<std::uint32_t>(offset));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(bitmap.width()));
    put32(22, static_cast<std::uint32_t>(bitmap.height()));
    put16(26, 1);
    put16(28, static_cast<std::uint32_t>(bpp));
    put32(30, kRgb);
    put32(34, static_cast<std::uint32_t>(imageBytes));
    put32(38, 3780); // 96 dots per inch
    put32(42, 3780);
    put32(46, static_cast<std::uint32_t>(paletteEntries));
    for (std::size_t i = 0; i < paletteEntries; ++i) {
        const gfx::Color c = bitmap.palette()[i];
        out[54 + i * 4] = static_cast<std::uint8_t>(gfx::blue(c));
        out[54 + i * 4 + 1] = static_cast<std::uint8_t>(gfx::green(c));
        out[54 + i * 4 + 2] = static_cast<std::uint8_t>(gfx::red(c));
    }
    for (int y = 0; y < bitmap.height(); ++y)
        std::memcpy(&out[offset + static_cast<std::size_t>(bitmap.height() - 1 - y) * bitmap.stride()],
            bitmap.scanLine(y), bitmap.stride());
    return out;
}

gfx::Status writeBmpFile(const std::string& path, const Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        return Error{"There is no picture to save."};
    return writeFileAtomically(path, encodeBmp(bitmap));
}

} // namespace daubix::io
