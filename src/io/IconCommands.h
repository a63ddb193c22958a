#pragma once

#include <span>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::io {

// Image > Icon: Preview, Save with 16 Colors..., Save with 256 Colors...
std::span<const app::CommandRow> iconCommandRows();

} // namespace daubix::io
