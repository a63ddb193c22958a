#pragma once

#include "gfx/Canvas.h"

#include <string_view>

namespace daubix::gadgets {

// The looks of button captions and label lines; the values are the tags of the "Text Style" items.
enum class TextStyle : std::uint8_t {
    Normal = 1,
    RaisedLight = 2,
    RaisedHeavy = 3,
    InsetLight = 4,
    InsetHeavy = 5,
    DropShadow = 6,
    Heavy = 7,
    Backdrop = 8, // labels only
};

// The colours and offset a label or the buttons style their text with.
struct TextStyleColors {
    gfx::Color highlight = gfx::clWhite;
    gfx::Color shadow = gfx::clGray;
    int shadowOffset = 1; // labels' Drop Shadow; buttons always use 2
};

// Draws the text with its cell's top-left at (x, y) in the canvas font: first the style's passes in
// their colours at their offsets, then the text in the font colour at (x, y). The brush becomes clear
// (it stays so, as every gadget text is drawn over the image); the font colour is restored.
void drawStyledText(gfx::Canvas& canvas, int x, int y, std::string_view text, TextStyle style, gfx::Color highlight,
    gfx::Color shadow, int shadowOffset, bool forButton);

// A font grown by the factor, whichever of em height, cell height or points sizes it; halves go to even.
gfx::Font scaledFont(const gfx::Font& font, double factor);

} // namespace daubix::gadgets
