#include "app/ImageCommands.h"
#include "app/Range.h"
#include "support/TestImages.h"
#include "tools/ToolsFixture.h"

using namespace daubix;
using gfx::Point;
using test::Tools;

namespace {

class Range : public Tools {
protected:
    void fill(gfx::Rect box, gfx::Color c)
    {
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                doc.image.setPixel(x, y, c);
    }
    // Whether every pixel of the box has the colour.
    bool all(gfx::Rect box, gfx::Color c) const
    {
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                if (doc.image.pixel(x, y) != c)
                    return false;
        return true;
    }
    int count(gfx::Color c) const
    {
        int n = 0;
        for (int y = 0; y < doc.image.height(); ++y)
            for (int x = 0; x < doc.image.width(); ++x)
                n += doc.image.pixel(x, y) == c;
        return n;
    }
};

TEST_F(Range, SelectRangeSetsTheRectangleAndLeavesNoTrace)
{
    doc.toolMode = "snapshot";
    doc.canvas.pen.width = 4;
    doc.canvas.brush.setColor(gfx::clRed);
    press({10, 10});
    moveTo({25, 15});
    moveTo({30, 20});
    release({30, 20});
    EXPECT_EQ(doc.range, (gfx::Rect{10, 10, 30, 20}));
    EXPECT_EQ(doc.toolMode, "");
    EXPECT_EQ(count(gfx::clWhite), 256 * 256);
    EXPECT_EQ(doc.canvas.pen.width, 4);
    EXPECT_EQ(doc.canvas.brush.style(), gfx::BrushStyle::Solid);
    EXPECT_EQ(doc.canvas.pen.style, gfx::PenStyle::Solid);

    // Erase fills the range with Right and Bottom counted in: 21 x 11.
    app::eraseRange(doc);
    EXPECT_TRUE(all({10, 10, 31, 21}, gfx::clRed));
    EXPECT_EQ(count(gfx::clRed), 21 * 11);
}

TEST_F(Range, SelectAllCoversTheImageForTheRangeFill)
{
    app::selectAll(doc);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 256, 256}));
    doc.canvas.brush.setColor(gfx::clBlue);
    app::fillRange(doc);
    EXPECT_EQ(count(gfx::clBlue), 256 * 256);
}

TEST_F(Range, InvertTurnsTheRangeOver)
{
    fill({0, 0, 256, 256}, gfx::clBlack);
    doc.range = {10, 10, 20, 20};
    app::invertRange(doc);
    EXPECT_TRUE(all({10, 10, 21, 21}, gfx::clWhite));
    EXPECT_EQ(count(gfx::clWhite), 11 * 11);
}

// The whole-image helper sets the range as the range commands expect it, but its copy is exact: the
// range copy would drop the last row and column (and leave a one-pixel-wide image white).
TEST_F(Range, TheWholeImageHelperCopiesItExactly)
{
    for (const gfx::Bitmap& image :
        {test::noise(40, 30, 4), test::noise(1, 9, 5), test::noise(7, 5, 6).converted(gfx::PixelFormat::Bits8)}) {
        doc.image = image;
        doc.canvas.copyMode = gfx::kSrcInvert; // the helper copies with its own mode, not the canvas's
        app::copyWholeImage(doc);
        EXPECT_EQ(doc.range, (gfx::Rect{0, 0, image.width() - 1, image.height() - 1}));
        EXPECT_EQ(doc.rangeCopyMode, gfx::kSrcCopy);
        EXPECT_EQ(doc.rangeBuffer, image.converted(gfx::PixelFormat::Bits24));
    }
}

TEST_F(Range, ARangeCopyOfTheWholeImageIsSlightlyStretched)
{
    doc.image = test::noise(40, 30, 4);
    doc.range = {0, 0, 39, 29};
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    ASSERT_EQ(doc.rangeBuffer.width(), 40);
    ASSERT_EQ(doc.rangeBuffer.height(), 30);
    EXPECT_EQ(doc.rangeBuffer.format(), gfx::PixelFormat::Bits24);
    // 39 x 29 source pixels stretched over 40 x 30: along the first row each buffer column is a source
    // column, in order, one of them twice, and the last source column is left out.
    const auto sourceColumn = [&](int bx) {
        for (int sx = 0; sx < 40; ++sx)
            if (doc.rangeBuffer.pixel(bx, 0) == doc.image.pixel(sx, 0)) // noise: no two pixels of a row alike
                return sx;
        return -1;
    };
    int doubled = 0;
    for (int bx = 0; bx < 40; ++bx) {
        const int sx = sourceColumn(bx);
        ASSERT_GE(sx, 0) << bx;
        ASSERT_LE(sx, 38) << bx;
        if (bx > 0) {
            const int step = sx - sourceColumn(bx - 1);
            ASSERT_TRUE(step == 0 || step == 1) << bx;
            doubled += step == 0;
        }
    }
    EXPECT_EQ(doubled, 1);
}

TEST_F(Range, MoveLeavesOneCopyAndSmearLeavesATrail)
{
    fill({0, 0, 10, 10}, gfx::clRed);
    doc.range = {0, 0, 9, 9}; // a 10 x 10 buffer of the red block
    doc.toolMode = "rangemove";
    press({50, 50});
    moveTo({60, 60});
    moveTo({80, 80});
    release({80, 80});
    EXPECT_TRUE(all({80, 80, 90, 90}, gfx::clRed));
    EXPECT_TRUE(all({0, 0, 10, 10}, gfx::clRed)); // the range's own place stays
    EXPECT_EQ(count(gfx::clRed), 200);
    EXPECT_EQ(doc.canvas.copyMode, gfx::kSrcInvert);

    app::undoImage(doc, host);
    doc.toolMode = "rangesmear";
    press({50, 50});
    moveTo({55, 55});
    release({55, 55});
    // Stamps combine by xor: where two overlap the white comes back.
    EXPECT_TRUE(all({50, 50, 55, 55}, gfx::clRed));
    EXPECT_TRUE(all({55, 55, 60, 60}, gfx::clWhite));
    EXPECT_TRUE(all({60, 60, 65, 65}, gfx::clRed));
}

TEST_F(Range, PasteCopiesTheRangeToTheReleasePointAndTrailsWithShift)
{
    fill({0, 0, 4, 4}, gfx::clRed);
    doc.range = {0, 0, 4, 4};
    doc.toolMode = "paste";
    press({100, 100});
    moveTo({110, 100}, /*shift=*/true);
    moveTo({120, 100});
    release({130, 100});
    EXPECT_TRUE(all({110, 100, 114, 104}, gfx::clRed));
    EXPECT_TRUE(all({120, 100, 124, 104}, gfx::clWhite)); // no Shift, no copy
    EXPECT_TRUE(all({130, 100, 134, 104}, gfx::clRed));
    EXPECT_EQ(count(gfx::clRed), 16 * 3);
}

TEST_F(Range, PasteBrushStampsOnlyTheBrushColour)
{
    fill({0, 0, 5, 10}, gfx::clRed);
    fill({5, 0, 10, 10}, gfx::clBlue);
    doc.range = {0, 0, 9, 9}; // a 10 x 10 buffer stretched from 9 x 9: one column is doubled
    const auto inBuffer = [&](gfx::Color c) {
        int n = 0;
        for (int y = 0; y < doc.rangeBuffer.height(); ++y)
            for (int x = 0; x < doc.rangeBuffer.width(); ++x)
                n += doc.rangeBuffer.pixel(x, y) == c;
        return n;
    };
    doc.canvas.brush.setColor(gfx::clRed);
    doc.toolMode = "pastecolor";
    click({100, 100});
    const int red = inBuffer(gfx::clRed);
    EXPECT_GE(red, 50);
    EXPECT_EQ(inBuffer(gfx::clBlack), 100 - red);
    EXPECT_EQ(count(gfx::clRed), 50 + red);
    EXPECT_EQ(count(gfx::clBlue), 50);
    EXPECT_TRUE(all({100, 100, 105, 110}, gfx::clRed));

    doc.toolMode = "pastecolorx";
    click({150, 100});
    const int blue = inBuffer(gfx::clBlue);
    EXPECT_EQ(blue, 100 - red);
    EXPECT_EQ(count(gfx::clRed), 50 + red);
    EXPECT_EQ(count(gfx::clBlue), 50 + blue);
    EXPECT_TRUE(all({156, 100, 160, 110}, gfx::clBlue));
}

TEST_F(Range, PasteMaskAndMaskClipPaintTheSecondColourWhiteAndTheRestBlack)
{
    fill({0, 0, 4, 4}, gfx::clRed);
    doc.secondColor = gfx::clRed;
    doc.range = {0, 0, 8, 8};
    doc.toolMode = "pastemask";
    click({100, 100});
    EXPECT_TRUE(all({100, 100, 104, 104}, gfx::clWhite));
    EXPECT_TRUE(all({104, 104, 108, 108}, gfx::clBlack));
    EXPECT_EQ(doc.image.pixel(108, 100), gfx::clWhite); // the mask is 8 x 8

    app::maskClip(doc);
    EXPECT_TRUE(all({0, 0, 4, 4}, gfx::clWhite));
    EXPECT_TRUE(all({4, 4, 8, 8}, gfx::clBlack));
}

TEST_F(Range, PickBrushTakesAPixelOrTheAverageOfTwo)
{
    fill({0, 0, 50, 256}, gfx::clBlack);
    doc.canvas.brush.setStyle(gfx::BrushStyle::Clear);
    doc.toolMode = "paintpick";
    press({50, 10});
    release({50, 10}, /*alt=*/true); // (45, 10) black, (55, 10) white
    EXPECT_EQ(doc.canvas.brush.color(), gfx::rgb(127, 127, 127));
    EXPECT_EQ(doc.secondColor, gfx::rgb(127, 127, 127));
    EXPECT_EQ(doc.canvas.brush.style(), gfx::BrushStyle::Solid);
    EXPECT_EQ(doc.toolMode, "");
    doc.toolMode = "paintpick";
    click({10, 10});
    EXPECT_EQ(doc.canvas.brush.color(), gfx::clBlack);
}

TEST_F(Range, CopyTransparentLeavesTheTransparencyColourOut)
{
    fill({0, 0, 10, 10}, gfx::clRed);
    fill({2, 2, 8, 8}, gfx::clWhite);
    fill({100, 100, 120, 120}, gfx::clBlue);
    doc.range = {0, 0, 10, 10};
    doc.canvas.brush.setStyle(gfx::BrushStyle::Clear);
    doc.toolMode = "transcopy";
    click({100, 100});
    EXPECT_EQ(doc.image.pixel(100, 100), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(105, 105), gfx::clBlue); // white left out
}

TEST_F(Range, FloatTightFindsWhatDiffersFromTheCorner)
{
    doc.canvas.brush.setColor(gfx::clBlack);
    doc.canvas.ellipse(30, 40, 51, 61); // columns 30 .. 50, rows 40 .. 60
    doc.range = {0, 0, 100, 100};
    const gfx::Bitmap floating = app::floatCommand(doc, host, app::FloatKind::Tight);
    // The buffer is 101 wide for 100 columns, so one column is doubled: it lies left of the disc here.
    const gfx::Bitmap& buffer = doc.rangeBuffer;
    int first = buffer.width(), last = 0;
    for (int x = 0; x < buffer.width(); ++x)
        if (buffer.pixel(x, 50) == gfx::clBlack) {
            first = std::min(first, x);
            last = std::max(last, x);
        }
    EXPECT_EQ(doc.range.left, first);
    EXPECT_EQ(doc.range.right, last + 2);
    EXPECT_NEAR(doc.range.left, 30, 1);
    EXPECT_NEAR(doc.range.bottom, 60 + 2, 1);
    EXPECT_EQ(floating.width(), doc.range.right - doc.range.left);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Range, FloatTight24MakesA16ColourIconAboutTheCentre)
{
    fill({100, 100, 110, 110}, gfx::clRed);
    doc.range = {90, 90, 130, 130};
    const gfx::Bitmap icon = app::floatCommand(doc, host, app::FloatKind::Tight24);
    EXPECT_EQ(icon.width(), 24);
    EXPECT_EQ(icon.height(), 24);
    EXPECT_EQ(icon.format(), gfx::PixelFormat::Bits4);
    EXPECT_EQ(doc.range.right - doc.range.left, 24);
    // The tight range is about 10 + 2 wide; 24 wide about the same centre puts it near 6 in.
    EXPECT_NEAR(100 - doc.range.left, 6, 1);
    EXPECT_EQ(icon.pixel(12, 12), gfx::clRed);
    EXPECT_EQ(icon.pixel(0, 0), gfx::clWhite);
}

TEST_F(Range, EmptyAndReversedRangesDoNoHarm)
{
    doc.range = {20, 20, 20, 40};
    const gfx::Bitmap floating = app::floatCommand(doc, host, app::FloatKind::Tight);
    EXPECT_EQ(host.messages, std::vector<std::string>{"no selection"});
    EXPECT_EQ(doc.range, (gfx::Rect{20, 20, 20, 40}));
    EXPECT_TRUE(floating.isEmpty());
    for (const gfx::Rect r :
        {gfx::Rect{30, 30, 10, 10}, gfx::Rect{0, 0, -5, 300}, gfx::Rect{INT32_MIN, 0, INT32_MAX, 5}}) {
        doc.range = r;
        app::eraseRange(doc);
        app::invertRange(doc);
        app::maskClip(doc);
        EXPECT_TRUE(app::floatCommand(doc, host, app::FloatKind::Full).isEmpty() || r.left < r.right);
        doc.toolMode = "paste";
        click({5, 5});
        doc.toolMode = "rangemove";
        drag({5, 5}, {9, 9});
    }
}

} // namespace
