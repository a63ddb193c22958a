#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

// Reads BMP files as other programs write them: 1, 4, 8, 16, 24 and 32 bits, bottom-up and top-down,
// uncompressed, RLE8, RLE4 and bit-field masks, with the core (12-byte) and the newer info headers.
// Palette images keep their palette and depth, 16-bit and masked images become 24 bits, plain 32-bit
// images stay 32 bits. Anything malformed is refused with a message; nothing is allocated before the
// sizes have been checked against the data and against Bitmap::kMaxPixels.
gfx::Result<gfx::Bitmap> decodeBmp(std::span<const std::uint8_t> data);
// The same for a bitmap without its file header, as metafiles and icons hold them: the info header, its
// masks and colour table, then the bits directly after them.
gfx::Result<gfx::Bitmap> decodeDib(std::span<const std::uint8_t> infoAndBits);
// Where such a bitmap's bits start, counted from its info header; nothing when the header is unusable.
std::optional<std::uint64_t> dibBitsOffset(std::span<const std::uint8_t> infoAndBits);
gfx::Result<gfx::Bitmap> readBmpFile(const std::string& path);

// Writes the bitmap in its own pixel format, bottom-up, uncompressed, with a 40-byte info header.
std::vector<std::uint8_t> encodeBmp(const gfx::Bitmap& bitmap);
gfx::Status writeBmpFile(const std::string& path, const gfx::Bitmap& bitmap);

} // namespace daubix::io
