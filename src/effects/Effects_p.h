#pragma once

// Helpers shared by the effect files.

#include "app/VectorClones.h"
#include "gfx/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <system_error>
#include <thread>

namespace daubix::effects::detail {

inline std::uint8_t clampByte(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
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
    // A band that runs out of memory must not end the program: its exception reaches the caller (the
    // command's guard) after both bands are done.
    std::exception_ptr topFailure;
    std::thread top;
    try {
        top = std::thread([&] {
            try {
                band(0, middle);
            } catch (...) {
                topFailure = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        band(0, rows); // no thread to be had
        return;
    }
    try {
        band(middle, rows);
    } catch (...) {
        top.join();
        throw;
    }
    top.join();
    if (topFailure)
        std::rethrow_exception(topFailure);
}

// Byte stores may alias anything, so a loop bound read through a reference (a lambda's capture) is read
// again after every store: row loops take theirs by value.
inline void lookUp(const std::uint8_t* in, std::uint8_t* out, std::size_t n, const std::uint8_t* table)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = table[in[i]];
}

// Every channel value v of src becomes table[v] in dst, which has src's size and may be src itself.
inline void applyTable(const gfx::Bitmap& src, gfx::Bitmap& dst, const std::uint8_t (&table)[256])
{
    inTwoBands(src.height(), std::int64_t{src.width()} * src.height(), [&](int first, int last) {
        for (int y = first; y < last; ++y)
            lookUp(src.scanLine(y), dst.scanLine(y), static_cast<std::size_t>(src.width()) * 3, table);
    });
}

inline void applyTable(gfx::Bitmap& bmp, const std::uint8_t (&table)[256])
{
    applyTable(bmp, bmp, table);
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

} // namespace daubix::effects::detail
