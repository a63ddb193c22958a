#include "effects/RangeFills.h"

#include "app/Command.h"
#include "app/Document.h"
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

} // namespace
