#pragma once

#include <span>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::effects {

// The commands that apply effects to the image from the menus and the toolbar.
std::span<const app::CommandRow> effectCommandRows();

} // namespace daubix::effects
