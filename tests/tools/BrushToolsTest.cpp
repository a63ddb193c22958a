#include "support/TestImages.h"
#include "tools/Brushes.h"
#include "tools/ToolsFixture.h"

#include <cmath>

using namespace daubix;
using gfx::Point;
using test::Tools;

namespace {

class Brushes : public Tools {
protected:
    void stroke(const char* mode, Point from, std::initializer_list<Point> moves, bool alt = false)
    {
        doc.toolMode = mode;
        press(from);
        Point last = from;
        for (const Point p : moves) {
            moveTo(p, false, false, alt);
            last = p;
        }
        release(last);
    }
};

const char* const kColourBrushes[]
    = {"bluebrush", "greenbrush", "redbrush", "notbluebrush", "notgreenbrush", "notredbrush", "halfbluebrush",
        "halfgreenbrush", "halfredbrush", "darkerbrush", "lighterbrush", "graybrush", "rollmixbrush", "smoothbrush"};

TEST_F(Brushes, ColourBrushesGiveTheBytesOfFilteringWholeCopies)
{
    // The straightforward way: copy the image, filter the spot in the copy, and take the copy back.
    for (const char* mode : kColourBrushes) {
        doc.image = test::noise(120, 90, 7);
        doc.canvas.pen.width = 12;
        gfx::Bitmap expected = doc.image;
        const Point path[] = {{20, 20}, {26, 22}, {60, 40}, {115, 85}, {2, 88}, {60, 44}};
        for (const Point p : path)
            tools::spotFilter(expected, p.x, p.y, mode, 12);
        stroke(mode, {0, 0}, {path[0], path[1], path[2], path[3], path[4], path[5]});
        EXPECT_TRUE(doc.image == expected) << mode;
        EXPECT_TRUE(doc.rangeBuffer == expected) << mode; // the buffer ends as the image, as the copies leave it
    }
}

// The spot filter on a copy padded so widely with white that its square never leaves it, cut back.
gfx::Bitmap filteredInWhite(const gfx::Bitmap& image, int x, int y, const char* mode, int r)
{
    const int pad = r + 2;
    gfx::Bitmap padded(image.width() + 2 * pad, image.height() + 2 * pad);
    gfx::Canvas(padded).draw(pad, pad, image);
    tools::spotFilter(padded, x + pad, y + pad, mode, r);
    gfx::Bitmap out(image.width(), image.height());
    gfx::Canvas(out).copyRect(
        {0, 0, out.width(), out.height()}, padded, {pad, pad, pad + image.width(), pad + image.height()});
    return out;
}

TEST_F(Brushes, SpotsAtTheEdgeAreCutWithoutChangingABit)
{
    const gfx::Bitmap image = test::noise(30, 20, 11);
    for (const char* mode : kColourBrushes)
        for (const Point p : {Point{0, 0}, Point{29, 19}, Point{-6, 10}, Point{15, 26}, Point{40, -30}})
            for (const int r : {3, 9, 40}) {
                gfx::Bitmap cut = image;
                tools::spotFilter(cut, p.x, p.y, mode, r);
                EXPECT_TRUE(cut == filteredInWhite(image, p.x, p.y, mode, r))
                    << mode << " at " << p.x << "," << p.y << " r " << r;
            }
}

TEST_F(Brushes, SpotFilterArithmetic)
{
    struct Case {
        const char* mode;
        gfx::Color before, after;
    };
    const Case cases[] = {
        {"bluebrush", gfx::rgb(10, 20, 30), gfx::rgb(0, 0, 30)},
        {"notgreenbrush", gfx::rgb(10, 20, 30), gfx::rgb(10, 0, 30)},
        {"halfredbrush", gfx::rgb(99, 20, 30), gfx::rgb(89, 20, 30)},
        {"darkerbrush", gfx::rgb(11, 22, 255), gfx::rgb(10, 20, 232)},
        {"lighterbrush", gfx::rgb(240, 5, 15), gfx::rgb(8, 6, 16)}, // 264 wraps to 8; 5.5 and 16.5 go to even
        {"graybrush", gfx::rgb(10, 20, 31), gfx::rgb(20, 20, 20)},
        {"rollmixbrush", gfx::rgb(10, 20, 30), gfx::rgb(30, 10, 20)}, // blue takes green, green red, red blue
    };
    for (const Case& c : cases) {
        gfx::Bitmap b(40, 40);
        b.fill(c.before);
        tools::spotFilter(b, 20, 20, c.mode, 10);
        EXPECT_EQ(b.pixel(20, 20), c.after) << c.mode;
        EXPECT_EQ(b.pixel(11, 11), c.before) << c.mode; // outside the disc
        EXPECT_EQ(b.pixel(9, 20), c.before) << c.mode; // outside the square
    }
    // A pixel filtered to exactly white is not written.
    gfx::Bitmap b(20, 20);
    b.fill(gfx::rgb(232, 232, 232)); // 11 * 232 / 10 = 255.2
    tools::spotFilter(b, 10, 10, "lighterbrush", 5);
    EXPECT_EQ(b.pixel(10, 10), gfx::rgb(232, 232, 232));
}

TEST_F(Brushes, SmoothingAveragesNeighboursInPlace)
{
    gfx::Bitmap b(40, 40);
    b.fill(gfx::clBlack);
    b.setPixel(20, 20, gfx::rgb(255, 255, 255));
    b.setPixel(21, 20, gfx::rgb(100, 100, 100));
    tools::spotFilter(b, 20, 20, "smoothbrush", 8);
    // Row by row, in place: (20, 19) and (19, 20) have taken 255 / 4 = 64 by the time (20, 20) is reached,
    // which becomes (64 + 100 + 64 + 0) / 4 = 57; (21, 19) became (64 + 100) / 4 = 41, so (21, 20) is
    // (57 + 0 + 41 + 0) / 4 = 24.5, rounded to the even 24.
    EXPECT_EQ(b.pixel(20, 19), gfx::rgb(64, 64, 64));
    EXPECT_EQ(b.pixel(20, 20), gfx::rgb(57, 57, 57));
    EXPECT_EQ(b.pixel(21, 20), gfx::rgb(24, 24, 24));
}

TEST_F(Brushes, AbsurdPensAndTinyImagesDoNoHarm)
{
    for (const char* mode : {"bluebrush", "smoothbrush", "fisheyebrush", "twistbrush", "mbHorBox", "clonenottarget",
             "cloneall", "zoombrush", "gradientbrush", "sym"}) {
        for (const int width : {2'000'000'000, 1}) {
            doc.image = gfx::Bitmap(6, 5);
            doc.canvas.pen.width = width;
            stroke(mode, {2, 2}, {{3, 3}, {-40, 90}, {5, 4}});
            EXPECT_EQ(doc.image.width(), 6) << mode;
        }
    }
}

TEST_F(Brushes, GradientLineStepsBeforeItRounds)
{
    gfx::Bitmap b(12, 3);
    b.fill(gfx::clBlack);
    tools::gradientLine(b, 1, 1, 9, gfx::rgb(0, 0, 0), gfx::rgb(80, 0, 0), true);
    // n = 8, step 10: the first pixel already carries one step.
    EXPECT_EQ(b.pixel(1, 1), gfx::rgb(10, 0, 0));
    EXPECT_EQ(b.pixel(8, 1), gfx::rgb(80, 0, 0));
    EXPECT_EQ(b.pixel(9, 1), gfx::rgb(90, 0, 0));
    // The pixel beyond the end is the average of its four neighbours (90 + 0 + 0 + 0) >> 2.
    EXPECT_EQ(b.pixel(10, 1), gfx::rgb(22, 0, 0));
    EXPECT_EQ(b.pixel(0, 1), gfx::clBlack); // on the border: left alone
}

TEST_F(Brushes, AnEffectCircleShowsOnlyTheLastMove)
{
    // Effects never accumulate: a stroke looks like a single move to its last point.
    for (const char* mode : {"brightnessbrush", "twistbrush", "fisheyefixbrush", "mbRound", "mbSplitWaste",
             "rotatebrush", "rimplebrush", "mbHorOval", "fisheyebrush"}) {
        const gfx::Bitmap start = test::noise(160, 120, 3);
        doc.image = start;
        stroke(mode, {80, 60}, {{90, 40}, {50, 90}, {100, 75}});
        const gfx::Bitmap many = doc.image;
        doc.image = start;
        stroke(mode, {80, 60}, {{100, 75}});
        EXPECT_TRUE(doc.image == many) << mode;
        EXPECT_FALSE(doc.image == start) << mode;
    }
}

TEST_F(Brushes, TheStrengthFollowsTheDirection)
{
    const auto brightnessAt = [&](Point pointer) {
        doc.image = gfx::Bitmap(100, 100);
        doc.image.fill(gfx::rgb(100, 100, 100));
        stroke("brightnessbrush", {50, 50}, {pointer});
        return gfx::red(doc.image.pixel(50, 50));
    };
    EXPECT_EQ(brightnessAt({50, 50}), 100); // still at the centre: amount 0
    EXPECT_EQ(brightnessAt({70, 50}), 100); // straight right: theta 0
    EXPECT_GT(brightnessAt({65, 65}), 100); // below right: positive
    EXPECT_LT(brightnessAt({65, 35}), 100); // above right: negative
}

TEST(BrushParameters, StrengthLimits)
{
    constexpr double pi = 3.141592653589793;
    struct Case {
        const char* mode;
        double theta;
        double parameter;
    };
    const Case cases[] = {
        {"brightnessbrush", std::atan2(0.0, 0.01), 0}, // pointer on the centre
        {"contrastbrush", pi / 2, 50},
        {"saturationbrush", -pi, -100},
        {"twistbrush", 0, 1}, // never below 1
        {"twistbrush", -pi, 26},
        {"fisheyefixbrush", pi, 0.99}, // pointer left of the centre
        {"fisheyefixbrush", 0, 0.55},
        {"fisheyefixbrush", -pi, 0.55},
        {"fisheyebrush", 1, 0.9},
        {"rimplebrush", -pi / 2, 1}, // raised to 1
        {"rimplebrush", pi / 2, 6},
        {"mbTop", std::atan2(-30.0, 0.01), -90}, // pointer above: a negative squeeze
        {"mbSplitRound", pi / 4, 45},
        {"rotatebrush", pi / 3, 60},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(tools::effectParameter(c.mode, c.theta), c.parameter, 1e-9) << c.mode << " " << c.theta;
}

TEST_F(Brushes, ZoomBrushIsOnlyAView)
{
    const gfx::Bitmap start = test::noise(100, 80, 5);
    doc.image = start;
    doc.canvas.pen.width = 10;
    stroke("zoombrush", {30, 30}, {{35, 30}, {40, 40}});
    EXPECT_TRUE(doc.image == start);

    doc.canvas.pen.width = 60;
    stroke("zoomkeepbrush", {30, 30}, {{40, 40}});
    EXPECT_FALSE(doc.image == start);
    EXPECT_EQ(doc.toolMode, "freehand");
    EXPECT_EQ(doc.canvas.pen.width, 2);
    tools::zoomOut(doc);
    // Back but for the rounding of the double stretch (99 x 79 to 100 x 80 and back): a column and a row.
    EXPECT_LE(test::differingPixels(doc.image, start, 0, 0, 100, 80), 100 + 80);
}

TEST_F(Brushes, MirrorsAndSymmetry)
{
    doc.image = gfx::Bitmap(100, 60);
    stroke("vmirror", {10, 10}, {{10, 30}});
    EXPECT_EQ(doc.image.pixel(10, 20), gfx::clBlack);
    EXPECT_EQ(doc.image.pixel(90, 20), gfx::clBlack); // W - x, not W - 1 - x
    EXPECT_EQ(doc.image.pixel(89, 20), gfx::clWhite);

    doc.image = gfx::Bitmap(100, 100);
    doc.shapes.starPoints = 4;
    stroke("sym", {70, 50}, {{80, 50}});
    // Four arms a quarter turn apart about (50, 50).
    for (const Point p : {Point{75, 50}, Point{50, 75}, Point{25, 50}, Point{50, 25}})
        EXPECT_EQ(doc.image.pixel(p.x, p.y), gfx::clBlack) << p.x << "," << p.y;
    EXPECT_EQ(blackPixels(), 40);
}

TEST_F(Brushes, CloneCopiesFromTheAnchorAndMixAverages)
{
    doc.image = gfx::Bitmap(100, 100);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            doc.image.setPixel(10 + x, 10 + y, gfx::clRed);
    press({10, 10}, tools::Button::Right); // the anchor
    doc.canvas.pen.width = 5;
    stroke("cloneall", {50, 50}, {{50, 50}});
    EXPECT_EQ(doc.image.pixel(50, 50), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(54, 54), gfx::clRed);
    EXPECT_EQ(doc.image.pixel(55, 55), gfx::clWhite);

    doc.image.setPixel(40, 70, gfx::rgb(200, 0, 0));
    doc.image.setPixel(60, 70, gfx::rgb(0, 0, 101));
    doc.canvas.pen.width = 10;
    doc.toolMode = "mixbrush";
    press({50, 70});
    EXPECT_EQ(doc.canvas.pen.color, gfx::rgb(100, 0, 50));
}

} // namespace
