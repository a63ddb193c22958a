#pragma once

#include <array>
#include <cstdint>

namespace daubix::app {

// Numbers computed once at start.
struct Tables {
    Tables();

    // Entry i = round(255 sin(i / 255 * pi / 2)), halves to even: a quarter sine from 0 to 255.
    std::array<std::uint8_t, 256> sineRamp{};

    struct SinCos {
        long double sin = 0;
        long double cos = 0;
    };
    // Entry k holds the sine and cosine of (k - 90) degrees, k = 0 .. 180.
    std::array<SinCos, 181> degreeSine{};
    const SinCos& degrees(int angle) const { return degreeSine[static_cast<std::size_t>(angle + 90)]; }
};

} // namespace daubix::app
