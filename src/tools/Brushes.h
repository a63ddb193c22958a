#pragma once

// The pixel cores of the colour, gradient and effect brushes, on plain bitmaps, so that the brush
// tools can apply them to the part of the image a move touches.

#include "effects/TketPaintFX.h"
#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"

#include <span>
#include <string_view>
#include <vector>

namespace daubix::app {
struct Document;
}

namespace daubix::tools {

// Whether the tool mode is one of the fourteen colour brushes.
bool isSpotFilterMode(std::string_view mode);
// Filters the disc of radius r about (x, y) of the 24-bit target with the mode's colour filter.
// Filtered pixels that come out exactly white are not written.
void spotFilter(gfx::Bitmap& target, int x, int y, std::string_view mode, int r);

// A line on a 24-bit bitmap from a to b (swapped when a > b, the colours not) along row `line`, or
// along column `line` when vertical, shading from c1 to c2; with smooth, the pixels just beyond the
// ends become the average of their four neighbours.
void gradientLine(
    gfx::Bitmap& bmp, int line, int a, int b, gfx::Color c1, gfx::Color c2, bool smooth, bool vertical = false);

// The rippled disc of a square bitmap, mirrored top to bottom; a is the ripple count.
void rippleCircle(const gfx::Bitmap& src, gfx::Bitmap& dst, double a);
// The same for a window of the result (dst 24 bits), reading a view; the window's rows are not consulted.
void rippleCircle(const effects::SourceView& src, gfx::Bitmap& dst, const effects::ResultWindow& window, double a);

// The square that an effect circle of the given radius works on, in image coordinates: side 2 radius
// about the centre, which moves inside a w x h image as far as the image allows. A square wider than the
// image still reaches beyond it; one moved back from the right or bottom edge ends a pixel short of the
// image's last column or row (the centre keeps cx + radius <= w - 1). The radius is at most 2^29.
gfx::Rect effectSquare(gfx::Point centre, int radius, int w, int h);

// The strength of an effect or morph brush for the pointer's direction theta (radians, -pi .. pi,
// positive below the centre): amounts, fisheye factor, twist, ripple count or angle in degrees.
double effectParameter(std::string_view mode, double theta);

// Zoom Out: the image shrinks back into the zoom rectangle of the zoom copy, which then replaces it,
// so an enlargement edited after Zoom In Keep returns to where it came from.
void zoomOut(app::Document& doc);

// The disc that the brushes' masks keep of a w x h box (the filled ellipse inscribed in it, as the canvas
// draws it), over a window of the box given in the box's coordinates: for each window row the columns
// of the disc, counted from the window's left; an empty span where the row misses the disc.
std::vector<effects::ColumnSpan> discSpans(int w, int h, const gfx::Rect& window);
// White outside the spans, one per row of the bitmap.
void whiteOutside(gfx::Bitmap& bmp, std::span<const effects::ColumnSpan> spans);
// White outside the disc inscribed in the bitmap's box, as the brushes' masks leave it.
void whiteOutsideDisc(gfx::Bitmap& bmp);

} // namespace daubix::tools
