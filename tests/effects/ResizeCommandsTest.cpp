#include "effects/ResizeCommands.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/ImageCommands.h"
#include "effects/RangeTransforms.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

class SizeCommands : public ::testing::Test {
protected:
    app::Document doc;
    test::FakeHost host;

    void run(std::string_view path)
    {
        for (const auto rows : {effects::resizeCommandRows(), effects::rangeTransformRows()})
            for (const app::CommandRow& row : rows)
                if (row.path == path) {
                    app::CommandContext ctx{doc, host};
                    app::runCommand(ctx, row);
                    return;
                }
        FAIL() << "no row " << path;
    }
    void image(int w, int h) { doc.image = test::noise(w, h, static_cast<unsigned>(w + h)); }
};

} // namespace

TEST_F(SizeCommands, MagnifyAndReduceStopAtTheirLimits)
{
    const std::tuple<const char*, int, int> cases[]
        = {{"Image > Resize > &Magnify > x2", 129, 129}, {"Image > Resize > &Magnify > x2", 128, 256},
            {"Image > Resize > &Magnify > x8", 32, 256}, {"Image > Resize > &Reduce > x8", 127, 127},
            {"Image > Resize > &Reduce > x8", 128, 16}, {"Image > Resize > &Reduce > x2", 32, 16}};
    for (const auto& [path, width, result] : cases) {
        image(width, 10);
        run(path);
        EXPECT_EQ(doc.image.width(), result) << path << " on " << width;
        if (result != width) { // the undo images take the new size
            EXPECT_EQ(doc.undo.slot(5).width(), result); // slot 0 holds the step the command pushed
        }
    }
    // Each magnified pixel is a block of the original's colour.
    image(8, 5);
    const gfx::Bitmap before = doc.image;
    run("Image > Resize > &Magnify > x4");
    EXPECT_EQ(doc.image.pixel(4 * 7 + 3, 4 * 4 + 2), before.pixel(7, 4));
}

// Only whole numbers of at least 1 count; a size no bitmap can have is refused with a message, and
// nothing changes.
TEST_F(SizeCommands, CanvasTakesWholeNumbersAndRefusesSizesTooLarge)
{
    image(40, 30);
    host.answers = {std::nullopt, "abc", "0", "-3", "100000", "12"};
    run("Image > Resize > Canvas..."); // cancel keeps the height, "abc" the width
    EXPECT_EQ(doc.image.width(), 40);
    EXPECT_EQ(doc.image.height(), 30);
    run("Image > Resize > Canvas..."); // "0" and "-3" keep both
    EXPECT_EQ(doc.image.height(), 30);
    run("Image > Resize > Canvas..."); // 100000 high, 12 wide
    EXPECT_EQ(doc.image.height(), 100000);
    EXPECT_EQ(doc.image.width(), 12);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 12, 100000}));
    EXPECT_EQ(doc.undo.slot(3).height(), 100000);
    EXPECT_EQ(host.prompts,
        (std::vector<std::string>{
            "Enter height:", "Enter width:", "Enter height:", "Enter width:", "Enter height:", "Enter width:"}));
    const gfx::Bitmap kept = doc.image;
    host.answers = {"100000", "100000"};
    run("Image > Resize > Canvas...");
    EXPECT_EQ(doc.image, kept);
    EXPECT_EQ(host.messages.back(), "The image would be too large (100000 x 100000).");
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 12, 100000}));
}

TEST_F(SizeCommands, SmartSquareFitsAWideImageAndSetsTheRange)
{
    doc.image = gfx::Bitmap(100, 50);
    doc.image.fill(gfx::clBlue);
    host.answers = {"32"};
    run("Image > Resize > Smart > Square...");
    EXPECT_EQ(host.prompts.back(), "Enter Square Size:");
    ASSERT_EQ(doc.image.width(), 32);
    ASSERT_EQ(doc.image.height(), 32);
    EXPECT_EQ(doc.image.pixel(31, 15), gfx::clBlue);
    EXPECT_EQ(doc.image.pixel(31, 16), gfx::clWhite);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 32, 32}));
    EXPECT_EQ(doc.undo.slot(5).width(), 32);
}

// The size spin: up by 1.25, down by 0.7, rounded with halves to even; the undo images keep their size.
TEST_F(SizeCommands, TheSizeSpinScalesAndFixesTheView)
{
    run("SizeSpin > Up");
    EXPECT_EQ(doc.image.width(), 320);
    EXPECT_TRUE(doc.viewFixed);
    EXPECT_EQ(doc.undo.slot(5).width(), 250); // slot 0 holds the step the command pushed
    // width, the side after Down, the side after Up: 31.5, 3.5, 2.5 and 7.5 are halves
    const std::tuple<int, int, int> sides[]
        = {{256, 179, 320}, {45, 32, 56}, {5, 4, 6}, {2, 1, 2}, {6, 4, 8}, {1, 1, 1}};
    for (const auto& [side, down, up] : sides) {
        image(side, side);
        run("SizeSpin > Down");
        EXPECT_EQ(doc.image.width(), down) << side;
        EXPECT_EQ(doc.image.height(), down) << side;
        image(side, side);
        run("SizeSpin > Up");
        EXPECT_EQ(doc.image.width(), up) << side;
    }
}

TEST_F(SizeCommands, StretchAsksHeightThenWidthAndShowsTheSize)
{
    image(50, 40);
    host.answers = {"20", "30"};
    run("Image > Resize > Stretch...");
    EXPECT_EQ(doc.image.width(), 30);
    EXPECT_EQ(doc.image.height(), 20);
    EXPECT_TRUE(doc.viewFixed);
    EXPECT_EQ(host.statuses.back(), (std::pair<int, std::string>{3, "W=30  H=20"}));
    const gfx::Color corner = doc.image.pixel(29, 19);
    doc.secondColor = gfx::clRed;
    doc.canvas.brush.setColor(gfx::clRed);
    run("Image > Resize > Default > Clear");
    EXPECT_FALSE(doc.viewFixed);
    EXPECT_EQ(doc.image.width(), 256);
    EXPECT_EQ(doc.image.pixel(29, 19), corner); // kept top-left
    EXPECT_EQ(doc.image.pixel(255, 255), gfx::clWhite);
    EXPECT_EQ(doc.secondColor, gfx::clWhite);
    EXPECT_EQ(doc.canvas.brush.color(), gfx::clWhite);
    EXPECT_EQ(host.captions, (std::vector<std::string>{"Daubix", "Daubix"}));
    EXPECT_EQ(host.initials, (std::vector<std::string>{"40", "50"})); // the height, then the width
}

// Every size command refuses a size no bitmap can have, with the message, before it changes anything.
TEST_F(SizeCommands, EverySizeCommandRefusesSizesTooLarge)
{
    const std::tuple<const char*, int, int, std::vector<std::optional<std::string>>> cases[] = {
        {"Image > Resize > Stretch...", 40, 30, {"100000", "100000"}},
        {"Image > Resize > Smart > Width...", 2, 2000, {"100000"}},
        {"Image > Resize > Smart > Height...", 2000, 2, {"100000"}},
        {"Image > Resize > Smart > Square...", 40, 30, {"20000"}},
    };
    for (const auto& [path, w, h, answers] : cases) {
        image(w, h);
        const gfx::Bitmap before = doc.image;
        const gfx::Rect range = doc.range;
        host.messages.clear();
        host.answers.assign(answers.begin(), answers.end());
        run(path);
        EXPECT_EQ(doc.image, before) << path;
        EXPECT_EQ(doc.range, range) << path;
        EXPECT_FALSE(doc.viewFixed) << path;
        ASSERT_EQ(host.messages.size(), 1u) << path;
        EXPECT_TRUE(host.messages[0].starts_with("The image would be too large (")) << host.messages[0];
    }
}

TEST_F(SizeCommands, CropTakesTheRangeAndDoesNothingForAnEmptyOne)
{
    image(40, 30);
    const gfx::Bitmap before = doc.image;
    doc.range = {5, 5, 2, 2};
    run("Image > Resize > Crop");
    EXPECT_EQ(doc.image, before);
    doc.secondColor = gfx::clRed;
    doc.range = {10, 5, 19, 14}; // the buffer counts Right and Bottom in: 10 x 10
    run("Image > Resize > Crop");
    EXPECT_EQ(doc.image.width(), 10);
    EXPECT_EQ(doc.image.height(), 10);
    EXPECT_EQ(doc.image.pixel(0, 0), before.pixel(10, 5));
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 10, 10}));
    EXPECT_EQ(doc.secondColor, gfx::clWhite);
}

// A Shift drag to x = 403 on a 200 x 100 image gives 400 x 200; each move starts again from the image
// as it was at the press, and the drag is one undo step.
TEST_F(SizeCommands, TheScrollBoxResizesByDragging)
{
    image(200, 100);
    const gfx::Bitmap before = doc.image;
    app::pushImage(doc);
    const int index = doc.undo.index();
    effects::ScrollBoxResize box;
    box.press(doc, host, {50, 50}, true, false); // on the image: nothing
    EXPECT_FALSE(box.active());
    box.press(doc, host, {250, 50}, false, true);
    ASSERT_TRUE(box.active());
    box.move(doc, host, {120, 90}, true, false);
    EXPECT_EQ(doc.image.width(), 117);
    EXPECT_EQ(doc.image.height(), 87);
    box.move(doc, host, {403, 10}, false, true);
    EXPECT_EQ(doc.image.width(), 400);
    EXPECT_EQ(doc.image.height(), 200);
    EXPECT_EQ(host.statuses.back(), (std::pair<int, std::string>{3, "W=400  H=200"}));
    box.release(doc);
    EXPECT_FALSE(box.active());
    EXPECT_EQ(doc.undo.index(), index + 1);
    app::undoImage(doc, host);
    EXPECT_EQ(doc.image, before);
    // A drag that changes nothing leaves no undo step.
    box.press(doc, host, {250, 50}, true, false);
    box.release(doc);
    EXPECT_EQ(doc.undo.index(), index);
}

TEST_F(SizeCommands, TheScrollBoxTakesCtrlThenShiftAndKeepsItsSizesSane)
{
    image(200, 100);
    effects::ScrollBoxResize box;
    box.press(doc, host, {300, 300}, true, true);
    box.move(doc, host, {103, 500}, true, true); // Ctrl's 100 x 497, then Shift's proportions
    EXPECT_EQ(doc.image.width(), 100);
    EXPECT_EQ(doc.image.height(), 50);
    box.press(doc, host, {400, 400}, true, false); // a second press while dragging changes nothing
    box.move(doc, host, {1, -7}, true, false); // at least one pixel each way
    EXPECT_EQ(doc.image.width(), 1);
    EXPECT_EQ(doc.image.height(), 1);
    box.move(doc, host, {100000, 100000}, true, false);
    box.move(doc, host, {200000, 100000}, true, false);
    EXPECT_EQ(host.messages.size(), 1u); // said once a drag
    EXPECT_EQ(doc.image.width(), 1);
    box.release(doc);
    app::undoImage(doc, host);
    EXPECT_EQ(doc.image.width(), 200); // one step for the whole drag
}

// Split Horizontal on (10, 10, 29, 29) with offset 20 moves columns 20..28 of rows 10..28 to columns
// 40..48 and whitens columns 20..39 of those rows.
TEST_F(SizeCommands, SplitMovesTheFarHalfAndWhitensTheGap)
{
    image(64, 64);
    const gfx::Bitmap before = doc.image;
    doc.range = {10, 10, 29, 29};
    host.answers = {"abc", "51", "7"};
    doc.splitOffset = 35;
    run("Range > Split > Set &Offset...");
    EXPECT_EQ(doc.splitOffset, 20); // not a number: 20
    EXPECT_EQ(host.captions.back(), "Daubix Range");
    EXPECT_EQ(host.initials.back(), "35");
    run("Range > Split > Set &Offset...");
    EXPECT_EQ(doc.splitOffset, 20); // beyond 50: ignored
    run("Range > Split > Set &Offset...");
    EXPECT_EQ(doc.splitOffset, 7);
    doc.splitOffset = 20;
    run("Range > Split > &Horizontal");
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            gfx::Color expected = before.pixel(x, y);
            if (y >= 10 && y < 29 && x >= 40 && x < 49)
                expected = before.pixel(x - 20, y);
            else if (y >= 10 && y < 29 && x >= 20 && x < 40)
                expected = gfx::clWhite;
            ASSERT_EQ(doc.image.pixel(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(doc.range, (gfx::Rect{10, 10, 29, 29}));
}

TEST_F(SizeCommands, RangeMirrorDoublesTheRangeDownwards)
{
    image(20, 40);
    const gfx::Bitmap before = doc.image;
    doc.range = {2, 3, 9, 8};
    run("Range > Mirror");
    EXPECT_EQ(doc.range, (gfx::Rect{2, 3, 9, 13}));
    // The buffer is 8 x 11 from the range copy; its lower rows are its upper rows mirrored.
    EXPECT_EQ(doc.image.pixel(2, 13), doc.image.pixel(2, 3));
    EXPECT_EQ(doc.image.pixel(5, 12), doc.image.pixel(5, 4));
    EXPECT_EQ(doc.image.pixel(15, 30), before.pixel(15, 30));
    // A range whose doubled bottom leaves the int range changes nothing.
    doc.range = {0, -2'000'000'000, 4, 2'000'000'000};
    const gfx::Bitmap mirrored = doc.image;
    run("Range > Mirror");
    EXPECT_EQ(doc.image, mirrored);
    EXPECT_EQ(doc.range.bottom, 2'000'000'000);
}

TEST_F(SizeCommands, RangeSquareAndMagnify)
{
    doc.range = {10, 20, 50, 30};
    run("Range > Square > to Height");
    EXPECT_EQ(doc.range, (gfx::Rect{10, 20, 50, 60}));
    doc.range = {10, 20, 50, 30};
    run("Range > Square > to Width");
    EXPECT_EQ(doc.range, (gfx::Rect{10, 20, 20, 30}));
    doc.image = gfx::Bitmap(100, 100);
    doc.image.setPixel(50, 50, gfx::clRed); // the middle of the range, magnified over all of it
    doc.range = {0, 0, 100, 100};
    doc.canvas.copyMode = gfx::kSrcInvert;
    run("Range > Magnify");
    EXPECT_EQ(doc.canvas.copyMode, gfx::kSrcCopy);
    EXPECT_EQ(doc.rangeBuffer.width(), 50);
    EXPECT_EQ(doc.image.pixel(50, 50), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(51, 51), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(10, 10), gfx::clWhite);
}

TEST_F(SizeCommands, RangeReduceShrinksTheWholeImageIntoTheRange)
{
    doc.image = gfx::Bitmap(40, 40);
    doc.image.fill(gfx::clBlue);
    doc.image.setPixel(39, 0, gfx::clRed);
    doc.range = {10, 10, 30, 30};
    run("Range > Reduce");
    EXPECT_EQ(doc.range, (gfx::Rect{10, 10, 30, 30}));
    EXPECT_EQ(doc.image.pixel(29, 10), gfx::clRed); // the exact copy keeps the last column
    EXPECT_EQ(doc.image.pixel(10, 10), gfx::clBlue);
}
