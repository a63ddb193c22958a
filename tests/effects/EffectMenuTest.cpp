#include "effects/EffectMenu.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/ImageCommands.h"
#include "effects/NormalBlur.h"
#include "effects/TketPaintFX.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <array>
#include <gtest/gtest.h>

using namespace daubix;
using gfx::Bitmap;
using gfx::rgb;

namespace {

constexpr gfx::Color kF = rgb(200, 0, 0);
constexpr gfx::Color kS = rgb(0, 0, 150);

class EffectMenu : public ::testing::Test {
protected:
    app::Document doc;
    test::FakeHost host;

    void SetUp() override
    {
        doc.firstColor = kF;
        doc.secondColor = kS;
    }
    void start(Bitmap image)
    {
        doc.image = std::move(image);
        app::pushImage(doc);
    }
    void run(std::string_view path)
    {
        for (const app::CommandRow& row : effects::effectCommandRows())
            if (row.path == path) {
                app::CommandContext ctx{doc, host};
                app::runCommand(ctx, row);
                return;
            }
        ADD_FAILURE() << "no row " << path;
    }
};

Bitmap filled(int w, int h, gfx::Color c)
{
    Bitmap b(w, h);
    b.fill(c);
    return b;
}

// White on the left, black from the middle column on.
Bitmap halves(int w, int h)
{
    Bitmap b = filled(w, h, gfx::clWhite);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            b.setPixel(x, y, gfx::clBlack);
    return b;
}

} // namespace

TEST_F(EffectMenu, SwapRGExchangesBlueAndGreenAndGivesEightBits)
{
    start(filled(4, 3, rgb(255, 0, 0)));
    run("Image > Colors > Swap RG");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits8);
    EXPECT_EQ(doc.image.pixel(3, 2), rgb(255, 0, 0));

    start(filled(4, 3, rgb(0, 0, 255)));
    run("Image > Colors > Swap RG");
    EXPECT_EQ(doc.image.pixel(0, 0), rgb(0, 255, 0));
}

TEST_F(EffectMenu, InvertOnA300PixelRowChangesOnlyTheLeftmost100Pixels)
{
    start(filled(300, 2, rgb(10, 20, 30)));
    run("Image > &Invert");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits24);
    for (int x = 0; x < 300; ++x)
        EXPECT_EQ(doc.image.pixel(x, 1), x < 100 ? rgb(245, 235, 225) : rgb(10, 20, 30)) << x;
    EXPECT_EQ(doc.undo.index(), 3);
    EXPECT_TRUE(doc.modified);
}

TEST_F(EffectMenu, InvertKeepsTheImagesOwnFormat)
{
    start(test::noise(9, 4, 1).converted(gfx::PixelFormat::Bits4));
    const Bitmap before = doc.image;
    run("Image > &Invert");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits4);
    EXPECT_EQ(doc.image.rawPixel(8, 3), 15 - before.rawPixel(8, 3));
    run("Image > &Invert");
    EXPECT_EQ(doc.image, before);
}

TEST_F(EffectMenu, ShadowLaysALighterCopyFourPixelsAwayUnderThePicture)
{
    // A black pixel at (20, 20) on white: its shadow one level lighter four pixels towards the direction,
    // and no shadow of the shadow beyond.
    const std::tuple<const char*, int, int> table[]
        = {{"Image > Shadow > Up Left", -4, -4}, {"Image > Shadow > Up Right", 4, -4},
            {"Image > Shadow > Down Left", -4, 4}, {"Image > Shadow > Down Right", 4, 4}};
    for (const auto& [path, dx, dy] : table) {
        Bitmap image = filled(41, 41, gfx::clWhite);
        image.setPixel(20, 20, gfx::clBlack);
        start(image);
        run(path);
        EXPECT_EQ(doc.image.pixel(20, 20), gfx::clBlack) << path;
        EXPECT_EQ(doc.image.pixel(20 + dx, 20 + dy), rgb(1, 1, 1)) << path;
        EXPECT_EQ(doc.image.pixel(20 + 2 * dx, 20 + 2 * dy), gfx::clWhite) << path;
        EXPECT_EQ(test::differingPixels(doc.image, image, 0, 0, 41, 41), 1) << path;
    }
}

TEST_F(EffectMenu, CheckerboardOfTwoBlocksHasFInTopLeftAndBottomRight)
{
    doc.shapes.blocksCount = 2;
    start(filled(100, 100, gfx::clWhite));
    run("Image > Effects > Checkerboard");
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(doc.image.pixel(x, y), (x < 50) == (y < 50) ? kF : kS) << x << "," << y;
    EXPECT_EQ(doc.canvas.brush.color(), kS);
}

TEST_F(EffectMenu, CellsAndBarsLeaveWhatTheBlocksCountCannotDivide)
{
    // 3 blocks over 11 x 8: cells of 3 x 2 cover columns 0..8 and rows 0..5; the bars run the whole
    // length and leave only the far strip across them.
    doc.shapes.blocksCount = 3;
    const std::pair<int, int> points[] = {{0, 0}, {4, 0}, {0, 2}, {0, 4}, {9, 0}, {0, 6}, {10, 7}};
    constexpr gfx::Color W = gfx::clWhite;
    const std::pair<const char*, std::array<gfx::Color, 7>> table[] = {
        {"Image > Effects > Checkerboard", {kF, kS, kS, kF, W, W, W}},
        {"Image > Effects > Bars > Horizontal", {kS, kS, kF, kS, kS, W, W}},
        {"Image > Effects > Bars > Vertical", {kS, kF, kS, kS, W, kS, W}},
    };
    for (const auto& [path, expected] : table) {
        start(filled(11, 8, W));
        run(path);
        for (std::size_t i = 0; i < std::size(points); ++i)
            EXPECT_EQ(doc.image.pixel(points[i].first, points[i].second), expected[i])
                << path << " at " << points[i].first << "," << points[i].second;
    }
}

TEST_F(EffectMenu, NestedFiguresAlternateFromTheSecondColourWithoutOutline)
{
    // 4 blocks over 40 x 40: two figures, (0, 0, 40, 40) in S and (10, 10, 30, 30) in F.
    doc.shapes.blocksCount = 4;
    doc.canvas.pen.color = gfx::clBlack;
    doc.canvas.pen.style = gfx::PenStyle::Dot;
    const std::pair<const char*, gfx::Color> table[] = {{"Image > Effects > Dartboard", gfx::clWhite},
        {"Image > Effects > Rectangles", kS}, {"Image > Effects > Round Rectangles", gfx::clWhite}};
    for (const auto& [path, corner] : table) {
        start(filled(40, 40, gfx::clWhite));
        run(path);
        EXPECT_EQ(doc.image.pixel(20, 20), kF) << path;
        EXPECT_EQ(doc.image.pixel(12, 20), kF) << path;
        EXPECT_EQ(doc.image.pixel(20, 5), kS) << path;
        EXPECT_EQ(doc.image.pixel(35, 20), kS) << path;
        EXPECT_EQ(doc.image.pixel(1, 1), corner) << path;
        int black = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                black += doc.image.pixel(x, y) == gfx::clBlack ? 1 : 0;
        EXPECT_EQ(black, 0) << path << ": no outline";
        EXPECT_EQ(doc.canvas.pen.style, gfx::PenStyle::Dot) << path;
        EXPECT_EQ(doc.canvas.brush.color(), kS) << path;
    }
}

TEST_F(EffectMenu, PixelizeMakesBlocksOfTheFactor)
{
    start(test::noise(8, 6, 4));
    const Bitmap before = doc.image;
    run("Image > Pixelize > 2");
    for (int y = 0; y < 6; y += 2)
        for (int x = 0; x < 8; x += 2) {
            const gfx::Color c = doc.image.pixel(x, y);
            EXPECT_TRUE(c == before.pixel(x, y) || c == before.pixel(x + 1, y) || c == before.pixel(x, y + 1)
                || c == before.pixel(x + 1, y + 1))
                << x << "," << y;
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}})
                EXPECT_EQ(doc.image.pixel(x + dx, y + dy), c) << x << "," << y;
        }
}

TEST_F(EffectMenu, PixelizeBeyondTheImageSizeChangesNothing)
{
    start(test::noise(19, 40, 4));
    const Bitmap before = doc.image;
    run("Image > Pixelize > 20");
    EXPECT_EQ(doc.image, before);
    EXPECT_EQ(doc.undo.index(), 2);
    EXPECT_FALSE(doc.modified);
}

TEST_F(EffectMenu, TraceOnOneColourChangesNothingAndLeavesNoUndoStep)
{
    for (const char* path : {"Image > Trace > &Trace", "Image > Trace > Trace 5"}) {
        start(filled(30, 20, rgb(0, 128, 255)));
        const int index = doc.undo.index();
        run(path);
        EXPECT_EQ(doc.image, filled(30, 20, rgb(0, 128, 255))) << path;
        EXPECT_EQ(doc.undo.index(), index) << path;
        EXPECT_FALSE(doc.modified) << path;
    }
}

TEST_F(EffectMenu, TraceDrawsInTheColourByteAndTraceFiveTracesEachResultAgain)
{
    const Bitmap image = halves(12, 8);
    doc.traceColorByte = 90;
    start(image);
    run("Image > Trace > &Trace");
    // The first boundary, (5, 0) | (6, 0), remembers black, so the white side is marked.
    for (int y = 0; y < 7; ++y)
        EXPECT_EQ(doc.image.pixel(5, y), rgb(90, 90, 90)) << y;
    EXPECT_EQ(doc.image.pixel(5, 7), gfx::clWhite); // the forward sweep stops a row short
    EXPECT_EQ(test::differingPixels(doc.image, image, 0, 0, 12, 8), 7);
    EXPECT_EQ(doc.undo.index(), 3);
    const Bitmap once = doc.image;

    app::Document other;
    other.traceColorByte = 90;
    other.image = image;
    std::vector<Bitmap> runs;
    for (int i = 0; i < 5; ++i) {
        effects::traceImage(other);
        runs.push_back(other.image);
    }
    EXPECT_EQ(runs[0], once);
    EXPECT_NE(runs[1], once); // the grey column is a region of its own the second time
    start(image);
    run("Image > Trace > Trace 5");
    EXPECT_EQ(doc.image, runs[4]);
    EXPECT_EQ(doc.undo.index(), 5) << "Trace 5 is one step";
}

TEST_F(EffectMenu, TraceRangeTracesACopyOfTheRangeAndPastesItBack)
{
    const Bitmap image = halves(20, 10);
    doc.traceColorByte = 90;
    start(image);
    doc.range = {6, 2, 14, 8};
    run("Image > Trace > Trace &Range");
    int grey = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            if (x < 6 || x > 14 || y < 2 || y > 8) {
                EXPECT_EQ(doc.image.pixel(x, y), image.pixel(x, y)) << x << "," << y;
            }
            grey += doc.image.pixel(x, y) == rgb(90, 90, 90) ? 1 : 0;
        }
    EXPECT_EQ(grey, 6); // one per row of the copy that the forward sweep reaches
    EXPECT_EQ(doc.rangeCopyMode, gfx::kSrcCopy);

    // Reversed, empty and too narrow ranges.
    for (const gfx::Rect range : {gfx::Rect{14, 2, 6, 8}, gfx::Rect{6, 8, 14, 2}, gfx::Rect{6, 2, 6, 8},
             gfx::Rect{6, 2, 14, 2}, gfx::Rect{6, 2, 7, 8}}) {
        start(image);
        doc.range = range;
        run("Image > Trace > Trace &Range");
        EXPECT_EQ(doc.image, image) << range.left << "," << range.top << "," << range.right << "," << range.bottom;
    }
}

TEST_F(EffectMenu, TraceBoxesTakeOnlyWholeNumbersInRange)
{
    struct Case {
        std::optional<std::string> answer;
        int colorByte; // the value after the answer, starting from 7
        int intensity; // the same for the intensity box, starting from 3
    };
    const Case cases[] = {
        {"12", 12, 12}, {" 15 ", 15, 15}, {"0", 0, 3}, {"255", 255, 3}, {"16", 16, 3}, {"256", 7, 3}, {"-1", 7, 3},
        {"12abc", 7, 3}, {"1e3", 7, 3}, {"", 7, 3}, {"2.5", 7, 3}, {std::nullopt, 7, 3}, // cancelled
    };
    for (const Case& c : cases) {
        doc.traceColorByte = 7;
        doc.traceIntensity = 3;
        host = {};
        host.answers = {c.answer, c.answer};
        run("Image > Trace > Color Byte");
        run("Image > Trace > Intensity");
        EXPECT_EQ(doc.traceColorByte, c.colorByte) << c.answer.value_or("(cancel)");
        EXPECT_EQ(doc.traceIntensity, c.intensity) << c.answer.value_or("(cancel)");
        EXPECT_EQ(host.captions, (std::vector<std::string>{"Daubix Trace", "Daubix Trace"}));
        EXPECT_EQ(
            host.prompts, (std::vector<std::string>{"Enter Color Byte (0..255)", "Enter Trace Intensity (1..15)"}));
        EXPECT_EQ(host.initials, (std::vector<std::string>{"7", "3"}));
    }
    EXPECT_FALSE(doc.modified);
}

TEST_F(EffectMenu, GrayscaleLeavesTheGreyImageInTheRangeBuffer)
{
    start(test::noise(5, 3, 8).converted(gfx::PixelFormat::Bits8));
    run("Image > Effects > &Grayscale");
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits24);
    const gfx::Color c = doc.image.pixel(4, 2);
    EXPECT_TRUE(gfx::red(c) == gfx::green(c) && gfx::green(c) == gfx::blue(c));
    EXPECT_EQ(doc.rangeBuffer, doc.image);
}

TEST_F(EffectMenu, NormalBlurTakesTheMeanOfTheBorderOfEachFiveByFive)
{
    Bitmap image = filled(21, 21, gfx::clBlack);
    image.setPixel(10, 10, rgb(160, 32, 255));
    start(image);
    run("Image > Blur > Normal Blur");
    EXPECT_EQ(doc.image.pixel(12, 10), rgb(10, 2, 15)); // (10, 10) is on its border
    EXPECT_EQ(doc.image.pixel(8, 8), rgb(10, 2, 15));
    EXPECT_EQ(doc.image.pixel(11, 10), gfx::clBlack); // inside its inner 3 x 3
    EXPECT_EQ(doc.image.pixel(10, 10), gfx::clBlack);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 20, 20}));
}

TEST_F(EffectMenu, StrokeStartCommandsApplyTheirEffectToTheWholeImage)
{
    using Op = void (*)(effects::TketPaintFX&, Bitmap&);
    const std::pair<const char*, Op> table[] = {
        {"Image > Blur > Normal Blur",
            [](effects::TketPaintFX& fx, Bitmap& b) { fx.Convolve5x5(b, effects::kNormalBlurKernel); }},
        {"Image > Blur > Gaussian Blur", [](effects::TketPaintFX& fx, Bitmap& b) { fx.GaussianBlur(b, 4); }},
        {"effectspop > Lighter", [](effects::TketPaintFX& fx, Bitmap& b) { fx.Brightness(b, 20); }},
        {"effectspop > Darker", [](effects::TketPaintFX& fx, Bitmap& b) { fx.Darken(b, 20); }},
        {"effectspop > More Contrast", [](effects::TketPaintFX& fx, Bitmap& b) { fx.Contrast(b, 20); }},
    };
    // The result replaces the image even when a range command left the canvas on Source Invert.
    for (const gfx::Rop3 mode : {gfx::kSrcCopy, gfx::kSrcInvert})
        for (const auto& [path, op] : table) {
            const Bitmap image = test::noise(17, 13, 6);
            start(image);
            doc.canvas.copyMode = mode;
            run(path);
            Bitmap expected = image;
            app::Random random(1);
            effects::TketPaintFX fx(random);
            op(fx, expected);
            EXPECT_EQ(doc.image, expected) << path; // the last row and column too
            EXPECT_EQ(doc.rangeBuffer, expected) << path;
            EXPECT_EQ(doc.canvas.copyMode, mode) << path;
        }
}
