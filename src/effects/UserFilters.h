#pragma once

// The user filters: 25 line filters chosen per channel, or a 5 x 5 matrix. They work on the working
// copy B of the whole image, never on the image itself.

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace daubix::app {
class Random;
}

namespace daubix::effects {

// The Filters window's list, in its order; the index of a name is what channels and selections hold.
inline constexpr int kUserFilterCount = 26;
inline constexpr int kReduceFilter = 7;
inline constexpr int kDripFilter = 15;
inline constexpr int kUserMatrixFilter = 25;
std::span<const std::string_view, kUserFilterCount> userFilterNames();
// The index of a list name, ignoring ASCII case.
std::optional<int> findUserFilter(std::string_view name);

inline constexpr int kMinFilterValue = 16;
inline constexpr int kMaxFilterValue = 255;

// Everything a run reads besides the picture.
struct UserFilterSettings {
    std::array<int, 3> channels{kReduceFilter, kReduceFilter, kReduceFilter}; // red, green, blue
    // The list's selection: kUserMatrixFilter convolves B with the matrix; any other index runs each
    // channel's line filter. A channel whose filter is "UserMatrix" then stays as it is.
    int selection = kReduceFilter;
    int v = kMinFilterValue; // kMinFilterValue .. kMaxFilterValue, used as a byte
    // The grid row by row: matrix[row * 5 + column] weighs the pixel column - 2 to the right and row - 2
    // below the target.
    std::array<std::int16_t, 25> matrix{};
    std::uint8_t traceByte = 0; // what Trace writes
    std::array<std::uint8_t, 2> embossBytes{255, 0}; // EmbossRight writes the first, then the second
};

// A value or an index out of its range gives a message.
gfx::Status checkUserFilterSettings(const UserFilterSettings& settings);

// Runs the filter on b (made 24 bits) in place. Line filters walk rows 1 .. H - 2 top to bottom, and on
// each row red, then green, then blue; what they write into the current and the next row is read again
// further down, which is part of their look. Drip draws from random. Settings out of their ranges are
// refused with a message, and b is then untouched.
gfx::Status applyUserFilter(gfx::Bitmap& b, const UserFilterSettings& settings, app::Random& random);

} // namespace daubix::effects
