#include "app/Document.h"
#include "support/TestImages.h"
#include "tools/ToolFamily.h"
#include "tools/ToolsFixture.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace daubix;
using gfx::Point;
using test::Tools;
using tools::Button;
using tools::PointerEvent;

TEST_F(Tools, EveryClickIsOneUndoStepInEveryDrawingMode)
{
    for (const char* mode :
        {"line", "rectangle", "ellipse", "freehand", "star", "floodfill", "blocks", "cube", "nothing"}) {
        doc.toolMode = mode;
        const int before = doc.undo.index();
        click({20, 20});
        EXPECT_EQ(doc.undo.index(), before % 10 + 1) << mode;
    }
}

TEST_F(Tools, ANotXorLineDragLeavesOnlyTheBand)
{
    doc.image = test::noise(40, 30, 3);
    const gfx::Bitmap before = doc.image;
    doc.canvas.pen.mode = gfx::PenMode::NotXor;
    press({2, 3});
    moveTo({20, 10});
    moveTo({30, 20});
    release({30, 20});
    gfx::Bitmap expected = before;
    gfx::Canvas band(expected);
    band.pen.mode = gfx::PenMode::NotXor;
    band.moveTo(2, 3);
    band.lineTo(30, 20);
    EXPECT_EQ(doc.image, expected);
    EXPECT_EQ(doc.canvas.pen.mode, gfx::PenMode::NotXor); // the user's mode is kept

    doc.image = before;
    doc.canvas.pen.mode = gfx::PenMode::Copy;
    drag({2, 3}, {30, 20});
    gfx::Bitmap copied = before;
    gfx::Canvas line(copied);
    line.moveTo(2, 3);
    line.lineTo(30, 20);
    EXPECT_EQ(doc.image, copied);
}

TEST_F(Tools, StatusPanelTwoFollowsThePointer)
{
    moveTo({7, 8});
    EXPECT_EQ(host.statuses.back(), (std::pair<int, std::string>{2, "x=7 y=8"}));
    press({10, 10});
    moveTo({4, 30});
    EXPECT_EQ(host.statuses.back(), (std::pair<int, std::string>{2, "x=4 y=30 w=6 h=20"}));
    const auto count = host.statuses.size();
    moveTo({50, 50}, false, true, true); // Ctrl and Alt: nothing happens
    EXPECT_EQ(host.statuses.size(), count);
}

TEST_F(Tools, ARightPressOnlySetsTheAnchorAndCtrlShiftJumpsToIt)
{
    const gfx::Bitmap before = doc.image;
    const int index = doc.undo.index();
    press({40, 50}, Button::Right);
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_EQ(doc.image, before);
    EXPECT_EQ(engine.state().anchor, (Point{40, 50}));

    press({100, 100}, Button::Left, true, true);
    EXPECT_EQ(engine.state().start, (Point{40, 50}));
    EXPECT_EQ(host.mouseMoves.back(), (Point{40, 50}));
}

TEST_F(Tools, CtrlAltPressTypesThePointIntoTheScriptEditor)
{
    press({12, 34}, Button::Left, false, true, true); // hidden: nothing
    host.editor.show();
    press({12, 34}, Button::Left, false, true, true);
    EXPECT_EQ(host.editor.text(), "12 34 ");
    EXPECT_EQ(doc.undo.index(), 1);
}

TEST_F(Tools, AltReleasesTypeScriptLines)
{
    host.editor.show();
    doc.toolMode = "rectangle";
    press({10, 10});
    moveTo({60, 30});
    release({60, 30}, true);
    EXPECT_EQ(host.editor.text(), "pos 10 10 rectangle 50 20 \r\n");
}

TEST_F(Tools, PhaseChainsAdvanceOnePhasePerRelease)
{
    doc.toolMode = "bezier";
    drag({10, 10}, {100, 10});
    EXPECT_EQ(doc.toolMode, "bezier1");
    drag({30, 60}, {30, 80});
    EXPECT_EQ(doc.toolMode, "bezier2");
    drag({80, 60}, {70, 90});
    EXPECT_EQ(doc.toolMode, "bezier");
    EXPECT_GT(blackPixels(), 60);

    for (const std::string base : {"arc", "chord", "pie"}) {
        doc.toolMode = base;
        drag({10, 10}, {100, 80});
        EXPECT_EQ(doc.toolMode, base + "1");
        click({110, 40});
        EXPECT_EQ(doc.toolMode, base + "2");
        click({50, 0});
        EXPECT_EQ(doc.toolMode, base + "3");
        press({5, 5});
        EXPECT_EQ(doc.toolMode, base);
        release({5, 5});
    }
}

TEST_F(Tools, ShapesCountNestsRectangles)
{
    doc.toolMode = "rectangle";
    doc.shapes.shapesCount = 3;
    drag({0, 0}, {60, 30});
    // (0,0)-(60,30), (10,5)-(50,25), (20,10)-(40,20)
    for (const Point p : {Point{0, 0}, Point{59, 29}, Point{10, 5}, Point{49, 24}, Point{20, 10}, Point{39, 19}})
        EXPECT_EQ(doc.image.pixel(p.x, p.y), gfx::clBlack) << p.x << "," << p.y;
    for (const Point p : {Point{5, 3}, Point{15, 7}, Point{30, 15}})
        EXPECT_EQ(doc.image.pixel(p.x, p.y), gfx::clWhite) << p.x << "," << p.y;
}

TEST_F(Tools, StarsSkipVerticesForFiveButNotSixPoints)
{
    doc.toolMode = "star";
    doc.canvas.brush.setColor(gfx::clRed);
    struct Case {
        int points;
        bool polygonOnly;
        bool centreFilled; // a pentagram's centre lies inside twice, so the alternate fill leaves it
    };
    for (const Case c : {Case{5, false, false}, Case{5, true, true}, Case{6, false, true}, Case{6, true, true}}) {
        doc.image = gfx::Bitmap(200, 200);
        doc.shapes.starPoints = c.points;
        doc.shapes.polygonOnly = c.polygonOnly;
        drag({100, 100}, {100, 20});
        EXPECT_EQ(doc.image.pixel(100, 100) == gfx::clRed, c.centreFilled) << c.points << " " << c.polygonOnly;
        EXPECT_EQ(doc.image.pixel(100, 40), gfx::clRed); // inside the spike or corner of the first vertex
    }
}

TEST_F(Tools, SpirographChecksItsRadii)
{
    doc.toolMode = "spiro";
    doc.image = gfx::Bitmap(300, 200);
    drag({150, 50}, {150, 80});
    EXPECT_EQ(host.messages.back(), "image must be square for spirographs");
    doc.image = gfx::Bitmap(200, 200);
    drag({103, 100}, {140, 100});
    EXPECT_EQ(host.messages.back(), "both radi must be >5");
    drag({160, 100}, {100, 100});
    EXPECT_EQ(host.messages.back(), "sum of radi to large");
    const auto count = host.messages.size();
    const gfx::Bitmap before = doc.image;
    drag({130, 100}, {130, 120});
    EXPECT_EQ(host.messages.size(), count);
    EXPECT_NE(doc.image, before);
}

TEST_F(Tools, SpiralsTakeThirtySixStepsPerTurn)
{
    for (const int count : {1, 3}) {
        doc.toolMode = "spiral";
        doc.shapes.spiralCount = count;
        drag({100, 100}, {180, 100});
        Point p{18000, 10000};
        const Point centre{10000, 10000};
        for (int i = 0; i < 36 * count; ++i)
            p = tools::reducevector(centre, tools::rotate(centre, p, std::numbers::pi / 18), 0.99);
        EXPECT_EQ(doc.canvas.penPos, (Point{p.x / 100, p.y / 100})) << count;
    }
}

TEST_F(Tools, StraightLineTurnsWhenThePointerStraysBeyondTheTolerance)
{
    doc.toolMode = "sline";
    press({10, 100});
    moveTo({20, 100});
    moveTo({30, 100});
    moveTo({30, 105}); // within the tolerance of 5: still horizontal
    EXPECT_EQ(doc.image.pixel(30, 102), gfx::clWhite);
    moveTo({30, 106}); // beyond: vertical at the column reached so far
    EXPECT_EQ(doc.image.pixel(30, 103), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(25, 100), gfx::clBlack);
    release({30, 106});
}

TEST_F(Tools, PolygonNeedsThreeVertices)
{
    doc.toolMode = "polygon";
    doc.canvas.brush.setColor(gfx::clRed);
    click({10, 10});
    drag({10, 10}, {90, 10});
    press({0, 0}, Button::Right);
    EXPECT_EQ(doc.image.pixel(50, 12), gfx::clWhite); // two vertices: nothing filled
    EXPECT_TRUE(engine.state().vertices.empty());
    EXPECT_FALSE(engine.state().buttonDown);

    click({10, 10});
    drag({10, 10}, {90, 10});
    drag({90, 10}, {50, 80});
    press({0, 0}, Button::Right);
    EXPECT_EQ(doc.image.pixel(50, 30), gfx::clRed);
}

TEST_F(Tools, BarsSnapToTheEdges)
{
    doc.toolMode = "bars";
    doc.canvas.brush.setColor(gfx::clBlue);
    drag({30, 5}, {100, 60});
    for (int y = 0; y < 256; ++y)
        EXPECT_EQ(doc.image.pixel(200, y), y < 60 ? gfx::clBlue : gfx::clWhite) << y;
}

TEST_F(Tools, ConeIsCentredOnTheImage)
{
    doc.toolMode = "cone";
    drag({20, 40}, {100, 200}); // m = 10, t = 2 on a 256-pixel-wide image
    EXPECT_EQ(doc.image.pixel(28, 40), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(228, 40), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(27, 40), gfx::clWhite);
    EXPECT_EQ(doc.image.pixel(229, 40), gfx::clWhite);
    EXPECT_EQ(doc.image.pixel(148, 200), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(110, 200), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(150, 200), gfx::clWhite);
}

TEST_F(Tools, BlocksFillTheCellUnderThePointerEvenOnTinyImages)
{
    doc.toolMode = "blocks";
    doc.canvas.brush.setColor(gfx::clGreen);
    click({17, 3}); // cells of 8 x 8
    EXPECT_EQ(doc.image.pixel(16, 0), gfx::clGreen);
    EXPECT_EQ(doc.image.pixel(23, 7), gfx::clGreen);
    EXPECT_EQ(doc.image.pixel(24, 7), gfx::clWhite);
    doc.image = gfx::Bitmap(10, 10); // smaller than 32 blocks: one-pixel cells
    click({4, 4});
    EXPECT_EQ(doc.image.pixel(4, 4), gfx::clGreen);
    EXPECT_EQ(doc.image.pixel(5, 4), gfx::clWhite);
}

TEST_F(Tools, FloodFillTakesTheSurfaceOrStopsAtThePenColourWithAlt)
{
    doc.toolMode = "floodfill";
    doc.canvas.brush.setColor(gfx::clRed);
    doc.canvas.rectangle(10, 10, 50, 50);
    click({30, 30});
    EXPECT_EQ(doc.image.pixel(30, 30), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(5, 5), gfx::clWhite);
    doc.canvas.brush.setColor(gfx::clBlue);
    press({5, 5});
    release({5, 5}, true); // up to the black border
    EXPECT_EQ(doc.image.pixel(5, 5), gfx::clBlue);
    EXPECT_EQ(doc.image.pixel(30, 30), gfx::clRed); // inside the black frame: not reached
}

TEST_F(Tools, WaveLinesPulseThePenWidthWithTheTimer)
{
    doc.toolMode = "waveline";
    press({10, 10});
    EXPECT_EQ(host.timerInterval, 60);
    // 1 .. 19 (19 < 60 div 3 - 1 stops), one tick turning round, 18 .. 1, one tick turning back, 2, ...
    std::vector<int> expected;
    for (int w = 1; w <= 19; ++w)
        expected.push_back(w);
    expected.push_back(19);
    for (int w = 18; w >= 1; --w)
        expected.push_back(w);
    expected.push_back(1);
    expected.push_back(2);
    std::vector<int> widths{doc.canvas.pen.width};
    while (widths.size() < expected.size()) {
        engine.tick();
        widths.push_back(doc.canvas.pen.width);
    }
    EXPECT_EQ(widths, expected);
    release({10, 10});
    EXPECT_EQ(host.timerInterval, 0);
    EXPECT_EQ(doc.canvas.pen.width, 1);
}

TEST_F(Tools, CubesAndSkewRectanglesTakeTwoDrags)
{
    doc.toolMode = "cube";
    drag({20, 60}, {80, 120});
    EXPECT_EQ(doc.toolMode, "cube1");
    drag({90, 100}, {100, 40});
    EXPECT_EQ(doc.toolMode, "cube2");
    EXPECT_EQ(doc.image.pixel(20, 60), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(25, 40), gfx::clBlack); // on the edge from C0 to C0 + (20, -80)
    doc.toolMode = "skewrect";
    drag({150, 150}, {200, 150});
    drag({0, 0}, {220, 200});
    EXPECT_EQ(doc.toolMode, "skewrect2");
    EXPECT_EQ(doc.image.pixel(210, 175), gfx::clBlack); // on the side from (200, 150) to (220, 200)
}

// Only the left, middle and right buttons reach the tools: the others (back, forward) neither push an
// undo step nor draw.
TEST_F(Tools, OtherButtonsNeitherPushNorDraw)
{
    doc.toolMode = "ellipse";
    doc.canvas.pen.width = 5;
    const int index = doc.undo.index();
    engine.press({{40, 40}, Button::None});
    moveTo({60, 60});
    engine.release({{60, 60}, Button::None});
    EXPECT_EQ(doc.undo.index(), index);
    EXPECT_EQ(blackPixels(), 0);
    EXPECT_FALSE(doc.modified);
}

// The first move erases a band from the press point to itself that was never drawn; with a wide pen
// such a band would be a dot left at the press point. None is drawn, so the centre stays white.
TEST_F(Tools, WidePensLeaveNoDotWhereTheGestureBegan)
{
    for (const char* mode : {"star", "spiral"}) {
        doc.image.fill(gfx::clWhite);
        doc.toolMode = mode;
        doc.canvas.pen.width = 3;
        press({128, 128});
        moveTo({170, 140});
        moveTo({190, 128});
        release({190, 128});
        EXPECT_EQ(doc.image.pixel(128, 128), gfx::clWhite) << mode;
        EXPECT_GT(blackPixels(), 100) << mode;
    }
}
