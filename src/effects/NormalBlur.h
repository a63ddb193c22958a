#pragma once

#include <array>

namespace daubix::effects {

// Weight 1 on the border of the 5 x 5 square and 0 inside (sum 16): each pixel becomes the mean of the
// 16 pixels around its 3 x 3 neighbourhood. Blur > Normal Blur and the blur brushes convolve with it.
inline constexpr std::array<int, 25> kNormalBlurKernel{
    1, 1, 1, 1, 1, //
    1, 0, 0, 0, 1, //
    1, 0, 0, 0, 1, //
    1, 0, 0, 0, 1, //
    1, 1, 1, 1, 1, //
};

} // namespace daubix::effects
