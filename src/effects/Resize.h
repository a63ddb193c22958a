#pragma once

// The resampling the size commands share: the bilinear resampler in 15-bit fixed point and the smart
// resize built on it (also used for icons).

#include "gfx/Bitmap.h"

#include <cstdint>
#include <optional>

namespace daubix::effects {

// Resamples the 24-bit src over the whole of the 24-bit dst, whose size is already set. The top-left
// pixel of dst is the top-left pixel of src exactly. An empty src or dst changes nothing.
void bilinear(const gfx::Bitmap& src, gfx::Bitmap& dst);

// A new 24-bit width x height bitmap with src stretched over it, nearest pixel, as Default > Stretch
// makes it.
gfx::Bitmap stretched(const gfx::Bitmap& src, int width, int height);

// Width: the size is the new width and the height follows the proportions; Height: the other way round;
// Square: whichever side is longer becomes the size, and the picture sits at the top-left of a size x
// size square, white elsewhere.
enum class SmartMode : std::uint8_t { Width, Height, Square };

struct Size {
    std::int64_t width = 0;
    std::int64_t height = 0;
};
// The size a smart resize of a width x height picture resamples into (before a square is filled out);
// a side that rounds to 0 is 1.
Size smartSize(int width, int height, SmartMode mode, int size);
// The smart resize of the 24-bit src; nullopt when the result would be larger than a bitmap may be.
std::optional<gfx::Bitmap> smartResize(const gfx::Bitmap& src, SmartMode mode, int size);

} // namespace daubix::effects
