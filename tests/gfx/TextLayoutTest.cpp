#include "gfx/TextLayout.h"

#include "gfx/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <gtest/gtest.h>

using namespace daubix::gfx;

namespace {

Font serif()
{
    Font font;
    font.name = "Times New Roman";
    font.emHeight = 23;
    return font;
}

// The cap height of the face the font resolves to, in font units, and its units per em, read from
// the file itself.
std::pair<int, int> capHeightAndEm(const Font& font)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::pair<int, int> out{0, 0};
    if (FT_Init_FreeType(&library) != 0)
        return out;
    if (FT_New_Face(library, resolvedFontFile(font).c_str(), 0, &face) == 0) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version >= 2)
            out = {os2->sCapHeight, face->units_per_EM};
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return out;
}

std::vector<std::string> texts(const TextLayout& layout)
{
    std::vector<std::string> out;
    for (const TextLine& line : layout.lines)
        out.push_back(line.text);
    return out;
}

} // namespace

// "23 pixels high" is the character height: the em square is 23 pixels, so an unhinted capital H is
// 23 * capHeight / unitsPerEm tall, while the cell (ascent plus descent) is taller.
TEST(FontEmHeight, SizesTheEmSquareInPixels)
{
    const Font font = serif();
    EXPECT_NE(resolvedFontFile(font).find("LiberationSerif"), std::string::npos) << resolvedFontFile(font);
    const auto [cap, em] = capHeightAndEm(font);
    ASSERT_GT(em, 0);
    const Contours h = textContours(font, 0, 0, "H");
    ASSERT_FALSE(h.empty());
    double top = 1e9, bottom = -1e9;
    for (const auto& contour : h)
        for (const PointF& p : contour) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    EXPECT_NEAR(bottom - top, 23.0 * cap / em, 0.05);
    EXPECT_EQ(textExtent(font, "Xj").height, 25); // Liberation Serif's cell is 1.107 em

    Font byCell = font;
    byCell.cellHeight = 23; // the other reading of "23 high": the cell, which wins over the em
    EXPECT_NEAR(textExtent(byCell, "Xj").height, 23, 1); // ascent and descent are rounded apart
}

TEST(FontEmHeight, MatchesThePointSizeOfTheSamePixels)
{
    Font points = serif();
    points.emHeight = 0;
    points.size = 24; // 32 pixels at 96 dots per inch
    Font pixels = serif();
    pixels.emHeight = 32;
    for (const char* text : {"Daubix", "Xj", "W i d e"}) {
        EXPECT_EQ(textExtent(points, text).width, textExtent(pixels, text).width) << text;
        EXPECT_EQ(textExtent(points, text).height, textExtent(pixels, text).height) << text;
    }
}

TEST(WrappedText, BreaksAtSpacesWhenTheNextWordWouldPassTheWidth)
{
    const Font font = serif();
    const int oneTwo = textExtent(font, "one two").width;
    const int cell = textExtent(font, "").height;
    struct Case {
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {oneTwo, {"one two", "three"}},
        {oneTwo - 1, {"one", "two", "three"}},
        {textExtent(font, "one two   three").width, {"one two three"}},
        {1, {"one", "two", "three"}},
        {0, {"one", "two", "three"}},
        {-5, {"one", "two", "three"}},
    };
    for (const Case& c : cases) {
        const TextLayout layout = layoutWrappedText(font, "one two   three", c.width, TextJustify::Left);
        // The spaces at a break belong to no line; those between kept words stay.
        std::vector<std::string> expected = c.lines;
        for (std::string& line : expected)
            if (line == "one two three")
                line = "one two   three";
        EXPECT_EQ(texts(layout), expected) << c.width;
        EXPECT_EQ(layout.height, cell * static_cast<int>(expected.size())) << c.width;
        for (std::size_t i = 0; i < layout.lines.size(); ++i)
            EXPECT_EQ(layout.lines[i].y, cell * static_cast<int>(i));
    }
}

TEST(WrappedText, BreaksAtEveryLineBreakAndKeepsEmptyLines)
{
    const Font font = serif();
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\rb", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(texts(layoutWrappedText(font, c.text, 1000, TextJustify::Left)), c.lines) << c.text;
}

TEST(WrappedText, AWordWiderThanTheWidthStaysWholeAndWidensTheRectangle)
{
    const Font font = serif();
    const int longWord = textExtent(font, "Extraordinarily").width;
    const TextLayout layout = layoutWrappedText(font, "an Extraordinarily big word", 40, TextJustify::Left);
    EXPECT_EQ(texts(layout), (std::vector<std::string>{"an", "Extraordinarily", "big", "word"}));
    EXPECT_EQ(layout.width, longWord);
    EXPECT_GT(layout.width, 40);
}

TEST(WrappedText, JustifiesEachLineWithinTheMeasuredWidth)
{
    const Font font = serif();
    const int wide = textExtent(font, "a wider line").width;
    const int narrow = textExtent(font, "short").width;
    const struct {
        TextJustify justify;
        int x;
    } cases[]
        = {{TextJustify::Left, 0}, {TextJustify::Center, (wide - narrow) / 2}, {TextJustify::Right, wide - narrow}};
    for (const auto& c : cases) {
        const TextLayout layout = layoutWrappedText(font, "a wider line\rshort", 500, c.justify);
        ASSERT_EQ(layout.lines.size(), 2u);
        EXPECT_EQ(layout.width, wide);
        EXPECT_EQ(layout.lines[0].x, 0);
        EXPECT_EQ(layout.lines[1].x, c.x);
    }
}

TEST(WrappedText, DrawsEachLineWhereTheLayoutPlacesIt)
{
    Font font = serif();
    const TextLayout layout = layoutWrappedText(font, "left\rand right", 500, TextJustify::Right);
    Bitmap drawn(200, 80);
    drawTextLayout(drawn, font, 5, 7, layout);
    Bitmap expected(200, 80);
    drawText(expected, font, 5 + layout.lines[0].x, 7, "left", std::nullopt);
    drawText(expected, font, 5 + layout.lines[1].x, 7 + layout.lines[1].y, "and right", std::nullopt);
    EXPECT_EQ(drawn, expected);
    EXPECT_NE(drawn, Bitmap(200, 80));
}
