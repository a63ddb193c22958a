#pragma once

#include "app/FileFormats.h"
#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

// Decodes the first frame of a GIF file to an 8-bit bitmap with the frame's colour map (the local map,
// else the global one, else a grey ramp), padded with black to a power of two, at least 2, that has an
// entry for every index in the picture. The picture has the logical screen's size when that size is
// usable, else the frame's; the frame sits at its offset and the pixels it leaves uncovered take the
// transparent index of its graphic control extension, else the background index. Later frames are not
// read at all.
gfx::Result<gfx::Bitmap> decodeGif(std::span<const std::uint8_t> data);

// What the writer adds to the reduced picture.
enum class GifControl {
    None, // no graphic control extension; the file is GIF87a
    Opaque, // a graphic control extension without a transparent colour; GIF89a
    BottomLeftTransparent, // the same, with the colour of the bottom-left pixel (0, height - 1) transparent
};

struct GifWriteOptions {
    bool optimiseMap = true; // drop the colours that no pixel uses, keeping the order of the others
    GifControl control = GifControl::None;
};

// Reduces the picture to a palette as the settings say (today only method 6, the 6 x 6 x 6 cube of levels
// 0, 51, ..., 255, with nearest colour and no dithering; other choices are refused with a message) and
// writes it as one frame covering the screen, its colours in the global map (padded with black to a power
// of two). The transparent index is that of the bottom-left pixel in the map as written. Sides beyond
// 65535 pixels are refused.
gfx::Result<std::vector<std::uint8_t>> encodeGif(
    const gfx::Bitmap& image, const app::GifSettings& settings, GifWriteOptions options);

gfx::Result<gfx::Bitmap> readGifFile(const std::string& path);
// Nothing is written unless the whole file could be made; an existing file is replaced only then.
gfx::Status writeGifFile(
    const std::string& path, const gfx::Bitmap& image, const app::GifSettings& settings, GifWriteOptions options);

} // namespace daubix::io
