#pragma once

// The Range menu's commands that combine the range with a colour or repeat it over the image: Logic
// (And, Or, Xor with red, green, blue or a chosen colour), Border and Tile. Each is one undo step; an
// empty or reversed range does nothing.

#include "gfx/Bitmap.h"
#include "gfx/Color.h"

#include <cstdint>
#include <optional>
#include <span>

namespace daubix::app {
struct CommandRow;
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::effects {

enum class RangeLogic : std::uint8_t { And, Or, Xor };
// The buffer is filled with the colour, the range copied onto it with merge copy (range AND colour),
// merge paint ((NOT range) OR colour) or source invert (range XOR colour), and drawn back at (L, T) with
// the canvas copy mode.
void rangeLogic(app::Document& doc, RangeLogic op, gfx::Color colour);

enum class RangeBorder : std::uint8_t { All, Horizontal, Vertical };
// Copies of the range along the top and bottom edges, the left and right edges, or both (the range
// copied again between the two), each run drawing at least once.
void rangeBorder(app::Document& doc, RangeBorder kind);

enum class RangeTile : std::uint8_t { All, Diagonal };
// Copies of the range over the whole image, row by row; or in runs going down and to the right, each new
// run starting at the left edge where the last one ended.
void rangeTile(app::Document& doc, RangeTile kind);

// The colour transitions: bands from the start colour towards the end colour, band i the start plus i
// steps of (end - start) / bands, rounded to even halves; drawn over a copy of the range and put back at
// (L, T) with the canvas copy mode. A buffer narrower (Horizontal) or lower (the others) than 20 pixels
// lowers the band count to its size - 1, at least 1, for later transitions too.
enum class Transition : std::uint8_t { Horizontal, Vertical, Conical, Elliptical, Rounded };
void rangeTransition(app::Document& doc, Transition shape);

// Range > Mask: a mask in the range buffer (white keeps, black whitens) drawn over the range with merge
// paint, stretched to (L, T)-(R, B); the canvas copy mode stays as it was.
enum class RangeMask : std::uint8_t { Squares, Oval, Diamond, Octagon, User };
void rangeMask(app::Document& doc, RangeMask kind);
// Image > Mask > Brush: the image becomes one bit deep, white where it had the canvas brush's colour.
void maskFromBrush(app::Document& doc);

// Range > Assign To: the pictures handed over. Quick Button: the range copied onto white. Bumper: the
// image's (L, T)-(R, B) exactly, at most 50 x 50. Nothing, with "no selection" or "selection too large
// (>50)!" said, when the range does not give one.
std::optional<gfx::Bitmap> quickButtonPicture(app::Document& doc, app::Host& host);
std::optional<gfx::Bitmap> bumperPicture(const app::Document& doc, app::Host& host);

std::span<const app::CommandRow> rangeFillRows();

} // namespace daubix::effects
