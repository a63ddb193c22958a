#include "commands/StepRunner.h"

#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/ImageCommands.h"
#include "app/Preview.h"
#include "support/TestImages.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;
using commands::StepStatus;

class Steps : public ::testing::Test {
protected:
    Steps()
    {
        doc.image = gfx::Bitmap(64, 48);
        app::pushImage(doc); // as the window does when it first shows
    }
    StepStatus run(std::string_view step) { return runner.run(step).status; }

    app::Document doc;
    app::HeadlessHost host;
    commands::StepRunner runner{doc, host};
};

TEST_F(Steps, ADragChoosesTheToolPressesMovesAndReleases)
{
    ASSERT_EQ(run("drag rectangle 10,10 20,30 30,20"), StepStatus::Ok);
    EXPECT_EQ(doc.toolMode, "rectangle");
    EXPECT_EQ(doc.undo.index(), 3); // one step for the press
    EXPECT_EQ(doc.image.pixel(10, 10), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(29, 19), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(20, 15), gfx::clWhite);
    EXPECT_EQ(doc.image.pixel(19, 29), gfx::clWhite); // the band of the middle point is gone
    EXPECT_EQ(host.status[2], "x=30 y=20 w=20 h=10");
    EXPECT_TRUE(doc.modified);
}

// A right click sets the anchor; a Ctrl+Shift press then starts there. Ctrl+Alt presses draw nothing.
TEST_F(Steps, ModifiersAndButtonsReachTheTools)
{
    ASSERT_EQ(run("drag line 5,6 right"), StepStatus::Ok);
    EXPECT_EQ(doc.undo.index(), 2);
    ASSERT_EQ(run("drag line 0,0 20,6 ctrl shift"), StepStatus::Ok);
    EXPECT_EQ(doc.image.pixel(5, 6), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clWhite);
    const gfx::Bitmap before = doc.image;
    ASSERT_EQ(run("drag line 30,30 40,40 ctrl alt"), StepStatus::Ok);
    EXPECT_EQ(doc.image, before);
    ASSERT_EQ(run("drag line 30,40 50,40 middle"), StepStatus::Ok);
    EXPECT_EQ(doc.image.pixel(30, 40), gfx::clBlack);
}

// The phases of a multi-click tool carry on from one drag to the next.
TEST_F(Steps, DragsContinueAMultiClickTool)
{
    ASSERT_EQ(run("drag bezier 10,40 50,40"), StepStatus::Ok);
    EXPECT_EQ(doc.toolMode, "bezier1");
    ASSERT_EQ(run("drag bezier 20,5"), StepStatus::Ok);
    EXPECT_EQ(doc.toolMode, "bezier2");
    ASSERT_EQ(run("drag bezier 40,5"), StepStatus::Ok);
    EXPECT_EQ(doc.toolMode, "bezier");
    EXPECT_EQ(doc.image.pixel(10, 40), gfx::clBlack);
    // Another tool in between starts the chain again.
    ASSERT_EQ(run("drag bezier 5,5 6,6"), StepStatus::Ok);
    ASSERT_EQ(run("drag line 1,1 2,2"), StepStatus::Ok);
    ASSERT_EQ(run("drag bezier 5,5 6,6"), StepStatus::Ok);
    EXPECT_EQ(doc.toolMode, "bezier1");
}

TEST_F(Steps, CommandPathsPopupsAndControlsRun)
{
    ASSERT_EQ(run("range > select all"), StepStatus::Ok);
    EXPECT_EQ(doc.range, (gfx::Rect{0, 0, 64, 48}));
    ASSERT_EQ(run("setwidth > 3 pixels"), StepStatus::Ok);
    EXPECT_EQ(doc.canvas.pen.width, 3);
    ASSERT_EQ(run("TDaubixF > colorlist = navy shift"), StepStatus::Ok);
    EXPECT_EQ(doc.canvas.pen.color, gfx::clNavy);
    EXPECT_EQ(host.status[3], "navy");
    ASSERT_EQ(run("TDaubixF > colorlist = 0"), StepStatus::Ok);
    EXPECT_EQ(doc.canvas.brush.color(), gfx::rgb(0xF0, 0xFF, 0xFF));
    ASSERT_EQ(run("TDaubixF > PatList = 3"), StepStatus::Ok);
    EXPECT_EQ(doc.patternIndex, 3);
    EXPECT_TRUE(doc.canvas.brush.pattern());
    host.answers = {"12"};
    ASSERT_EQ(run("Options > Blocks > Blocks..."), StepStatus::Ok);
    EXPECT_EQ(doc.shapes.blocksCount, 12);
    // The main window's own menus and picture, named after it.
    ASSERT_EQ(run("TDaubixF > Edit > Copy Image"), StepStatus::Ok);
    EXPECT_EQ(host.clipboard, doc.image);
    ASSERT_EQ(run("TDaubixF drag rectangle 1,1 5,5"), StepStatus::Ok);
    EXPECT_EQ(doc.image.pixel(1, 1), gfx::clNavy); // the pen colour the list gave
}

TEST_F(Steps, WrongStepsAreRefusedAndChangeNothing)
{
    for (const std::string_view step :
        {"", "frob", "drag", "drag frob 1,1", "drag waveline 1,1", "drag line9 1,1", "drag bezier2 1,1",
            "TDaubixF drag", "TDaubixF frob", "TDaubixF > Range > Nothing", "drag line", "drag line 1,1 sideways",
            "drag line tick:3 1,1", "drag line 1,1 99999999999,1", "drag line 1,1 tick:-1", "tick", "tick -1",
            "tick 1e3", "TDaubixF", "TDaubixF > PatList = 99", "TDaubixF > PatList", "TDaubixF > nothing = 1",
            "TDaubixF > colorlist = nocolour", "Help > Contents", "Image > Quick > Quick Effects...",
            "File > Split Save > Vertical Split...", "Range > Nothing", "TQuickPreviewF > Use",
            "TQuickPreviewF > Save...", "TQuickPreviewF > CounterButton", "TQuickPreviewF > Close",
            "TQuickPreviewF > transparent", "TQuickPreviewF > transparent = yes", "TQuickPreviewF drag line 1,1"}) {
        EXPECT_EQ(run(step), StepStatus::Error) << step;
        EXPECT_FALSE(runner.run(step).message.empty()) << step;
    }
    EXPECT_EQ(doc.image, gfx::Bitmap(64, 48));
    EXPECT_EQ(doc.undo.index(), 2);
    EXPECT_EQ(doc.toolMode, "line");
}

// The preview window's buttons work headless once something has been previewed; the picture here is put
// in as a filter's preview step would.
TEST_F(Steps, ThePreviewWindowsButtonsRunWhileItShowsAPicture)
{
    const std::filesystem::path folder
        = std::filesystem::temp_directory_path() / ("daubix-preview-steps-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ASSERT_EQ(run("TQuickPreviewF > transparent = on"), StepStatus::Ok);
    EXPECT_TRUE(doc.preview.transparent);
    const gfx::Bitmap picture = test::noise(64, 48, 4);
    app::showPicture(doc, picture);
    host.files = {(folder / "f.gif").string()};
    ASSERT_EQ(run("TQuickPreviewF > save"), StepStatus::Ok);
    ASSERT_EQ(run("TQuickPreviewF > CounterButton"), StepStatus::Ok);
    EXPECT_EQ(doc.preview.counter, 3);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "f1.gif"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "f2.gif"));
    ASSERT_EQ(run("TQuickPreviewF > transparent = off"), StepStatus::Ok);
    EXPECT_FALSE(doc.preview.transparent);
    EXPECT_EQ(doc.image, gfx::Bitmap(64, 48));
    ASSERT_EQ(run("TQuickPreviewF > Use"), StepStatus::Ok);
    EXPECT_EQ(doc.image, picture);
    EXPECT_EQ(doc.undo.index(), 3);
    EXPECT_FALSE(doc.preview.shown);
    // Closed by Use: its buttons are out of reach again.
    EXPECT_EQ(run("TQuickPreviewF > Use"), StepStatus::Error);
    EXPECT_TRUE(host.messages.empty());
    std::filesystem::remove_all(folder);
}

// The timer runs on a virtual clock: it fires at each interval that a wait passes, and not when stopped.
TEST(HeadlessHost, TheTimerFiresOnTheVirtualClock)
{
    app::HeadlessHost host;
    int ticks = 0;
    const auto tick = [&] { ++ticks; };
    host.advanceClock(500, tick);
    EXPECT_EQ(ticks, 0);
    host.startTimer(60);
    host.advanceClock(59, tick);
    EXPECT_EQ(ticks, 0);
    host.advanceClock(121, tick); // 60, 120 and 180 have passed
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(host.now(), 680);
    host.stopTimer();
    host.advanceClock(1000, tick);
    EXPECT_EQ(ticks, 3);
}

TEST(HeadlessHost, AnswersFromItsQueuesThenWithTheDefaults)
{
    app::HeadlessHost host;
    host.answers = {"7", ""};
    EXPECT_EQ(host.askText("Daubix", "?", "5"), "7");
    EXPECT_EQ(host.askText("Daubix", "?", "5"), "");
    EXPECT_EQ(host.askText("Daubix", "?", "5"), "5");
    host.colors = {gfx::clRed};
    EXPECT_EQ(host.chooseColor(gfx::clBlue), gfx::clRed);
    EXPECT_EQ(host.chooseColor(gfx::clBlue), gfx::clBlue);
    host.files = {"a.bmp"};
    EXPECT_EQ(host.askFileName(app::Host::FileDialog::Open, "", 1), "a.bmp");
    EXPECT_FALSE(host.askFileName(app::Host::FileDialog::Save, "", 1));
}
