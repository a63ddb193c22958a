#pragma once

// Preset files hold one "NAME=v1,v2,..." line per preset; the windows that keep them share this text.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::app {

// The part before the first "="; the whole line when it has none.
std::string_view presetName(std::string_view line);
// The texts after the first "=", split at the commas; none without "=" or with nothing after it.
std::vector<std::string_view> presetValues(std::string_view line);
// The first line whose name is the name, ignoring ASCII case.
std::optional<int> findPreset(std::span<const std::string> lines, std::string_view name);
// The names in the order of the lines, as a drop-down shows them.
std::vector<std::string> presetNames(std::span<const std::string> lines);

// The lines of a preset file as they stand: a carriage return before a line's end dropped, blank lines
// skipped, the order kept.
std::vector<std::string> splitPresetLines(std::string_view text);
// One line per preset, each ended by a line feed.
std::string presetFileText(std::span<const std::string> lines);

} // namespace daubix::app
