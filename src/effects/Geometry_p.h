#pragma once

// Helpers shared by the geometric transforms' files.

#include "gfx/Bitmap.h"

#include <cstdint>
#include <thread>

namespace daubix::effects::detail {

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

// src itself when it is 24-bit, else a 24-bit copy kept in storage.
inline const gfx::Bitmap& as24(const gfx::Bitmap& src, gfx::Bitmap& storage)
{
    if (src.format() == gfx::PixelFormat::Bits24)
        return src;
    storage = src.converted(gfx::PixelFormat::Bits24);
    return storage;
}

// Round to nearest, halves to even, for |v| < 2^51: adding and taking away 1.5 * 2^52 leaves v rounded
// by the floating-point unit, which rounds that way.
inline std::int64_t roundHalfEven64(double v)
{
    constexpr double kShift = 6755399441055744.0;
    return static_cast<std::int64_t>((v + kShift) - kShift);
}

} // namespace daubix::effects::detail
