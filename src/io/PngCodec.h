#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Color.h"
#include "gfx/Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace daubix::io {

// What reading or writing a PNG says when the file itself cannot be opened; the codecs below work on
// bytes, so the file layer around them gives this message.
gfx::Error pngOpenError(std::string_view fileName);

// Reads any PNG that libpng reads as a 24-bit bitmap: palettes and grey expanded to RGB, 16-bit samples
// reduced to their high byte, transparency blended against white with the inverted alpha t as
// (t * 255 + (255 - t) * colour) / 255 (integer division). Pictures beyond Bitmap::kMaxPixels, or
// larger than the data could hold, are refused before any pixel memory is allocated. Every failure
// says "Error Reading File!".
gfx::Result<gfx::Bitmap> decodePng(std::span<const std::uint8_t> data);

// A PNG's picture before any blending, for callers that draw it over something other than white.
struct DecodedPng {
    gfx::Bitmap colour; // 24 bits; the file's colour also where the pixel is fully transparent
    std::vector<std::uint8_t> alpha; // width * height bytes, top row first; 255 = opaque, all 255 without alpha
};

// The same reading, with the same conversions, limits and message, that keeps the alpha apart.
gfx::Result<DecodedPng> decodePngWithAlpha(std::span<const std::uint8_t> data);

// Writes the pixels at 24 bits: colour type 2, or with a key colour type 6 whose alpha is 0 exactly
// where the pixel's colour equals the key's low 24 bits (255 elsewhere). The signature is followed by
// IHDR, the uncompressed texts "Software" and "Author", IDAT and IEND; zlib level 6, adaptive filters.
// A key of clNone counts as no key. Failures say "The image is empty." or "Error Writing PNG File!".
gfx::Result<std::vector<std::uint8_t>> encodePng(const gfx::Bitmap& image, std::optional<gfx::Color> key);

} // namespace daubix::io
