#include "effects/RangeFills.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Range.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

const app::CommandRow& row(std::string_view path)
{
    for (const app::CommandRow& r : effects::rangeFillRows())
        if (r.path == path)
            return r;
    throw std::logic_error("no such row");
}

struct Image {
    app::Document doc;
    test::FakeHost host;
    explicit Image(int w = 13, int h = 9)
    {
        doc.image = test::noise(w, h, 4);
    }
};

// The range is copied with the range copy's one-pixel stretch, so it is one colour here: each byte of
// it meets the colour's byte.
TEST(RangeLogic, CombinesTheRangeWithTheColourByteByByte)
{
    struct Case {
        effects::RangeLogic op;
        gfx::Color colour;
        int (*byte)(int range, int colour);
    };
    const Case cases[] = {
        {effects::RangeLogic::And, gfx::rgb(0, 128, 0), [](int r, int c) { return r & c; }},
        {effects::RangeLogic::Or, gfx::rgb(255, 0, 0), [](int r, int c) { return (~r & 0xFF) | c; }},
        {effects::RangeLogic::Xor, gfx::rgb(0, 0, 255), [](int r, int c) { return r ^ c; }},
        {effects::RangeLogic::And, gfx::rgb(0x5A, 0xC3, 0x0F), [](int r, int c) { return r & c; }},
        {effects::RangeLogic::Or, gfx::rgb(0x5A, 0xC3, 0x0F), [](int r, int c) { return (~r & 0xFF) | c; }},
    };
    const gfx::Color area = gfx::rgb(0xA7, 0x3C, 0xE1);
    for (const Case& c : cases) {
        Image i;
        for (int y = 1; y <= 5; ++y)
            for (int x = 2; x <= 8; ++x)
                i.doc.image.setPixel(x, y, area);
        const gfx::Bitmap before = i.doc.image;
        i.doc.range = {2, 1, 8, 5};
        effects::rangeLogic(i.doc, c.op, c.colour);
        const gfx::Color want = gfx::rgb(c.byte(gfx::red(area), gfx::red(c.colour)),
            c.byte(gfx::green(area), gfx::green(c.colour)), c.byte(gfx::blue(area), gfx::blue(c.colour)));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) {
                const bool inside = x >= 2 && x <= 8 && y >= 1 && y <= 5;
                ASSERT_EQ(i.doc.image.pixel(x, y), inside ? want : before.pixel(x, y)) << x << "," << y;
            }
    }
}

TEST(RangeLogic, AndGreenKeepsTheTopBitOfGreenAsOneUndoStep)
{
    Image i(4, 4);
    i.doc.range = {0, 0, 3, 3};
    const int undo = i.doc.undo.index();
    app::CommandContext ctx{i.doc, i.host};
    app::runCommand(ctx, row("Range > &Logic > &And > &Green"));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(i.doc.image.pixel(x, y) & 0xFFFFFF & ~0x008000u, 0u);
    EXPECT_EQ(i.doc.undo.index(), undo % app::UndoRing::kSlots + 1);
    // A cancelled colour dialog changes nothing and leaves no step.
    app::runCommand(ctx, row("Range > &Logic > &Xor > &User"));
    EXPECT_EQ(i.doc.undo.index(), undo % app::UndoRing::kSlots + 1);
}

TEST(RangeRepeats, EmptyOrReversedRangesDoNothing)
{
    for (const gfx::Rect r : {gfx::Rect{5, 5, 4, 6}, gfx::Rect{5, 5, 6, 2}}) {
        Image i;
        const gfx::Bitmap before = i.doc.image;
        i.doc.range = r;
        effects::rangeBorder(i.doc, effects::RangeBorder::All);
        effects::rangeTile(i.doc, effects::RangeTile::Diagonal);
        effects::rangeLogic(i.doc, effects::RangeLogic::Xor, gfx::clRed);
        EXPECT_EQ(i.doc.image, before);
    }
}

// Where copies of the range (0, 0, 3, 2) land on a 10 x 7 image, by the red corner its top-left pixel
// becomes: the range is copied 4 x 3 with the one-pixel stretch, red at its top-left 2 x 2, green below,
// blue beside.
std::vector<gfx::Point> copiesOf(effects::RangeBorder border, std::optional<effects::RangeTile> tile)
{
    app::Document doc;
    doc.image = gfx::Bitmap(10, 7);
    doc.image.fill(gfx::clWhite);
    doc.image.setPixel(0, 0, gfx::clRed);
    doc.image.setPixel(1, 0, gfx::clBlue);
    doc.image.setPixel(0, 1, gfx::clLime);
    doc.range = {0, 0, 3, 2};
    if (tile)
        effects::rangeTile(doc, *tile);
    else
        effects::rangeBorder(doc, border);
    std::vector<gfx::Point> at;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            if (doc.image.pixel(x, y) == gfx::clRed && doc.image.pixel(x - 1, y) != gfx::clRed
                && doc.image.pixel(x, y - 1) != gfx::clRed)
                at.push_back({x, y});
    return at;
}

TEST(RangeRepeats, BordersAndTilesLandWhereTheirLoopsPutThem)
{
    using P = std::vector<gfx::Point>;
    EXPECT_EQ(copiesOf(effects::RangeBorder::Horizontal, {}), (P{{0, 0}, {4, 0}, {8, 0}, {0, 4}, {4, 4}, {8, 4}}));
    EXPECT_EQ(copiesOf(effects::RangeBorder::Vertical, {}), (P{{0, 0}, {6, 0}, {0, 3}, {6, 3}, {0, 6}, {6, 6}}));
    EXPECT_EQ(copiesOf({}, effects::RangeTile::All),
        (P{{0, 0}, {4, 0}, {8, 0}, {0, 3}, {4, 3}, {8, 3}, {0, 6}, {4, 6}, {8, 6}}));
    // Diagonal runs: down and right by a tile each, the next run starting at the left where one ended.
    EXPECT_EQ(copiesOf({}, effects::RangeTile::Diagonal), (P{{0, 0}, {4, 3}, {8, 6}}));
}

// All is Horizontal, then Vertical with the range copied again from what Horizontal drew.
TEST(RangeRepeats, BorderAllIsHorizontalThenVertical)
{
    Image all(23, 17), twice(23, 17);
    all.doc.range = twice.doc.range = {1, 2, 6, 5};
    effects::rangeBorder(all.doc, effects::RangeBorder::All);
    effects::rangeBorder(twice.doc, effects::RangeBorder::Horizontal);
    effects::rangeBorder(twice.doc, effects::RangeBorder::Vertical);
    EXPECT_EQ(all.doc.image, twice.doc.image);
}

TEST(RangeTransition, HorizontalBandsStepTowardsTheEndColourRoundedToEven)
{
    Image i(120, 12);
    i.doc.range = {0, 0, 99, 9}; // a buffer 100 wide
    effects::rangeTransition(i.doc, effects::Transition::Horizontal);
    for (int band = 0; band < 20; ++band)
        for (int x = band * 5; x < band * 5 + 5; ++x)
            ASSERT_EQ(i.doc.image.pixel(x, 4), gfx::rgb(0, 0, app::roundHalfEven(6.4 * band))) << x;
    EXPECT_EQ(i.doc.image.pixel(95, 9), gfx::rgb(0, 0, 122)); // the last band does not reach navy
    EXPECT_EQ(i.doc.rangeBrushColor, gfx::rgb(0, 0, 128)); // the colour after the last band
    EXPECT_EQ(i.doc.transition.bands, 20);
}

TEST(RangeTransition, ANarrowRangeLowersTheBandCountForLaterOnes)
{
    Image i(40, 40);
    i.doc.range = {0, 0, 9, 30}; // 10 wide
    effects::rangeTransition(i.doc, effects::Transition::Horizontal);
    EXPECT_EQ(i.doc.transition.bands, 9);
    // That run still stepped by twentieths: band 1 (x = 1) has blue 6.4 rounded.
    EXPECT_EQ(i.doc.image.pixel(1, 5), gfx::rgb(0, 0, 6));
    // A range one pixel high takes one band rather than none.
    i.doc.range = {0, 0, 30, 0};
    effects::rangeTransition(i.doc, effects::Transition::Vertical);
    EXPECT_EQ(i.doc.transition.bands, 1);
    // The rounded and elliptical ones make the buffer's pen clear for good; the others leave it.
    EXPECT_FALSE(i.doc.rangePenClear);
    i.doc.range = {0, 0, 39, 39};
    for (const auto shape : {effects::Transition::Conical, effects::Transition::Elliptical,
             effects::Transition::Rounded, effects::Transition::Vertical})
        effects::rangeTransition(i.doc, shape);
    EXPECT_TRUE(i.doc.rangePenClear);
}

// Conical: nested rectangles, the outermost band at the range's edge in the start colour.
TEST(RangeTransition, ConicalBandsShrinkByTheirSteps)
{
    Image i(60, 60);
    i.doc.transition.startColor = gfx::clWhite;
    i.doc.transition.endColor = gfx::clBlack;
    i.doc.transition.bands = 10;
    i.doc.range = {0, 0, 39, 39}; // 40 x 40: steps of (40 div 10) div 2 = 2
    effects::rangeTransition(i.doc, effects::Transition::Conical);
    EXPECT_EQ(i.doc.image.pixel(0, 0), gfx::clWhite);
    EXPECT_EQ(i.doc.image.pixel(2, 20), gfx::rgb(230, 230, 230)); // band 1: 255 - 25.5, halves to even
    EXPECT_EQ(i.doc.image.pixel(4, 4), gfx::rgb(204, 204, 204));
}

TEST(TransitionSettings, AnswersOutOfRangeAreIgnoredAndNonNumbersCountAsTheirDefault)
{
    struct Case {
        const char* path;
        const char* answer;
        int bands, xStep;
    };
    for (const Case c : {Case{"Range > &Transition > &Bands...", "33", 33, 0},
             Case{"Range > &Transition > &Bands...", "7", 12, 0}, Case{"Range > &Transition > &Bands...", "x", 20, 0},
             Case{"Range > &Transition > &Bands...", "41", 12, 0}, Case{"Range > &Transition > Xstep...", "25", 12, 25},
             Case{"Range > &Transition > Xstep...", "26", 12, 0}, Case{"Range > &Transition > Xstep...", "x", 12, 0}}) {
        Image i;
        i.doc.transition.bands = 12;
        // A non-number counts as 0, so a step of 7 must go.
        i.doc.transition.xStep = c.answer == std::string("x") && c.xStep == 0 && std::string(c.path).ends_with("Xstep...") ? 7 : 0;
        i.host.answers = {c.answer};
        app::CommandContext ctx{i.doc, i.host};
        app::runCommand(ctx, row(c.path));
        EXPECT_EQ(i.doc.transition.bands, c.bands) << c.path << " " << c.answer;
        EXPECT_EQ(i.doc.transition.xStep, c.xStep) << c.path << " " << c.answer;
    }
}

TEST(RangeMask, WhitensTheRangeOutsideTheShape)
{
    // Squares on a range 40 wide: cells 2 x 2, black cells whitened, the strips beyond 16 cells kept.
    Image squares(50, 50);
    const gfx::Bitmap before = squares.doc.image;
    squares.doc.range = {0, 0, 39, 39};
    effects::rangeMask(squares.doc, effects::RangeMask::Squares);
    EXPECT_EQ(squares.doc.image.pixel(0, 0), before.pixel(0, 0)); // cell (0, 0) white: kept
    EXPECT_EQ(squares.doc.image.pixel(2, 0), gfx::clWhite); // cell (1, 0) black: whitened
    EXPECT_EQ(squares.doc.image.pixel(3, 3), before.pixel(3, 3)); // cell (1, 1)
    for (int y = 0; y < 39; ++y)
        for (int x = 33; x < 39; ++x) // the strip the cells leave, stretched a little onto the range
            ASSERT_EQ(squares.doc.image.pixel(x, y), before.pixel(x, y)) << x << "," << y;

    // Oval: the middle kept, the corners whitened.
    Image oval(50, 50);
    oval.doc.range = {10, 10, 39, 39};
    effects::rangeMask(oval.doc, effects::RangeMask::Oval);
    EXPECT_EQ(oval.doc.image.pixel(25, 25), test::noise(50, 50, 4).pixel(25, 25));
    EXPECT_EQ(oval.doc.image.pixel(10, 10), gfx::clWhite);
    EXPECT_EQ(oval.doc.image.pixel(9, 9), test::noise(50, 50, 4).pixel(9, 9)); // outside the range

    // User Mask before any mask: the buffer stays white, the range unchanged.
    Image user(30, 30);
    const gfx::Bitmap userBefore = user.doc.image;
    user.doc.range = {3, 3, 20, 20};
    effects::rangeMask(user.doc, effects::RangeMask::User);
    EXPECT_EQ(user.doc.image, userBefore);
}

TEST(ImageMask, BrushMakesAOneBitMaskOfTheBrushColour)
{
    Image i(5, 3);
    i.doc.image.fill(gfx::clNavy);
    i.doc.image.setPixel(1, 1, gfx::clRed);
    i.doc.canvas.brush.setColor(gfx::clRed);
    effects::maskFromBrush(i.doc);
    ASSERT_EQ(i.doc.image.format(), gfx::PixelFormat::Bits1);
    EXPECT_EQ(i.doc.image.pixel(1, 1), gfx::clWhite);
    EXPECT_EQ(i.doc.image.pixel(0, 0), gfx::clBlack);
}

// The runs are built once and drawn whole; that must be what drawing each tile would give, whatever the
// copy mode.
TEST(RangeRepeats, WholeRunsEqualATileByTileDraw)
{
    for (const gfx::Rect range : {gfx::Rect{4, 4, 4, 4}, gfx::Rect{1, 2, 3, 3}, gfx::Rect{2, 1, 8, 5}})
        for (const gfx::Rop3 mode : {gfx::kSrcCopy, gfx::kSrcInvert, gfx::kMergePaint}) {
            SCOPED_TRACE(testing::Message() << range.right - range.left + 1 << " wide, mode " << std::hex << mode);
            for (const int height : {23, 601}) { // one block of rows, and several
                Image fast(29, height), plain(29, height);
                fast.doc.range = plain.doc.range = range;
                fast.doc.canvas.copyMode = plain.doc.canvas.copyMode = mode;
                effects::rangeTile(fast.doc, effects::RangeTile::All);
                app::copyRangeOnWhite(plain.doc, gfx::kSrcCopy);
                const gfx::Bitmap tile = plain.doc.rangeBuffer;
                for (int y = 0; y < height; y += tile.height())
                    for (int x = 0; x < 29; x += tile.width())
                        plain.doc.canvas.draw(x, y, tile);
                EXPECT_EQ(fast.doc.image, plain.doc.image) << height;
            }

            Image fastBorder(29, 23), plainBorder(29, 23);
            fastBorder.doc.range = plainBorder.doc.range = range;
            fastBorder.doc.canvas.copyMode = plainBorder.doc.canvas.copyMode = mode;
            effects::rangeBorder(fastBorder.doc, effects::RangeBorder::Horizontal);
            app::copyRangeOnWhite(plainBorder.doc, gfx::kSrcCopy);
            const gfx::Bitmap b = plainBorder.doc.rangeBuffer;
            for (const int y : {0, 23 - b.height()})
                for (int x = 0; x < 29; x += b.width())
                    plainBorder.doc.canvas.draw(x, y, b);
            EXPECT_EQ(fastBorder.doc.image, plainBorder.doc.image);
        }
}

TEST(AssignTo, BumperTakesAtMost50AndGivesTheExactPicture)
{
    struct Case {
        gfx::Rect range;
        const char* message; // nullptr: handed over
    };
    for (const Case c : {Case{{3, 4, 53, 54}, nullptr}, Case{{3, 4, 54, 20}, "selection too large (>50)!"},
             Case{{3, 4, 20, 55}, "selection too large (>50)!"}, Case{{3, 4, 3, 9}, "no selection"},
             Case{{9, 4, 3, 9}, "no selection"}}) {
        Image i(70, 70);
        i.doc.range = c.range;
        app::CommandContext ctx{i.doc, i.host};
        app::runCommand(ctx, row("Range > Assign To > Bumper"));
        if (c.message) {
            EXPECT_EQ(i.host.messages, std::vector<std::string>{c.message});
            EXPECT_TRUE(i.host.given.empty());
            continue;
        }
        ASSERT_EQ(i.host.given.size(), 1u);
        EXPECT_EQ(i.host.given[0].first, app::PictureTarget::BumpEditor);
        const gfx::Bitmap& picture = i.host.given[0].second;
        ASSERT_EQ(picture.width(), 50);
        ASSERT_EQ(picture.height(), 50);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                ASSERT_EQ(picture.pixel(x, y), i.doc.image.pixel(3 + x, 4 + y));
    }
    // Quick Button: the range copied onto white, as the buffer holds it.
    Image q(30, 30);
    q.doc.range = {2, 2, 9, 9};
    app::CommandContext ctx{q.doc, q.host};
    app::runCommand(ctx, row("Range > Assign To > Quick Button"));
    ASSERT_EQ(q.host.given.size(), 1u);
    EXPECT_EQ(q.host.given[0].first, app::PictureTarget::ButtonDesigner);
    EXPECT_EQ(q.host.given[0].second, q.doc.rangeBuffer);
    EXPECT_EQ(q.host.given[0].second.width(), 8);
}

} // namespace
