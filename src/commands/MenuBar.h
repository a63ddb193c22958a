#pragma once

#include <span>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::commands {

// Every item of the menu bar in the menus' order, with its shortcut and kind; only the few whose work
// is the shell's own carry a handler here.
std::span<const app::CommandRow> menuBarLayout();

} // namespace daubix::commands
