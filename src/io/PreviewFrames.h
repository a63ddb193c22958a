#pragma once

// The preview window's buttons: "Use", and the numbered GIF frames that "Save..." and the counter button
// write from the preview picture (base name + counter + ".gif": sky1.gif, sky2.gif, ...).

#include "gfx/Result.h"

#include <span>
#include <string>

namespace daubix::app {
struct CommandRow;
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::io {

// The base name a chosen file gives: the name without its extension, which only the last path
// component can carry ("/home/a.b/sky" stays whole).
std::string frameBaseName(const std::string& chosen);
// The file of frame n.
std::string framePath(const std::string& base, int counter);

// Writes the preview picture as the frame the counter names, through the GIF writer with the run's
// reduction and colour-map optimisation, the bottom-left pixel's colour transparent when the box says
// so; then the counter moves on. A failed write leaves the counter and every file as they were.
gfx::Status savePreviewFrame(app::Document& doc);

// "Save...": asks for a GIF name; its base name is kept, the counter becomes 1 and the first frame is
// saved. A cancelled dialog changes nothing; a failed write shows its message.
void savePreviewAs(app::Document& doc, app::Host& host);
// The counter button: the next frame, or "Save..." while there is no base name.
void saveNextFrame(app::Document& doc, app::Host& host);

// The preview window's buttons as rows, which the window and the step runner run through runCommand:
// "TQuickPreviewF > Use" (one undo step), "TQuickPreviewF > Save...", "TQuickPreviewF > CounterButton".
// They belong to no menu.
std::span<const app::CommandRow> previewWindowRows();

} // namespace daubix::io
