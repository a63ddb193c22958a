#include "gfx/Bitmap.h"

#include "gfx/Palette.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix::gfx;
using daubix::test::loadFixture;

TEST(Bitmap, NewBitmapsAreWhiteWithRowsPaddedToFourBytes)
{
    struct Case {
        PixelFormat format;
        int width;
        std::size_t stride;
    };
    for (const Case c : {Case{PixelFormat::Bits1, 7, 4}, Case{PixelFormat::Bits1, 33, 8},
             Case{PixelFormat::Bits4, 7, 4}, Case{PixelFormat::Bits8, 5, 8}, Case{PixelFormat::Bits24, 7, 24},
             Case{PixelFormat::Bits24, 1, 4}, Case{PixelFormat::Bits32, 3, 12}}) {
        const Bitmap b(c.width, 5, c.format);
        EXPECT_EQ(b.stride(), c.stride) << bitsPerPixel(c.format) << " bits, width " << c.width;
        EXPECT_EQ(b.pixel(0, 0), clWhite);
        EXPECT_EQ(b.pixel(c.width - 1, 4), clWhite);
    }
}

TEST(Bitmap, StoresTwentyFourBitPixelsAsBlueGreenRed)
{
    Bitmap b(3, 2);
    b.setPixel(1, 1, rgb(0x11, 0x22, 0x33));
    const std::uint8_t* p = b.scanLine(1) + 3;
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
}

TEST(Bitmap, PacksLowDepthPixelsLeftmostInTheHighBits)
{
    Bitmap mono(9, 1, PixelFormat::Bits1);
    mono.fill(clBlack);
    mono.setPixel(0, 0, clWhite);
    mono.setPixel(8, 0, clWhite);
    EXPECT_EQ(mono.scanLine(0)[0], 0x80);
    EXPECT_EQ(mono.scanLine(0)[1], 0x80);

    Bitmap four(3, 1, PixelFormat::Bits4);
    four.setPixel(0, 0, clRed); // index 9
    four.setPixel(1, 0, clBlue); // index 12
    EXPECT_EQ(four.scanLine(0)[0], 0x9C);
}

TEST(Bitmap, AccessOutsideTheBitmapIsHarmless)
{
    Bitmap b(4, 4);
    b.setPixel(-1, 0, clBlack);
    b.setPixel(4, 4, clBlack);
    b.setPixel(1 << 30, -(1 << 30), clBlack);
    EXPECT_EQ(b, Bitmap(4, 4));
    EXPECT_EQ(b.pixel(4, 0), clNone);
}

// Code that hands a picture's memory on checks what is left behind.
TEST(Bitmap, ABitmapMovedFromIsEmpty)
{
    Bitmap a(5, 4);
    Bitmap b(std::move(a));
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.byteSize(), 0u);
    EXPECT_EQ(b.width(), 5);
    Bitmap c;
    c = std::move(b);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.pixel(0, 0), clNone);
    EXPECT_EQ(c.pixel(4, 3), clWhite);
}

TEST(Bitmap, NewSizeKeepsTheTopLeftAndWhitensTheRest)
{
    for (PixelFormat format : {PixelFormat::Bits24, PixelFormat::Bits4, PixelFormat::Bits1}) {
        Bitmap b(3, 3, format);
        b.fill(clBlack);
        b.setSize(5, 4);
        EXPECT_EQ(b.width(), 5);
        EXPECT_EQ(b.height(), 4);
        EXPECT_EQ(b.pixel(2, 2), clBlack);
        EXPECT_EQ(b.pixel(3, 0), clWhite);
        EXPECT_EQ(b.pixel(0, 3), clWhite);
        b.setSize(2, 1);
        EXPECT_EQ(b.pixel(1, 0), clBlack);
        EXPECT_EQ(b.pixel(2, 0), clNone);
    }
}

// Sizes beyond the limit would overflow the pixel addressing: the bitmap stays empty, or keeps its size.
TEST(Bitmap, RefusesSizesBeyondTheLimit)
{
    EXPECT_TRUE(Bitmap(INT32_MAX, 1).isEmpty());
    EXPECT_TRUE(Bitmap(1 << 15, 1 << 14).isEmpty());
    Bitmap b(3, 2);
    b.setSize(1 << 30, 2);
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.height(), 2);
}

TEST(Bitmap, CopiesAreIndependentValues)
{
    Bitmap a(5, 5);
    Bitmap b = a;
    b.setPixel(2, 2, clRed);
    EXPECT_EQ(a.pixel(2, 2), clWhite);
    EXPECT_NE(a, b);
}

TEST(BitmapConversion, FourBitsTakeTheNearestStandardColour)
{
    Bitmap b(4, 1);
    b.setPixel(0, 0, rgb(250, 10, 10)); // near red
    b.setPixel(1, 0, rgb(120, 130, 125)); // near gray
    b.setPixel(2, 0, rgb(200, 190, 195)); // near silver
    b.setPixel(3, 0, rgb(0, 0, 100)); // near navy
    b.convertTo(PixelFormat::Bits4);
    EXPECT_EQ(b.format(), PixelFormat::Bits4);
    EXPECT_EQ(b.pixel(0, 0), clRed);
    EXPECT_EQ(b.pixel(1, 0), clGray);
    EXPECT_EQ(b.pixel(2, 0), clSilver);
    EXPECT_EQ(b.pixel(3, 0), clNavy);
}

// The reference picture comes from the classic interface reducing a hue and lightness ramp to 4 bits.
TEST(BitmapConversion, FourBitsMatchTheClassicReductionOfAColourRamp)
{
    const Bitmap expected = loadFixture("gfx/fixtures/convert4.bmp");
    const Bitmap ours
        = loadFixture("gfx/fixtures/colors.bmp").converted(PixelFormat::Bits4).converted(PixelFormat::Bits24);
    EXPECT_EQ(daubix::test::differingPixels(ours, expected, 0, 0, expected.width(), expected.height()), 0);
}

TEST(BitmapConversion, PaletteImagesComeBackToTwentyFourBitsExactly)
{
    const Bitmap noise = daubix::test::noise(11, 13, 7);
    for (PixelFormat format : {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8}) {
        const Bitmap reduced = noise.converted(format);
        const Bitmap back = reduced.converted(PixelFormat::Bits24);
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(back.pixel(x, y), reduced.pixel(x, y));
        // Reducing again changes nothing: every colour is already in the palette.
        EXPECT_EQ(back.converted(format), reduced);
    }
    EXPECT_EQ(noise.converted(PixelFormat::Bits32).converted(PixelFormat::Bits24), noise);
}

TEST(BitmapConversion, TheHalftonePaletteHoldsTheColourGridAndTheStandardColours)
{
    const auto& palette = halftonePalette256();
    ASSERT_EQ(palette.size(), 256u);
    for (Color c : standardPalette16())
        EXPECT_NE(std::find(palette.begin(), palette.end(), c), palette.end()) << std::hex << c;
    EXPECT_NE(std::find(palette.begin(), palette.end(), rgb(0x20, 0x60, 0x80)), palette.end());
    EXPECT_NE(std::find(palette.begin(), palette.end(), rgb(0xA6, 0xCA, 0xF0)), palette.end());
}

// Image-sized blocks take another allocation path (large pages, no clearing pass): the same contract.
TEST(Bitmap, LargeBitmapsAreWhiteOrZeroAndCopyLikeSmallOnes)
{
    const int w = 3001, h = 1900; // over 16 MiB, with row padding
    Bitmap white(w, h);
    EXPECT_EQ(white.pixel(w - 1, h - 1), clWhite);
    EXPECT_EQ(white.scanLine(h - 1)[w * 3], 0); // padding stays zero
    const Bitmap zero = Bitmap::zeroed(w, h);
    EXPECT_EQ(zero.pixel(0, 0), clBlack);
    EXPECT_EQ(zero.pixel(w - 1, h - 1), clBlack);
    white.setPixel(17, 1234, clRed);
    Bitmap copy = white;
    EXPECT_EQ(copy, white);
    copy = zero; // same size: the block is reused
    EXPECT_EQ(copy, zero);
    Bitmap moved = std::move(copy);
    EXPECT_EQ(moved, zero);
    EXPECT_EQ(Bitmap::zeroed(5, 3, PixelFormat::Bits8).rawPixel(4, 2), 0u);
    EXPECT_EQ(Bitmap::zeroed(5, 3, PixelFormat::Bits8).palette(), Bitmap(5, 3, PixelFormat::Bits8).palette());
}
