#pragma once

#include "gfx/Canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace daubix::gfx {

enum class TextJustify : std::uint8_t { Left, Center, Right };

// One line of wrapped text, placed relative to the layout's top-left.
struct TextLine {
    std::string text;
    int x = 0;
    int y = 0;
    int width = 0;
};

// Wrapped text and the rectangle it measures: width is the widest line (which may exceed the width
// asked for when a single word is wider), height is the number of lines times the font's cell height.
struct TextLayout {
    std::vector<TextLine> lines;
    int width = 0;
    int height = 0;
};

// Breaks the text into lines no wider than width where possible: at CR, LF or CR LF always, and
// between words (at spaces) when the next word would pass the width. Every line takes at least one
// word, so a word wider than width stays whole on its own line. The spaces at a wrap point belong to
// neither line. Lines are justified within the measured width.
TextLayout layoutWrappedText(const Font& font, std::string_view text, int width, TextJustify justify);
// Draws each line of the layout with the layout's top-left at (x, y), without a background.
void drawTextLayout(Bitmap& target, const Font& font, int x, int y, const TextLayout& layout);

} // namespace daubix::gfx
