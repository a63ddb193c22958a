#include "io/IconCodec.h"

#include "gfx/Canvas.h"
#include "io/BmpCodec.h"
#include "io/ByteView.h"

#include <algorithm>
#include <optional>

namespace daubix::io {

namespace {

const gfx::Color kEscape = gfx::rgb(250, 248, 248);

void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The rows of a bitmap bottom row first, each padded to 4 bytes, as the icon's DIB stores them.
void putRows(std::vector<std::uint8_t>& out, const gfx::Bitmap& b)
{
    for (int y = b.height() - 1; y >= 0; --y)
        out.insert(out.end(), b.scanLine(y), b.scanLine(y) + b.stride());
}

} // namespace

IconPicture makeIcon(const gfx::Bitmap& picture)
{
    gfx::Bitmap c(kIconSide, kIconSide);
    gfx::Canvas(c).draw(0, 0, picture.converted(gfx::PixelFormat::Bits24));
    const gfx::Color t = c.pixel(0, kIconSide - 1);
    const auto replace = [&c](gfx::Color from, gfx::Color to) {
        for (int y = 0; y < kIconSide; ++y)
            for (int x = 0; x < kIconSide; ++x)
                if (c.pixel(x, y) == from)
                    c.setPixel(x, y, to);
    };
    // Black pixels step aside to the escape colour while black marks the transparent ones.
    if (t != gfx::clBlack)
        replace(gfx::clBlack, kEscape);
    replace(t, gfx::clBlack);
    gfx::Bitmap mask(kIconSide, kIconSide, gfx::PixelFormat::Bits1);
    mask.fill(gfx::clBlack);
    for (int y = 0; y < kIconSide; ++y)
        for (int x = 0; x < kIconSide; ++x)
            if (c.pixel(x, y) == gfx::clBlack)
                mask.setPixel(x, y, gfx::clWhite); // index 1: transparent
    replace(kEscape, gfx::clBlack);
    return {std::move(c), std::move(mask)};
}

gfx::Result<std::vector<std::uint8_t>> encodeIcon(const IconPicture& icon, int bitsPerPixel)
{
    if (icon.colour.isEmpty())
        return gfx::Error{"The image is empty."};
    if (bitsPerPixel != 4 && bitsPerPixel != 8)
        return gfx::Error{"An icon has 16 or 256 colours."};
    const gfx::Bitmap colours
        = icon.colour.converted(bitsPerPixel == 8 ? gfx::PixelFormat::Bits8 : gfx::PixelFormat::Bits4);
    const gfx::Bitmap mask = icon.mask.converted(gfx::PixelFormat::Bits1);
    const std::size_t tableEntries = std::size_t{1} << bitsPerPixel;
    const auto colourBytes = static_cast<std::uint32_t>(colours.stride() * static_cast<std::size_t>(colours.height()));
    const auto maskBytes = static_cast<std::uint32_t>(mask.stride() * static_cast<std::size_t>(mask.height()));
    const auto headerBytes = static_cast<std::uint32_t>(40 + tableEntries * 4);
    std::vector<std::uint8_t> out;
    out.reserve(22 + headerBytes + colourBytes + maskBytes);
    put16(out, 0); // reserved
    put16(out, 1); // an icon
    put16(out, 1); // one image
    out.push_back(static_cast<std::uint8_t>(colours.width()));
    out.push_back(static_cast<std::uint8_t>(colours.height()));
    // The colour field holds planes times bits per pixel in the two bytes where other writers put the
    // colour count; the planes and bit count fields stay zero. Readers take the depth from the DIB.
    put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    put16(out, 0);
    put16(out, 0);
    put32(out, headerBytes + colourBytes + maskBytes);
    put32(out, 22);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(colours.width()));
    put32(out, static_cast<std::uint32_t>(colours.height() * 2)); // the colour image, then the mask
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    put32(out, 0);
    put32(out, colourBytes);
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    for (std::size_t i = 0; i < tableEntries; ++i) {
        const gfx::Color e = i < colours.palette().size() ? colours.palette()[i] : gfx::clBlack;
        out.push_back(static_cast<std::uint8_t>(gfx::blue(e)));
        out.push_back(static_cast<std::uint8_t>(gfx::green(e)));
        out.push_back(static_cast<std::uint8_t>(gfx::red(e)));
        out.push_back(0);
    }
    putRows(out, colours);
    putRows(out, mask);
    return out;
}

} // namespace daubix::io

namespace daubix::io {

namespace {

const gfx::Error kNoIcon{"The icon file holds no readable image."};
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool isPng(std::span<const std::uint8_t> image)
{
    return image.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, image.begin());
}

// What an entry's own data says of its size and depth, for choosing among them.
struct EntryShape {
    std::int64_t width = 0, height = 0;
    int depth = 0;
};

std::optional<EntryShape> entryShape(std::span<const std::uint8_t> image)
{
    const ByteView v(image);
    if (isPng(image)) {
        if (!v.has(16, 10))
            return std::nullopt;
        const auto be32 = [&](std::size_t at) {
            return (std::uint32_t{v.u8(at)} << 24) | (std::uint32_t{v.u8(at + 1)} << 16)
                | (std::uint32_t{v.u8(at + 2)} << 8) | v.u8(at + 3);
        };
        static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4}; // by colour type
        const int type = v.u8(25);
        const int channels = type < 7 ? kChannels[type] : 0;
        return EntryShape{be32(16), be32(20), v.u8(24) * (channels == 0 ? 1 : channels)};
    }
    if (!v.has(0, 4))
        return std::nullopt;
    const std::uint32_t header = v.u32(0);
    if (header == 12 && v.has(0, 12))
        return EntryShape{v.u16(4), v.u16(6) / 2, v.u16(10)};
    // Icon bitmaps are stored plain: a run-length coded one would let a few bytes claim a huge picture.
    constexpr std::uint32_t kPlain = 0, kBitFields = 3;
    if (header >= 16 && v.has(0, 16) && (header < 20 || (v.has(0, 20) && (v.u32(16) == kPlain || v.u32(16) == kBitFields))))
        return EntryShape{v.i32(4), v.i32(8) / 2, v.u16(14)};
    return std::nullopt;
}

// A bitmap entry: colour and mask one above the other, so its header states twice the height.
gfx::Result<DecodedIcon> decodeIconDib(std::span<const std::uint8_t> image, const EntryShape& shape)
{
    if (shape.width <= 0 || shape.height <= 0 || !gfx::Bitmap::isSaneSize(shape.width, shape.height))
        return gfx::Error{"The icon's image has an unusable size."};
    const int width = static_cast<int>(shape.width), height = static_cast<int>(shape.height);
    std::vector<std::uint8_t> dib(image.begin(), image.end());
    const bool core = ByteView(image).u32(0) == 12;
    if (core) {
        dib[6] = static_cast<std::uint8_t>(height);
        dib[7] = static_cast<std::uint8_t>(height >> 8);
    } else {
        for (int i = 0; i < 4; ++i)
            dib[8 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
    }
    auto decoded = decodeDib(dib);
    if (!decoded)
        return gfx::Error{decoded.error()};
    const gfx::Bitmap& picture = decoded.value();

    DecodedIcon out{picture.converted(gfx::PixelFormat::Bits24),
        std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, 255)};
    bool haveAlpha = false;
    if (picture.format() == gfx::PixelFormat::Bits32) {
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = picture.scanLine(y);
            std::uint8_t* a = out.alpha.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                a[x] = row[4 * x + 3];
                haveAlpha |= a[x] != 0;
            }
        }
        if (!haveAlpha) // an alpha channel of zeros is no alpha channel: the mask rules
            std::fill(out.alpha.begin(), out.alpha.end(), std::uint8_t{255});
    }
    if (haveAlpha)
        return out;

    // The AND mask follows the colour rows; a file that leaves it out shows the icon opaque.
    const auto bpp = static_cast<std::uint64_t>(shape.depth); // the header's, as entryShape read it
    const std::uint64_t colourStride = (shape.width * bpp + 31) / 32 * 4;
    const std::uint64_t maskStride = (shape.width + 31) / 32 * 4;
    const std::optional<std::uint64_t> bits = dibBitsOffset(image);
    const std::uint64_t mask = bits ? *bits + colourStride * shape.height : image.size();
    if (!ByteView(image).has(mask, maskStride * shape.height))
        return out;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.data() + mask + maskStride * static_cast<std::uint64_t>(height - 1 - y);
        std::uint8_t* a = out.alpha.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            if (row[x >> 3] & (0x80 >> (x & 7)))
                a[x] = 0;
    }
    return out;
}

} // namespace

gfx::Result<DecodedIcon> decodeIcon(std::span<const std::uint8_t> data)
{
    const ByteView v(data);
    if (!v.has(0, 6) || v.u16(0) != 0 || (v.u16(2) != 1 && v.u16(2) != 2))
        return gfx::Error{"The file is not an icon."};
    const int count = v.u16(4);
    std::optional<std::span<const std::uint8_t>> best;
    EntryShape bestShape;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t entry = 6 + 16 * static_cast<std::uint64_t>(i);
        if (!v.has(entry, 16))
            break;
        const std::uint32_t size = v.u32(entry + 8), offset = v.u32(entry + 12);
        if (!v.has(offset, size))
            continue;
        const auto image = data.subspan(offset, size);
        const std::optional<EntryShape> shape = entryShape(image);
        if (!shape || shape->width <= 0 || shape->height <= 0 || !gfx::Bitmap::isSaneSize(shape->width, shape->height))
            continue;
        const std::int64_t area = shape->width * shape->height, bestArea = bestShape.width * bestShape.height;
        if (!best || area > bestArea || (area == bestArea && shape->depth > bestShape.depth)) {
            best = image;
            bestShape = *shape;
        }
    }
    if (!best)
        return kNoIcon;
    if (isPng(*best)) {
        return decodePngWithAlpha(*best);
    }
    return decodeIconDib(*best, bestShape);
}

} // namespace daubix::io
