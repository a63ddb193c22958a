#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

// Decodes a JPEG file to a 24-bit bitmap: colour, grey (as R = G = B) and CMYK or YCCK pictures, baseline
// and progressive. Truncated or damaged files, pictures beyond Bitmap's size limit (checked from the
// header, before the pixels are allocated), files that would need more than 1 GiB of decoder memory and
// progressive files of more than 500 scans are refused with a message.
gfx::Result<gfx::Bitmap> decodeJpeg(std::span<const std::uint8_t> data);

// Encodes at quality 1..100 (values outside are clamped) with 4:2:0 sampling and the standard tables;
// grey writes a one-channel greyscale file. Any pixel format is accepted.
gfx::Result<std::vector<std::uint8_t>> encodeJpeg(const gfx::Bitmap& image, int quality, bool grey);

// What a picture looks like after JPEG compression, and how many bytes the compressed file takes: the
// JPEG preview window's step.
struct JpegPreview {
    std::size_t bytes = 0;
    gfx::Bitmap picture; // 24 bits
};
gfx::Result<JpegPreview> jpegPreview(const gfx::Bitmap& image, int quality, bool grey);

gfx::Result<gfx::Bitmap> readJpegFile(const std::string& path);
// Nothing is written unless the whole file could be made; an existing file is replaced only then.
gfx::Status writeJpegFile(const std::string& path, const gfx::Bitmap& image, int quality, bool grey);

} // namespace daubix::io
