#include "gadgets/GradText.h"

#include "gfx/Text.h"

#include <gtest/gtest.h>

using namespace daubix;
using gadgets::TGradientStyle;
using gadgets::TGradText;

namespace {

constexpr gfx::Color kBegin = gfx::rgb(0x10, 0xE0, 0x7F); // channels rising, falling and steady-ish
constexpr gfx::Color kEnd = gfx::rgb(0xF0, 0x20, 0x80);

gfx::Color step(gfx::Color begin, gfx::Color end, int i, int scale)
{
    const auto ch = [&](int b, int e) { return b + i * (e - b) / scale; };
    return gfx::rgb(ch(gfx::red(begin), gfx::red(end)), ch(gfx::green(begin), gfx::green(end)),
        ch(gfx::blue(begin), gfx::blue(end)));
}

void fillBox(gfx::Bitmap& b, int left, int top, int right, int bottom, gfx::Color c)
{
    for (int y = std::max(top, 0); y < std::min(bottom, b.height()); ++y)
        for (int x = std::max(left, 0); x < std::min(right, b.width()); ++x)
            b.setPixel(x, y, c);
}

// The gradients written out as the drawing steps they stand for, one pixel at a time.
gfx::Bitmap reference(int w, int h, TGradientStyle style, gfx::Color begin, gfx::Color end)
{
    gfx::Bitmap b(w, h);
    switch (style) {
    case TGradientStyle::gsHorizontal:
        for (int i = 0; i < 256; ++i)
            fillBox(b, i * w / 256, 0, (i + 1) * w / 256, h, step(begin, end, i, 255));
        break;
    case TGradientStyle::gsVertical:
        for (int i = 0; i < 256; ++i)
            fillBox(b, 0, i * h / 256, w, (i + 1) * h / 256, step(begin, end, i, 255));
        break;
    case TGradientStyle::gsRectangle:
        for (int i = 0; i < 256; ++i) {
            const double dx = w / 510.0 * i, dy = h / 510.0 * i;
            fillBox(b, static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(w + 2 - dx),
                static_cast<int>(h + 2 - dy), step(begin, end, i, 255));
        }
        break;
    case TGradientStyle::gsVertCenter:
        for (int i = 0, m = h / 2; i <= m; ++i) {
            fillBox(b, 0, i, w, i + 1, step(begin, end, i, std::max(m, 1)));
            fillBox(b, 0, h - i, w, h - i + 1, step(begin, end, i, std::max(m, 1)));
        }
        break;
    case TGradientStyle::gsHorizCenter:
        for (int i = 0, m = w / 2; i <= m; ++i) {
            fillBox(b, i, 0, i + 1, h, step(begin, end, i, std::max(m, 1)));
            fillBox(b, w - i, 0, w - i + 1, h, step(begin, end, i, std::max(m, 1)));
        }
        break;
    }
    return b;
}

struct GradientCase {
    TGradientStyle style;
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& out, const GradientCase& c)
{
    return out << static_cast<int>(c.style) << " " << c.width << "x" << c.height;
}

class Gradient : public ::testing::TestWithParam<GradientCase> { };

std::vector<GradientCase> gradientCases()
{
    std::vector<GradientCase> cases;
    for (TGradientStyle style : {TGradientStyle::gsHorizontal, TGradientStyle::gsVertical, TGradientStyle::gsRectangle,
             TGradientStyle::gsVertCenter, TGradientStyle::gsHorizCenter})
        for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {11, 13}, {300, 1}, {1, 2}, {2, 1}, {600, 200}, {513, 517}})
            cases.push_back({style, w, h});
    return cases;
}

TGradText textOf(std::string caption, TGradientStyle style)
{
    TGradText text = gadgets::gradTextGadget();
    text.lines = {std::move(caption)};
    text.width = 400;
    text.gradientStyle = style;
    return text;
}

} // namespace

TEST_P(Gradient, FillsEveryPixelAsTheDrawingStepsWould)
{
    const GradientCase& c = GetParam();
    gfx::Bitmap filled(c.width, c.height);
    gadgets::fillGradient(filled, c.style, kBegin, kEnd);
    EXPECT_EQ(filled, reference(c.width, c.height, c.style, kBegin, kEnd));
    gadgets::fillGradient(filled, c.style, kEnd, kBegin);
    EXPECT_EQ(filled, reference(c.width, c.height, c.style, kEnd, kBegin));
}
INSTANTIATE_TEST_SUITE_P(AllStylesAndSizes, Gradient, ::testing::ValuesIn(gradientCases()));

TEST(Gradient, StepsTruncateTowardZeroAndReachTheEndColour)
{
    gfx::Bitmap b(1, 256);
    gadgets::fillGradient(b, TGradientStyle::gsVertical, gfx::rgb(200, 0, 0), gfx::rgb(0, 0, 255));
    EXPECT_EQ(b.pixel(0, 0), gfx::rgb(200, 0, 0));
    EXPECT_EQ(b.pixel(0, 1), gfx::rgb(200, 0, 1)); // -200 / 255 is 0, not -1
    EXPECT_EQ(b.pixel(0, 255), gfx::rgb(0, 0, 255));

    gfx::Bitmap centre(3, 11);
    gadgets::fillGradient(centre, TGradientStyle::gsVertCenter, gfx::clBlack, gfx::clWhite);
    EXPECT_EQ(centre.pixel(1, 0), gfx::clBlack);
    EXPECT_EQ(centre.pixel(1, 5), gfx::clWhite); // m = 5
    EXPECT_EQ(centre.pixel(1, 10), gfx::rgb(51, 51, 51)); // row 11 - 1 is step 1
}

TEST(GradText, TakesTheMeasuredSizeOfItsText)
{
    TGradText text = gadgets::gradTextGadget();
    EXPECT_EQ(text.lines, std::vector<std::string>{"GradText"});
    EXPECT_EQ(text.font.emHeight, 30);
    EXPECT_TRUE(text.font.bold && text.font.italic);
    const gfx::Bitmap look = gadgets::gradTextAppearance(text);
    const gfx::TextExtent e = gfx::textExtent(text.font, "GradText");
    EXPECT_EQ(text.width, e.width);
    EXPECT_EQ(text.height, e.height);
    EXPECT_EQ(look.width(), e.width);
    EXPECT_EQ(look.height(), e.height);
    EXPECT_TRUE(look.transparent);
    EXPECT_EQ(look.transparentColor, gfx::clWhite);

    text.lines = {"two words"};
    text.width = gfx::textExtent(text.font, "two").width;
    gadgets::measureGradText(text);
    EXPECT_EQ(text.height, 2 * e.height);
    EXPECT_EQ(text.width, gfx::textExtent(text.font, "words").width);
}

// Only the glyphs show, each pixel in the colour the gradient has there; everything else is white.
TEST(GradText, FillsOnlyTheGlyphsWithTheGradient)
{
    for (TGradientStyle style :
        {TGradientStyle::gsHorizontal, TGradientStyle::gsRectangle, TGradientStyle::gsVertCenter}) {
        TGradText text = textOf("Gradient fill", style);
        text.lines.push_back("second line");
        text.beginColor = gfx::clRed;
        text.endColor = gfx::clBlue;
        const gfx::Bitmap look = gadgets::gradTextAppearance(text);
        gfx::Bitmap glyphs(text.width, text.height);
        const gfx::TextLayout layout
            = gfx::layoutWrappedText(text.font, "Gradient fill\rsecond line", text.width, gfx::TextJustify::Center);
        gfx::drawTextLayout(glyphs, text.font, 0, 0, layout); // black glyphs on white
        gfx::Bitmap gradient(text.width, text.height);
        gadgets::fillGradient(gradient, style, gfx::clRed, gfx::clBlue);
        int inked = 0;
        for (int y = 0; y < look.height(); ++y)
            for (int x = 0; x < look.width(); ++x) {
                const bool glyph = glyphs.pixel(x, y) == gfx::clBlack;
                inked += glyph;
                ASSERT_EQ(look.pixel(x, y), glyph ? gradient.pixel(x, y) : gfx::clWhite) << x << "," << y;
            }
        EXPECT_GT(inked, 200);
    }
}

TEST(GradText, PaintLeavesTheImageAroundTheLettersAlone)
{
    TGradText text = textOf("Paint me", TGradientStyle::gsVertical);
    text.position = {12, 9};
    gfx::Bitmap image(300, 80);
    image.fill(gfx::clGray);
    gfx::Canvas canvas(image);
    gadgets::paintGradText(canvas, text);
    const gfx::Bitmap look = gadgets::gradTextAppearance(text);
    int changed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const gfx::Color own = look.pixel(x - 12, y - 9);
            const bool letter = own != gfx::clNone && own != gfx::clWhite;
            changed += letter;
            ASSERT_EQ(image.pixel(x, y), letter ? own : gfx::clGray) << x << "," << y;
        }
    EXPECT_GT(changed, 100);
}

TEST(GradText, PaintLightedDrawsTheLightShiftedThenItselfAndStaysBold)
{
    const struct {
        gadgets::LightedPaint kind;
        gfx::Color light;
        int shift;
    } cases[] = {{gadgets::LightedPaint::SilverRight, 0xF9F9F9, 2}, {gadgets::LightedPaint::SilverLeft, 0xF9F9F9, -2},
        {gadgets::LightedPaint::GoldRight, 0x00FFFF, 2}, {gadgets::LightedPaint::GoldLeft, 0x00FFFF, -2}};
    for (const auto& c : cases) {
        TGradText text = textOf("Lit", TGradientStyle::gsHorizontal);
        text.font.bold = false;
        text.position = {20, 10};
        gfx::Bitmap image(200, 80);
        gfx::Canvas canvas(image);
        gadgets::paintGradTextLighted(canvas, text, c.kind);
        EXPECT_TRUE(text.font.bold);
        EXPECT_EQ(text.beginColor, 0x00FFFFu);
        EXPECT_EQ(text.endColor, 0x0000FFu);
        EXPECT_EQ(text.gradientStyle, TGradientStyle::gsHorizontal);

        TGradText light = text;
        light.beginColor = gfx::clBlack;
        light.endColor = c.light;
        light.gradientStyle = TGradientStyle::gsVertCenter;
        gfx::Bitmap expected(200, 80);
        gfx::Canvas e(expected);
        e.draw(20 + c.shift, 10, gadgets::gradTextAppearance(light));
        e.draw(20, 10, gadgets::gradTextAppearance(text));
        EXPECT_EQ(image, expected);
        EXPECT_NE(image, gfx::Bitmap(200, 80));
    }
}

TEST(GradText, PresetsSetFontColoursAndStyle)
{
    const struct {
        gadgets::GradPreset preset;
        gfx::Color begin;
        gfx::Color end;
        TGradientStyle style;
    } cases[] = {{gadgets::GradPreset::Silver, 0x000000, 0xF9F9F9, TGradientStyle::gsVertCenter},
        {gadgets::GradPreset::BlueMetallic, 0xFFFF00, 0x800080, TGradientStyle::gsVertical},
        {gadgets::GradPreset::GreenMetalic, 0x000000, 0x00FF00, TGradientStyle::gsVertCenter}};
    for (const auto& c : cases) {
        TGradText text = gadgets::gradTextGadget();
        gadgets::applyGradPreset(text, c.preset);
        EXPECT_EQ(text.beginColor, c.begin);
        EXPECT_EQ(text.endColor, c.end);
        EXPECT_EQ(text.gradientStyle, c.style);
        EXPECT_EQ(text.font.name, "Times New Roman");
        EXPECT_EQ(text.font.size, 36);
        EXPECT_EQ(text.font.emHeight, 0);
        EXPECT_TRUE(text.font.bold);
    }
}

TEST(GradText, CaptionWidthAndColoursFollowTheMenuRules)
{
    TGradText text;
    EXPECT_EQ(text.font.size, 18);
    EXPECT_EQ(text.width, 75);
    EXPECT_EQ(text.height, 25);
    EXPECT_EQ(text.justification, gadgets::TJustification::jCenter);
    EXPECT_FALSE(gadgets::setGradTextCaption(text, ""));
    EXPECT_EQ(text.lines, std::vector<std::string>{"GradText"});
    EXPECT_TRUE(gadgets::setGradTextCaption(text, "one\r\ntwo\nthree"));
    EXPECT_EQ(text.lines, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(gadgets::gradTextString(text), "one\rtwo\rthree");
    for (auto [asked, kept] : {std::pair{40, 40}, {1, 1}, {0, 1}, {-30, 1}}) {
        gadgets::setGradTextWidth(text, asked);
        EXPECT_EQ(text.width, kept);
    }
    gadgets::measureGradText(text); // width 1: a word per line, and it ends
    EXPECT_EQ(text.height, 3 * gfx::textExtent(text.font, "").height);
    gadgets::swapGradColors(text);
    EXPECT_EQ(text.beginColor, 0x0000FFu);
    EXPECT_EQ(text.endColor, 0x00FFFFu);
}

// An empty caption measures no width: nothing to fill or paint, and nothing written outside.
TEST(GradText, EmptyTextPaintsNothing)
{
    TGradText text = gadgets::gradTextGadget();
    text.lines = {""};
    text.position = {3, 4};
    const gfx::Bitmap look = gadgets::gradTextAppearance(text);
    EXPECT_EQ(text.width, 0);
    EXPECT_EQ(text.height, gfx::textExtent(text.font, "").height);
    EXPECT_TRUE(look.isEmpty());
    gfx::Bitmap image(20, 20);
    gfx::Canvas canvas(image);
    gadgets::paintGradText(canvas, text);
    EXPECT_EQ(image, gfx::Bitmap(20, 20));
    gadgets::setGradTextWidth(text, text.width);
    EXPECT_EQ(text.width, 1);
}
