#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <cstdint>
#include <vector>

namespace daubix::io {

// Writes an uncompressed, single-strip, little-endian TIFF: palette bitmaps (1, 4 and 8 bits; 1 bit is
// written as 8) with their colour map padded black to 2^depth entries, 24- and 32-bit bitmaps as 8-bit
// RGB. The directory of 15 entries follows the strip. Rows keep their full width: a palette row takes
// ceil(width * depth / 8) bytes.
gfx::Result<std::vector<std::uint8_t>> encodeTiff(const gfx::Bitmap& image);

} // namespace daubix::io
