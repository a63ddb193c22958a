#pragma once

// Pictures the benchmarks work on: bytes that differ from pixel to pixel, so that no operation meets a
// run it could take a short cut through.

#include "gfx/Bitmap.h"

#include <cstdint>

namespace daubix::bench {

inline gfx::Bitmap noisePicture(int width, int height, unsigned seed = 0)
{
    gfx::Bitmap b = gfx::Bitmap::zeroed(width, height);
    std::uint32_t s = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int i = 0; i < width * 3; ++i) {
            s = s * 1664525u + 1013904223u;
            row[i] = static_cast<std::uint8_t>(s >> 24);
        }
    }
    return b;
}

} // namespace daubix::bench
