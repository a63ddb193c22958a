#pragma once

#include "app/FileFormats.h"
#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <cstdint>
#include <vector>

namespace daubix::io {

// A picture as palette indices: one byte per pixel, rows of exactly width bytes, top row first.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<gfx::Color> palette;
};

// The GIF writer's reduction of a picture to at most 256 colours, as its settings say. Only method 6 (the
// 6 x 6 x 6 cube of levels 0, 51, ..., 255, entry r6 * 36 + g6 * 6 + b6) with nearest colour is built yet;
// other settings are refused with a message.
gfx::Result<IndexedPicture> reduceForGif(const gfx::Bitmap& image, const app::GifSettings& settings);

// Drops the palette entries that no pixel uses, keeping the order of the others, and renumbers the pixels.
void dropUnusedColours(IndexedPicture& picture);

} // namespace daubix::io
