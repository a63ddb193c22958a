#pragma once

// The pixel work of the Image menu's effect commands, over bitmaps, so that the commands, scripts and
// tests share one implementation. Each function says which pixel format it expects.

#include "gfx/Bitmap.h"

#include <cstdint>

namespace daubix::app {
class Random;
}

namespace daubix::effects {

// Every pixel of a 24-bit bitmap becomes grey g = Round(0.3 R + 0.59 G + 0.11 B), exact halves to even.
void grayscale(gfx::Bitmap& bmp);

// Scatters the pixels of a 24-bit bitmap up and down: column by column, each pixel takes the pixel of a
// random nearby column and row into its own row of that column, drawing three numbers per pixel.
void spray(gfx::Bitmap& bmp, app::Random& random);

// A 24-bit bitmap reduced to 8 bits with the halftone palette: the bytes Bitmap::convertTo gives.
gfx::Bitmap reducedTo8Bits(const gfx::Bitmap& bmp);

// The Colors menu's channel permutations, in its order.
enum class ChannelOrder : std::uint8_t { RollRGB, SwapRG, SwapGB, SwapRB };
// The 24-bit bitmap with its channels permuted, reduced to 8 bits with the halftone palette: the same
// bytes as permuting a copy and converting it with Bitmap::convertTo.
gfx::Bitmap permutedTo8Bits(const gfx::Bitmap& bmp, ChannelOrder order);

// The Shadow menu's directions, in its order: where the shadow falls.
enum class ShadowDirection : std::uint8_t { UpLeft, UpRight, DownLeft, DownRight };
// Lays a copy of a 24-bit bitmap, moved four pixels towards the direction and one level lighter, under
// it: each channel becomes min(v, u + 1), u the channel four columns and four rows away on the other side.
// Pixels whose neighbour lies off the bitmap stay.
void shadow(gfx::Bitmap& bmp, ShadowDirection direction);

// Complements, in each row, the first W bytes (W the width in pixels) in the bitmap's own format, never
// more than the bytes that hold the row's pixels; bits past the last pixel stay zero.
void invertBytes(gfx::Bitmap& bmp);

// Draws the outlines between the colour regions of p (8 bits) into q (24 bits, p's size) in the grey
// level c. The forward sweep compares each pixel with its right and lower neighbour; from the second
// pass on a backward sweep compares with the left and upper one. Nothing happens on bitmaps narrower
// than 3 or lower than 2 pixels.
void trace(const gfx::Bitmap& p, gfx::Bitmap& q, std::uint8_t c, int intensity);

} // namespace daubix::effects
