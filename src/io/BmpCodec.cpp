#include "io/BmpCodec.h"

#include "io/FileWriter.h"

#include <bit>
#include <cstring>
#include <optional>
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

// What the headers of a BMP file say: enough to find, size and read its pixels.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bpp = 0;
    std::uint32_t compression = kRgb;
    bool topDown = false;
    bool masked = false;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    std::vector<gfx::Color> palette;
    std::uint32_t dataOffset = 0;
    std::uint64_t stride = 0; // bytes a row takes in the file
    std::uint64_t rowBytes = 0; // bytes a row's pixels take

    bool rle() const { return compression == kRle8 || compression == kRle4; }
    // Rows that can go straight into a bitmap of the same layout.
    bool plain() const { return !rle() && (bpp <= 8 || bpp == 24 || (bpp == 32 && !masked)); }
    PixelFormat format() const
    {
        return bpp == 1            ? PixelFormat::Bits1
            : bpp == 4             ? PixelFormat::Bits4
            : bpp == 8             ? PixelFormat::Bits8
            : bpp == 32 && !masked ? PixelFormat::Bits32
                                   : PixelFormat::Bits24;
    }
};

// Reads and checks the file and info headers and the colour table, which lie in the first bytes.
gfx::Result<Layout> parseLayout(std::span<const std::uint8_t> d)
{
    if (d.size() < 2 || d[0] != 'B' || d[1] != 'M')
        return Error{"Not a BMP file."};
    if (d.size() < 14 + 12)
        return kTruncated;
    Layout l;
    l.dataOffset = le32(&d[10]);
    const std::uint32_t headerSize = le32(&d[14]);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 16 || headerSize > 1024))
        return Error{"Unsupported BMP header."};
    if (14 + std::uint64_t{headerSize} > d.size())
        return kTruncated;
    const std::uint8_t* h = &d[14];
    // Fields past the end of a short (OS/2) header read as zero.
    auto field32 = [&](std::uint32_t offset) { return offset + 4 <= headerSize ? le32(h + offset) : 0u; };

    std::uint32_t colorsUsed = 0;
    if (core) {
        l.width = le16(h + 4);
        l.height = le16(h + 6);
        l.bpp = le16(h + 10);
    } else {
        l.width = static_cast<std::int32_t>(le32(h + 4));
        l.height = static_cast<std::int32_t>(le32(h + 8));
        l.bpp = le16(h + 14);
        l.compression = field32(16);
        colorsUsed = field32(32);
    }
    l.topDown = l.height < 0;
    l.height = l.height < 0 ? -l.height : l.height;
    if (l.width <= 0 || l.height <= 0)
        return Error{"The BMP file has no pixels (bad width or height)."};
    if (!Bitmap::isSaneSize(l.width, l.height))
        return Error{
            "The BMP image is too large (" + std::to_string(l.width) + " x " + std::to_string(l.height) + ")."};

    const int bpp = l.bpp;
    const std::uint32_t compression = l.compression;
    l.masked = compression == kBitFields || compression == kAlphaBitFields;
    const bool depthOk
        = (compression == kRgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32))
        || (compression == kRle8 && bpp == 8) || (compression == kRle4 && bpp == 4)
        || (l.masked && (bpp == 16 || bpp == 32));
    if (!depthOk)
        return Error{"Unsupported BMP format (" + std::to_string(bpp) + " bits, compression "
            + std::to_string(compression) + ")."};
    if (l.rle() && l.topDown)
        return Error{"The BMP file is damaged (a compressed image cannot be top-down)."};

    std::uint64_t paletteOffset = 14 + std::uint64_t{headerSize};
    if (bpp == 32)
        l.masks[0] = 0xFF0000, l.masks[1] = 0x00FF00, l.masks[2] = 0x0000FF;
    if (l.masked) {
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
            l.masks[i] = le32(m + 4 * i);
    }

    if (bpp <= 8) {
        const std::uint32_t maxColors = 1u << bpp;
        const std::uint32_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
        const std::uint64_t entry = core ? 3 : 4;
        // Some writers store fewer entries than they declare; read what lies before the pixels.
        std::uint64_t available = (l.dataOffset > paletteOffset ? l.dataOffset - paletteOffset : 0) / entry;
        if (available > count)
            available = count;
        if (paletteOffset + available * entry > d.size())
            return kTruncated;
        for (std::uint64_t i = 0; i < available; ++i) {
            const std::uint8_t* e = &d[paletteOffset + i * entry];
            l.palette.push_back(gfx::rgb(e[2], e[1], e[0]));
        }
        if (l.palette.empty())
            return Error{"The BMP file is damaged (no colour table)."};
    }
    if (l.dataOffset < paletteOffset)
        return Error{"The BMP file is damaged (bad pixel data offset)."};
    l.stride = ((static_cast<std::uint64_t>(l.width) * bpp + 31) / 32) * 4;
    l.rowBytes = (static_cast<std::uint64_t>(l.width) * bpp + 7) / 8;
    return l;
}

// Our rows keep their padding, and the bits past the last pixel of a low-depth row, zero, so that equal
// images compare equal whatever the file held there.
void clearRowEnds(Bitmap& out, const Layout& l)
{
    const std::size_t rowBytes = static_cast<std::size_t>(l.rowBytes);
    const int used = static_cast<int>((l.width * l.bpp) % 8);
    for (int y = 0; y < out.height(); ++y) {
        std::uint8_t* row = out.scanLine(y);
        if (l.bpp < 8 && used != 0)
            row[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - used));
        if (rowBytes < out.stride())
            std::memset(row + rowBytes, 0, out.stride() - rowBytes);
    }
}

} // namespace

gfx::Result<Bitmap> decodeBmp(std::span<const std::uint8_t> d)
{
    auto parsed = parseLayout(d);
    if (!parsed)
        return Error{parsed.error()};
    const Layout& l = parsed.value();
    if (l.dataOffset >= d.size())
        return Error{"The BMP file is damaged (bad pixel data offset)."};
    const std::span<const std::uint8_t> pixels = d.subspan(l.dataOffset);
    const int w = static_cast<int>(l.width), hgt = static_cast<int>(l.height);

    if (l.rle()) {
        Bitmap out(w, hgt, l.format());
        out.setPalette(l.palette);
        if (gfx::Status s = decodeRle(pixels, l.compression == kRle4, out); !s)
            return Error{s.error()};
        return out;
    }
    if ((static_cast<std::uint64_t>(l.height) - 1) * l.stride + l.rowBytes > pixels.size())
        return kTruncated;
    auto fileRow = [&](int y) { return pixels.data() + (l.topDown ? y : hgt - 1 - y) * l.stride; };

    if (l.plain()) {
        Bitmap out = Bitmap::zeroed(w, hgt, l.format());
        if (l.bpp <= 8)
            out.setPalette(l.palette);
        for (int y = 0; y < hgt; ++y)
            std::memcpy(out.scanLine(y), fileRow(y), static_cast<std::size_t>(l.rowBytes));
        clearRowEnds(out, l);
        return out;
    }

    // 16 bits, and masked 32 bits: unpack the channels to 24 bits.
    const Channel r(l.masks[0]), g(l.masks[1]), b(l.masks[2]);
    Bitmap out = Bitmap::zeroed(w, hgt, PixelFormat::Bits24);
    for (int y = 0; y < hgt; ++y) {
        const std::uint8_t* in = fileRow(y);
        std::uint8_t* o = out.scanLine(y);
        for (int x = 0; x < w; ++x, o += 3) {
            const std::uint32_t v = l.bpp == 16 ? le16(in + 2 * x) : le32(in + 4 * x);
            o[0] = b(v);
            o[1] = g(v);
            o[2] = r(v);
        }
    }
    return out;
}

std::optional<std::uint64_t> dibBitsOffset(std::span<const std::uint8_t> dib)
{
    if (dib.size() < 12)
        return std::nullopt;
    const std::uint32_t headerSize = le32(dib.data());
    if (headerSize < 12 || headerSize > 1024 || headerSize > dib.size())
        return std::nullopt;
    std::uint64_t colors = 0, entry = 4, masks = 0;
    if (headerSize == 12) {
        const int bpp = le16(&dib[10]);
        colors = bpp <= 8 ? std::uint64_t{1} << bpp : 0;
        entry = 3;
    } else if (headerSize >= 16) {
        const int bpp = le16(&dib[14]);
        const std::uint32_t compression = headerSize >= 20 ? le32(&dib[16]) : kRgb;
        const std::uint64_t used = headerSize >= 36 ? le32(&dib[32]) : 0;
        if (bpp <= 8)
            colors = used == 0 || used > (std::uint64_t{1} << bpp) ? std::uint64_t{1} << bpp : used;
        else
            colors = used; // an optional table before the bits
        if (headerSize < 52 && (compression == kBitFields || compression == kAlphaBitFields))
            masks = compression == kAlphaBitFields ? 16 : 12;
    }
    return std::uint64_t{headerSize} + masks + colors * entry;
}

// The bits' offset follows from the header as a file header would state it, so the file reader does
// the rest with all of its checks.
gfx::Result<Bitmap> decodeDib(std::span<const std::uint8_t> dib)
{
    const std::optional<std::uint64_t> bits = dibBitsOffset(dib);
    if (!bits)
        return dib.size() < 12 ? kTruncated : Error{"Unsupported BMP header."};
    const std::uint64_t offset = 14 + *bits;
    if (offset > 14 + std::uint64_t{dib.size()} || dib.size() > kMaxFileBytes)
        return kTruncated;
    std::vector<std::uint8_t> file(14 + dib.size());
    const std::uint32_t size = static_cast<std::uint32_t>(file.size());
    const std::uint8_t header[14] = {'B', 'M', static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
        static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24), 0, 0, 0, 0,
        static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
        static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24)};
    std::memcpy(file.data(), header, 14);
    std::memcpy(file.data() + 14, dib.data(), dib.size());
    return decodeBmp(file);
}

gfx::Result<Bitmap> readBmpFile(const std::string& path)
{
    // The headers lie in the first few kilobytes. An uncompressed image's rows are then read straight
    // into the bitmap's rows, turned the right way up on the way in; other images are decoded from the
    // whole file.
    auto opened = FileReader::open(path, kMaxFileBytes);
    if (!opened)
        return Error{opened.error()};
    FileReader& file = opened.value();
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), 64 * 1024)));
    if (gfx::Status read = file.read(0, head); !read)
        return Error{read.error()};
    auto parsed = parseLayout(head);
    if (!parsed || !parsed.value().plain() || parsed.value().dataOffset >= file.size()) {
        auto bytes = file.readAll();
        if (!bytes)
            return Error{bytes.error()};
        return decodeBmp(bytes.value());
    }
    const Layout& l = parsed.value();
    const std::uint64_t available = file.size() - l.dataOffset;
    if ((static_cast<std::uint64_t>(l.height) - 1) * l.stride + l.rowBytes > available)
        return kTruncated;
    const int w = static_cast<int>(l.width), h = static_cast<int>(l.height);
    Bitmap out = Bitmap::zeroed(w, h, l.format());
    if (l.bpp <= 8)
        out.setPalette(l.palette);
    std::vector<std::span<std::uint8_t>> rows(static_cast<std::size_t>(h));
    for (int k = 0; k < h; ++k) {
        // File row k holds the image's row k when top-down, row h - 1 - k otherwise; the last may lack
        // its padding.
        const std::uint64_t length = std::min<std::uint64_t>(l.stride, available - k * l.stride);
        rows[static_cast<std::size_t>(k)] = {out.scanLine(l.topDown ? k : h - 1 - k), static_cast<std::size_t>(length)};
    }
    if (gfx::Status read = file.read(l.dataOffset, rows); !read)
        return Error{read.error()};
    clearRowEnds(out, l);
    return out;
}

namespace {

// The file header, the 40-byte info header and the colour table, for the bitmap's rows to follow.
std::vector<std::uint8_t> bmpHeaders(const Bitmap& bitmap)
{
    const int bpp = bitmap.bitsPerPixel();
    const std::size_t paletteEntries = bpp <= 8 ? bitmap.palette().size() : 0;
    const std::size_t offset = 14 + 40 + paletteEntries * 4;
    const std::size_t imageBytes = bitmap.stride() * static_cast<std::size_t>(bitmap.height());
    std::vector<std::uint8_t> out(offset, 0);
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
    put32(2, static_cast<std::uint32_t>(offset + imageBytes));
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
    return out;
}

} // namespace

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap)
{
    std::vector<std::uint8_t> out = bmpHeaders(bitmap);
    const std::size_t offset = out.size();
    out.resize(offset + bitmap.stride() * static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y)
        std::memcpy(&out[offset + static_cast<std::size_t>(bitmap.height() - 1 - y) * bitmap.stride()],
            bitmap.scanLine(y), bitmap.stride());
    return out;
}

gfx::Status writeBmpFile(const std::string& path, const Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        return Error{"There is no picture to save."};
    // The headers, then the rows straight from the bitmap, bottom row first.
    const std::vector<std::uint8_t> head = bmpHeaders(bitmap);
    std::vector<std::span<const std::uint8_t>> pieces;
    pieces.reserve(static_cast<std::size_t>(bitmap.height()) + 1);
    pieces.emplace_back(head);
    for (int y = bitmap.height() - 1; y >= 0; --y)
        pieces.emplace_back(bitmap.scanLine(y), bitmap.stride());
    return writeFileAtomically(path, pieces);
}

} // namespace daubix::io
