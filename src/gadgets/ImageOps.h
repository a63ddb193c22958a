#pragma once

// What the image gadgets' pop-up commands do to pixels: loading a picture from the working image,
// combining, gluing and exchanging it with the image, and painting it in. The gadget model keeps the
// picture and calls these; nothing here knows where a gadget sits on screen or pushes an undo step.
//
// How a gadget's picture is drawn: when its `transparent` flag is set, pixels of its key colour are
// skipped. The key is a colour the model has fixed ("Capture Transparent Color", the opaque dithers), or
// else the picture's bottom-left pixel at the moment of drawing. The model keeps the fixed colour, if
// any, and passes it as `fixedKey`.

#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"
#include "gfx/RasterOp.h"
#include "gfx/Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace daubix::gadgets {

// The key a picture is drawn with: fixedKey when given, else its bottom-left pixel (clNone for an empty
// picture, which draws nothing anyway).
gfx::Color transparentKey(const gfx::Bitmap& picture, std::optional<gfx::Color> fixedKey);

// "Load Drawing": a 24-bit copy of the whole image, opaque.
gfx::Bitmap loadDrawing(const gfx::Bitmap& image);

// "Load Range": a 24-bit copy of the range's pixels, one to one. The range is read as the canvas reads
// boxes (right and bottom exclusive), its corners ordered first, so Select All's (0, 0, W, H) loads the
// whole image exactly; parts outside the image come out white. An empty range gives "no selection", a
// range larger than a bitmap may be "Image too large".
gfx::Result<gfx::Bitmap> loadRange(const gfx::Bitmap& image, gfx::Rect range);

// "Load Blocks": the image stretched (source pixels picked) over a blocks x blocks square, then reduced
// to the 16 standard colours (4 bits). Fewer than 1 block gives an empty picture.
gfx::Bitmap loadBlocks(const gfx::Bitmap& image, int blocks);

enum class CombineOp : std::uint8_t { Average, Exclude, Intersect, Add, Sub, And, Or, Xor, NotXor };

struct CombineItem {
    std::string_view caption; // the pop-up item, with its accelerator mark
    CombineOp op;
};
// The "Combine" items in menu order; "Add" and the items after it sit under "&Logic".
std::span<const CombineItem> combineItems();

// "Combine": only when the gadget's picture has the image's width and height; otherwise nothing happens
// and false comes back. Both are taken by their colours as 24 bits, and each colour byte of the image, W,
// is combined with the gadget's, G (Add and Sub wrap around):
//   Average (W + G) / 2          Exclude  255 when W = G, else (W + G) / 2   Intersect W when W = G, else 255
//   Add     W + G                Sub      W - G                              And W & G   Or W | G
//   Xor     W ^ G                NotXor   W ^ ~G
// The image becomes 24 bits; its transparency fields stay.
bool combine(gfx::Bitmap& image, const gfx::Bitmap& gadget, CombineOp op);

enum class GlueSide : std::uint8_t { Right, Bottom };

// "Glue": Right only when the heights are equal, Bottom only when the widths are; otherwise nothing happens
// and false comes back. The image grows by the gadget's width (height) and the gadget's picture is copied
// as it is (its transparency plays no part) into the new strip at x = old width (y = old height). The
// image keeps its pixel format and palette, so an indexed image stays indexed and takes the gadget's
// colours by nearest entry: the working image's format is the user's choice, not the gadget's. When the
// grown size is beyond what a bitmap may be, "Image too large" comes back and nothing changes.
gfx::Result<bool> glue(gfx::Bitmap& image, const gfx::Bitmap& gadget, GlueSide side);

// "Exchange Drawing": when both have the same width and height, their pictures (pixels, format, palette)
// change places and true comes back; each keeps its own transparency fields. Otherwise nothing.
bool exchange(gfx::Bitmap& image, gfx::Bitmap& gadget);

enum class BorderKind : std::uint8_t { All, Horizontal, Vertical };

// "Paint Border" on the canvas's image, W x H, with the gadget's picture, w x h. Horizontal: copies at
// x = 0, w, 2w, ... while x < W, along the top (y = 0) and again along the bottom (y = H - h); Vertical: at
// y = 0, h, 2h, ... while y < H, along the left (x = 0) and the right (x = W - w); All: both, horizontal
// first. Each copy goes with the picture's current transparency: skipping the key (see transparentKey)
// when the picture is transparent, else through the canvas's copy mode. A picture 0 wide or 0 high paints
// nothing: the copies would never advance.
void paintBorder(gfx::Canvas& canvas, gfx::Bitmap& gadget, BorderKind kind, std::optional<gfx::Color> fixedKey);

// "Paint" (at the gadget's position) and "Draw" (at (0, 0)): switches the picture's transparency on,
// as the command does for good, and draws it with the key skipped.
void paintTransparent(gfx::Canvas& canvas, gfx::Bitmap& gadget, gfx::Point at, std::optional<gfx::Color> fixedKey);

struct SpecialItem {
    std::string_view caption;
    gfx::Rop3 rop;
};
// The "Paint Special" items in menu order with their raster operations; "SrcPaint" is S OR D.
std::span<const SpecialItem> specialItems();
// The raster operation of a "Paint Special" caption, nullopt for any other text.
std::optional<gfx::Rop3> specialRop(std::string_view caption);

// "Paint Special": the whole picture copied at `at` with the raster operation, whatever its
// transparency. The canvas's brush is the operation's pattern (MergeCopy is brush AND source); the
// canvas's copy mode is neither used nor changed.
void paintSpecial(gfx::Canvas& canvas, const gfx::Bitmap& gadget, gfx::Point at, gfx::Rop3 rop);

// "Invert": every bit of every pixel; indexed pictures invert their indices. Row padding, and the unused
// byte of 32-bit pixels, stay as they were.
void invertBits(gfx::Bitmap& picture);

// "25% Opaque" (percent 25) and "50% Opaque" (any other value). The picture is made 24 bits first, by its
// colours, then whitened: 50 every pixel with x + y even; 25 all of the odd rows and the even-x pixels of
// even rows. Its transparent colour becomes white and transparency is switched on: the model fixes
// white as the key, so the whitened pixels (and white ones already there) let the image show through.
void opaqueDither(gfx::Bitmap& picture, int percent);

// "Capture Transparent Color": the gadget's picture takes the image's pixel format, and for indexed
// formats its palette, each pixel by its nearest colour; transparency is switched on and the key becomes
// the picture's pixel at grab (the point of the right-click that opened the pop-up), which comes back
// for the model to fix. A grab outside the picture keeps the old transparent colour and gives nullopt.
std::optional<gfx::Color> captureTransparentColor(gfx::Bitmap& gadget, const gfx::Bitmap& image, gfx::Point grab);

} // namespace daubix::gadgets
