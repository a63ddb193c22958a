#include "app/UndoRing.h"

#include <gtest/gtest.h>

using namespace daubix;
using app::UndoRing;

namespace {
gfx::Bitmap marked(int n)
{
    gfx::Bitmap b(4, 3);
    b.setPixel(0, 0, static_cast<gfx::Color>(n));
    return b;
}
} // namespace

TEST(UndoRing, StartsWithTenWhiteSlotsOf250AndIndexOne)
{
    const UndoRing ring;
    EXPECT_EQ(ring.index(), 1);
    for (int i = 0; i < UndoRing::kSlots; ++i)
        EXPECT_EQ(ring.slot(i), gfx::Bitmap(250, 250));
}

// The window's first push, ten presses, then eleven undos: the ten pre-press states come back newest
// first, and the eleventh step arrives at the newest stored state again.
TEST(UndoRing, WalksBackThroughTenStatesAndWrapsAround)
{
    UndoRing ring;
    gfx::Bitmap image = marked(100);
    ring.push(image); // the initial image, when the window is first shown
    for (int press = 1; press <= 10; ++press) {
        image = marked(press);
        ring.push(image); // the state before this press's drawing
        image = marked(1000 + press);
    }
    for (int step = 10; step >= 1; --step) {
        ring.undo(image);
        EXPECT_EQ(image, marked(step)) << "undo back to press " << step;
    }
    ring.undo(image);
    EXPECT_EQ(image, marked(10));
}

TEST(UndoRing, UndoBeforeAnyPushYieldsTheBlankSlots)
{
    UndoRing ring;
    gfx::Bitmap image = marked(1);
    ring.undo(image);
    EXPECT_EQ(ring.index(), 10);
    EXPECT_EQ(image, gfx::Bitmap(250, 250));
}

// Resizing gives the older slots the new size but keeps the newest, the step of the command that resizes.
TEST(UndoRing, KeepsSizeAndPixelFormatAndResizesSlotsOnRequest)
{
    UndoRing ring;
    ring.push(gfx::Bitmap(7, 5, gfx::PixelFormat::Bits4));
    ring.push(gfx::Bitmap(3, 3, gfx::PixelFormat::Bits8));
    ring.resizeSlots(30, 20);
    EXPECT_EQ(ring.newest(), gfx::Bitmap(3, 3, gfx::PixelFormat::Bits8));
    for (const int i : {0, 2, 9}) {
        EXPECT_EQ(ring.slot(i).width(), 30);
        EXPECT_EQ(ring.slot(i).height(), 20);
    }
    gfx::Bitmap restored;
    ring.undo(restored);
    EXPECT_EQ(restored, gfx::Bitmap(3, 3, gfx::PixelFormat::Bits8));
    ring.undo(restored);
    EXPECT_EQ(restored.format(), gfx::PixelFormat::Bits4); // an older slot keeps its format, not its contents
    EXPECT_EQ(restored.width(), 30);
}
