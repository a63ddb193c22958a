#pragma once

#include <span>
#include <string>
#include <string_view>

namespace daubix::app {
struct CommandRow;
}

namespace daubix::commands {

// Every command of the program: the menu bar's items in the menus' order, then the toolbar's buttons
// and its popups' items. Built once, on first use.
std::span<const app::CommandRow> commandTable();

// The row a path names as a user may write it: case, "&", a trailing "..." and blanks around " > " do
// not matter, and a toolbar dropdown's name stands for its popup ("setwidth > 3 pixels"). Null when no
// row has the path.
const app::CommandRow* findCommand(std::string_view path);

// The form paths are compared in: lower case, without "&" and trailing "...", components joined by ">".
std::string normalizedPath(std::string_view path);

// The popup a toolbar dropdown opens ("setwidth" opens "linewidth"); the name itself for others.
std::string_view popupOf(std::string_view button);

} // namespace daubix::commands
