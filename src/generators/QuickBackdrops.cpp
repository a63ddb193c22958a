#include "generators/QuickBackdrops.h"

#include "app/Command.h"
#include "app/Host.h"
#include "app/Preview.h"
#include "app/PresetLines.h"
#include "app/Prompt.h"
#include "app/TextCase.h"
#include "generators/Backdrop.h"
#include "io/PresetFile.h"

#include <algorithm>
#include <filesystem>

namespace daubix::generators {

namespace {

constexpr const char* kCaption = "Daubix Quick Backdrops";
constexpr const char* kPrompt = "Enter Name:";

// The whole line ignoring ASCII case; lines equal but for case by their bytes, so that the order never
// depends on how the list was built.
bool lineBefore(std::string_view a, std::string_view b)
{
    if (app::lessIgnoringCase(a, b))
        return true;
    if (app::lessIgnoringCase(b, a))
        return false;
    return a < b; // string_view compares its bytes unsigned
}

void writePresets(app::Document& doc, app::Host& host)
{
    const app::BackdropState& state = doc.backdrop;
    if (state.presetPath.empty())
        return; // the file could not be read: the list lives in memory only
    if (gfx::Status written = io::writePresetFile(state.presetPath, state.presets); !written) {
        // The writer says `Cannot write "PATH": REASON`; the window names the file alone.
        const std::string& text = written.error();
        const std::string lead = "Cannot write \"" + state.presetPath + "\": ";
        const std::string reason = text.starts_with(lead) ? text.substr(lead.size()) : text;
        host.showFailure(std::string("Cannot write ") + kBackdropPresetFile + ": " + reason);
    }
}

bool hasChosenPreset(const app::BackdropState& state)
{
    return state.presetIndex >= 0 && static_cast<std::size_t>(state.presetIndex) < state.presets.size();
}

// An accepted name from the box, or nothing when the command stops (with a message where due).
std::optional<std::string> askName(app::Host& host, const std::string& initial)
{
    std::string name = app::askText(host, kCaption, kPrompt, initial);
    if (name.empty())
        return std::nullopt;
    if (name.find_first_of("=\r\n") != std::string::npos) {
        host.showMessage("A backdrop name cannot contain \"=\" or a line break.");
        return std::nullopt;
    }
    return name;
}

} // namespace

std::string backdropPresetLine(std::string_view name, const app::BackdropSettings& s)
{
    std::string line(name);
    line += '=';
    const std::array<int, 7> values = backdropValues(s);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        line += std::to_string(values[i]);
    }
    return line;
}

PresetRead readBackdropPreset(std::string_view line, app::BackdropSettings& s, int* valuesRead)
{
    int ignored = 0;
    int& read = valuesRead ? *valuesRead : ignored;
    read = 0;
    if (line.find('=') == std::string_view::npos)
        return PresetRead::NoName;
    const std::vector<std::string_view> values = app::presetValues(line);
    const std::array<int*, 7> targets = backdropValues(s);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::optional<int> v = i < values.size() ? app::parseInteger(values[i]) : std::nullopt;
        const auto [lo, hi] = backdropValueRange(i);
        if (!v || *v < lo || *v > hi)
            return PresetRead::Error;
        *targets[i] = *v;
        ++read;
    }
    return PresetRead::Loaded;
}

int insertBackdropPreset(std::vector<std::string>& lines, std::string line)
{
    const auto at = std::ranges::upper_bound(lines, line, lineBefore);
    const auto inserted = lines.insert(at, std::move(line));
    return static_cast<int>(inserted - lines.begin());
}

gfx::Result<std::vector<std::string>> readBackdropPresets(const std::string& path)
{
    auto lines = io::readPresetFile(path);
    if (lines)
        std::ranges::stable_sort(lines.value(), lineBefore);
    return lines;
}

gfx::Status loadBackdropPresets(app::Document& doc, const std::string& path)
{
    app::BackdropState& state = doc.backdrop;
    state.presets.clear();
    state.presetIndex = -1;
    state.presetPath.clear();
    state.presetsRead = true;
    auto lines = readBackdropPresets(path);
    if (!lines)
        return gfx::Error{lines.error()};
    state.presets = std::move(lines.value());
    state.presetPath = path;
    return {};
}

std::optional<gfx::Bitmap> backdropPreview(app::Document& doc, app::Host& host)
{
    const int w = doc.image.width(), h = doc.image.height();
    try {
        // The preview's picture of the same size lends its memory; any other is let go first, so that
        // only one image-sized picture is held at a time.
        gfx::Bitmap& old = doc.preview.picture;
        gfx::Bitmap picture = old.width() == w && old.height() == h && old.format() == gfx::PixelFormat::Bits24
            ? std::move(old)
            : (old = gfx::Bitmap(), gfx::Bitmap::zeroed(w, h));
        picture.transparent = false;
        drawBackdrop(doc.backdrop.settings, picture);
        return picture;
    } catch (const gfx::OutOfPixelMemory& e) {
        host.showFailure(app::outOfMemory(e.width, e.height));
    } catch (const std::bad_alloc&) {
        host.showFailure(app::outOfMemory(w, h));
    }
    if (doc.preview.picture.isEmpty())
        app::closePreview(doc);
    return std::nullopt;
}

std::optional<gfx::Bitmap> clickBackdropFormula(app::Document& doc, app::Host& host, int formula)
{
    app::BackdropState& state = doc.backdrop;
    if (formula < 0 || formula >= kBackdropFormulaCount)
        return std::nullopt;
    state.listSelection = formula;
    if (state.checkedChannel >= 0 && state.checkedChannel < 3)
        state.settings.formulas[static_cast<std::size_t>(state.checkedChannel)] = formula;
    return backdropPreview(doc, host);
}

void clickBackdropRadio(app::Document& doc, int channel)
{
    app::BackdropState& state = doc.backdrop;
    if (channel < 0 || channel >= 3)
        return;
    state.checkedChannel = channel;
    state.listSelection = state.settings.formulas[static_cast<std::size_t>(channel)];
}

std::optional<gfx::Bitmap> moveBackdropBar(app::Document& doc, app::Host& host, BackdropBar bar, int value)
{
    // The bars are values 3 .. 6: the offsets, then the modulus.
    const std::size_t index = 3 + static_cast<std::size_t>(bar);
    const auto [lo, hi] = backdropValueRange(index);
    *backdropValues(doc.backdrop.settings)[index] = std::clamp(value, lo, hi);
    return backdropPreview(doc, host);
}

std::optional<gfx::Bitmap> chooseBackdropPreset(app::Document& doc, app::Host& host, int index)
{
    app::BackdropState& state = doc.backdrop;
    if (index < 0 || static_cast<std::size_t>(index) >= state.presets.size())
        return std::nullopt;
    state.presetIndex = index;
    switch (readBackdropPreset(state.presets[static_cast<std::size_t>(index)], state.settings, &state.presetValuesRead)) {
    case PresetRead::NoName:
        return std::nullopt;
    case PresetRead::Error:
        host.showMessage("Error in Presets");
        return std::nullopt;
    case PresetRead::Loaded:
        break;
    }
    return backdropPreview(doc, host);
}

void addBackdropPreset(app::Document& doc, app::Host& host)
{
    const std::optional<std::string> name = askName(host, "");
    if (!name)
        return;
    app::BackdropState& state = doc.backdrop;
    const int at = insertBackdropPreset(state.presets, backdropPresetLine(*name, state.settings));
    if (state.presetIndex >= at)
        ++state.presetIndex;
    writePresets(doc, host);
}

void deleteBackdropPreset(app::Document& doc, app::Host& host)
{
    app::BackdropState& state = doc.backdrop;
    if (!hasChosenPreset(state))
        return;
    state.presets.erase(state.presets.begin() + state.presetIndex);
    state.presetIndex = -1;
    writePresets(doc, host);
}

void updateBackdropPreset(app::Document& doc, app::Host& host)
{
    app::BackdropState& state = doc.backdrop;
    if (!hasChosenPreset(state)) {
        host.showMessage("No item selected!");
        return;
    }
    const std::string old(app::presetName(state.presets[static_cast<std::size_t>(state.presetIndex)]));
    const std::optional<std::string> name = askName(host, old);
    if (!name)
        return;
    state.presets.erase(state.presets.begin() + state.presetIndex);
    state.presetIndex = insertBackdropPreset(state.presets, backdropPresetLine(*name, state.settings));
    writePresets(doc, host);
}

bool requestBackdrop(app::Document& doc, std::span<const std::string> presets, std::string_view name)
{
    const std::optional<int> found = app::findPreset(presets, name);
    if (!found)
        return false;
    app::BackdropSettings read = doc.backdrop.settings;
    if (readBackdropPreset(presets[static_cast<std::size_t>(*found)], read) != PresetRead::Loaded)
        return false;
    gfx::Bitmap picture;
    try {
        picture = generateBackdrop(read, doc.image.width(), doc.image.height());
    } catch (const std::bad_alloc&) {
        return false; // no memory for the new picture: the image stays as it was
    }
    doc.backdrop.settings = read;
    doc.image = std::move(picture);
    return true;
}

} // namespace daubix::generators
