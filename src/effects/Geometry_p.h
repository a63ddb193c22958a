#pragma once

// Helpers shared by the geometric transforms' files.

#include "effects/Effects_p.h"
#include "gfx/Bitmap.h"

#include <cstdint>

namespace daubix::effects::detail {

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
