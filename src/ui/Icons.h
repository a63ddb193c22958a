#pragma once

#include <QIcon>

#include <string_view>

namespace daubix::ui {

// Small drawn icons for the toolbar and its popups, keyed by what they show: a tool mode ("line",
// "ellipse", ...), "width:N", "brush:Style", "pen", "paste", "turn" and the like. Unknown keys get a
// neutral square with the key's first letter.
QIcon drawnIcon(std::string_view key);

} // namespace daubix::ui
