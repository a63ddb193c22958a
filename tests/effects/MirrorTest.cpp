#include "effects/Geometry.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <string>

using namespace daubix;
using effects::MirrorHalf;
using gfx::Bitmap;

namespace {

// The mirrors as the algorithm states them: pixel by pixel, in place, in the stated order.
void plainHalf(Bitmap& b, MirrorHalf half)
{
    const int w = b.width(), h = b.height();
    for (int r = 0; r <= (h - 1) / 2 && (half == MirrorHalf::Down || half == MirrorHalf::Up); ++r)
        for (int x = 0; x < w; ++x)
            if (half == MirrorHalf::Down)
                b.setPixel(x, h - 1 - r, b.pixel(x, r));
            else
                b.setPixel(x, r, b.pixel(x, h - 1 - r));
    for (int y = 0; y < h && (half == MirrorHalf::Left || half == MirrorHalf::Right); ++y)
        for (int x = 0; x <= (w - 1) / 2; ++x)
            if (half == MirrorHalf::Left)
                b.setPixel(x, y, b.pixel(w - 1 - x, y));
            else
                b.setPixel(w - 1 - x, y, b.pixel(x, y));
}

void plainQuad(Bitmap& b)
{
    const int w = b.width(), h = b.height();
    for (int r = 0; r <= (h - 1) / 2; ++r)
        for (int x = 0; x <= (w - 1) / 2; ++x) {
            const gfx::Color c = b.pixel(x, r);
            b.setPixel(x, h - 1 - r, c);
            b.setPixel(w - 1 - x, r, c);
            b.setPixel(w - 1 - x, h - 1 - r, c);
        }
}

void plainWedge(Bitmap& b)
{
    const int n = b.width();
    for (int r = 0; r < n; ++r) {
        const int count = r <= (n - 1) / 2 ? r + 1 : n - r;
        for (int i = 0; i < count; ++i)
            b.setPixel(n - 1 - i, r, b.pixel(i, r));
    }
}

struct Size {
    int width;
    int height;
};
// Row padding, single rows and columns, and sizes that run on two threads.
const Size kSizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {7, 5}, {11, 13}, {8, 6}, {301, 260}, {260, 301}};

std::string name(const Size& s)
{
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

} // namespace

TEST(Mirror, HalvesQuadAndWedgeMatchThePlainAlgorithm)
{
    for (const Size size : kSizes) {
        const Bitmap src = test::noise(size.width, size.height, 21);
        for (const MirrorHalf half : {MirrorHalf::Down, MirrorHalf::Up, MirrorHalf::Left, MirrorHalf::Right}) {
            SCOPED_TRACE(name(size) + " half " + std::to_string(static_cast<int>(half)));
            Bitmap got = src, expected = src;
            effects::mirrorHalf(got, half);
            plainHalf(expected, half);
            EXPECT_EQ(got, expected);
        }
        SCOPED_TRACE(name(size) + " quad");
        Bitmap got = src, expected = src;
        effects::mirrorQuadTopLeft(got);
        plainQuad(expected);
        EXPECT_EQ(got, expected);
    }
    for (const int n : {1, 2, 3, 7, 8, 13, 257, 300}) {
        SCOPED_TRACE("wedge " + std::to_string(n));
        const Bitmap src = test::noise(n, n, 22);
        Bitmap got = src, expected = src;
        effects::mirrorWedge(got);
        plainWedge(expected);
        EXPECT_EQ(got, expected);
    }
}

TEST(Mirror, MirroredHalvesAreSymmetric)
{
    Bitmap b = test::noise(9, 6, 23);
    effects::mirrorHalf(b, MirrorHalf::Right);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(b.pixel(x, y), b.pixel(8 - x, y));
    const Bitmap before = test::noise(9, 6, 23);
    effects::mirrorHalf(b = before, MirrorHalf::Up);
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(b.pixel(x, 0), before.pixel(x, 5)); // the bottom half was kept and copied up
}

TEST(Mirror, WedgeLeavesANonSquareImageAloneAndOthersConvertTo24Bits)
{
    const Bitmap wide = test::noise(6, 5, 24);
    Bitmap b = wide;
    effects::mirrorWedge(b);
    EXPECT_EQ(b, wide);
    Bitmap eight = test::noise(6, 5, 25).converted(gfx::PixelFormat::Bits8);
    Bitmap expected = eight.converted(gfx::PixelFormat::Bits24);
    effects::mirrorHalf(eight, MirrorHalf::Down);
    plainHalf(expected, MirrorHalf::Down);
    EXPECT_EQ(eight, expected);
}
