#pragma once

// Helpers shared by the effect files.

#include "gfx/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <thread>

namespace daubix::effects::detail {

inline std::uint8_t clampByte(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// Applies a per-value table to every channel of a 24-bit bitmap.
inline void applyTable(gfx::Bitmap& bmp, const std::uint8_t (&table)[256])
{
    const std::size_t bytes = static_cast<std::size_t>(bmp.width()) * 3;
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* row = bmp.scanLine(y);
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = table[row[i]];
    }
}

// The image itself, converted to 24 bits. Commands that would rewrite a 24-bit copy in place and then
// replace the image with it work on the image this way: the same result, without a copy of a large image.
inline gfx::Bitmap& inTwentyFourBits(gfx::Bitmap& image)
{
    image.convertTo(gfx::PixelFormat::Bits24);
    return image;
}

// Makes dst a 24-bit bitmap of the given size, keeping it when it already is one.
inline void prepare(gfx::Bitmap& dst, int width, int height)
{
    if (dst.format() != gfx::PixelFormat::Bits24 || dst.width() != width || dst.height() != height)
        dst = gfx::Bitmap(width, height);
}

// Runs band(first, last) over the rows 0 .. rows - 1, as two bands on two threads when the pixels to
// touch are worth a thread. Each band may write only its own rows, so the result cannot depend on order.
template <typename Band> void inTwoBands(int rows, std::int64_t pixels, Band&& band)
{
    if (rows < 2 || pixels < (std::int64_t{1} << 16) || std::thread::hardware_concurrency() < 2) {
        band(0, rows);
        return;
    }
    const int middle = rows / 2;
    std::thread top([&] { band(0, middle); });
    band(middle, rows);
    top.join();
}

} // namespace daubix::effects::detail
