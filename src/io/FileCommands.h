#pragma once

#include <span>

#include <string>

namespace daubix::app {
struct CommandContext;
struct CommandRow;
}

namespace daubix::io {

// The File menu's image traffic: New, New Banner, Open..., Save As..., Open Pattern..., Save Pattern...
std::span<const app::CommandRow> fileCommandRows();

// Open without its dialog: the named file becomes the image as File > Open makes it (the caller pushes
// the undo step, if any).
void openPicture(app::CommandContext& c, const std::string& name);

} // namespace daubix::io
