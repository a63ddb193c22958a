#pragma once

// The user matrix as the Filters window edits it, 25 cell texts row by row, and the presets that keep
// matrices by name: one line "NAME=m0,...,m24" each, the cells row by row (row 0 columns 0..4, then row 1,
// ...). Text only; reading and writing the preset file is in io/FilterPresetCommands.h.

#include "app/PresetLines.h"
#include "gfx/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::effects {

using MatrixCells = std::array<std::string, 25>;
using Matrix = std::array<std::int16_t, 25>;

// The cells as 16-bit integers. Blanks around a number and a leading plus are allowed; anything else
// that is not a whole number from -32768 to 32767 gives "invalid integer in UserMatrix".
gfx::Result<Matrix> readMatrixCells(const MatrixCells& cells);

using app::findPreset;
using app::presetFileText;
using app::presetName;
using app::presetNames;
using app::presetValues;

// Writes the line's values into the cells in order. With fewer than 25 the cells that have a value
// take it, the others keep theirs, and the message is `preset "NAME" has N of 25 values`; values beyond
// the 25th are ignored.
gfx::Status presetIntoCells(std::string_view line, MatrixCells& cells);
// "NAME=m0,...,m24".
std::string presetLine(std::string_view name, const Matrix& matrix);
// A name may hold anything but "=" and control characters.
gfx::Status checkPresetName(std::string_view name);

// By name ignoring ASCII case; equal names keep their order.
void sortPresets(std::vector<std::string>& lines);
// Puts the line in its sorted place, after the presets whose names sort before or equal to its own; the
// index it took.
int insertPreset(std::vector<std::string>& lines, std::string line);

// The lines of a preset file: a carriage return before a line's end dropped, blank lines skipped, sorted.
std::vector<std::string> parsePresetFile(std::string_view text);

} // namespace daubix::effects
