#pragma once

// The range: the selection rectangle of the working image, the bitmap that receives copies of it, and
// the commands that work on them. The rectangle is used as it is stored (a range dragged up or left has
// Left > Right); the buffer counts Right and Bottom as inside, canvas copies do not.

#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"
#include "gfx/RasterOp.h"

#include <optional>
#include <span>
#include <string_view>

namespace daubix::app {

struct CommandRow;
struct Document;
class Host;

// Sizes the range buffer to (R - L + 1) x (B - T + 1) and fills it with the colour, which becomes the
// buffer's brush colour.
void setclip(Document& doc, gfx::Color fill);
// Copies the image's range rectangle over the whole buffer with the range copy mode, the buffer's brush
// colour as its pattern; the buffer is then 24 bits.
void copyclip(Document& doc);
// Draws the buffer with its top-left at (L, T) with the image canvas's copy mode.
void pasteclip(Document& doc);
// The usual start of a range command: the range copy mode becomes rop, and the buffer a white sheet
// with the range copied onto it by that mode (source copy: the range; source invert: its inverse).
void copyRangeOnWhite(Document& doc, gfx::Rop3 rop);
// The working copy of the whole image: the range becomes (0, 0, W - 1, H - 1) and the range copy mode a
// source copy, as the commands that start this way expect, but the buffer is an exact 24-bit copy of the
// image. A range copy of that rectangle would stretch it by a pixel, dropping the last row and column.
void copyWholeImage(Document& doc);

void selectAll(Document& doc);
// Fills the range, Right and Bottom included, with the brush colour.
void eraseRange(Document& doc);
void invertRange(Document& doc);
// Fills the range with the brush.
void fillRange(Document& doc);
// A copy of the canvas rectangle (L, T, R, B) at its size as a mask: pixels of the second colour white,
// all others black. Empty for an empty or reversed range.
gfx::Bitmap rangeMask(const Document& doc);
// Draws the range's mask over the range with the canvas copy mode.
void maskClip(Document& doc);
// The colour the pick tool takes at p: the pixel, or with the average of the pixels 5 to each side.
gfx::Color pickedColor(const Document& doc, gfx::Point p, bool average);

// Shrinks the range to what differs from its top-left pixel. An empty range shows "no selection" and
// stays as it is; the answer says whether the range was tightened.
bool tightenRange(Document& doc, Host& host);
// A 24-bit copy of the range, (R - L) x (B - T), to float above the image at (L, T).
gfx::Bitmap floatRange(const Document& doc);
// Widens the range to 24 pixels about its centre in each direction where it is narrower.
void widenRangeTo24(Document& doc);

// The Float commands: the whole range; the range tightened first; or tightened, widened to 24 x 24
// and reduced to 16 colours, for an icon. The bitmap floats above the image at the range's (L, T).
enum class FloatKind : std::uint8_t { Full, Tight, Tight24 };
gfx::Bitmap floatCommand(Document& doc, Host& host, FloatKind kind);
// Gives the document's floating image a new bitmap, shown at the position.
void showFloating(Document& doc, gfx::Bitmap bitmap, gfx::Point position);

// The Range menu's selection commands, Edit > Paste Floating Range, the FloodFill Range button with its
// popup, the copy-modes popup and the floating image's Gadgets item.
std::span<const CommandRow> rangeCommandRows();
// The caption of the copy-modes item that sets a copy mode ("Source Invert"); empty for other modes.
std::string_view copyModeName(gfx::Rop3 mode);

} // namespace daubix::app
