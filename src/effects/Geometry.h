#pragma once

// The pixel work of the geometric transforms: free functions over bitmaps, so that the Image and Range
// menu commands, scripts and tests share one implementation. Where a function takes a 24-bit bitmap,
// any other pixel format is first converted to 24 bits, as the commands do with their working copy.

#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"

#include <cstdint>

namespace daubix::app {
struct Tables;
}

namespace daubix::effects {

// The whirl engine's kinds in the Image > Whirl menu's order; the first four are also Range > Whirl's.
enum class WhirlKind : std::uint8_t {
    In,
    Out,
    Center,
    Double,
    Wave10,
    Wave20,
    Ripple10,
    Ripple20,
    Band90,
    Band45,
    Band25,
    Revert
};

// A polar remapping about the centre: each result pixel takes the source pixel turned by an angle that
// the kind derives from its distance to the centre, read from tables.degreeSine; pixels whose source lies
// off the bitmap are white. Returns a new 24-bit bitmap of src's size; src is not changed.
gfx::Bitmap whirl(const gfx::Bitmap& src, gfx::Point centre, WhirlKind kind, const app::Tables& tables);

struct Projection {
    double factor = 0.75; // 0.1 .. 1 from the menu; other values still keep every write inside the bitmap
    bool retainBorders = false; // start the result as a copy of the source instead of white
    bool sinus = true; // the sine of the angle, else its cosine
};
// Each source pixel moves towards the centre by a share of its distance; where several land on one
// pixel, the one nearest the top-left (in row order) wins. A bitmap less than two pixels wide (globe,
// vertical cylinder) or high (horizontal cylinder) has no radius and comes back unchanged, as does any
// bitmap for a factor that is not a finite number. New 24-bit results of src's size.
gfx::Bitmap globe(const gfx::Bitmap& src, const Projection& p);
gfx::Bitmap cylinderHorizontal(const gfx::Bitmap& src, const Projection& p);
gfx::Bitmap cylinderVertical(const gfx::Bitmap& src, const Projection& p);

enum class MirrorHalf : std::uint8_t { Down, Up, Left, Right };
// The named half becomes the mirror image of the other; a middle row or column stays. In place.
void mirrorHalf(gfx::Bitmap& bmp, MirrorHalf half);
// The top-left quarter mirrored onto the other three. In place.
void mirrorQuadTopLeft(gfx::Bitmap& bmp);
// In each row the left part, widening to the middle row and narrowing below it, mirrored onto the right
// end. Only for a square bitmap (the command says "image must be square"); any other is left alone.
void mirrorWedge(gfx::Bitmap& bmp);

// The flip (left-right when horizontal, else top-bottom) as a new 8-bit bitmap with the 256-colour
// halftone palette (gfx::halftonePalette256()), each pixel the nearest colour exactly as
// gfx::Bitmap::convertTo(PixelFormat::Bits8) maps it.
gfx::Bitmap flipToHalftone(const gfx::Bitmap& src, bool horizontal);

// Circular shifts by one, in place: the columns of a 24-bit bitmap (direction -1 left, +1 right) and the
// rows of a bitmap of any pixel format (-1 up, +1 down). The pixel or row pushed out at one edge comes
// back at the other; a direction of 0 changes nothing.
void shiftColumns(gfx::Bitmap& bmp, int direction);
void shiftRows(gfx::Bitmap& bmp, int direction);

// A white 24-bit bitmap of the image's size holding the image only inside the ellipse inscribed in
// (0, 0)-(W, H), or inside the diamond (W div 2, 0), (W - 1, H div 2), (W div 2, H - 1), (0, H div 2)
// filled by the winding rule (for this convex shape, the alternate fill equals it). The image may be any
// pixel format. Inside means the pixels the canvas's filled figure covers (gfx::Region). The command
// draws the result onto the image with the canvas copy mode.
gfx::Bitmap clippedToEllipse(const gfx::Bitmap& image);
gfx::Bitmap clippedToDiamond(const gfx::Bitmap& image);

} // namespace daubix::effects
