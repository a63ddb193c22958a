#pragma once

// The pixel cores of the colour, gradient and effect brushes, on plain bitmaps, so that the brush
// tools can apply them to the part of the image a move touches.

#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"

#include <string_view>

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

// The strength of an effect or morph brush for the pointer's direction theta (radians, -pi .. pi,
// positive below the centre): amounts, fisheye factor, twist, ripple count or angle in degrees.
double effectParameter(std::string_view mode, double theta);

// Zoom Out: the image shrinks back into the zoom rectangle of the zoom copy, which then replaces it,
// so an enlargement edited after Zoom In Keep returns to where it came from.
void zoomOut(app::Document& doc);

// White outside the disc inscribed in the bitmap's square, as the brushes' masks leave it.
void whiteOutsideDisc(gfx::Bitmap& bmp);

} // namespace daubix::tools
