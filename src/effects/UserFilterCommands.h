#pragma once

// What the Filters window (Image > Quick > Quick Filter..., F4) does, for a window that only holds the
// controls. Its state lives in doc.userFilter for the whole run; after any call the window shows it:
//   radio captions       userFilterNames()[state.channels[c]] (channelCaption), c = 0 red, 1 green, 2 blue
//   checked radio        state.checkedChannel
//   list selection       state.selection
//   parameter bar        state.v
//   grid                 state.cells[row * 5 + column]
//   presets drop-down    presetNames(state.presets), with state.presetIndex chosen (-1: none)
//
// Events and the calls they make (a call that returns a picture hands it to the preview window, whose
// entry is showPicture(gfx::Bitmap); no picture means the preview stays as it was):
//   window created       io::loadFilterPresets(doc, app::programFile(folder, "DaubixFL.txt"))
//   click in the list    clickFilterList(doc, host, row)
//   click on a radio     clickChannelRadio(doc, channel)
//   bar moved            moveFilterBar(doc, host, value)
//   a cell edited        editMatrixCell(doc, row, column, text)
//   "Show"               showUserMatrix(doc, host)
//   preset chosen        choosePreset(doc, host, index)
//   "&Add" / "&Delete" / "&Update"   io::addFilterPreset / deleteFilterPreset / updateFilterPreset
// Messages ("invalid integer in UserMatrix", a short preset, a file that cannot be written) go to
// host.showFailure. Nothing here touches the working image or the undo ring: the image changes only when
// the preview window's "Use" draws the picture.

#include "effects/UserFilters.h"

#include <optional>
#include <string>
#include <string_view>

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::effects {

// The run's settings from the document: the window's state with its grid read, and the trace and
// emboss bytes. A cell that is not a 16-bit integer gives "invalid integer in UserMatrix".
gfx::Result<UserFilterSettings> userFilterSettings(const app::Document& doc);

// Running the filter: the range becomes (0, 0, W - 1, H - 1), the range buffer an exact 24-bit copy of
// the image (the working copy B), and B is filtered in place; the range buffer keeps the result. On a
// failure nothing changes.
gfx::Status runUserFilter(app::Document& doc);
// runUserFilter, then the picture for the preview window: a copy of the range buffer, which keeps its own.
gfx::Result<gfx::Bitmap> previewUserFilter(app::Document& doc);

// The checked channel takes the list's row, which becomes the selection; then the preview.
std::optional<gfx::Bitmap> clickFilterList(app::Document& doc, app::Host& host, int row);
// The channel's radio is checked and the list selection moves to its filter; no preview.
void clickChannelRadio(app::Document& doc, int channel);
// v takes the bar's value (16 .. 255, else a message and nothing changes); then the preview.
std::optional<gfx::Bitmap> moveFilterBar(app::Document& doc, app::Host& host, int v);
// Keeps the text; it is read when a preview is computed or a preset stored.
void editMatrixCell(app::Document& doc, int row, int column, std::string text);
// "Show": the selection becomes "UserMatrix"; then the preview.
std::optional<gfx::Bitmap> showUserMatrix(app::Document& doc, app::Host& host);
// The preset's values fill the grid row by row, the selection becomes "UserMatrix", then the preview.
// A preset with fewer than 25 values fills the cells it has and shows `preset "NAME" has N of 25 values`;
// the selection and the preview stay.
std::optional<gfx::Bitmap> choosePreset(app::Document& doc, app::Host& host, int index);

// A script's "filter NAME" for the names of the list (ignoring case): the red radio is checked and the
// entry is clicked. The picture of that click, or none when the name is not in the list or the run failed
// (with a message).
std::optional<gfx::Bitmap> requestFilter(app::Document& doc, app::Host& host, std::string_view name);

// A radio button's caption: the name of the channel's filter.
std::string_view channelCaption(const app::Document& doc, int channel);

} // namespace daubix::effects
