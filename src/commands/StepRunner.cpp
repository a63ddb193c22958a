#include "commands/StepRunner.h"

#include "app/ColorList.h"
#include "app/Command.h"
#include "app/Document.h"
#include "app/HeadlessHost.h"
#include "app/Patterns.h"
#include "app/PresetLines.h"
#include "app/Preview.h"
#include "app/ProgramFolder.h"
#include "app/TextCase.h"
#include "commands/CommandTable.h"
#include "commands/ScriptCommands.h"
#include "effects/FilterPresets.h"
#include "effects/QuickEffects.h"
#include "effects/UserFilterCommands.h"
#include "generators/Backdrop.h"
#include "generators/QuickBackdrops.h"
#include "generators/Texture.h"
#include "io/FilterPresetCommands.h"
#include "io/PreviewFrames.h"
#include "tools/ToolMenu.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace daubix::commands {

namespace {

// The longest a wait may last, and the most ticks a step may fire: an hour of a 15 ms timer.
constexpr long long kMaxWaitMs = 3'600'000;
constexpr long long kMaxTicks = kMaxWaitMs / 15;

StepResult error(std::string message)
{
    return {StepStatus::Error, std::move(message)};
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    while (true) {
        const auto start = text.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return out;
        text.remove_prefix(start);
        const auto end = text.find_first_of(" \t");
        out.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return out;
        text.remove_prefix(end);
    }
}

std::string_view trimmed(std::string_view s)
{
    const auto start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    return s.substr(start, s.find_last_not_of(" \t") - start + 1);
}

template <typename T> bool number(std::string_view text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool point(std::string_view text, gfx::Point& p)
{
    const auto comma = text.find(',');
    return comma != std::string_view::npos && number(text.substr(0, comma), p.x) && number(text.substr(comma + 1), p.y);
}

StepResult dragStep(StepRunner& runner, std::string_view rest)
{
    const std::vector<std::string_view> tokens = words(rest);
    if (tokens.empty())
        return error("drag needs a tool mode and at least one point");
    const std::string mode(tokens[0]);
    // The modes by their own names only: a phase ("bezier2") is reached by the drags before it.
    const std::vector<std::string_view> modes = tools::builtToolModes();
    if (std::find(modes.begin(), modes.end(), mode) == modes.end())
        return error(tools::toolMenuRow(mode) ? "tool mode \"" + mode + "\" is not available yet"
                                              : "unknown tool mode \"" + mode + "\"");
    struct Event {
        enum Kind : std::uint8_t { Point, Tick, Wait } kind;
        gfx::Point at;
        long long count = 0;
    };
    std::vector<Event> events;
    tools::PointerEvent e;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::string_view t = tokens[i];
        gfx::Point p;
        long long n = 0;
        if (point(t, p)) {
            events.push_back({Event::Point, p});
        } else if (t.starts_with("tick:") && number(t.substr(5), n) && n >= 0 && n <= kMaxTicks) {
            events.push_back({Event::Tick, {}, n});
        } else if (t.starts_with("wait:") && number(t.substr(5), n) && n >= 0 && n <= kMaxWaitMs) {
            events.push_back({Event::Wait, {}, n});
        } else if (t == "shift") {
            e.shift = true;
        } else if (t == "ctrl") {
            e.ctrl = true;
        } else if (t == "alt") {
            e.alt = true;
        } else if (t == "middle") {
            e.button = tools::Button::Middle;
        } else if (t == "right") {
            e.button = tools::Button::Right;
        } else {
            return error("cannot read \"" + std::string(t) + "\" in a drag");
        }
    }
    if (events.empty() || events.front().kind != Event::Point)
        return error("a drag starts with a point X,Y");
    app::Document& doc = runner.doc();
    // A second drag in a multi-click tool carries on with its phase.
    if (tools::baseToolMode(doc.toolMode) != tools::baseToolMode(mode))
        doc.toolMode = mode;
    tools::ToolEngine& engine = runner.tools();
    e.point = events.front().at;
    engine.press(e);
    for (std::size_t i = 1; i < events.size(); ++i) {
        const Event& ev = events[i];
        if (ev.kind == Event::Point) {
            e.point = ev.at;
            engine.move(e);
        } else if (ev.kind == Event::Tick) {
            runner.tick(ev.count);
        } else {
            runner.wait(ev.count);
        }
    }
    engine.release(e);
    return {};
}

// "scrollbox X,Y [X,Y]... [ctrl] [shift]": a press, moves with the button held, and a release.
StepResult scrollBoxStep(StepRunner& runner, std::string_view rest)
{
    std::vector<gfx::Point> points;
    bool ctrl = false, shift = false;
    for (const std::string_view t : words(rest)) {
        gfx::Point p;
        if (point(t, p))
            points.push_back(p);
        else if (t == "ctrl")
            ctrl = true;
        else if (t == "shift")
            shift = true;
        else
            return error("cannot read \"" + std::string(t) + "\" in a scrollbox drag");
    }
    if (points.empty())
        return error("a scrollbox drag needs at least one point X,Y");
    effects::ScrollBoxResize& box = runner.scrollBox();
    box.press(runner.doc(), runner.host(), points.front(), ctrl, shift);
    for (std::size_t i = 1; i < points.size(); ++i)
        box.move(runner.doc(), runner.host(), points[i], ctrl, shift);
    box.release(runner.doc());
    return {};
}

// "editor-select all" or "editor-select FROM,TO": positions in the editor's CR LF text, TO exclusive.
StepResult editorSelectStep(StepRunner& runner, std::string_view rest)
{
    app::ScriptEditor& editor = runner.host().editor;
    rest = trimmed(rest);
    if (rest == "all") {
        editor.select(0, editor.text().size());
        return {};
    }
    gfx::Point p;
    if (!point(rest, p) || p.x < 0 || p.y < 0)
        return error("editor-select takes all, or FROM,TO");
    editor.select(static_cast<std::size_t>(p.x), static_cast<std::size_t>(p.y));
    return {};
}

// "library-select TAG": the first entry with that tag.
StepResult librarySelectStep(StepRunner& runner, std::string_view rest)
{
    script::ScriptLibrary& library = scriptLibrary(runner.doc(), runner.host());
    const std::optional<int> found = library.find(trimmed(rest));
    if (!found)
        return error("the script library has no entry \"" + std::string(trimmed(rest)) + "\"");
    library.select(*found);
    return {};
}

// "library-insert": a double-click on the selected entry.
StepResult libraryInsertStep(StepRunner& runner, std::string_view)
{
    insertLibraryEntry(runner.doc(), runner.host());
    return {};
}

StepResult tickStep(StepRunner& runner, std::string_view rest)
{
    long long n = 0;
    if (!number(trimmed(rest), n) || n < 0 || n > kMaxTicks)
        return error("tick needs a count from 0 to " + std::to_string(kMaxTicks));
    runner.tick(n);
    return {};
}

StepResult commandStep(StepRunner& runner, std::string_view path)
{
    const app::CommandRow* row = findCommand(path);
    if (!row)
        return error("unknown step \"" + std::string(path) + "\"");
    if (row->kind == app::ItemKind::Window)
        return error("\"" + std::string(row->path) + "\" opens a window and cannot run without a display");
    if (!row->run)
        return error("\"" + std::string(row->path) + "\" is not available yet");
    if (row->available && !row->available(runner.host()))
        return error("\"" + std::string(row->path) + "\" is not available here");
    app::CommandContext ctx{runner.doc(), runner.host()};
    app::runCommand(ctx, *row);
    return {};
}

// The steps that start with a word of their own.
struct StepKind {
    std::string_view word;
    StepResult (*run)(StepRunner&, std::string_view rest);
};
constexpr StepKind kStepKinds[] = {{"drag", dragStep}, {"scrollbox", scrollBoxStep}, {"tick", tickStep},
    {"editor-select", editorSelectStep}, {"library-select", librarySelectStep},
    {"library-insert", libraryInsertStep}};

// The controls of a window that a step may set: "WINDOW > CONTROL = VALUE".
struct Control {
    std::string_view name;
    StepResult (*set)(StepRunner&, std::string_view value);
};

StepResult patListClick(StepRunner& runner, std::string_view value)
{
    int index = 0;
    if (!number(value, index) || index < 0 || index >= app::kPatternCount)
        return error("PatList takes a pattern from 0 to " + std::to_string(app::kPatternCount - 1));
    app::choosePattern(runner.doc(), index);
    return {};
}

// A release on an item of the colour list, by name or index; "shift" after it picks the pen colour.
StepResult colorListRelease(StepRunner& runner, std::string_view value)
{
    std::vector<std::string_view> parts = words(value);
    bool shift = false;
    if (parts.size() == 2 && parts[1] == "shift") {
        shift = true;
        parts.pop_back();
    }
    if (parts.size() != 1)
        return error("colorlist takes a colour name or index, then shift for the pen");
    const auto items = app::colorListItems();
    int index = -1;
    if (!number(parts[0], index))
        for (std::size_t i = 0; i < items.size() && index < 0; ++i)
            if (app::sameIgnoringCase(app::colorListName(items[i]), parts[0]))
                index = static_cast<int>(i);
    if (index < 0 || index >= static_cast<int>(items.size()))
        return error("the colour list has no item \"" + std::string(parts[0]) + "\"");
    app::colorListRelease(runner.doc(), runner.host(), index, shift);
    return {};
}

constexpr Control kMainWindowControls[] = {{"PatList", patListClick}, {"colorlist", colorListRelease}};

StepResult previewTransparentClick(StepRunner& runner, std::string_view value)
{
    if (value != "on" && value != "off")
        return error("transparent takes on or off");
    runner.doc().preview.transparent = value == "on";
    return {};
}

constexpr Control kPreviewControls[] = {{"transparent", previewTransparentClick}};

// A press on one of the preview window's buttons ("Use", "Save...", "CounterButton"). The buttons can be
// pressed only while the window shows a picture.
StepResult previewButtonStep(StepRunner& runner, std::string_view button)
{
    const std::string path = normalizedPath("TQuickPreviewF > " + std::string(button));
    for (const app::CommandRow& row : io::previewWindowRows()) {
        if (normalizedPath(row.path) != path)
            continue;
        if (!runner.doc().preview.shown)
            return error("TQuickPreviewF is not showing: nothing has been previewed");
        app::CommandContext ctx{runner.doc(), runner.host()};
        app::runCommand(ctx, row);
        return {};
    }
    return error("TQuickPreviewF has no button \"" + std::string(button) + "\"");
}

// The steps of the Filters window and the Quick Effects panel. Each that previews puts its picture into
// the preview window, as the window does, so that "TQuickPreviewF > Use" can draw it; a failed preview
// has told its message.
StepResult windowPreview(StepRunner& runner, std::optional<gfx::Bitmap> picture)
{
    if (picture)
        app::showPicture(runner.doc(), std::move(*picture));
    return {};
}

// An entry of the list by its name (any case) or its index.
StepResult filterListClick(StepRunner& runner, std::string_view value)
{
    int row = -1;
    if (!number(value, row))
        row = effects::findUserFilter(value).value_or(-1);
    if (row < 0 || row >= effects::kUserFilterCount)
        return error("QFList has no filter \"" + std::string(value) + "\"");
    return windowPreview(runner, effects::clickFilterList(runner.doc(), runner.host(), row));
}

StepResult filterBarMove(StepRunner& runner, std::string_view value)
{
    int v = 0;
    if (!number(value, v))
        return error("trkred takes a value from 16 to 255");
    return windowPreview(runner, effects::moveFilterBar(runner.doc(), runner.host(), v));
}

// The 25 cell texts row by row, as a preset line holds them; each is read when a preview needs it.
StepResult filterMatrixEdit(StepRunner& runner, std::string_view value)
{
    std::vector<std::string_view> cells;
    for (std::size_t start = 0;;) {
        const auto comma = value.find(',', start);
        cells.push_back(trimmed(value.substr(start, comma - start)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (cells.size() != 25)
        return error("matrix takes 25 cells row by row, separated by commas; got " + std::to_string(cells.size()));
    for (int i = 0; i < 25; ++i)
        effects::editMatrixCell(runner.doc(), i / 5, i % 5, std::string(cells[static_cast<std::size_t>(i)]));
    return {};
}

StepResult filterPresetChoose(StepRunner& runner, std::string_view value)
{
    if (StepResult loaded = runner.loadFilterPresets(); loaded.status != StepStatus::Ok)
        return loaded;
    const std::optional<int> index = effects::findPreset(runner.doc().userFilter.presets, value);
    if (!index)
        return {StepStatus::Failure,
            "no filter preset \"" + std::string(value) + "\" in " + runner.doc().userFilter.presetPath};
    return windowPreview(runner, effects::choosePreset(runner.doc(), runner.host(), *index));
}

constexpr Control kFilterControls[] = {{"QFList", filterListClick}, {"trkred", filterBarMove},
    {"matrix", filterMatrixEdit}, {"FilterPresets", filterPresetChoose}};

// The radio buttons, "Show", and the preset drop-down's pop-up menu.
StepResult filterButtonStep(StepRunner& runner, std::string_view button)
{
    const std::string path = normalizedPath(std::string(button));
    app::Document& doc = runner.doc();
    constexpr std::string_view kRadios[] = {"redradio", "greenradio", "blueradio"};
    for (std::size_t c = 0; c < std::size(kRadios); ++c)
        if (path == normalizedPath(std::string(kRadios[c]))) {
            effects::clickChannelRadio(doc, static_cast<int>(c));
            return {};
        }
    if (path == normalizedPath("btnshow"))
        return windowPreview(runner, effects::showUserMatrix(doc, runner.host()));
    constexpr std::pair<std::string_view, void (*)(app::Document&, app::Host&)> kPresetMenu[]
        = {{"FilterPresets > Add", io::addFilterPreset}, {"FilterPresets > Delete", io::deleteFilterPreset},
            {"FilterPresets > Update", io::updateFilterPreset}};
    for (const auto& [item, run] : kPresetMenu)
        if (path == normalizedPath(std::string(item))) {
            if (StepResult loaded = runner.loadFilterPresets(); loaded.status != StepStatus::Ok)
                return loaded;
            run(doc, runner.host());
            return {};
        }
    return error("TDaubixFLF has no button \"" + std::string(button) + "\"");
}

// The panel is shown at its first step, as the menu item would show it.
StepResult showEffectsPanel(StepRunner& runner)
{
    if (runner.effectsPanelShown())
        return {};
    runner.setEffectsPanelShown();
    return windowPreview(runner, effects::openEffectsPanel(runner.doc(), runner.host()));
}

// An entry of the tree by its path ("Wings > Deep", any case) or its effect number, as apply takes it.
StepResult effectTreeClick(StepRunner& runner, std::string_view value)
{
    int entry = -1;
    if (int n = -1; number(value, n)) {
        const auto tree = effects::quickEffectTree();
        const auto it = std::find_if(
            tree.begin(), tree.end(), [n](const effects::QuickEffectEntry& e) { return n >= 0 && e.number == n; });
        entry = it == tree.end() ? -1 : static_cast<int>(it - tree.begin());
    } else {
        entry = effects::findEffectEntry(value).value_or(-1);
    }
    if (entry < 0)
        return error("ETree has no entry \"" + std::string(value) + "\"");
    if (StepResult shown = showEffectsPanel(runner); shown.status != StepStatus::Ok)
        return shown;
    return windowPreview(runner, effects::clickEffectEntry(runner.doc(), runner.host(), entry));
}

template <effects::EffectBar Bar> StepResult effectBarMove(StepRunner& runner, std::string_view value)
{
    int position = 0;
    if (!number(value, position))
        return error("a bar of TDaubixEffectsF takes a whole number");
    if (StepResult shown = showEffectsPanel(runner); shown.status != StepStatus::Ok)
        return shown;
    return windowPreview(runner, effects::moveEffectBar(runner.doc(), runner.host(), Bar, position));
}

constexpr Control kEffectsPanelControls[] = {{"ETree", effectTreeClick}, {"EBar", effectBarMove<effects::EffectBar::E>},
    {"extrabar", effectBarMove<effects::EffectBar::Extra>}, {"cxbar", effectBarMove<effects::EffectBar::CX>},
    {"cybar", effectBarMove<effects::EffectBar::CY>}};

// A radio button and then the list: the channel takes the formula, by its name (any case).
template <int Channel> StepResult backdropRadioFormula(StepRunner& runner, std::string_view value)
{
    const std::optional<int> formula = generators::findBackdropFormula(value);
    if (!formula)
        return error("QBList has no formula \"" + std::string(value) + "\"");
    generators::clickBackdropRadio(runner.doc(), Channel);
    return windowPreview(runner, generators::clickBackdropFormula(runner.doc(), runner.host(), *formula));
}

template <generators::BackdropBar Bar> StepResult backdropBarMove(StepRunner& runner, std::string_view value)
{
    const auto [lo, hi] = generators::backdropValueRange(3 + static_cast<std::size_t>(Bar));
    constexpr const char* kNames[] = {"trkred", "trkgreen", "trkblue", "trkfactor"};
    int v = 0;
    if (!number(value, v) || v < lo || v > hi)
        return error(std::string(kNames[static_cast<int>(Bar)]) + " takes a value from " + std::to_string(lo) + " to "
            + std::to_string(hi));
    return windowPreview(runner, generators::moveBackdropBar(runner.doc(), runner.host(), Bar, v));
}

StepResult backdropPresetChoose(StepRunner& runner, std::string_view value)
{
    runner.loadBackdropPresets();
    const std::optional<int> found = app::findPreset(runner.doc().backdrop.presets, value);
    if (!found)
        return {StepStatus::Failure, "no backdrop preset \"" + std::string(value) + "\""};
    return windowPreview(runner, generators::chooseBackdropPreset(runner.doc(), runner.host(), *found));
}

constexpr Control kBackdropControls[] = {{"redradio", backdropRadioFormula<0>},
    {"greenradio", backdropRadioFormula<1>}, {"blueradio", backdropRadioFormula<2>},
    {"trkred", backdropBarMove<generators::BackdropBar::Red>},
    {"trkgreen", backdropBarMove<generators::BackdropBar::Green>},
    {"trkblue", backdropBarMove<generators::BackdropBar::Blue>},
    {"trkfactor", backdropBarMove<generators::BackdropBar::Factor>}, {"qbpresets", backdropPresetChoose}};

// The preset drop-down's pop-up menu, with or without "qbpresets > " before the item.
StepResult backdropMenuStep(StepRunner& runner, std::string_view item)
{
    std::string path = normalizedPath(std::string(item));
    if (const std::string prefix = normalizedPath("qbpresets") + ">"; path.starts_with(prefix))
        path.erase(0, prefix.size());
    constexpr std::pair<std::string_view, void (*)(app::Document&, app::Host&)> kMenu[]
        = {{"Add Backdrop", generators::addBackdropPreset}, {"Delete Backdrop", generators::deleteBackdropPreset},
            {"Update Backdrop", generators::updateBackdropPreset}};
    for (const auto& [caption, run] : kMenu)
        if (path == normalizedPath(std::string(caption))) {
            runner.loadBackdropPresets();
            run(runner.doc(), runner.host());
            return {};
        }
    return error("TDaubixQBF has no menu item \"" + std::string(item) + "\"");
}

// The texture window exists from the start and keeps its tile; its first step makes that tile.
// A bar takes only what its range offers, as dragging it would.
template <int Lo, int Hi, void (*Set)(app::Document&, app::Host&, int)>
StepResult textureBarMove(StepRunner& runner, std::string_view value)
{
    int position = 0;
    if (!number(value, position) || position < Lo || position > Hi)
        return error("a bar of TTextureF takes a whole number from " + std::to_string(Lo) + " to " + std::to_string(Hi)
            + ", not \"" + std::string(value) + "\"");
    generators::createTexturePanel(runner.doc());
    Set(runner.doc(), runner.host(), position);
    return {};
}

StepResult monoNoiseClick(StepRunner& runner, std::string_view value)
{
    if (value != "on" && value != "off")
        return error("mononoise takes on or off");
    generators::createTexturePanel(runner.doc());
    generators::setNoiseMonoChrome(runner.doc(), value == "on");
    return {};
}

constexpr Control kTextureControls[] = {{"noisebar", textureBarMove<0, 100, generators::setNoiseAmount>},
    {"texsize", textureBarMove<8, 240, generators::setTextureSize>}, {"mononoise", monoNoiseClick}};

// "Color" (the next --color) and "Use" (the image tiled, one undo step).
StepResult textureButtonStep(StepRunner& runner, std::string_view button)
{
    const std::string path = normalizedPath("TTextureF > " + std::string(button));
    for (const app::CommandRow& row : generators::textureWindowRows()) {
        if (normalizedPath(row.path) != path)
            continue;
        generators::createTexturePanel(runner.doc());
        app::CommandContext ctx{runner.doc(), runner.host()};
        app::runCommand(ctx, row);
        return {};
    }
    return error("TTextureF has no button \"" + std::string(button) + "\"");
}

// A window's steps: its controls, the paths of its own menus or buttons, and presses on its picture.
struct WindowSteps {
    std::string_view className;
    std::span<const Control> controls;
    StepResult (*menu)(StepRunner&, std::string_view path);
    StepResult (*drag)(StepRunner&, std::string_view rest);
};
// The main window's menus are the command table, and its picture is the image the tools draw on.
constexpr WindowSteps kWindows[] = {{"TDaubixF", kMainWindowControls, commandStep, dragStep},
    {"TQuickPreviewF", kPreviewControls, previewButtonStep, nullptr},
    {"TDaubixFLF", kFilterControls, filterButtonStep, nullptr},
    {"TDaubixEffectsF", kEffectsPanelControls, nullptr, nullptr},
    {"TDaubixQBF", kBackdropControls, backdropMenuStep, nullptr},
    {"TTextureF", kTextureControls, textureButtonStep, nullptr}};

// "WINDOW > CONTROL = VALUE", "WINDOW > MENU > ITEM" or "WINDOW drag X,Y ...".
StepResult windowStep(StepRunner& runner, const WindowSteps& window, std::string_view rest)
{
    const std::string className(window.className);
    if (rest.starts_with("drag") && (rest.size() == 4 || rest[4] == ' ' || rest[4] == '\t')) {
        if (!window.drag)
            return error(className + " has no picture to drag on");
        return window.drag(runner, rest.substr(4));
    }
    if (!rest.starts_with('>'))
        return error("a step of " + className + " reads \"" + className + " > CONTROL = VALUE\", \"" + className
            + " > MENU > ITEM\" or \"" + className + " drag X,Y ...\"");
    rest = trimmed(rest.substr(1));
    const auto equals = rest.find('=');
    const std::string_view name = trimmed(rest.substr(0, equals));
    for (const Control& control : window.controls)
        if (app::sameIgnoringCase(control.name, name)) {
            if (equals == std::string_view::npos)
                return error(className + " > " + std::string(name) + " needs = VALUE");
            return control.set(runner, trimmed(rest.substr(equals + 1)));
        }
    if (equals == std::string_view::npos && window.menu)
        return window.menu(runner, rest);
    return error(className + " has no control \"" + std::string(name) + "\"");
}

} // namespace

StepRunner::StepRunner(app::Document& doc, app::HeadlessHost& host)
    : m_doc(doc)
    , m_host(host)
    , m_tools(doc, host)
{
}

StepResult StepRunner::loadFilterPresets()
{
    if (m_presetsLoaded)
        return {};
    const std::string path = app::programFile(app::resolveProgramFolder(m_executableFolder), "DaubixFL.txt");
    if (gfx::Status loaded = io::loadFilterPresets(m_doc, path); !loaded)
        return {StepStatus::Failure, loaded.error()};
    m_presetsLoaded = true;
    return {};
}

void StepRunner::setExecutableFolder(std::string folder)
{
    m_executableFolder = std::move(folder);
    // The script commands find the library and the presets there, when they first need them.
    scriptSession(m_doc).findProgramFolder = [folder = m_executableFolder] { return app::resolveProgramFolder(folder); };
}

void StepRunner::loadBackdropPresets()
{
    if (m_backdropPresetsLoaded)
        return;
    m_backdropPresetsLoaded = true;
    const std::string folder = app::resolveProgramFolder(m_executableFolder);
    const std::string path = app::programFile(folder, generators::kBackdropPresetFile);
    if (gfx::Status loaded = generators::loadBackdropPresets(m_doc, path); !loaded)
        m_host.showFailure(loaded.error());
}

void StepRunner::tick(long long n)
{
    for (long long i = 0; i < n && m_host.timerRunning(); ++i)
        m_tools.tick();
}

void StepRunner::wait(long long ms)
{
    m_host.advanceClock(ms, [this] { m_tools.tick(); });
}

StepResult StepRunner::run(std::string_view step)
{
    step = trimmed(step);
    const std::string_view first = step.substr(0, step.find_first_of(" \t>"));
    for (const StepKind& kind : kStepKinds)
        if (first == kind.word)
            return kind.run(*this, step.substr(first.size()));
    for (const WindowSteps& window : kWindows)
        if (trimmed(first) == window.className)
            return windowStep(*this, window, trimmed(step.substr(first.size())));
    return commandStep(*this, step);
}

} // namespace daubix::commands
