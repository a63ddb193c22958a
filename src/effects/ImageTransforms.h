#pragma once

#include <span>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::effects {

// Image > Whirl, Projection, Mirror, Flip, Move and Clip, and Range > Whirl.
std::span<const app::CommandRow> imageTransformRows();

} // namespace daubix::effects
