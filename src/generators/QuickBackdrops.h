#pragma once

// The QuickBack window (Image > Quick > Quick Background..., F2) and a script's request for a backdrop by
// name. The settings and presets live in doc.backdrop for the whole run; the window only shows them:
//   QBList                  listSelection (a formula number, -1 none)
//   redradio .. blueradio   checkedChannel (-1 none), captioned with their formulas' names
//   trkred .. trkblue       settings.offsets, 0 .. 255
//   trkfactor               settings.modulus, 16 .. 255
//   qbpresets               presets (by their names), presetIndex
// Events and the calls they make (a returned picture goes to the preview window):
//   the window created      loadBackdropPresets(doc, path)
//   a click in the list     clickBackdropFormula(doc, host, formula)
//   a radio button clicked  clickBackdropRadio(doc, channel)
//   a bar moved             moveBackdropBar(doc, host, bar, value)
//   a preset chosen         chooseBackdropPreset(doc, host, index)
//   the pop-up menu         addBackdropPreset, deleteBackdropPreset, updateBackdropPreset
// The presets are "NAME=fR,fG,fB,oR,oG,oB,m" lines, kept as they were read (a malformed one too) and in
// order of the whole line ignoring ASCII case, ties by bytes. The file is written whole after each change.

#include "app/Document.h"
#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::app {
class Host;
}

namespace daubix::generators {

inline constexpr const char* kBackdropPresetFile = "DaubixQB.txt";

// "NAME=fR,fG,fB,oR,oG,oB,m".
std::string backdropPresetLine(std::string_view name, const app::BackdropSettings& settings);

// Reads a preset's values into the settings in their order, each checked against its control's range.
// A line without "=" is left alone (NoName); at the first missing, non-numeric or out-of-range value the
// values before it have been taken (Error).
// valuesRead, when given, counts the values taken (7 when Loaded).
enum class PresetRead : std::uint8_t { Loaded, NoName, Error };
PresetRead readBackdropPreset(std::string_view line, app::BackdropSettings& settings, int* valuesRead = nullptr);

// Puts the line in its sorted place; the index it took.
int insertBackdropPreset(std::vector<std::string>& lines, std::string line);

// The presets of a file in the list's order; a missing file has none. A file that cannot be read or is
// larger than 1 MiB gives its message.
gfx::Result<std::vector<std::string>> readBackdropPresets(const std::string& path);

// The window is created: the file's presets become the list. A file that is there but cannot be read (or
// is larger than 1 MiB) gives its message and is never written: the list then lives in memory only.
gfx::Status loadBackdropPresets(app::Document& doc, const std::string& path);

// The backdrop of the settings for the image's size, into the memory of the preview's picture when it
// fits. Running out of memory says so and gives nothing.
std::optional<gfx::Bitmap> backdropPreview(app::Document& doc, app::Host& host);

// The checked channel takes the formula; the list shows it; then a preview.
std::optional<gfx::Bitmap> clickBackdropFormula(app::Document& doc, app::Host& host, int formula);
// Checks the channel's radio button and moves the list to its formula, without a preview.
void clickBackdropRadio(app::Document& doc, int channel);
// Red, green and blue offsets, then the modulus; the value is held within the bar's range.
enum class BackdropBar : std::uint8_t { Red, Green, Blue, Factor };
std::optional<gfx::Bitmap> moveBackdropBar(app::Document& doc, app::Host& host, BackdropBar bar, int value);
// Loads the preset and previews; a malformed one shows "Error in Presets" and keeps what was read. The
// count of values read stays in doc.backdrop.presetValuesRead, for the window to move those bars only.
std::optional<gfx::Bitmap> chooseBackdropPreset(app::Document& doc, app::Host& host, int index);

// "&Add Backdrop": "Enter Name:" in a box titled "Daubix Quick Backdrops"; an empty answer does nothing,
// a name with "=" or a line break is refused with a message. The new line takes its sorted place and
// the file is written; a failed write says "Cannot write DaubixQB.txt: REASON" and keeps the list.
void addBackdropPreset(app::Document& doc, app::Host& host);
// "&Delete Backdrop": the chosen preset goes; with none chosen nothing happens.
void deleteBackdropPreset(app::Document& doc, app::Host& host);
// "&Update Backdrop": "No item selected!" without a chosen preset; otherwise as Add with the box
// prefilled with the preset's name, the chosen line replaced.
void updateBackdropPreset(app::Document& doc, app::Host& host);

// A script asks for a backdrop by name: the first preset whose name equals it ignoring ASCII case is read
// whole, and only when all seven values are good are they loaded into the settings (the window's controls
// stay as they were) and the backdrop drawn over the whole image, which becomes 24-bit. No such preset, or
// a malformed one: nothing happens. True when drawn.
bool requestBackdrop(app::Document& doc, std::span<const std::string> presets, std::string_view name);

} // namespace daubix::generators
