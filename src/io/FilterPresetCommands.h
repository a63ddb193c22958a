#pragma once

// The Filters window's preset file, "DaubixFL.txt" in the program folder, and the drop-down's pop-up
// menu "&Add", "&Delete", "&Update" (see effects/UserFilterCommands.h for the rest of the window). The
// list in doc.userFilter stays sorted, and the file is rewritten after every change.

#include "gfx/Result.h"
#include "io/PresetFile.h"

#include <string>
#include <vector>

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::io {

// The presets of a file, sorted; a missing file has none. A file larger than 1 MiB or unreadable gives a
// message.
gfx::Result<std::vector<std::string>> readFilterPresets(const std::string& path);

// The window is created: the file's presets become the list (none on a failure, whose message comes
// back), no preset is chosen, and later changes are written to path.
gfx::Status loadFilterPresets(app::Document& doc, const std::string& path);

// "&Add": the grid is checked first ("invalid integer in UserMatrix"), then "Enter Filter Name:" is asked
// in a box titled "Daubix User Filter". An empty answer does nothing; a name with "=" or control
// characters is refused with a message. Otherwise NAME=cells joins the list in its sorted place (the
// chosen preset stays chosen) and the file is written. A failed write shows its message and keeps the
// list.
void addFilterPreset(app::Document& doc, app::Host& host);
// "&Delete": the chosen preset leaves the list, none is chosen, and the file is written. Without a chosen
// preset nothing happens.
void deleteFilterPreset(app::Document& doc, app::Host& host);
// "&Update": as Add, with the box prefilled with the chosen preset's name, replacing that preset, which
// stays chosen. Without a chosen preset nothing happens.
void updateFilterPreset(app::Document& doc, app::Host& host);

} // namespace daubix::io
