#include "effects/Geometry.h"
#include "gfx/Palette.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <string>

using namespace daubix;
using gfx::Bitmap;
using gfx::PixelFormat;

namespace {

// The flip to a 24-bit copy, then each pixel to its nearest halftone entry by the plain search.
Bitmap plainFlip(const Bitmap& a, bool horizontal)
{
    const int w = a.width(), h = a.height();
    Bitmap out(w, h, PixelFormat::Bits8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const gfx::Color c = horizontal ? a.pixel(w - 1 - x, y) : a.pixel(x, h - 1 - y);
            out.setRawPixel(x, y, static_cast<std::uint32_t>(gfx::nearestPaletteIndex(gfx::halftonePalette256(), c)));
        }
    return out;
}

// Pixel (x, y) of the result is pixel (x - dx, y - dy) of the source, wrapping around.
Bitmap plainShift(const Bitmap& a, int dx, int dy)
{
    const int w = a.width(), h = a.height();
    Bitmap out(w, h, a.format());
    out.setPalette(a.palette());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.setRawPixel(x, y, a.rawPixel(((x - dx) % w + w) % w, ((y - dy) % h + h) % h));
    return out;
}

struct Size {
    int width;
    int height;
};
const Size kSizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {2, 3}, {7, 5}, {11, 13}, {301, 260}};

} // namespace

TEST(Flip, BothWaysMatchTheFlipThenTheNearestHalftoneColour)
{
    for (const Size size : kSizes)
        for (const bool horizontal : {true, false}) {
            SCOPED_TRACE(
                std::to_string(size.width) + "x" + std::to_string(size.height) + (horizontal ? " right" : " down"));
            const Bitmap src = test::noise(size.width, size.height, 31);
            const Bitmap got = effects::flipToHalftone(src, horizontal);
            EXPECT_EQ(got.format(), PixelFormat::Bits8);
            EXPECT_EQ(got.palette(), gfx::halftonePalette256());
            EXPECT_EQ(got, plainFlip(src, horizontal));
        }
    const Bitmap four = test::noise(9, 4, 32).converted(PixelFormat::Bits4);
    EXPECT_EQ(effects::flipToHalftone(four, true), plainFlip(four, true));
}

TEST(Move, RowsOfEveryPixelFormatAndColumnsMatchTheWrappedShift)
{
    for (const PixelFormat format :
        {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits24, PixelFormat::Bits32})
        for (const Size size : kSizes)
            for (const int direction : {-1, 1}) {
                SCOPED_TRACE(std::to_string(static_cast<int>(format)) + " bits " + std::to_string(size.width) + "x"
                    + std::to_string(size.height) + " direction " + std::to_string(direction));
                const Bitmap src = test::noise(size.width, size.height, 33).converted(format);
                Bitmap rows = src;
                effects::shiftRows(rows, direction);
                EXPECT_EQ(rows, plainShift(src, 0, direction));
                if (format != PixelFormat::Bits24)
                    continue;
                Bitmap columns = src;
                effects::shiftColumns(columns, direction);
                EXPECT_EQ(columns, plainShift(src, direction, 0));
            }
}

TEST(Move, RightWTimesRestoresTheImageAndZeroMovesNothing)
{
    const Bitmap src = test::noise(13, 4, 34);
    Bitmap b = src;
    for (int i = 0; i < 13; ++i)
        effects::shiftColumns(b, 1);
    EXPECT_EQ(b, src);
    effects::shiftColumns(b, 0);
    effects::shiftRows(b, 0);
    EXPECT_EQ(b, src);
    // Columns of another format are moved in a 24-bit copy, as the command takes one.
    Bitmap eight = src.converted(PixelFormat::Bits8);
    const Bitmap expected = plainShift(eight.converted(PixelFormat::Bits24), -1, 0);
    effects::shiftColumns(eight, -1);
    EXPECT_EQ(eight, expected);
}
