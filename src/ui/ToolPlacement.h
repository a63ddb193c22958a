#pragma once

#include <QWidget>

#include <cstdint>

namespace daubix::ui {

// The first time a tool window shows, it is put beside the main window (to its right, or below it)
// rather than over the picture, as far as the screen allows; after that it stays where the user puts it.
enum class Beside : std::uint8_t { Right, Below };
void placeBesideOnce(QWidget* tool, const QWidget* main, Beside side);

} // namespace daubix::ui
