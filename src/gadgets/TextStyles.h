#pragma once

#include "app/Gadgets.h"
#include "gfx/Canvas.h"

#include <string_view>

namespace daubix::gadgets {

// The looks of button captions and label lines, kept in the document's shared gadget state.
using app::TextStyle;

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
