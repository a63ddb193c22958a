#include "app/Print.h"

#include "gfx/Canvas.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;
using app::PrintBox;

namespace {

// The smallest box holding every pixel that is not white, or an empty box.
PrintBox inkBox(const gfx::Bitmap& b)
{
    PrintBox box{b.width(), b.height(), 0, 0};
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != gfx::clWhite) {
                box.left = std::min<std::int64_t>(box.left, x);
                box.top = std::min<std::int64_t>(box.top, y);
                box.right = std::max<std::int64_t>(box.right, x + 1);
                box.bottom = std::max<std::int64_t>(box.bottom, y + 1);
            }
    return box;
}

gfx::Bitmap filled(int width, int height, gfx::Color c)
{
    gfx::Bitmap b(width, height);
    b.fill(c);
    return b;
}

} // namespace

namespace daubix::app {
void PrintTo(const PrintBox& b, std::ostream* os)
{
    *os << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
}
} // namespace daubix::app

struct RectCase {
    int width, height, scale;
    PrintBox printed, previewed;
};

class PrintRects : public ::testing::TestWithParam<RectCase> { };

TEST_P(PrintRects, PlaceTheImageAtTheMarginScaledAndAFifthOfThatInThePreview)
{
    const RectCase& c = GetParam();
    EXPECT_EQ(app::printRect(c.width, c.height, c.scale), c.printed);
    EXPECT_EQ(app::printPreviewRect(c.width, c.height, c.scale), c.previewed);
}

// The preview box's right edge is 10 + W*s div 5: the division comes after the product.
INSTANTIATE_TEST_SUITE_P(Scales, PrintRects,
    ::testing::Values(RectCase{100, 37, 1, {10, 10, 110, 47}, {10, 10, 30, 17}},
        RectCase{100, 37, 2, {10, 10, 210, 84}, {10, 10, 50, 24}},
        RectCase{100, 37, 8, {10, 10, 810, 306}, {10, 10, 170, 69}},
        RectCase{3, 4, 1, {10, 10, 13, 14}, {10, 10, 10, 10}}, RectCase{3, 4, 2, {10, 10, 16, 18}, {10, 10, 11, 11}},
        RectCase{268435456, 1, 1024, {10, 10, 10 + (std::int64_t{1} << 38), 1034},
            {10, 10, 10 + (std::int64_t{1} << 38) / 5, 214}}));

struct PreviewCase {
    int width, height, scale, pageWidth, pageHeight;
    PrintBox ink; // where the black image shows: the preview box cut to the preview
};

class PreviewInk : public ::testing::TestWithParam<PreviewCase> { };

TEST_P(PreviewInk, CoversExactlyThePreviewBoxOnWhite)
{
    const PreviewCase& c = GetParam();
    const gfx::Bitmap preview
        = app::printPreview(filled(c.width, c.height, gfx::clBlack), c.pageWidth, c.pageHeight, c.scale);
    EXPECT_EQ(preview.width(), c.pageWidth / 5);
    EXPECT_EQ(preview.height(), c.pageHeight / 5);
    EXPECT_EQ(preview.format(), gfx::PixelFormat::Bits24);
    EXPECT_EQ(inkBox(preview), c.ink);
    std::int64_t black = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            black += preview.pixel(x, y) == gfx::clBlack;
    const std::int64_t inkWidth = std::max<std::int64_t>(c.ink.right - c.ink.left, 0);
    const std::int64_t inkHeight = std::max<std::int64_t>(c.ink.bottom - c.ink.top, 0);
    EXPECT_EQ(black, inkWidth * inkHeight) << "the box is solid";
}

INSTANTIATE_TEST_SUITE_P(Scales, PreviewInk,
    ::testing::Values(PreviewCase{100, 37, 1, 1000, 700, {10, 10, 30, 17}},
        PreviewCase{100, 37, 2, 1000, 700, {10, 10, 50, 24}}, PreviewCase{100, 37, 8, 1000, 700, {10, 10, 170, 69}},
        // The page's fifth cuts the box: 1004 x 304 gives a 200 x 60 preview.
        PreviewCase{100, 37, 8, 1004, 304, {10, 10, 170, 60}}, PreviewCase{100, 37, 8, 500, 200, {10, 10, 100, 40}},
        // Too small to show: W*s div 5 is 0.
        PreviewCase{2, 2, 2, 500, 500, {100, 100, 0, 0}}));

TEST(PrintPreview, IsEmptyForAPageUnderFivePixelsOrANonPositiveScale)
{
    const gfx::Bitmap image = filled(4, 4, gfx::clBlack);
    EXPECT_TRUE(app::printPreview(image, 4, 500, 2).isEmpty());
    EXPECT_TRUE(app::printPreview(image, 500, 0, 2).isEmpty());
    EXPECT_EQ(app::printPreview(image, 500, 500, 0), gfx::Bitmap(100, 100));
    EXPECT_EQ(app::printPreview(gfx::Bitmap(), 500, 500, 2), gfx::Bitmap(100, 100));
}

struct PickCase {
    int width, height, scale, pageWidth, pageHeight;
};

class PreviewPicks : public ::testing::TestWithParam<std::tuple<PickCase, gfx::PixelFormat>> { };

// The canvas's stretch is the plain reference for the preview's own loop.
TEST_P(PreviewPicks, TheSamePixelsAsTheCanvasStretch)
{
    const auto& [c, format] = GetParam();
    const gfx::Bitmap image = test::noise(c.width, c.height, 7).converted(format);
    gfx::Bitmap expected(c.pageWidth / 5, c.pageHeight / 5);
    gfx::Canvas canvas(expected);
    const PrintBox box = app::printPreviewRect(c.width, c.height, c.scale);
    canvas.stretchDraw({static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                           static_cast<int>(box.bottom)},
        image);
    EXPECT_EQ(app::printPreview(image, c.pageWidth, c.pageHeight, c.scale), expected);
}

// Reductions and enlargements on both axes, odd sizes, and boxes cut by the preview's edge.
INSTANTIATE_TEST_SUITE_P(Sizes, PreviewPicks,
    ::testing::Combine(
        ::testing::Values(PickCase{1, 1, 1, 600, 400}, PickCase{1, 1, 8, 600, 400}, PickCase{7, 5, 2, 600, 400},
            PickCase{7, 5, 8, 600, 400}, PickCase{11, 13, 3, 123, 97}, PickCase{300, 200, 1, 600, 400},
            PickCase{300, 200, 2, 600, 400}, PickCase{300, 200, 8, 600, 400}, PickCase{301, 7, 4, 1400, 90},
            PickCase{9, 301, 16, 303, 5000}),
        ::testing::Values(gfx::PixelFormat::Bits1, gfx::PixelFormat::Bits4, gfx::PixelFormat::Bits8,
            gfx::PixelFormat::Bits24, gfx::PixelFormat::Bits32)),
    [](const auto& info) {
        const PickCase& c = std::get<0>(info.param);
        const gfx::PixelFormat format = std::get<1>(info.param);
        return std::to_string(c.width) + "x" + std::to_string(c.height) + "Scale" + std::to_string(c.scale) + "Page"
            + std::to_string(c.pageWidth) + "x" + std::to_string(c.pageHeight) + "Bits"
            + std::to_string(gfx::bitsPerPixel(format));
    });

TEST(PrintPreview, AScaleBeyondTheIntRangeShowsTheTopLeftPixelEnlarged)
{
    gfx::Bitmap image = filled(3, 2, gfx::clBlue);
    image.setPixel(0, 0, gfx::clRed);
    // 3 * 2^30 div 5 preview pixels wide: the visible part is all of the first source pixel.
    const gfx::Bitmap preview = app::printPreview(image, 500, 500, 1 << 30);
    EXPECT_EQ(inkBox(preview), (PrintBox{10, 10, 100, 100}));
    EXPECT_EQ(test::differingPixels(preview, filled(100, 100, gfx::clRed), 10, 10, 100, 100), 0);
}

TEST(PrintScale, MinusHalvesButNotBelowOne)
{
    const std::pair<int, int> cases[] = {{1, 1}, {2, 1}, {3, 1}, {8, 4}, {9, 4}};
    for (const auto& [from, to] : cases)
        EXPECT_EQ(app::reducedPrintScale(from), to) << from;
}

struct PlusCase {
    int scale, width, height, result;
};

TEST(PrintScale, PlusDoublesUntilASideWouldPassTwoToTheTwentyFourPrinterPixels)
{
    const PlusCase cases[] = {
        {2, 100, 37, 4}, {1, 1 << 23, 1, 2}, // 2^24 exactly is allowed
        {2, 1 << 23, 1, 2}, {4, 10, (1 << 21) + 1, 4}, // the height counts too
        {2, 1 << 28, 1, 2}, // already past: stays
        {1 << 23, 1, 1, 1 << 24}, {1 << 24, 1, 1, 1 << 24},
        {1 << 24, 0, 0, 1 << 24}, // an empty image cannot double the scale out of the int range
    };
    for (const PlusCase& c : cases)
        EXPECT_EQ(app::enlargedPrintScale(c.scale, c.width, c.height), c.result)
            << c.scale << " " << c.width << "x" << c.height;
}

TEST(PrintScale, PlusRepeatedOnA4096ImageStopsAtTheCap)
{
    int scale = 2;
    for (int press = 0; press < 40; ++press)
        scale = app::enlargedPrintScale(scale, 4096, 3000);
    EXPECT_EQ(scale, 4096);
    EXPECT_EQ(app::printRect(4096, 3000, scale).right, 10 + (std::int64_t{1} << 24));
}
