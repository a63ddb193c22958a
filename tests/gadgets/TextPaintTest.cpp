#include "gadgets/ButtonPaint.h"
#include "gadgets/LabelPaint.h"
#include "gadgets/TextStyles.h"
#include "gfx/Text.h"

#include <gtest/gtest.h>

using namespace daubix;
using gadgets::TextStyle;

namespace {

constexpr gfx::Color kInk = gfx::clBlue;
constexpr gfx::Color kHigh = gfx::clRed;
constexpr gfx::Color kShadow = gfx::clLime;

gfx::Font labelFont()
{
    gfx::Font font;
    font.name = "Times New Roman";
    font.emHeight = 23;
    font.color = kInk;
    return font;
}

gfx::Font buttonFont()
{
    gfx::Font font;
    font.name = "Arial";
    font.emHeight = 15;
    return font;
}

int count(const gfx::Bitmap& b, gfx::Color c)
{
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            n += b.pixel(x, y) == c;
    return n;
}

struct Pass {
    gfx::Color color;
    int dx;
    int dy;
};

struct StyleCase {
    TextStyle style;
    bool forButton;
    std::vector<Pass> passes; // before the final one
};

std::ostream& operator<<(std::ostream& out, const StyleCase& c)
{
    return out << static_cast<int>(c.style) << (c.forButton ? " button" : " label");
}

class StyledText : public ::testing::TestWithParam<StyleCase> { };

constexpr int kLabelOffset = 3;

} // namespace

// Each style is its passes in order, then the text in its own colour at the point.
TEST_P(StyledText, DrawsThePassesInOrderThenTheText)
{
    const StyleCase& c = GetParam();
    gfx::Bitmap drawn(160, 60);
    gfx::Canvas canvas(drawn);
    canvas.font = labelFont();
    canvas.brush.setColor(gfx::clYellow);
    gadgets::drawStyledText(canvas, 20, 15, "Hgw", c.style, kHigh, kShadow, kLabelOffset, c.forButton);
    EXPECT_EQ(canvas.font.color, kInk);
    EXPECT_EQ(canvas.brush.style(), gfx::BrushStyle::Clear);

    gfx::Bitmap expected(160, 60);
    gfx::Font font = labelFont();
    for (const Pass& p : c.passes) {
        font.color = p.color;
        gfx::drawText(expected, font, 20 + p.dx, 15 + p.dy, "Hgw", std::nullopt);
    }
    gfx::drawText(expected, labelFont(), 20, 15, "Hgw", std::nullopt);
    EXPECT_EQ(drawn, expected);
    EXPECT_GT(count(drawn, kInk), 30);
    for (const Pass& p : c.passes)
        EXPECT_GT(count(drawn, p.color), 5) << p.dx << "," << p.dy;
}
INSTANTIATE_TEST_SUITE_P(AllStyles, StyledText,
    ::testing::Values(StyleCase{TextStyle::Normal, false, {}},
        StyleCase{TextStyle::RaisedLight, false, {{kHigh, -1, -1}}},
        StyleCase{TextStyle::RaisedHeavy, false, {{kHigh, -1, -1}, {kShadow, 1, 1}}},
        StyleCase{TextStyle::InsetLight, false, {{kHigh, 1, 1}}},
        StyleCase{TextStyle::InsetHeavy, false, {{kHigh, 1, 1}, {kShadow, -1, -1}}},
        StyleCase{TextStyle::DropShadow, false, {{kShadow, kLabelOffset, kLabelOffset}}},
        StyleCase{TextStyle::DropShadow, true, {{kShadow, 2, 2}}}, StyleCase{TextStyle::Heavy, false, {{kInk, 1, 1}}},
        StyleCase{TextStyle::Heavy, true, {{kInk, 1, 1}}}));

// The backdrop is the text 1.3 times as large (23 -> 30 pixels) in the highlight colour, its cell
// centred on the normal text's cell.
TEST(StyledText, BackdropCentresTheEnlargedTextOnTheText)
{
    gfx::Bitmap drawn(200, 80);
    gfx::Canvas canvas(drawn);
    canvas.font = labelFont();
    gadgets::drawStyledText(canvas, 40, 20, "Hgw", TextStyle::Backdrop, kHigh, kShadow, 1, false);
    EXPECT_EQ(canvas.font.emHeight, 23);

    gfx::Font big = labelFont();
    big.emHeight = 30;
    big.color = kHigh;
    EXPECT_EQ(gadgets::scaledFont(labelFont(), 1.3).emHeight, 30);
    const gfx::TextExtent small = gfx::textExtent(labelFont(), "Hgw"), large = gfx::textExtent(big, "Hgw");
    ASSERT_GT(large.width, small.width);
    gfx::Bitmap expected(200, 80);
    gfx::drawText(expected, big, 40 + (small.width - large.width) / 2, 20 + (small.height - large.height) / 2, "Hgw",
        std::nullopt);
    gfx::drawText(expected, labelFont(), 40, 20, "Hgw", std::nullopt);
    EXPECT_EQ(drawn, expected);
    EXPECT_GT(count(drawn, kHigh), 30);
}

TEST(StyledText, ScalingRoundsHalvesToEven)
{
    gfx::Font points;
    points.size = 15; // 19.5
    EXPECT_EQ(gadgets::scaledFont(points, 1.3).size, 20);
    points.size = 25; // 32.5
    EXPECT_EQ(gadgets::scaledFont(points, 1.3).size, 32);
}

// Double-clicking a label of three lines paints three lines spaced by the height of "Xj".
TEST(LabelPaint, PaintsEachLineOneXjHeightBelowTheLast)
{
    const gadgets::LabelLook label{"Text A\nline two\r\nThird", labelFont(), {15, 12}};
    gfx::Bitmap image(220, 120);
    gfx::Canvas canvas(image);
    const gfx::Rect bounds = gadgets::paintLabel(canvas, label, TextStyle::Normal, {});
    const int lineHeight = gfx::textExtent(labelFont(), "Xj").height;
    EXPECT_EQ(lineHeight, 25);
    gfx::Bitmap expected(220, 120);
    const char* lines[] = {"Text A", "line two", "Third"};
    int widest = 0;
    for (int i = 0; i < 3; ++i) {
        gfx::drawText(expected, labelFont(), 15, 12 + i * lineHeight, lines[i], std::nullopt);
        widest = std::max(widest, gfx::textExtent(labelFont(), lines[i]).width);
    }
    EXPECT_EQ(image, expected);
    EXPECT_EQ(bounds, (gfx::Rect{15, 12, 15 + widest, 12 + 3 * lineHeight}));
    EXPECT_EQ(gadgets::selectionRange(bounds), (gfx::Rect{15, 12, 16 + widest, 13 + 3 * lineHeight}));
    for (int i = 0; i < 3; ++i) {
        int inked = 0;
        for (int y = 12 + i * lineHeight; y < 12 + (i + 1) * lineHeight; ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += image.pixel(x, y) == kInk;
        EXPECT_GT(inked, 20) << i;
    }
}

TEST(LabelPaint, StylesEveryLine)
{
    const gadgets::LabelLook label{"up\ndown", labelFont(), {10, 10}};
    gfx::Bitmap image(120, 80);
    gfx::Canvas canvas(image);
    gadgets::paintLabel(canvas, label, TextStyle::DropShadow, {kHigh, kShadow, 4});
    gfx::Bitmap expected(120, 80);
    gfx::Font shadow = labelFont();
    shadow.color = kShadow;
    for (auto [text, y] : {std::pair{"up", 10}, {"down", 35}}) {
        gfx::drawText(expected, shadow, 14, y + 4, text, std::nullopt);
        gfx::drawText(expected, labelFont(), 10, y, text, std::nullopt);
    }
    EXPECT_EQ(image, expected);
}

TEST(LabelPaint, SplitsAtLineBreaksWithoutATrailingEmptyLine)
{
    EXPECT_EQ(gadgets::splitLines("a\nb\r\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(gadgets::splitLines("a\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(gadgets::splitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(gadgets::splitLines(""), std::vector<std::string>{""});
}

// Five silver copies from (left - 5, top - 5) inward, then the text in its colour on top.
TEST(LabelPaint, ExtrudeStacksFiveSilverCopiesUnderTheText)
{
    const gadgets::LabelLook label{"Deep\nText", labelFont(), {30, 30}};
    gfx::Bitmap image(160, 110);
    gfx::Canvas canvas(image);
    const gfx::Rect covered = gadgets::paintLabelExtruded(canvas, label);
    gfx::Bitmap expected(160, 110);
    gfx::Font silver = labelFont();
    silver.color = gfx::clSilver;
    for (int n = 5; n >= 1; --n)
        for (auto [text, y] : {std::pair{"Deep", 30}, {"Text", 55}})
            gfx::drawText(expected, silver, 30 - n, y - n, text, std::nullopt);
    gfx::Bitmap top(160, 110);
    for (auto [text, y] : {std::pair{"Deep", 30}, {"Text", 55}}) {
        gfx::drawText(expected, labelFont(), 30, y, text, std::nullopt);
        gfx::drawText(top, labelFont(), 30, y, text, std::nullopt);
    }
    EXPECT_EQ(image, expected);
    // The text is last: none of its pixels is silver.
    for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 160; ++x) {
            if (top.pixel(x, y) == kInk) {
                ASSERT_EQ(image.pixel(x, y), kInk);
            }
        }
    EXPECT_GT(count(image, gfx::clSilver), 50);
    const gfx::Rect bounds = gadgets::labelBounds(label);
    EXPECT_EQ(covered, (gfx::Rect{25, 25, bounds.right, bounds.bottom}));
}

// A button 100 x 30 at (10, 10), Silver, Border on.
TEST(ButtonPaint, RectSilverWithBorderHasTheClassicFrameAndACentredCaption)
{
    const gfx::Rect bounds{10, 10, 110, 40};
    gfx::Bitmap image(130, 60);
    gfx::Canvas canvas(image);
    canvas.pen.color = gfx::clPurple;
    canvas.pen.width = 3;
    canvas.brush.setColor(gfx::clTeal);
    const gfx::Rect select = gadgets::paintButton(
        canvas, gadgets::ButtonShape::Rect, bounds, "", buttonFont(), gadgets::ButtonPaintOptions{});
    EXPECT_EQ(select, (gfx::Rect{10, 10, 111, 41}));
    EXPECT_EQ(canvas.pen.color, gfx::clPurple);
    EXPECT_EQ(canvas.pen.width, 3);
    EXPECT_EQ(canvas.brush.color(), gfx::clTeal);
    EXPECT_EQ(canvas.brush.style(), gfx::BrushStyle::Solid);

    // L = 10, T = 10, w = 100, h = 30.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 130; ++x) {
            gfx::Color want = gfx::clWhite; // outside
            if (x >= 10 && x < 110 && y >= 10 && y < 40) {
                if (x == 10 || y == 10)
                    want = gfx::clBlack; // outline, top and left
                else if (x >= 108 || y >= 38)
                    want = gfx::clBlack; // the 2-pixel line over the outline's right and bottom
                else if (x == 11 || y == 11)
                    want = gfx::clWhite; // the light edge
                else
                    want = gfx::clSilver;
            }
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }

    gfx::Bitmap captioned(130, 60);
    gfx::Canvas c2(captioned);
    gadgets::paintButton(c2, gadgets::ButtonShape::Rect, bounds, "OK Go", buttonFont(), gadgets::ButtonPaintOptions{});
    const gfx::TextExtent e = gfx::textExtent(buttonFont(), "OK Go");
    gfx::drawText(image, buttonFont(), 10 + (100 - e.width) / 2, 10 + (30 - e.height) / 2, "OK Go", std::nullopt);
    EXPECT_EQ(captioned, image);
}

TEST(ButtonPaint, CaptionOffsetsTruncateTowardZero)
{
    // A caption wider than the button: the negative half-difference rounds toward zero.
    const gfx::Rect bounds{40, 10, 60, 30};
    const char* caption = "A long caption";
    const gfx::TextExtent e = gfx::textExtent(buttonFont(), caption);
    ASSERT_EQ((20 - e.width) % 2 != 0 || (20 - e.height) % 2 != 0, true);
    gfx::Bitmap image(200, 50);
    gfx::Canvas canvas(image);
    gadgets::ButtonPaintOptions options;
    options.face = gadgets::ButtonFace::Transparent;
    options.border = false;
    gadgets::paintButton(canvas, gadgets::ButtonShape::Rect, bounds, caption, buttonFont(), options);
    gfx::Bitmap frame(200, 50);
    gfx::Canvas c2(frame);
    gadgets::paintButton(c2, gadgets::ButtonShape::Rect, bounds, "", buttonFont(), options);
    gfx::drawText(frame, buttonFont(), 40 + (20 - e.width) / 2, 10 + (20 - e.height) / 2, caption, std::nullopt);
    EXPECT_EQ(image, frame);
}

TEST(ButtonPaint, ColoredAndTransparentFaces)
{
    const gfx::Rect bounds{5, 5, 85, 35};
    for (auto [face, centre] : {std::pair{gadgets::ButtonFace::Colored, gfx::clAqua},
             {gadgets::ButtonFace::Transparent, gfx::clYellow}, {gadgets::ButtonFace::Silver, gfx::clSilver}})
        for (gadgets::ButtonShape shape :
            {gadgets::ButtonShape::Rect, gadgets::ButtonShape::Oval, gadgets::ButtonShape::Rounded}) {
            gfx::Bitmap image(90, 40);
            image.fill(gfx::clYellow);
            gfx::Canvas canvas(image);
            gadgets::ButtonPaintOptions options;
            options.face = face;
            options.coloredFace = gfx::clAqua;
            gadgets::paintButton(canvas, shape, bounds, "", buttonFont(), options);
            EXPECT_EQ(image.pixel(45, 20), centre) << static_cast<int>(shape);
        }
}

// Oval edges: the highlight on the upper-left arc, the shadow on the lower-right one, the black
// outline outside both.
TEST(ButtonPaint, OvalLightsTheUpperLeftAndShadesTheLowerRight)
{
    const gfx::Rect bounds{10, 10, 110, 50}; // e = 41 / 5 = 8, f = 101 / 5 = 20
    gadgets::ButtonPaintOptions options;
    options.ovalHighlight = kHigh;
    options.ovalShadow = kShadow;
    for (int penWidth : {1, 2, 4}) {
        gfx::Bitmap image(130, 60);
        gfx::Canvas canvas(image);
        options.ovalPenWidth = penWidth;
        gadgets::paintButton(canvas, gadgets::ButtonShape::Oval, bounds, "", buttonFont(), options);
        if (penWidth == 1) {
            // One-pixel arcs run inside the outline and leave it showing.
            EXPECT_EQ(image.pixel(10, 30), gfx::clBlack);
            EXPECT_EQ(image.pixel(109, 30), gfx::clBlack);
            EXPECT_EQ(image.pixel(60, 10), gfx::clBlack);
            EXPECT_EQ(image.pixel(11, 30), kHigh);
            EXPECT_EQ(image.pixel(108, 30), kShadow);
        }
        EXPECT_EQ(image.pixel(60, 30), gfx::clSilver);
        EXPECT_EQ(image.pixel(10, 10), gfx::clWhite);
        int highUpperLeft = 0, highLowerRight = 0, shadowUpperLeft = 0, shadowLowerRight = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 130; ++x) {
                // Which side of the line through the arcs' end points (30, 42) and (90, 18) the pixel lies.
                const bool upperLeft = (90 - 30) * (y - 42) - (18 - 42) * (x - 30) < 0;
                const gfx::Color p = image.pixel(x, y);
                highUpperLeft += p == kHigh && upperLeft;
                highLowerRight += p == kHigh && !upperLeft;
                shadowUpperLeft += p == kShadow && upperLeft;
                shadowLowerRight += p == kShadow && !upperLeft;
            }
        EXPECT_GT(highUpperLeft, 60 * penWidth) << penWidth;
        EXPECT_GT(shadowLowerRight, 60 * penWidth) << penWidth;
        EXPECT_LT(highLowerRight, 4 * penWidth) << penWidth;
        EXPECT_LT(shadowUpperLeft, 4 * penWidth) << penWidth;
    }
}

TEST(ButtonPaint, RoundedLightsTheLeftEndAndTopAndShadesTheRightEndAndBottom)
{
    const gfx::Rect bounds{10, 10, 110, 40};
    gfx::Bitmap image(130, 60);
    gfx::Canvas canvas(image);
    gadgets::ButtonPaintOptions options;
    options.ovalHighlight = kHigh;
    options.ovalShadow = kShadow;
    gadgets::paintButton(canvas, gadgets::ButtonShape::Rounded, bounds, "", buttonFont(), options);
    EXPECT_EQ(image.pixel(60, 10), kHigh); // the top edge over the outline
    EXPECT_EQ(image.pixel(60, 39), kShadow); // the bottom edge
    EXPECT_EQ(image.pixel(10, 25), kHigh); // the left end's outermost point
    EXPECT_EQ(image.pixel(109, 25), kShadow);
    EXPECT_EQ(image.pixel(60, 25), gfx::clSilver);
    EXPECT_EQ(image.pixel(10, 10), gfx::clWhite); // the corners are round
    EXPECT_EQ(image.pixel(109, 39), gfx::clWhite);
}

TEST(ButtonPaint, AutosizeButtonAddsTenEachWay)
{
    const gfx::TextExtent e = gfx::textExtent(buttonFont(), "Caption");
    EXPECT_EQ(gadgets::autosizeButton(buttonFont(), "Caption"), (gadgets::ButtonSize{e.width + 10, e.height + 10}));
}

TEST(ButtonPaint, AutosizeTextChangesNothingWhenNoSizeAboveFiveFits)
{
    EXPECT_FALSE(gadgets::autosizeText(buttonFont(), "GadBut1", {73, 12}).has_value());
    EXPECT_FALSE(gadgets::autosizeText(buttonFont(), "GadBut1", {15, 60}).has_value());
}

// The largest size whose caption is under 50 high and 290 wide, and the button fitted around it.
TEST(ButtonPaint, AutosizeTextPicksTheLargestSizeThatFits)
{
    for (const char* caption : {"GadBut1", "A rather long caption for a button"}) {
        const auto sized = gadgets::autosizeText(buttonFont(), caption, {300, 60});
        ASSERT_TRUE(sized.has_value()) << caption;
        gfx::Font font = sized->font;
        EXPECT_EQ(font.emHeight, 0);
        EXPECT_GT(font.size, 5);
        EXPECT_LE(font.size, 71);
        const gfx::TextExtent e = gfx::textExtent(font, caption);
        EXPECT_LT(e.height, 50) << caption;
        EXPECT_LT(e.width, 290) << caption;
        EXPECT_EQ(sized->size, (gadgets::ButtonSize{e.width + 10, e.height + 10}));
        if (font.size < 71) {
            ++font.size;
            const gfx::TextExtent larger = gfx::textExtent(font, caption);
            EXPECT_TRUE(larger.height >= 50 || larger.width >= 290) << caption;
        }
    }
}
