#include "commands/StepRunner.h"

#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/ImageCommands.h"
#include "app/Preview.h"
#include "commands/ApplyRows.h"
#include "io/PeerTools.h"
#include "support/TestImages.h"

#include <cstdlib>
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
    for (const std::string& step :
        std::initializer_list<std::string>{"", "frob", "drag", "drag frob 1,1", "drag waveline 1,1", "drag line9 1,1",
            "drag bezier2 1,1", "TDaubixF drag", "TDaubixF frob", "TDaubixF > Range > Nothing", "drag line",
            "drag line 1,1 sideways", "drag line tick:3 1,1", "drag line 1,1 99999999999,1", "drag line 1,1 tick:-1",
            "tick", "tick -1", "tick 1e3", "TDaubixF", "TDaubixF > PatList = 99", "TDaubixF > PatList",
            "TDaubixF > nothing = 1", "TDaubixF > colorlist = nocolour", "Help > Contents",
            "Image > Quick > Quick Effects...", "File > Split Save > Vertical Split...", "Range > Nothing",
            "TQuickPreviewF > Use", "TQuickPreviewF > Save...", "TQuickPreviewF > CounterButton",
            "TQuickPreviewF > Close", "TQuickPreviewF > transparent", "TQuickPreviewF > transparent = yes",
            "TQuickPreviewF drag line 1,1", "TDaubixFLF > QFList = Sharpen", "TDaubixFLF > QFList = 26",
            "TDaubixFLF > QFList", "TDaubixFLF > trkred = x", "TDaubixFLF > matrix = 1,2,3",
            "TDaubixFLF > redradio = on", "TDaubixFLF > Show", "TDaubixFLF drag line 1,1",
            "TDaubixFLF > FilterPresets > Rename", "TDaubixFLF > matrix = " + std::string(25 * 2, ',')}) {
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

// The Filters window's steps end in the same picture as the apply row of the same choices, and only
// "Use" draws it, as one undo step.
TEST_F(Steps, FilterStepsPreviewAsTheWindowAndUseDrawsThePicture)
{
    struct Case {
        std::vector<std::string> steps;
        std::string row;
    };
    const std::string shift = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0"; // two rows down
    const Case cases[] = {
        {{"TDaubixFLF > QFList = xor", "TDaubixFLF > trkred = 200"}, "QuickFilter:Xor,Reduce,Reduce,200"},
        {{"TDaubixFLF > greenradio", "TDaubixFLF > QFList = AddRight", "TDaubixFLF > blueradio",
             "TDaubixFLF > QFList = 23", "TDaubixFLF > redradio", "TDaubixFLF > QFList = Troop"},
            "QuickFilter:Troop,AddRight,Mondriaan"},
        {{"TDaubixFLF > matrix = " + shift, "TDaubixFLF > btnshow"}, "UserMatrix:" + shift},
        // Cells are kept as typed and read only when a preview needs them.
        {{"TDaubixFLF > matrix = 1, +2 ,3,4,5, 6,7,8,9,10, -1,-2,-3,-4,-5, 0,0,0,0,0, 1,1,1,1,1",
             "TDaubixFLF > QFList = UserMatrix"},
            "UserMatrix:1,2,3,4,5,6,7,8,9,10,-1,-2,-3,-4,-5,0,0,0,0,0,1,1,1,1,1"},
    };
    const gfx::Bitmap image = test::noise(64, 48, 9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        app::Document d;
        d.image = image;
        app::pushImage(d);
        app::HeadlessHost h;
        commands::StepRunner r{d, h};
        for (const std::string& step : c.steps)
            ASSERT_EQ(r.run(step).status, StepStatus::Ok) << step;
        ASSERT_TRUE(d.preview.shown);
        EXPECT_EQ(d.image, image);
        EXPECT_EQ(d.undo.index(), 2);

        gfx::Bitmap expected = image;
        app::Random random(1);
        commands::ApplyContext context{random, {}, {}, {}, {}};
        ASSERT_TRUE(commands::applyCall(context, expected, c.row).ok());
        ASSERT_EQ(r.run("TQuickPreviewF > Use").status, StepStatus::Ok);
        EXPECT_EQ(d.image, expected);
        EXPECT_NE(d.image, image);
        EXPECT_EQ(d.undo.index(), 3);
        EXPECT_FALSE(h.failed);
    }
}

// A radio click only moves the list's selection to that channel's filter; nothing is previewed.
TEST_F(Steps, ARadioStepOnlyMovesTheSelection)
{
    ASSERT_EQ(run("TDaubixFLF > bluerADIO"), StepStatus::Ok);
    ASSERT_EQ(run("TDaubixFLF > QFList = Grain"), StepStatus::Ok);
    app::closePreview(doc);
    ASSERT_EQ(run("TDaubixFLF > redradio"), StepStatus::Ok);
    EXPECT_EQ(doc.userFilter.selection, 7);
    EXPECT_EQ(doc.userFilter.checkedChannel, 0);
    ASSERT_EQ(run("TDaubixFLF > blueradio"), StepStatus::Ok);
    EXPECT_EQ(doc.userFilter.selection, 24);
    EXPECT_EQ(doc.userFilter.channels, (std::array<int, 3>{7, 7, 24}));
    EXPECT_FALSE(doc.preview.shown);
}

// A cell that is not a 16-bit integer leaves the preview as it was and fails the run; so does a value out
// of the bar's range.
TEST_F(Steps, AFilterStepThatCannotPreviewKeepsThePreviewAndFails)
{
    ASSERT_EQ(run("TDaubixFLF > QFList = Or"), StepStatus::Ok);
    const gfx::Bitmap shown = doc.preview.picture;
    ASSERT_EQ(run("TDaubixFLF > matrix = 1,1,1,1,1,1,1,1,1,1,1,1,x,1,1,1,1,1,1,1,1,1,1,1,1"), StepStatus::Ok);
    EXPECT_FALSE(host.failed);
    ASSERT_EQ(run("TDaubixFLF > btnshow"), StepStatus::Ok);
    EXPECT_TRUE(host.failed);
    EXPECT_EQ(host.messages, std::vector<std::string>{"invalid integer in UserMatrix"});
    EXPECT_EQ(doc.preview.picture, shown);
    host.failed = false;
    ASSERT_EQ(run("TDaubixFLF > matrix = 40000,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"), StepStatus::Ok);
    ASSERT_EQ(run("TDaubixFLF > QFList = UserMatrix"), StepStatus::Ok);
    EXPECT_TRUE(host.failed);
    host.failed = false;
    ASSERT_EQ(run("TDaubixFLF > trkred = 15"), StepStatus::Ok);
    EXPECT_TRUE(host.failed);
    EXPECT_EQ(doc.userFilter.v, 16);
    EXPECT_EQ(doc.preview.picture, shown);
    EXPECT_EQ(doc.image, gfx::Bitmap(64, 48));
}

// The presets come from the program folder at the first step that needs them; the pop-up menu's items
// take their names from the answers and rewrite the file.
TEST_F(Steps, PresetStepsReadAndRewriteTheProgramFoldersFile)
{
    test::ScratchFolder home;
    ::setenv("DAUBIX_HOME", home.path("").c_str(), 1);
    const std::string down = "Down=0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
    const std::string text = down + "\r\nhalf=1,2,3\n";
    test::writeBytes(home.path("DaubixFL.txt"), std::vector<std::uint8_t>(text.begin(), text.end()));
    const auto file = [&home] {
        const std::vector<std::uint8_t> bytes = test::readBytes(home.path("DaubixFL.txt"));
        return std::string(bytes.begin(), bytes.end());
    };

    doc.image = test::noise(64, 48, 3);
    ASSERT_EQ(run("TDaubixFLF > FilterPresets = DOWN"), StepStatus::Ok);
    EXPECT_EQ(doc.userFilter.selection, 25);
    EXPECT_EQ(doc.userFilter.cells[2], "1");
    EXPECT_EQ(doc.userFilter.cells[12], "0");
    ASSERT_TRUE(doc.preview.shown);
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 5)
            ASSERT_EQ(doc.preview.picture.pixel(x, y), doc.image.pixel(x, std::max(y - 2, 0)));
    EXPECT_EQ(runner.run("TDaubixFLF > FilterPresets = none").status, StepStatus::Failure);

    // A short preset fills what it has and says so; the selection stays.
    ASSERT_EQ(run("TDaubixFLF > QFList = Or"), StepStatus::Ok);
    ASSERT_EQ(run("TDaubixFLF > FilterPresets = half"), StepStatus::Ok);
    EXPECT_EQ(host.messages, std::vector<std::string>{"preset \"half\" has 3 of 25 values"});
    EXPECT_EQ(doc.userFilter.selection, 1);
    host.failed = false;

    host.answers = {"edge", "Up"};
    ASSERT_EQ(run("TDaubixFLF > FilterPresets > Add"), StepStatus::Ok);
    EXPECT_EQ(file(), down + "\nedge=1,2,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\nhalf=1,2,3\n");
    ASSERT_EQ(run("TDaubixFLF > FilterPresets = Down"), StepStatus::Ok);
    ASSERT_EQ(run("TDaubixFLF > matrix = 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,7,0,0"), StepStatus::Ok);
    ASSERT_EQ(run("TDaubixFLF > FilterPresets > Update"), StepStatus::Ok);
    ASSERT_EQ(run("TDaubixFLF > FilterPresets > Delete"), StepStatus::Ok);
    EXPECT_EQ(file(), "edge=1,2,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\nhalf=1,2,3\n");
    EXPECT_FALSE(host.failed);
    EXPECT_EQ(doc.image, test::noise(64, 48, 3));
    ::unsetenv("DAUBIX_HOME");
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
