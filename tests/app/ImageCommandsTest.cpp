#include "app/ImageCommands.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Patterns.h"
#include "gfx/Palette.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;
using app::Document;
using test::FakeHost;

TEST(Document, StartsWithAWhite256ImageAndTheDesignValues)
{
    const Document doc;
    EXPECT_EQ(doc.image, gfx::Bitmap(256, 256));
    EXPECT_EQ(doc.canvas.brush.style(), gfx::BrushStyle::Clear);
    EXPECT_EQ(doc.canvas.brush.color(), gfx::clWhite);
    EXPECT_EQ(doc.canvas.pen.color, gfx::clBlack);
    EXPECT_EQ(doc.canvas.pen.mode, gfx::PenMode::Copy);
    EXPECT_EQ(doc.canvas.font.name, "Arial");
    EXPECT_EQ(doc.canvas.font.size, 24);
    EXPECT_EQ(doc.canvas.copyMode, gfx::kSrcCopy);
    EXPECT_EQ(doc.toolMode, "line");
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 0, 0}));
    EXPECT_EQ(doc.zoomRect, (gfx::Rect{0, 0, 50, 50}));
    EXPECT_EQ(doc.shapes.lineTolerance, 5);
    EXPECT_EQ(doc.shapes.blocksCount, 32);
    EXPECT_EQ(doc.shapes.spiroTurns, 40);
    EXPECT_DOUBLE_EQ(doc.shapes.spiralFactor, 0.99);
    EXPECT_EQ(doc.transition.endColor, gfx::rgb(0, 0, 128));
    EXPECT_EQ(doc.pasteKind, "paste");
    EXPECT_EQ(doc.undo.index(), 1);
}

class ImageCommands : public ::testing::Test {
protected:
    Document doc;
    FakeHost host;
};

TEST_F(ImageCommands, ClearImageFillsWhiteLeavesAClearBrushAndSelectsAll)
{
    doc.image = test::noise(30, 20, 1);
    doc.canvas.pen.style = gfx::PenStyle::Dash;
    doc.secondColor = gfx::clRed;
    app::clearImage(doc, host);
    EXPECT_EQ(doc.image, gfx::Bitmap(30, 20));
    EXPECT_EQ(doc.canvas.brush.style(), gfx::BrushStyle::Clear);
    EXPECT_EQ(doc.canvas.pen.style, gfx::PenStyle::Solid);
    EXPECT_EQ(doc.secondColor, gfx::clWhite);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 30, 20}));
    EXPECT_EQ(doc.undo.index(), 1); // nothing pushed
    // A colour chosen afterwards makes the brush solid again.
    doc.canvas.brush.setColor(gfx::clBlue);
    EXPECT_EQ(doc.canvas.brush.style(), gfx::BrushStyle::Solid);
}

// Clear Image is the colour panel's change: the pen takes the panel's first colour again, and a pattern
// chosen before does not fill the image.
TEST_F(ImageCommands, ClearImageGivesWhiteAfterAPatternAndResyncsThePen)
{
    doc.image = test::noise(16, 16, 9);
    app::choosePattern(doc, 1);
    doc.firstColor = gfx::clRed;
    doc.canvas.pen.color = gfx::clBlue; // out of step with the panel, as a pick or a script leaves it
    app::clearImage(doc, host);
    EXPECT_EQ(doc.image, gfx::Bitmap(16, 16));
    EXPECT_EQ(doc.canvas.pen.color, gfx::clRed);
    EXPECT_FALSE(doc.canvas.brush.pattern());
}

// Each command that changes the image is an undo step of its own, pushed before it: a press then a
// command need two Undo steps, and each gives back exactly the image before it.
TEST_F(ImageCommands, ACommandAfterAPressIsItsOwnUndoStep)
{
    app::pushImage(doc); // window shown
    const gfx::Bitmap initial = doc.image;
    app::pushImage(doc); // a press
    doc.image.setPixel(5, 5, gfx::clBlack); // its drawing
    const gfx::Bitmap drawn = doc.image;
    app::CommandContext ctx{doc, host};
    const app::CommandRow* fourBits = nullptr;
    for (const app::CommandRow& row : app::imageCommandRows())
        if (row.path == "Image > Pixel Format > 4 bit")
            fourBits = &row;
    ASSERT_TRUE(fourBits);
    app::runCommand(ctx, *fourBits);
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits4);
    EXPECT_TRUE(doc.modified);
    app::undoImage(doc, host);
    EXPECT_EQ(doc.image, drawn);
    app::undoImage(doc, host);
    EXPECT_EQ(doc.image, initial);
    EXPECT_FALSE(host.repaints.empty());
}

// A command that changes nothing leaves neither an undo step nor the modified flag.
TEST_F(ImageCommands, ACommandThatChangesNothingLeavesNoTrace)
{
    app::pushImage(doc);
    const int index = doc.undo.index();
    const gfx::Bitmap newest = doc.undo.newest();
    app::CommandContext ctx{doc, host};
    for (const app::CommandRow& row : app::imageCommandRows())
        if (row.path == "Edit > &Paste Image" || row.path == "ToolButton12"
            || row.path == "Image > Pixel Format > 24 bit")
            app::runCommand(ctx, row); // an empty clipboard; a white image cleared; 24 bits already
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_EQ(doc.undo.newest(), newest);
    EXPECT_FALSE(doc.modified);
}

TEST_F(ImageCommands, CopyImagePutsTheWholeImageOnTheClipboard)
{
    doc.image = test::noise(7, 5, 2);
    app::copyImage(doc, host);
    ASSERT_TRUE(host.clipboard);
    EXPECT_EQ(*host.clipboard, doc.image);
}

// The range is stretched into a box one pixel larger, so its last column and row fall outside.
TEST_F(ImageCommands, CopyRangeStretchesByOnePixel)
{
    doc.image = test::noise(10, 10, 3);
    doc.range = {2, 3, 5, 5};
    app::copyRange(doc, host);
    ASSERT_TRUE(host.clipboard);
    const gfx::Bitmap& copy = *host.clipboard;
    ASSERT_EQ(copy.width(), 3);
    ASSERT_EQ(copy.height(), 2);
    const int cols[] = {2, 2, 3}, rows[] = {3, 3}; // 3 -> 4 columns and 2 -> 3 rows, as the stretch picks them
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(copy.pixel(x, y), doc.image.pixel(cols[x], rows[y])) << x << "," << y;
}

TEST_F(ImageCommands, CopyRangeOfAnEmptyOrInvertedRangeLeavesTheClipboardAlone)
{
    for (const gfx::Rect range : {gfx::Rect{0, 0, 0, 0}, gfx::Rect{5, 5, 2, 8}, gfx::Rect{0, 0, INT32_MAX, 3},
             gfx::Rect{-2'000'000'000, 0, 2'000'000'000, 2}}) {
        doc.range = range;
        app::copyRange(doc, host);
        EXPECT_FALSE(host.clipboard);
    }
}

TEST_F(ImageCommands, PastesDoNothingWithAnEmptyClipboard)
{
    const gfx::Bitmap before = doc.image;
    app::pasteImage(doc, host);
    app::pasteStretch(doc, host);
    EXPECT_EQ(doc.image, before);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ImageCommands, PasteImageTakesTheClipboardSizeAndFormat)
{
    host.clipboard = test::noise(9, 4, 4).converted(gfx::PixelFormat::Bits8);
    app::pasteImage(doc, host);
    EXPECT_EQ(doc.image, *host.clipboard);
    // The canvas still draws on the pasted image.
    doc.canvas.brush.setColor(gfx::clBlack);
    doc.canvas.fillRect({0, 0, 1, 1});
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clBlack);
}

TEST_F(ImageCommands, PasteStretchCoversTheWholeImageWhichKeepsItsSize)
{
    gfx::Bitmap clip(2, 2);
    clip.fill(gfx::clRed);
    clip.setPixel(1, 1, gfx::clBlue);
    host.clipboard = clip;
    doc.image = gfx::Bitmap(6, 4);
    app::pasteStretch(doc, host);
    EXPECT_EQ(doc.image.width(), 6);
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(5, 3), gfx::clBlue);
    EXPECT_EQ(doc.image.pixel(2, 1), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(3, 2), gfx::clBlue);
}

TEST_F(ImageCommands, FourBitsThenTwentyFourKeepsTheReducedColours)
{
    doc.image = test::noise(13, 11, 5);
    app::setPixelFormat(doc, host, gfx::PixelFormat::Bits4);
    const gfx::Bitmap reduced = doc.image;
    app::setPixelFormat(doc, host, gfx::PixelFormat::Bits24);
    EXPECT_EQ(doc.pixelFormatChoice, gfx::PixelFormat::Bits24);
    EXPECT_EQ(doc.image.format(), gfx::PixelFormat::Bits24);
    EXPECT_EQ(doc.image, reduced.converted(gfx::PixelFormat::Bits24));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_NE(
                std::find(gfx::standardPalette16().begin(), gfx::standardPalette16().end(), doc.image.pixel(x, y)),
                gfx::standardPalette16().end());
}

// A command that runs out of memory halfway says so and leaves the image and the undo ring as they were.
TEST_F(ImageCommands, RunningOutOfMemoryTakesTheCommandBack)
{
    const gfx::Bitmap before = doc.image;
    app::pushImage(doc);
    const int index = doc.undo.index();
    const app::CommandRow greedy{.path = "Greedy",
        .run =
            [](app::CommandContext& c, const app::CommandRow&) {
                c.doc.image.fill(gfx::clRed);
                throw gfx::OutOfPixelMemory(70000, 70000);
            },
        .changesImage = true};
    app::CommandContext ctx{doc, host};
    app::runCommand(ctx, greedy);
    EXPECT_EQ(doc.image, before);
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Not enough memory for a 70000 \u00d7 70000 image."});
}
