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

// A size given to the slots costs nothing until Undo reaches them; a slot never pushed reads as white
// of that size, an older slot as its picture kept top-left.
TEST(UndoRing, GivingTheSlotsAHugeSizeAllocatesNothing)
{
    UndoRing ring;
    ring.push(marked(1));
    ring.push(marked(2));
    ring.resizeSlots(12000, 12000);
    EXPECT_EQ(ring.storedBytes(), 2 * static_cast<std::int64_t>(marked(1).stride()) * 3);
    ring.resizeSlots(6, 4);
    gfx::Bitmap image;
    ring.undo(image); // the newest keeps its own size: it is the resizing command's step
    EXPECT_EQ(image, marked(2));
    ring.undo(image);
    gfx::Bitmap older = marked(1);
    older.setSize(6, 4);
    EXPECT_EQ(image, older);
    ring.undo(image); // never pushed
    EXPECT_EQ(image, gfx::Bitmap(6, 4));
}

// Beyond the budget the oldest pictures are freed first and read as never pushed; the newest stays even
// when it alone is over.
TEST(UndoRing, StaysWithinItsBudget)
{
    const gfx::Bitmap big(100, 100); // 30000 bytes
    UndoRing ring(70000);
    for (int n = 1; n <= 3; ++n) {
        gfx::Bitmap b = big;
        b.setPixel(0, 0, static_cast<gfx::Color>(n));
        ring.push(b);
    }
    EXPECT_LE(ring.storedBytes(), 70000);
    gfx::Bitmap image;
    ring.undo(image);
    EXPECT_EQ(image.pixel(0, 0), 3u);
    ring.undo(image);
    EXPECT_EQ(image.pixel(0, 0), 2u);
    ring.undo(image); // the first push was freed
    EXPECT_EQ(image, big);

    UndoRing tiny(10);
    tiny.push(big);
    EXPECT_EQ(tiny.newest(), big);
}

// A step that is taken back (its command changed nothing) frees nothing, however near the budget.
TEST(UndoRing, AStepTakenBackCostsNoStoredPicture)
{
    gfx::Bitmap big(100, 100); // 30000 bytes
    UndoRing ring(70000);
    ring.push(marked(1));
    big.setPixel(0, 0, 2);
    ring.push(big);
    big.setPixel(0, 0, 3);
    ring.push(big);
    const std::int64_t stored = ring.storedBytes();
    UndoRing::Slot displaced = ring.pushReturningOld(big);
    ring.unpush(std::move(displaced));
    EXPECT_EQ(ring.storedBytes(), stored);
    gfx::Bitmap image;
    ring.undo(image);
    ring.undo(image);
    EXPECT_EQ(image.pixel(0, 0), 2u);
}
