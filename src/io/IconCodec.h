#pragma once

// Windows icons: the 32 x 32 picture with a one-bit transparency mask that the program makes of the
// image, and the ICO files it writes of it, with 16 or 256 colours.

#include "gfx/Bitmap.h"
#include "gfx/Result.h"
#include "io/PngCodec.h"

#include <cstdint>
#include <span>
#include <vector>

namespace daubix::io {

struct IconPicture {
    gfx::Bitmap colour; // 24 bits, 32 x 32; black where the mask is transparent
    gfx::Bitmap mask; // 1 bit, 32 x 32; 1 = transparent
};

constexpr int kIconSide = 32;

// The icon of a picture, drawn at the top-left of a white 32 x 32 square: the colour of its bottom-left
// pixel becomes transparent. Unless that colour is black, black pixels stay black and opaque (they pass
// through an escape colour, which therefore comes out black too).
IconPicture makeIcon(const gfx::Bitmap& picture);

// An ICO file of one image: 4 (16 colours) or 8 (256 colours) bits per pixel.
gfx::Result<std::vector<std::uint8_t>> encodeIcon(const IconPicture& icon, int bitsPerPixel);

// The picture of an icon file with its transparency, as the PNG reader gives it: 24-bit colour, not
// blended, and one alpha byte per pixel (top row first; 0 is transparent, 255 opaque).
using DecodedIcon = DecodedPng;

// Reads the largest (then the deepest) of the file's images, judged by the image data itself rather than
// the directory: PNG images, and bitmaps of 1 to 32 bits with their AND mask, or their alpha channel at 32
// bits when it holds any. Entries that do not fit in the file are passed over.
gfx::Result<DecodedIcon> decodeIcon(std::span<const std::uint8_t> data);

} // namespace daubix::io
