#include "app/Gadgets.h"

#include "app/Document.h"
#include "app/Windows1252.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

TEST(Gadgets, NamesAreFoundIgnoringCaseAndEachHasItsMenuItem)
{
    EXPECT_EQ(app::gadgetTable().size(), 24u);
    struct Case {
        const char* asked;
        const char* name;
        app::GadgetKind kind;
        int index;
    };
    for (const Case c : {Case{"gadbut6", "Gadbut6", app::GadgetKind::Button, 5},
             Case{"GADBUT8", "Gadbut8", app::GadgetKind::Button, 7},
             Case{"floatimage1", "FloatImage1", app::GadgetKind::Image, 3},
             Case{"GradText3", "GradText3", app::GadgetKind::GradText, 2},
             Case{"ruler1", "Ruler1", app::GadgetKind::Ruler, 0}}) {
        const auto g = app::findGadget(c.asked);
        ASSERT_TRUE(g) << c.asked;
        EXPECT_EQ(g->name, c.name);
        EXPECT_EQ(g->kind, c.kind);
        EXPECT_EQ(g->index, c.index);
    }
    EXPECT_FALSE(app::findGadget("GadBut9"));
    EXPECT_FALSE(app::findGadget("Ruler"));
    // The order is the Gadgets menu's.
    const auto table = app::gadgetTable();
    EXPECT_EQ(table.front().menuItem, "Gadgets > GadImage1");
    EXPECT_EQ(table.back().menuItem, "Gadgets > Ruler");
}

TEST(Gadgets, TheSharedStateStartsAsTheWindowDoes)
{
    const app::Document doc;
    const app::GadgetShared& g = doc.gadgets.shared;
    EXPECT_EQ(g.buttonPaint, app::ButtonPaintStyle::Silver);
    EXPECT_EQ(g.labelTextStyle, app::TextStyle::Normal);
    EXPECT_EQ(g.buttonShadow, gfx::rgb(128, 128, 128));
    EXPECT_EQ(g.labelShadowOffset, 1);
    EXPECT_EQ(g.ovalPenWidth, 1);
    EXPECT_TRUE(g.border);
    EXPECT_FALSE(g.paintSave || g.paintSelect || g.labelSelect);

    const app::GadgetSet& set = doc.gadgets;
    EXPECT_EQ(set.labels[1].text, "Text B");
    EXPECT_EQ(set.labels[1].font.name, "Times New Roman");
    EXPECT_EQ(set.labels[1].font.emHeight, 23);
    EXPECT_EQ(set.buttons[5].caption, "Gadbut6");
    EXPECT_EQ(set.buttons[5].font.emHeight, 15);
    EXPECT_EQ(set.buttons[0].width, 73);
    EXPECT_EQ(set.buttons[0].height, 24);
    // The image gadgets' placeholder: white inside a grey frame; the floating image starts empty.
    const gfx::Bitmap& placeholder = set.images[2].bitmap;
    ASSERT_EQ(placeholder.width(), 24);
    ASSERT_EQ(placeholder.height(), 24);
    EXPECT_EQ(placeholder.pixel(0, 0), gfx::rgb(128, 128, 128));
    EXPECT_EQ(placeholder.pixel(23, 23), gfx::rgb(128, 128, 128));
    EXPECT_EQ(placeholder.pixel(12, 12), gfx::clWhite);
    EXPECT_TRUE(doc.floating.bitmap.isEmpty());
    for (const auto& image : set.images)
        EXPECT_FALSE(image.shown);
}

// The fonts viewer's grid: code 32 .. 255 as the character a font shows for it.
TEST(FontsViewer, CodesBecomeCharactersByTheFontsMap)
{
    struct Case {
        int code;
        bool symbolFont;
        char32_t character;
    };
    for (const Case c : {Case{65, false, U'A'}, Case{128, false, 0x20AC}, Case{0x8D, false, 0x8D},
             Case{0x9F, false, 0x0178}, Case{0xE9, false, 0xE9}, Case{255, false, 0xFF}, Case{65, true, 0xF041},
             Case{255, true, 0xF0FF}})
        EXPECT_EQ(app::symbolCharacter(c.code, c.symbolFont), c.character) << c.code << " " << c.symbolFont;
}

} // namespace
