#pragma once

#include "gfx/Canvas.h"

#include <string_view>
#include <vector>

namespace daubix::gfx {

struct PointF {
    double x = 0;
    double y = 0;
};

// Closed contours of glyph outlines, flattened to points, in image pixels.
using Contours = std::vector<std::vector<PointF>>;

// Size of a text cell for a font: the advance width of the text and the font's ascent plus descent.
struct TextExtent {
    int width = 0;
    int height = 0;
    int ascent = 0; // from the cell's top to the baseline
};

// Text drawn with FreeType from fonts that fontconfig resolves ("Arial" finds a metric-compatible face).
// Sizes are points at 96 dots per inch; glyphs are rendered without smoothing, so every pixel is either
// the font colour or untouched. Text is UTF-8.
TextExtent textExtent(const Font& font, std::string_view text);
// Draws the text with the top-left of its cell at (x, y), rotated by font.angle about that point. With
// an opaque background the cell is first filled with that colour. With a clip region, nothing outside it
// is drawn.
void drawText(Bitmap& target, const Font& font, int x, int y, std::string_view text, std::optional<Color> background,
    const ClipRegion* clip = nullptr);
// The glyph outlines of the text placed as drawText would place them.
Contours textContours(const Font& font, int x, int y, std::string_view text);
// The file of the face that a font resolves to, or empty when fontconfig finds none.
std::string resolvedFontFile(const Font& font);

} // namespace daubix::gfx
