#include "io/FilterPresetCommands.h"

#include "app/Document.h"
#include "app/Host.h"
#include "app/Prompt.h"
#include "effects/FilterPresets.h"
#include "io/PresetFile.h"

#include <optional>

namespace daubix::io {

namespace {

constexpr const char* kCaption = "Daubix User Filter";
constexpr const char* kPrompt = "Enter Filter Name:";

void writePresets(app::Document& doc, app::Host& host)
{
    const app::UserFilterState& state = doc.userFilter;
    if (state.presetPath.empty())
        return; // never read from a file: the list lives in memory only
    if (gfx::Status written = writePresetFile(state.presetPath, state.presets); !written)
        host.showFailure(written.error());
}

// The checked grid and an accepted name, or nothing when the command stops (with a message where due).
std::optional<std::string> askPresetLine(app::Document& doc, app::Host& host, const std::string& initial)
{
    const auto matrix = effects::readMatrixCells(doc.userFilter.cells);
    if (!matrix) {
        host.showFailure(matrix.error());
        return std::nullopt;
    }
    const std::string name = app::askText(host, kCaption, kPrompt, initial);
    if (name.empty())
        return std::nullopt;
    if (gfx::Status valid = effects::checkPresetName(name); !valid) {
        host.showFailure(valid.error());
        return std::nullopt;
    }
    return effects::presetLine(name, matrix.value());
}

bool hasChosenPreset(const app::UserFilterState& state)
{
    return state.presetIndex >= 0 && static_cast<std::size_t>(state.presetIndex) < state.presets.size();
}

} // namespace

gfx::Result<std::vector<std::string>> readFilterPresets(const std::string& path)
{
    auto lines = readPresetFile(path);
    if (lines)
        effects::sortPresets(lines.value());
    return lines;
}

gfx::Status loadFilterPresets(app::Document& doc, const std::string& path)
{
    app::UserFilterState& state = doc.userFilter;
    state.presetPath.clear();
    state.presetIndex = -1;
    state.presets.clear();
    auto presets = readFilterPresets(path);
    // A file that is there but cannot be read is never written over: the list then lives in memory.
    if (!presets)
        return gfx::Error{presets.error()};
    state.presetPath = path;
    state.presets = std::move(presets.value());
    return {};
}

void addFilterPreset(app::Document& doc, app::Host& host)
{
    std::optional<std::string> line = askPresetLine(doc, host, "");
    if (!line)
        return;
    app::UserFilterState& state = doc.userFilter;
    const int at = effects::insertPreset(state.presets, std::move(*line));
    if (state.presetIndex >= at)
        ++state.presetIndex;
    writePresets(doc, host);
}

void deleteFilterPreset(app::Document& doc, app::Host& host)
{
    app::UserFilterState& state = doc.userFilter;
    if (!hasChosenPreset(state))
        return;
    state.presets.erase(state.presets.begin() + state.presetIndex);
    state.presetIndex = -1;
    writePresets(doc, host);
}

void updateFilterPreset(app::Document& doc, app::Host& host)
{
    app::UserFilterState& state = doc.userFilter;
    if (!hasChosenPreset(state))
        return;
    const std::string name(effects::presetName(state.presets[static_cast<std::size_t>(state.presetIndex)]));
    std::optional<std::string> line = askPresetLine(doc, host, name);
    if (!line)
        return;
    state.presets.erase(state.presets.begin() + state.presetIndex);
    state.presetIndex = effects::insertPreset(state.presets, std::move(*line));
    writePresets(doc, host);
}

} // namespace daubix::io
