#pragma once

#include <span>
#include <string_view>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::tools {

// The rows that choose tools: the Shape button's tool menu (tools whose drawing is not built yet have
// no handler), Image > Zoom, and the Select Range, Copy Selection, Pick Brush and Floodfill buttons.
std::span<const app::CommandRow> toolCommandRows();
// The tool menu's row for a mode, for the button that shows the chosen tool; null for modes the menu
// does not offer.
const app::CommandRow* toolMenuRow(std::string_view mode);

} // namespace daubix::tools
