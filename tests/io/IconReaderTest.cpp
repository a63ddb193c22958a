#include "io/IconCodec.h"

#include "io/PngCodec.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// An icon file of the given images; the directory states `claimed` sizes (0 for 256), which the
// reader must not trust.
Bytes iconFile(const std::vector<Bytes>& images, int claimed = 16)
{
    Bytes out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Bytes& image : images) {
        out.insert(out.end(), {static_cast<std::uint8_t>(claimed), static_cast<std::uint8_t>(claimed), 0, 0});
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<std::uint32_t>(image.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(image.size());
    }
    for (const Bytes& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

// A bitmap entry drawn by hand: pixel(x, y) gives a palette index (depth <= 8) or 0xAARRGGBB, and
// masked(x, y) the AND mask's bit.
template <class Pixel, class Mask>
Bytes dibEntry(int width, int height, int depth, const std::vector<gfx::Color>& palette, Pixel pixel, Mask masked)
{
    Bytes out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(2 * height));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(depth));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    put32(out, static_cast<std::uint32_t>(palette.size())); // colours used
    put32(out, 0);
    for (const gfx::Color c : palette)
        out.insert(out.end(), {static_cast<std::uint8_t>(gfx::blue(c)), static_cast<std::uint8_t>(gfx::green(c)),
                                  static_cast<std::uint8_t>(gfx::red(c)), 0});
    const auto rows = [&](int bits, auto value) {
        const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
        for (int y = height - 1; y >= 0; --y) {
            Bytes row(stride, 0);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = value(x, y);
                if (bits >= 8)
                    for (int k = 0; k < bits / 8; ++k)
                        row[static_cast<std::size_t>(x) * (bits / 8) + k] = static_cast<std::uint8_t>(v >> (8 * k));
                else
                    row[static_cast<std::size_t>(x) * bits / 8]
                        |= static_cast<std::uint8_t>(v << (8 - bits - (x * bits) % 8));
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    };
    rows(depth, pixel);
    rows(1, [&](int x, int y) { return masked(x, y) ? 1u : 0u; });
    return out;
}

const std::vector<gfx::Color> kFour = {gfx::clBlack, gfx::clRed, gfx::clLime, gfx::clBlue};

} // namespace

// Every bitmap depth: colours through the palette or straight, transparency from the AND mask, or from
// the alpha channel at 32 bits.
TEST(IconReader, ReadsBitmapEntriesOfEveryDepth)
{
    const int w = 5, h = 3;
    const auto index = [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 4); };
    const auto maskedCorner = [](int x, int y) { return x == 0 && y == 2; };
    for (const int depth : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(depth);
        const std::vector<gfx::Color> palette = depth == 1 ? std::vector{gfx::clBlack, gfx::clWhite}
            : depth <= 8 ? kFour
                         : std::vector<gfx::Color>{};
        const auto colourAt = [&](int x, int y) {
            return depth == 1 ? palette[index(x, y) & 1] : kFour[index(x, y)];
        };
        const auto value = [&](int x, int y) -> std::uint32_t {
            if (depth == 1)
                return index(x, y) & 1;
            if (depth <= 8)
                return index(x, y);
            const gfx::Color c = colourAt(x, y);
            const auto bgr = static_cast<std::uint32_t>(gfx::blue(c) | (gfx::green(c) << 8) | (gfx::red(c) << 16));
            return depth == 32 ? bgr | (static_cast<std::uint32_t>(x * 60) << 24) : bgr;
        };
        auto icon = io::decodeIcon(iconFile({dibEntry(w, h, depth, palette, value, maskedCorner)}));
        ASSERT_TRUE(icon.ok()) << icon.error();
        ASSERT_EQ(icon.value().colour.width(), w);
        ASSERT_EQ(icon.value().colour.height(), h);
        EXPECT_EQ(icon.value().colour.format(), gfx::PixelFormat::Bits24);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(icon.value().colour.pixel(x, y), colourAt(x, y)) << x << "," << y;
                const int alpha = icon.value().alpha[static_cast<std::size_t>(y) * w + x];
                EXPECT_EQ(alpha, depth == 32 ? x * 60 : maskedCorner(x, y) ? 0 : 255) << x << "," << y;
            }
    }
}

// A 32-bit image whose alpha bytes are all zero is an old-style icon: the mask decides.
TEST(IconReader, AZeroAlphaChannelLeavesTheMaskInCharge)
{
    const auto red = [](int, int) { return 0x00FF0000u; };
    auto icon = io::decodeIcon(iconFile({dibEntry(4, 4, 32, {}, red, [](int x, int) { return x == 3; })}));
    ASSERT_TRUE(icon.ok());
    EXPECT_EQ(icon.value().colour.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(icon.value().alpha[0], 255);
    EXPECT_EQ(icon.value().alpha[3], 0);
}

// What we write reads back: colours of both standard palettes, and the bottom-left colour transparent.
TEST(IconReader, ReadsBackOurOwnFiles)
{
    gfx::Bitmap picture(32, 32);
    picture.fill(gfx::clRed);
    for (int x = 0; x < 32; ++x)
        picture.setPixel(x, 5, gfx::clBlue);
    picture.setPixel(0, 31, gfx::clLime);
    picture.setPixel(7, 31, gfx::clLime);
    const io::IconPicture made = io::makeIcon(picture);
    for (const int bits : {4, 8}) {
        auto icon = io::decodeIcon(io::encodeIcon(made, bits).value());
        ASSERT_TRUE(icon.ok()) << icon.error();
        EXPECT_EQ(icon.value().colour.pixel(3, 3), gfx::clRed);
        EXPECT_EQ(icon.value().colour.pixel(9, 5), gfx::clBlue);
        EXPECT_EQ(icon.value().alpha[31 * 32 + 0], 0);
        EXPECT_EQ(icon.value().alpha[31 * 32 + 7], 0);
        EXPECT_EQ(icon.value().alpha[31 * 32 + 8], 255);
    }
}

// PNG images inside icons keep their alpha rather than being blended against white.
TEST(IconReader, ReadsPngEntriesWithTheirAlpha)
{
    gfx::Bitmap picture(6, 4);
    picture.fill(gfx::clNavy);
    picture.setPixel(2, 1, gfx::clYellow);
    auto icon = io::decodeIcon(iconFile({io::encodePng(picture, gfx::clYellow).value()}, 0));
    ASSERT_TRUE(icon.ok()) << icon.error();
    EXPECT_EQ(icon.value().colour.width(), 6);
    EXPECT_EQ(icon.value().colour.pixel(2, 1), gfx::clYellow);
    EXPECT_EQ(icon.value().alpha[1 * 6 + 2], 0);
    EXPECT_EQ(icon.value().alpha[0], 255);
}

// The largest image wins, then the deepest, by what the images say rather than by the directory.
TEST(IconReader, ChoosesTheLargestThenDeepestImage)
{
    const auto none = [](int, int) { return false; };
    const Bytes small = dibEntry(8, 8, 24, {}, [](int, int) { return 0x00FF0000u; }, none);
    const Bytes shallow = dibEntry(16, 16, 4, kFour, [](int, int) { return 2u; }, none);
    const Bytes deep = dibEntry(16, 16, 24, {}, [](int, int) { return 0x000000FFu; }, none);
    for (const auto& order : {std::vector{small, shallow, deep}, std::vector{deep, small, shallow}}) {
        auto icon = io::decodeIcon(iconFile(order, 48));
        ASSERT_TRUE(icon.ok());
        EXPECT_EQ(icon.value().colour.width(), 16);
        EXPECT_EQ(icon.value().colour.pixel(0, 0), gfx::clBlue);
    }
}

TEST(IconReader, RefusesOrPassesOverDamagedFiles)
{
    const Bytes good = dibEntry(4, 4, 24, {}, [](int, int) { return 0x00FF0000u; }, [](int, int) { return false; });
    Bytes pastTheEnd = iconFile({good, good});
    pastTheEnd.resize(pastTheEnd.size() - 1); // the second entry no longer fits: the first is read
    EXPECT_TRUE(io::decodeIcon(pastTheEnd).ok());

    Bytes huge = good;
    huge[4] = 0;
    huge[7] = 0x40; // a width of 2^30
    Bytes runLength = dibEntry(4, 4, 8, kFour, [](int, int) { return 1u; }, [](int, int) { return false; });
    runLength[16] = 1; // coded: icons are stored plain, and a few coded bytes could claim a huge picture
    Bytes noMask = good;
    noMask.resize(40 + 4 * 3 * 4); // no mask at all: opaque
    auto opaque = io::decodeIcon(iconFile({noMask}));
    ASSERT_TRUE(opaque.ok());
    EXPECT_EQ(opaque.value().alpha[5], 255);

    for (const Bytes& bad : {Bytes{}, Bytes{0, 0, 2}, Bytes{1, 0, 1, 0, 1, 0}, iconFile({}), iconFile({huge}), iconFile({runLength}),
             iconFile({Bytes(good.begin(), good.begin() + 30)}), iconFile({Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}})})
        EXPECT_FALSE(io::decodeIcon(bad).ok());
}
