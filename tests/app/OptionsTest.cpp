#include "app/Options.h"

#include "app/ColorList.h"
#include "app/Command.h"
#include "app/Document.h"
#include "app/IniFile.h"
#include "app/Patterns.h"
#include "app/WindowPlacement.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <set>

using namespace daubix;
using app::Document;
using test::FakeHost;

class OptionsPrompts : public ::testing::Test {
protected:
    Document doc;
    FakeHost host;
};

TEST_F(OptionsPrompts, BlocksIgnoresValuesOutsideTwoToFiftyAndKeepsItOnText)
{
    host.answers = {"51", "2", "many", std::nullopt};
    app::askBlocks(doc, host);
    EXPECT_EQ(doc.shapes.blocksCount, 32);
    EXPECT_EQ(host.prompts.back(), "Number of blocks (2..50):");
    EXPECT_EQ(host.initials.back(), "32");
    app::askBlocks(doc, host);
    EXPECT_EQ(doc.shapes.blocksCount, 2);
    app::askBlocks(doc, host);
    EXPECT_EQ(doc.shapes.blocksCount, 2);
    app::askBlocks(doc, host); // cancelled: the input box answers its own text
    EXPECT_EQ(doc.shapes.blocksCount, 2);
}

TEST_F(OptionsPrompts, FallBackAsEachPromptStates)
{
    struct Case {
        void (*ask)(Document&, app::Host&);
        const char* prompt;
        const char* answer;
        double (*read)(const Document&);
        double expected;
    };
    auto shapes = [](const Document& d) { return static_cast<double>(d.shapes.shapesCount); };
    auto spirals = [](const Document& d) { return static_cast<double>(d.shapes.spiralCount); };
    auto factor = [](const Document& d) { return d.shapes.spiralFactor; };
    auto tolerance = [](const Document& d) { return static_cast<double>(d.shapes.lineTolerance); };
    auto rounding = [](const Document& d) { return static_cast<double>(d.shapes.rounding); };
    const Case cases[] = {
        {app::askShapes, "Number of Shapes(1..25)", "0", shapes, 1},
        {app::askShapes, "Number of Shapes(1..25)", "7", shapes, 7},
        {app::askSpirals, "Spirals (3..50)", "2", spirals, 2},
        {app::askSpirals, "Spirals (3..50)", "51", spirals, 3},
        {app::askSpiralFactor, "Spiral factor (0.1..0.99)", "0.5", factor, 0.5},
        {app::askSpiralFactor, "Spiral factor (0.1..0.99)", "0,7", factor, 0.7},
        {app::askSpiralFactor, "Spiral factor (0.1..0.99)", "1", factor, 0.99},
        {app::askLineTolerance, "Enter Straight Line Tolerance (5..50)", "4", tolerance, 5},
        {app::askLineTolerance, "Enter Straight Line Tolerance (5..50)", "12", tolerance, 12},
        {app::askRounding, "Enter Rounding", "-40", rounding, -40},
        {app::askRounding, "Enter Rounding", "round", rounding, 10},
    };
    for (const Case& c : cases) {
        Document d;
        FakeHost h;
        h.answers = {c.answer};
        c.ask(d, h);
        ASSERT_EQ(h.prompts.size(), 1u);
        EXPECT_EQ(h.prompts[0], c.prompt);
        EXPECT_EQ(h.captions[0], "Daubix");
        EXPECT_DOUBLE_EQ(c.read(d), c.expected) << c.prompt << " <- " << c.answer;
    }
}

TEST_F(OptionsPrompts, TurnsKeepTheValueOnTextAndFallToTwentyOutOfRange)
{
    host.answers = {"abc", "101", "55"};
    app::askSpiroTurns(doc, host);
    EXPECT_EQ(doc.shapes.spiroTurns, 40);
    EXPECT_EQ(host.captions[0], "Daubix SpiroGraph");
    EXPECT_EQ(host.prompts[0], "Enter Turns (1-100):");
    app::askSpiroTurns(doc, host);
    EXPECT_EQ(doc.shapes.spiroTurns, 20);
    app::askSpiroTurns(doc, host);
    EXPECT_EQ(doc.shapes.spiroTurns, 55);
}

TEST_F(OptionsPrompts, OtherLineWidthFallsToOneAboveTheImageHeight)
{
    doc.image = gfx::Bitmap(300, 100);
    host.answers = {"40", "101", "x"};
    app::askLineWidth(doc, host);
    EXPECT_EQ(doc.canvas.pen.width, 40);
    EXPECT_EQ(host.prompts[0], "Enter new line width:");
    app::askLineWidth(doc, host);
    EXPECT_EQ(doc.canvas.pen.width, 1);
    doc.canvas.pen.width = 9;
    app::askLineWidth(doc, host);
    EXPECT_EQ(doc.canvas.pen.width, 1);
}

TEST_F(OptionsPrompts, BlockPenDividesTheImageWidth)
{
    app::blockPen(doc); // 256 div 32
    EXPECT_EQ(doc.canvas.pen.width, 8);
}

TEST_F(OptionsPrompts, PenModesSetTheModeAndStatusPanelOne)
{
    app::CommandContext ctx{doc, host};
    std::set<gfx::PenMode> modes;
    for (const app::CommandRow& row : app::optionCommandRows()) {
        if (!row.path.starts_with("penmodes > "))
            continue;
        app::runCommand(ctx, row);
        modes.insert(doc.canvas.pen.mode);
        EXPECT_EQ(app::penModeName(doc.canvas.pen.mode), app::caption(row));
        EXPECT_EQ(host.statuses.back(), (std::pair<int, std::string>{1, "Pen=" + std::string(app::caption(row))}));
    }
    EXPECT_EQ(modes.size(), 15u); // every binary raster operation but the one that leaves the pixel alone
    EXPECT_FALSE(modes.contains(gfx::PenMode::Nop));
}

TEST(ColorList, HoldsTheShippedItemsExactly)
{
    const auto items = app::colorListItems();
    ASSERT_EQ(items.size(), 139u);
    EXPECT_EQ(items.front(), "azure=F0FFFF");
    EXPECT_EQ(items[3], "lighcyan=E0FFFF");
    EXPECT_EQ(items.back(), "black=000000");
    for (const std::string_view item : items)
        EXPECT_TRUE(app::colorListColor(item)) << item;
    EXPECT_EQ(*app::colorListColor("navy=000080"), gfx::clNavy);
    EXPECT_EQ(app::colorListName("lawngree=7CFC00"), "lawngree");
    EXPECT_FALSE(app::colorListColor("broken=12"));
}

TEST(ColorList, ShiftReleaseSetsThePenAndAPlainOneTheBrush)
{
    Document doc;
    FakeHost host;
    int navy = 0;
    while (app::colorListItems()[static_cast<std::size_t>(navy)] != "navy=000080")
        ++navy;
    app::colorListRelease(doc, host, navy, true);
    EXPECT_EQ(doc.canvas.pen.color, gfx::clNavy);
    EXPECT_EQ(doc.firstColor, gfx::clNavy);
    EXPECT_EQ(host.statuses.back(), (std::pair<int, std::string>{3, "navy"}));
    app::colorListRelease(doc, host, navy, false);
    EXPECT_EQ(doc.canvas.brush.color(), gfx::clNavy);
    EXPECT_EQ(doc.canvas.brush.style(), gfx::BrushStyle::Solid);
    app::colorListRelease(doc, host, 500, false); // no such item: nothing happens
    EXPECT_EQ(host.statuses.size(), 2u);
}

TEST(Patterns, UpdateShrinksTheImageIntoItsSlotAndChoosesIt)
{
    Document doc;
    doc.image.fill(gfx::clRed);
    app::updatePattern(doc, 3);
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(
            doc.patternStrip.pixel(x, 4), (x >= 24 && x < 32) ? gfx::clRed : app::builtInPatternStrip().pixel(x, 4))
            << x;
    ASSERT_TRUE(doc.canvas.brush.pattern());
    EXPECT_EQ(doc.canvas.brush.pattern()->pixel(5, 5), gfx::clRed);
    doc.canvas.fillRect({0, 0, 4, 4});
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clRed);
}

TEST(Patterns, EditStretchesThePatternOverTheImageOnlyWhenThereIsOne)
{
    Document doc;
    app::editPattern(doc);
    EXPECT_EQ(doc.image, gfx::Bitmap(256, 256));
    app::choosePattern(doc, 0); // the fine check
    app::editPattern(doc);
    EXPECT_EQ(doc.image.pixel(0, 0), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(32, 0), gfx::clWhite); // each pattern pixel becomes 32 x 32
}

TEST(Placement, FirstRunMaximisesAndNormalPlacementRoundTrips)
{
    app::IniFile ini;
    EXPECT_TRUE(app::readMainPlacement(ini).maximized);
    app::writeMainPlacement(ini, {false, 10, 0x20, 640, 480}, false);
    const app::IniFile reread = app::IniFile::parse(ini.text());
    const app::Placement p = app::readMainPlacement(reread);
    EXPECT_FALSE(p.maximized);
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, 32);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
}

TEST(Placement, MaximisedWritesOnlyTheStateAndMinimisedNothing)
{
    app::IniFile ini = app::IniFile::parse("[Window]\nState=normal\nLeft=5\nTop=6\nWidth=300\nHeight=200\n");
    app::writeMainPlacement(ini, {true, 1, 2, 3, 4}, false);
    EXPECT_TRUE(app::readMainPlacement(ini).maximized);
    EXPECT_EQ(ini.readInt("Window", "Left", -1), 5); // older values stay, and are ignored
    const std::string before = ini.text();
    app::writeMainPlacement(ini, {false, 1, 2, 3, 4}, true);
    EXPECT_EQ(ini.text(), before);
}

TEST(Placement, ValuesReadHexadecimalAndFallBack)
{
    const app::IniFile ini = app::IniFile::parse("[window]\nstate=Normal\nleft=0x10\nTop=abc\n\n[TDaubixScriptF]"
                                                 "\nState=0\nLeft=0X20\nWidth=x\n[Odd]\nState=huh\n");
    const app::Placement p = app::readMainPlacement(ini);
    EXPECT_FALSE(p.maximized);
    EXPECT_EQ(p.left, 16);
    EXPECT_EQ(p.top, 0);
    EXPECT_EQ(p.width, 500);
    EXPECT_EQ(p.height, 400);
    const app::Placement design{false, 100, 120, 400, 300};
    const app::Placement s = app::TzoFormIni::read(ini, "TDaubixScriptF", design);
    EXPECT_EQ(s.left, 32);
    EXPECT_EQ(s.top, 120);
    EXPECT_EQ(s.width, 400);
    const app::IniFile other = app::IniFile::parse("[Window]\nState=huh\n");
    EXPECT_EQ(app::readMainPlacement(other).width, 694); // unknown state: the design placement
    app::IniFile written;
    app::TzoFormIni::write(written, "TBumpEditF", {true, 1, 2, 3, 4});
    EXPECT_EQ(written.text(), "[TBumpEditF]\nState=1\n\n");
}
