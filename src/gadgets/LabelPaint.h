#pragma once

#include "gadgets/TextStyles.h"
#include "gfx/Canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace daubix::gadgets {

// What a label gadget paints: its text (lines separated by line breaks), its font and its top-left.
struct LabelLook {
    std::string text;
    gfx::Font font;
    gfx::Point topLeft;
};

// The text's lines, split at CR LF, CR or LF; a break at the very end starts no further line.
std::vector<std::string> splitLines(std::string_view text);
// The height between a label's lines: the text height of "Xj" in the font.
int labelLineHeight(const gfx::Font& font);
// The box the label's lines cover: the widest line by the number of lines times the line height.
gfx::Rect labelBounds(const LabelLook& label);
// The range rectangle that the Select option makes of painted bounds: one more on the right and bottom.
gfx::Rect selectionRange(const gfx::Rect& bounds);

// "&Paint": line i at (left, top + i * line height) in the label's font and text style, with a clear
// brush. The canvas keeps the label's font afterwards. Returns labelBounds().
gfx::Rect paintLabel(gfx::Canvas& canvas, const LabelLook& label, TextStyle style, const TextStyleColors& colors);
// "Paint &Extrude": the lines in silver at (left - n, top - n) for n = 5 .. 1, then in the font colour at
// (left, top). Returns the bounds that the passes cover.
gfx::Rect paintLabelExtruded(gfx::Canvas& canvas, const LabelLook& label);

} // namespace daubix::gadgets
