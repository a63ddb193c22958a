#include "io/IconCodec.h"

#include "gfx/Canvas.h"

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
