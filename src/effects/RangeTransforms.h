#pragma once

#include <span>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::effects {

// Range > Magnify, Square, Mirror, Stretch, Reduce and Split.
std::span<const app::CommandRow> rangeTransformRows();

} // namespace daubix::effects
