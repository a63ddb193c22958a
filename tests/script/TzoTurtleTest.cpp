#include "script/TzoTurtle.h"

#include "gfx/Canvas.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <optional>

using namespace daubix;
using script::TzoTurtle;

namespace {

// A turtle on a white 200 x 100 image whose host reports the image bounds.
class TurtleTest : public ::testing::Test {
protected:
    TurtleTest()
    {
        turtle.Canvas = &canvas;
        turtle.OnRequestImageSize = [this](gfx::Rect& r) { r = {0, 0, image.width() - 1, image.height() - 1}; };
    }

    script::RunResult run(std::string_view text) { return turtle.Run(text); }

    // "x y heading up|down"
    std::string state() const
    {
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, "%d %d %g %s", turtle.Position.x, turtle.Position.y, turtle.Heading,
            turtle.PenDown ? "down" : "up");
        return buffer;
    }

    int blackPixels() const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == gfx::clBlack;
        return n;
    }

    gfx::Bitmap image{200, 100};
    gfx::Canvas canvas{image};
    TzoTurtle turtle;
};

struct Case {
    const char* script;
    const char* status;
    int position;
    std::vector<std::int32_t> stack;
    const char* state = nullptr; // "x y heading up|down", or null when it does not matter
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << "'" << c.script << "'";
}

class ScriptCases
    : public TurtleTest
    , public ::testing::WithParamInterface<Case> { };

TEST_P(ScriptCases, EndsWithStatusPositionStackAndTurtle)
{
    const Case& c = GetParam();
    const script::RunResult result = run(c.script);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.position, c.position);
    EXPECT_EQ(turtle.numberStack(), c.stack);
    if (c.state) {
        EXPECT_EQ(state(), c.state);
    }
}

// The scanner, the readers and the control words.
INSTANTIATE_TEST_SUITE_P(Scanning, ScriptCases,
    ::testing::Values(Case{"", "empty script", 0, {}}, Case{"  \r\n \t ", "ready", 8, {}},
        Case{"1 2 3", "ready", 6, {1, 2, 3}},
        // tabs count one and CR LF two; a lone LF sticks to its token
        Case{"go\t5\r\nfoo", "symbol foo is not defined", 10, {}, "5 0 0 up"},
        Case{"5\nx", "symbol 5\nx is not defined", 4, {}}, Case{"go 10]", "invalid integer in go", 7, {}},
        // literals: hexadecimal forms, the 32-bit limits, colour names in any case
        Case{"$FF x10 X10 0x10 0XfF -2147483648 +7", "ready", 37, {255, 16, 16, 16, 255, INT32_MIN, 7}},
        Case{"$FFFFFFFF clRed CLRED clnone clBtnFace", "ready", 39,
            {-1, 255, 255, 0x1FFFFFFF, static_cast<std::int32_t>(0x8000000F)}},
        Case{"2147483648", "symbol 2147483648 is not defined", 11, {}},
        Case{"$123456789", "symbol $123456789 is not defined", 11, {}},
        Case{"20 10 pos = =", "ready", 14, {}, "10 20 0 up"},
        // comments and blocks
        Case{"{ note } 5", "ready", 11, {5}}, Case{"{ a }b 6", "symbol b is not defined", 7, {}},
        Case{"{note}", "symbol {note} is not defined", 7, {}}, Case{"1 { no end", "missing } after comment", 11, {1}},
        Case{"[ p go 5", "missing ] after block", 9, {}}, Case{"]", "stack underflow", 2, {}},
        Case{"loop", "stack underflow", 5, {}},
        // procedures before and after their definition; the search needs the space after the name
        Case{"[ sq do 4 go 50 right 90 loop ] down sq", "ready", 40, {}, "0 0 -360 down"},
        Case{"down sq [ sq do 4 go 50 right 90 loop ]", "ready", 40, {}, "0 0 -360 down"},
        Case{"squa [ square go 1 ]", "symbol squa is not defined", 5, {}},
        Case{"[ p inc p ] 0 p", "stack overflow", 10, {255}},
        // counted loops, "=loop", and a count below 1 running once
        Case{"do 3 =loop loop", "ready", 16, {3, 2, 1}}, Case{"do 2 do 2 =loop loop loop", "ready", 26, {2, 1, 2, 1}},
        Case{"do 0 7 loop", "ready", 12, {7}}, Case{"do -5 7 loop", "ready", 13, {7}},
        Case{"do x", "number expected in do", 5, {}}, Case{"=loop", "stack underflow in =loop", 6, {}},
        // the conditional
        Case{"0 if go 50", "ready", 11, {50}, "0 0 0 up"}, Case{"1 if go 50", "ready", 11, {}, "50 0 0 up"},
        Case{"0 if", "symbol expected after if", 5, {}}, Case{"if", "number stack underflow", 3, {}},
        // variables against literals and commands
        Case{"5 in x x", "ready", 9, {5}}, Case{"5 in X x", "ready", 9, {5}},
        Case{"GO 10", "symbol GO is not defined", 3, {}}, Case{"7 in 3 go 3 3", "ready", 14, {3}, "7 0 0 up"},
        Case{"9 in go go go", "ready", 14, {}, "9 0 0 up"}, Case{"5 in a=b", "invalid variable name a=b", 9, {}}));

// Every command: an effect, and a rejection with its message.
INSTANTIATE_TEST_SUITE_P(Commands, ScriptCases,
    ::testing::Values(Case{"pos 3 4 move 2 -1 =posx =posy", "ready", 30, {5, 3}},
        Case{"pos 3 x", "invalid integer in pos", 8, {}}, Case{"move x", "invalid integer in move", 7, {}},
        Case{"angle 90 go 10", "ready", 15, {}, "0 -10 90 up"}, Case{"go", "invalid integer in go", 3, {}},
        Case{"lineto 10 5", "ready", 12, {}, "10 5 0 up"}, Case{"lineto 1", "invalid integer in lineto", 9, {}},
        Case{"angle 10 turn 5 left 5 right 30 =angle", "ready", 39, {-10}},
        Case{"angle q", "invalid integer in angle", 8, {}}, Case{"turn q", "invalid integer in turn", 7, {}},
        Case{"left q", "invalid integer in left", 7, {}}, Case{"right q", "invalid integer in right", 8, {}},
        Case{"down", "ready", 5, {}, "0 0 0 down"}, Case{"down up", "ready", 8, {}, "0 0 0 up"},
        Case{"pos 4 6 mark pos 0 0 gomark =markx =marky", "ready", 42, {4, 6}, "4 6 0 up"},
        Case{"angle 45 markangle angle 0 gomarkangle =angle", "ready", 46, {45}},
        Case{"pos 50 60 goleft", "ready", 17, {}, "0 60 0 up"}, Case{"pos 50 60 gotop", "ready", 16, {}, "50 0 0 up"},
        Case{"pos 50 60 goright", "ready", 18, {}, "199 60 0 up"},
        Case{"pos 50 60 gobottom", "ready", 19, {}, "50 99 0 up"}, Case{"gocenter", "ready", 9, {}, "99 49 0 up"},
        Case{"=left =top =right =bottom", "ready", 26, {0, 0, 199, 99}}, Case{"pensize 5 =pensize", "ready", 19, {5}},
        Case{"pensize z", "invalid integer in pensize", 10, {}},
        Case{"pencolor clRed =pencolor pencolor $0000FF =pencolor 7 pencolor = =pencolor", "ready", 75, {255, 255, 7}},
        Case{"pencolor clNoSuch", "invalid color in pencolor", 18, {}},
        Case{"5 in x pencolor x", "invalid color in pencolor", 18, {}},
        Case{"pencolor $FF addpencolor $01 =pencolor", "ready", 39, {0x100}},
        Case{"addpencolor q", "invalid color in addpencolor", 14, {}},
        Case{"brushcolor 5 addbrushcolor $FFFFFFFF =brushcolor", "ready", 49, {4}},
        Case{"brushcolor q", "invalid color in brushcolor", 13, {}},
        Case{"addbrushcolor q", "invalid color in addbrushcolor", 16, {}},
        Case{"penmode bogus", "invalid pen mode", 14, {}}, Case{"penmode", "invalid pen mode", 8, {}},
        Case{"copymode srcpaint", "invalid copy mode", 18, {}}, Case{"textsize 9 =textsize", "ready", 21, {9}},
        Case{"textsize big", "invalid integer in fontsize", 13, {}},
        Case{"textcolor clLime =textcolor", "ready", 28, {0x00FF00}},
        Case{"textcolor q", "invalid color in textcolor", 12, {}}, Case{"textfont Arial", "missing fontname", 15, {}},
        Case{"text \"\" 5", "invalid text in text", 8, {}}, Case{"textout hello", "invalid text in textout", 14, {}},
        Case{"rectangle 5 q", "invalid integer in rectangle", 14, {}},
        Case{"roundrect 5 5 5", "invalid integer in roundrect", 16, {}},
        Case{"ellipse 5", "invalid integer in ellipse", 10, {}},
        Case{"diamond q", "invalid integer in diamond", 10, {}},
        Case{"polygon 5 q", "invalid integer in polygon", 12, {}},
        Case{"polygon 2 50", "need minimum of 3 sides in polygon", 13, {}},
        Case{"polygon 0 50", "0 not allowed in polygon", 13, {}},
        Case{"polygon 5 0", "0 not allowed in polygon", 12, {}},
        Case{"polygon -4 10", "need minimum of 3 sides in polygon", 14, {}},
        Case{"star 13 40", "maximum 12 sides exceeded in star", 11, {}},
        Case{"star 2 0", "0 not allowed in star", 9, {}}, Case{"star 2 5", "need minimum of 3 sides in star", 9, {}},
        Case{"star q", "invalid integer in star", 7, {}},
        Case{"pos 10 10 curve 10 0 20 10 30 40", "ready", 33, {}, "40 50 0 up"},
        Case{"curve 1 2 3 4 5", "invalid parameter in curve", 16, {}},
        Case{"flood 1 x", "invalid integer in flood", 10, {}}, Case{"area 1 2 3", "invalid integer in area", 11, {}},
        Case{"background \"\"", "invalid text in background", 14, {}},
        Case{"filter", "invalid text in filter", 7, {}}));

// Variables and the calculator words, including the wrap-around where 32 bits overflow.
INSTANTIATE_TEST_SUITE_P(Arithmetic, ScriptCases,
    ::testing::Values(Case{"10 in n 3 insub n n", "ready", 20, {3}}, Case{"10 in n 3 indiv n n", "ready", 20, {7}},
        Case{"10 in n 3 inadd n 4 inmul n n", "ready", 30, {52}},
        Case{"1 in n ininc n ininc n indec N n", "ready", 33, {2}},
        Case{"0 insub n", "division by zero not allowed in in-", 8, {}}, Case{"3 inadd m", "m does not exist", 10, {}},
        Case{"ininc m", "m does not exist", 8, {}}, Case{"in x", "number stack underflow", 3, {}},
        Case{"5 in", "token expected", 5, {}}, Case{"ininc", "token expected", 6, {}},
        Case{"7 3 + 7 3 - 7 3 * 7 3 /", "ready", 24, {10, 4, 21, 2}}, Case{"-7 2 /", "ready", 7, {-3}},
        Case{"1 7 0 /", "division by zero", 8, {1}}, Case{"5 +", "number stack underflow", 4, {}},
        Case{"3 9 max 3 9 min 1 2 swap 4 dup 8 drop", "ready", 38, {9, 3, 2, 1, 4, 4}},
        Case{"5 neg -5 neg 5 abs 6 sqr 6 inc 6 dec", "ready", 37, {5, 5, -5, 36, 7, 5}},
        Case{"2 sqrt 3 sqrt 16 sqrt", "ready", 22, {1, 2, 4}}, Case{"0 sqrt", "can not take sqrt of 0", 7, {}},
        Case{"-4 sqrt", "can not take sqrt of a negative number", 8, {}},
        Case{"2 1 .gt 1 1 .gt 1 1 .ge 1 2 .lt 2 2 .le 3 3 .eq 3 3 .ne", "ready", 56, {1, 0, 1, 1, 1, 1, 0}},
        Case{"2 0 .and 2 3 .and 0 0 .or 0 4 .or 0 .not 9 .not", "ready", 48, {0, 1, 0, 1, 1, 0}},
        Case{"2147483647 1 + -2147483648 1 - 65536 sqr -2147483648 -1 / -2147483648 neg", "ready", 74,
            {INT32_MIN, INT32_MAX, 0, INT32_MIN, INT32_MIN}},
        Case{"2147483647 in v 1 inadd v v", "ready", 28, {INT32_MIN}}));

TEST_F(TurtleTest, WithoutACanvasNothingRuns)
{
    turtle.Canvas = nullptr;
    const script::RunResult result = run("1 2 3");
    EXPECT_EQ(result.status, "#Error: Canvas not assigned");
    EXPECT_EQ(result.position, 0);
    EXPECT_TRUE(turtle.numberStack().empty());
}

TEST_F(TurtleTest, TheNumberStackCarriesOverAndHolds255Values)
{
    EXPECT_EQ(run("do 200 1 loop").status, "ready");
    EXPECT_EQ(run("do 55 2 loop").status, "ready");
    ASSERT_EQ(turtle.numberStack().size(), 255u);
    EXPECT_EQ(turtle.numberStack()[199], 1);
    EXPECT_EQ(turtle.numberStack()[200], 2);
    const script::RunResult full = run("3");
    EXPECT_EQ(full.status, "number stack overflow");
    EXPECT_EQ(full.position, 2);
    EXPECT_EQ(run("=posx").status, "number stack overflow");
    EXPECT_EQ(run("drop 3").status, "ready");
    EXPECT_EQ(turtle.numberStack().back(), 3);
}

TEST_F(TurtleTest, TurtleStateCarriesOverButVariablesDoNot)
{
    ASSERT_EQ(run("pos 5 6 angle 30 down 4 in v").status, "ready");
    EXPECT_EQ(state(), "5 6 30 down");
    EXPECT_EQ(run("v").status, "symbol v is not defined");
}

TEST_F(TurtleTest, ProceduresFollowTextEditsBetweenRuns)
{
    ASSERT_EQ(run("[ p 1 ] p").status, "ready");
    ASSERT_EQ(run("[ p 2 ] p").status, "ready");
    EXPECT_EQ(turtle.numberStack(), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(TurtleTest, ImageBoundsNeedAHost)
{
    turtle.OnRequestImageSize = nullptr;
    for (const char* word :
        {"goleft", "gotop", "goright", "gobottom", "gocenter", "=left", "=top", "=right", "=bottom"})
        EXPECT_EQ(run(word).status, std::string("error in ") + word);
}

TEST_F(TurtleTest, ModesAndSettingsStayOnTheCanvas)
{
    const std::pair<const char*, gfx::PenMode> penModes[] = {{"penmode XOR", gfx::PenMode::Xor},
        {"penmode xor", gfx::PenMode::Xor}, {"penmode black", gfx::PenMode::Black},
        {"penmode MergePenNot", gfx::PenMode::MergePenNot}, {"penmode nop", gfx::PenMode::Nop}};
    for (const auto& [script, mode] : penModes) {
        ASSERT_EQ(run(script).status, "ready") << script;
        EXPECT_EQ(canvas.pen.mode, mode) << script;
    }
    const std::pair<const char*, gfx::Rop3> copyModes[] = {{"copymode scrpaint", gfx::kSrcPaint},
        {"copymode SRCAND", gfx::kSrcAnd}, {"copymode whiteness", gfx::kWhiteness}};
    for (const auto& [script, mode] : copyModes) {
        ASSERT_EQ(run(script).status, "ready") << script;
        EXPECT_EQ(canvas.copyMode, mode) << script;
    }
    ASSERT_EQ(run("bsclear").status, "ready");
    EXPECT_EQ(canvas.brush.style(), gfx::BrushStyle::Clear);
    ASSERT_EQ(run("bssolid").status, "ready");
    EXPECT_EQ(canvas.brush.style(), gfx::BrushStyle::Solid);
    ASSERT_EQ(run("textfont \"Liberation Serif\" bold italic underline").status, "ready");
    EXPECT_EQ(canvas.font.name, "Liberation Serif");
    EXPECT_TRUE(canvas.font.bold && canvas.font.italic && canvas.font.underline);
    ASSERT_EQ(run("normal").status, "ready");
    EXPECT_FALSE(canvas.font.bold || canvas.font.italic || canvas.font.underline);
}

TEST_F(TurtleTest, DefaultResetsPartOfTheState)
{
    ASSERT_EQ(run("pos 5 5 angle 30 down pensize 3 penmode xor pencolor 255 brushcolor 0 bsclear copymode srcand "
                  "mark area 1 2 3 4 default =posx =posy =angle =pencolor =brushcolor =markx =marky")
                  .status,
        "ready");
    EXPECT_EQ(turtle.numberStack(), (std::vector<std::int32_t>{0, 0, 0, 0, 0xFFFFFF, 0, 0}));
    EXPECT_FALSE(turtle.PenDown);
    EXPECT_EQ(canvas.copyMode, gfx::kSrcCopy);
    EXPECT_EQ(canvas.pen.width, 3);
    EXPECT_EQ(canvas.pen.mode, gfx::PenMode::Xor);
    EXPECT_EQ(canvas.brush.style(), gfx::BrushStyle::Clear);
    EXPECT_EQ(turtle.Area.right, 0);
}

TEST_F(TurtleTest, HostRequestsCarryTheirNames)
{
    std::vector<std::string> asked;
    turtle.OnRequestBackGround = [&](const std::string& n) { asked.push_back("background " + n); };
    turtle.OnRequestFilter = [&](const std::string& n) { asked.push_back("filter " + n); };
    ASSERT_EQ(run("background \"Sunset sky\" filter \"trace\"").status, "ready");
    EXPECT_EQ(asked, (std::vector<std::string>{"background Sunset sky", "filter trace"}));
    EXPECT_EQ(turtle.BackgroundName, "Sunset sky");
    EXPECT_EQ(turtle.FilterName, "trace");
}

TEST_F(TurtleTest, ATextArgumentScansAheadToTheNextQuotes)
{
    // The reader skips "2 go" on its way to the quotes.
    ASSERT_EQ(run("textfont 2 go \"Liberation Mono\" 4").status, "ready");
    EXPECT_EQ(canvas.font.name, "Liberation Mono");
    EXPECT_EQ(turtle.numberStack(), std::vector<std::int32_t>{4});
    EXPECT_EQ(state(), "0 0 0 up");
}

TEST_F(TurtleTest, HostCanCancelARun)
{
    int asked = 0;
    turtle.Cancelled = [&] { return ++asked == 3; };
    const script::RunResult result = run("do 2000000000 1 drop loop");
    EXPECT_EQ(result.status, "run cancelled");
    EXPECT_EQ(asked, 3);
    asked = 0;
    EXPECT_EQ(run("polygon 2000000000 1").status, "run cancelled");
    EXPECT_EQ(state(), "0 0 0 up");
}

// Drawing, checked by pixels.

TEST_F(TurtleTest, ASquareOfForwardMoves)
{
    ASSERT_EQ(run("pos 10 10 down do 4 go 20 right 90 loop").status, "ready");
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool border = x >= 10 && x <= 30 && y >= 10 && y <= 30 && (x == 10 || x == 30 || y == 10 || y == 30);
            ASSERT_EQ(image.pixel(x, y), border ? gfx::clBlack : gfx::clWhite) << x << "," << y;
        }
}

TEST_F(TurtleTest, ATriangleRoundsItsVertices)
{
    // Vertices (50, 50), (60, 50) and (55, 59): 10 sin 120 = 8.66 rounds to 9.
    ASSERT_EQ(run("pos 50 50 down do 3 go 10 right 120 loop").status, "ready");
    EXPECT_EQ(state(), "50 50 -360 down");
    for (const gfx::Point p : {gfx::Point{50, 50}, gfx::Point{60, 50}, gfx::Point{55, 59}})
        EXPECT_EQ(image.pixel(p.x, p.y), gfx::clBlack) << p.x << "," << p.y;
    EXPECT_EQ(image.pixel(55, 53), gfx::clWhite);
    EXPECT_EQ(image.pixel(55, 60), gfx::clWhite);
}

TEST_F(TurtleTest, MovesDrawOnlyWithThePenDown)
{
    ASSERT_EQ(run("pos 5 5 go 30 move 0 10 gomark").status, "ready");
    EXPECT_EQ(blackPixels(), 0);
    ASSERT_EQ(run("pos 5 5 lineto 10 0").status, "ready");
    EXPECT_EQ(blackPixels(), 10); // the end point is not painted
    ASSERT_EQ(run("pos 50 50 polygon 4 20").status, "ready");
    EXPECT_FALSE(turtle.PenDown);
    EXPECT_GT(blackPixels(), 10 + 60);
}

TEST_F(TurtleTest, FiguresLeaveTheTurtleWhereItWas)
{
    for (const char* script :
        {"pos 100 50 angle 17 star 5 40", "pos 100 50 angle 17 polygon 7 20", "pos 100 50 angle 17 star 12 10"}) {
        ASSERT_EQ(run(script).status, "ready") << script;
        EXPECT_EQ(state(), "100 50 17 up") << script;
    }
    ASSERT_EQ(run("pos 100 50 angle 17 diamond 20").status, "ready");
    EXPECT_EQ(state(), "100 50 -343 up");
}

TEST_F(TurtleTest, ShapesUsePenAndBrush)
{
    ASSERT_EQ(
        run("brushcolor clRed pos 10 10 rectangle 20 10 pos 50 10 ellipse 20 20 pos 100 10 roundrect 30 30 8 8").status,
        "ready");
    EXPECT_EQ(image.pixel(10, 10), gfx::clBlack);
    EXPECT_EQ(image.pixel(29, 19), gfx::clBlack);
    EXPECT_EQ(image.pixel(30, 20), gfx::clWhite); // right and bottom edges are exclusive
    EXPECT_EQ(image.pixel(20, 15), gfx::clRed);
    EXPECT_EQ(image.pixel(60, 20), gfx::clRed);
    EXPECT_EQ(image.pixel(50, 10), gfx::clWhite);
    EXPECT_EQ(image.pixel(115, 25), gfx::clRed);
    EXPECT_EQ(image.pixel(100, 10), gfx::clWhite);
}

TEST_F(TurtleTest, FloodFillsTheSurfaceUnderThePoint)
{
    ASSERT_EQ(run("pos 10 10 rectangle 20 20 brushcolor clBlue pos 0 0 flood 15 15").status, "ready");
    EXPECT_EQ(image.pixel(15, 15), gfx::clBlue);
    EXPECT_EQ(image.pixel(11, 28), gfx::clBlue);
    EXPECT_EQ(image.pixel(5, 5), gfx::clWhite);
    EXPECT_EQ(run("flood 5000 -5000").status, "ready"); // off the image: nothing
}

TEST_F(TurtleTest, CopyTakesTheAreaToThePositionWithTheCopyMode)
{
    ASSERT_EQ(run("brushcolor clRed pos 0 0 rectangle 4 4 area 0 0 4 4 pos 50 50 copy").status, "ready");
    EXPECT_EQ(image.pixel(50, 50), gfx::clBlack);
    EXPECT_EQ(image.pixel(52, 52), gfx::clRed);
    EXPECT_EQ(image.pixel(54, 54), gfx::clWhite);
    ASSERT_EQ(run("copymode dstinvert pos 50 50 copy").status, "ready");
    EXPECT_EQ(image.pixel(52, 52), 0xFFFF00u);
}

TEST_F(TurtleTest, ACurveEndsAtItsLastPoint)
{
    ASSERT_EQ(run("pos 10 50 curve 20 -40 60 40 80 0").status, "ready");
    EXPECT_EQ(state(), "90 50 0 up");
    EXPECT_EQ(image.pixel(10, 50), gfx::clBlack);
    EXPECT_GT(blackPixels(), 80);
}

// The box of the pixels in a colour, or nothing.
std::optional<gfx::Rect> inkBox(const gfx::Bitmap& image, gfx::Color ink)
{
    std::optional<gfx::Rect> box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == ink) {
                if (!box)
                    box = gfx::Rect{x, y, x + 1, y + 1};
                box->left = std::min(box->left, x);
                box->top = std::min(box->top, y);
                box->right = std::max(box->right, x + 1);
                box->bottom = std::max(box->bottom, y + 1);
            }
    return box;
}

TEST_F(TurtleTest, TextTurnsWithTheHeadingOverATransparentBackground)
{
    int repaints = 0;
    turtle.OnRepaintRequest = [&] { ++repaints; };
    ASSERT_EQ(run("textfont \"Liberation Sans\" textsize 15 textcolor clBlue brushcolor clRed pos 20 30 "
                  "text \"Hello\"")
                  .status,
        "ready");
    EXPECT_EQ(repaints, 1);
    const auto level = inkBox(image, gfx::clBlue);
    ASSERT_TRUE(level);
    EXPECT_FALSE(inkBox(image, gfx::clRed)); // no background
    // 15 points are 20 pixels: the cell, not the em, is 20 pixels tall.
    EXPECT_GE(level->left, 20);
    EXPECT_GE(level->top, 30);
    EXPECT_LE(level->bottom, 30 + 20);
    EXPECT_GT(level->width(), level->height());

    image.fill(gfx::clWhite);
    ASSERT_EQ(run("pos 100 90 angle 90 text \"Hello\"").status, "ready");
    const auto upward = inkBox(image, gfx::clBlue);
    ASSERT_TRUE(upward);
    EXPECT_GE(upward->left, 100);
    EXPECT_LE(upward->bottom, 91);
    EXPECT_GT(upward->height(), upward->width());
    EXPECT_NEAR(upward->height(), level->width(), 2);
    EXPECT_EQ(state(), "100 90 90 up"); // the turtle does not move
}

TEST_F(TurtleTest, TextOutFillsItsCellWithTheBrush)
{
    ASSERT_EQ(run("textsize 12 textcolor clBlue brushcolor clRed pos 10 10 textout \"Hi\"").status, "ready");
    EXPECT_EQ(image.pixel(10, 10), gfx::clRed);
    EXPECT_TRUE(inkBox(image, gfx::clBlue));
}

TEST_F(TurtleTest, HostileValuesDoNotHurt)
{
    for (const char* script : {"pensize 2000000000 down go 100", "pos 2147483647 2147483647 down go 2147483647",
             "textsize 2147483647 text \"x\"", "textsize -2147483648 textout \"x\"",
             "pos -2147483648 0 rectangle -2147483648 5 ellipse 2147483647 2147483647",
             "area -2147483648 -2147483648 2147483647 2147483647 copy", "angle 2147483647 turn 2147483647 =angle",
             "roundrect 100 100 -2147483648 2147483647"})
        EXPECT_EQ(run(script).status, "ready") << script;
}

} // namespace
