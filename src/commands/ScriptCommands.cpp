#include "commands/ScriptCommands.h"

#include "app/Document.h"
#include "app/Host.h"
#include "app/Preview.h"
#include "app/ProgramFolder.h"
#include "app/Prompt.h"
#include "effects/EffectMenu.h"
#include "effects/UserFilterCommands.h"
#include "generators/QuickBackdrops.h"
#include "io/FileWriter.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace daubix::commands {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCaption = "Daubix Script";
constexpr const char* kTagPrompt = "Enter Tag Name";
constexpr const char* kFilter = "Daubix Script Files|*.dxs";

} // namespace

script::ScriptLibrary& scriptLibrary(app::Document& doc, app::Host& host)
{
    ScriptSession& s = scriptSession(doc);
    if (!s.libraryRead && !s.folder().empty())
        if (gfx::Status read = readScriptLibrary(doc, s.folder()); !read)
            host.showFailure(read.error());
    return s.library;
}

namespace {

void saveLibrary(const script::ScriptLibrary& lib, app::Host& host)
{
    if (gfx::Status saved = lib.save(); !saved)
        host.showFailure(saved.error());
}

// The tag from the box, or nothing when the command stops there.
std::optional<std::string> askTag(app::Host& host, const std::string& initial)
{
    std::string tag = app::askText(host, kCaption, kTagPrompt, initial);
    if (tag.empty())
        return std::nullopt;
    if (!script::ScriptLibrary::acceptableTag(tag)) {
        host.showMessage("A tag cannot contain \"=\" or a line break.");
        return std::nullopt;
    }
    return tag;
}

void viewEditor(app::CommandContext& ctx, const app::CommandRow&)
{
    if (app::ScriptEditor* editor = ctx.host.scriptEditor())
        editor->show();
}

void openScript(app::CommandContext& ctx, const app::CommandRow&)
{
    app::ScriptEditor* editor = ctx.host.scriptEditor();
    if (!editor)
        return;
    const auto name = ctx.host.askFileName(app::Host::FileDialog::Open, app::dialogFilter(kFilter));
    if (!name)
        return;
    auto bytes = io::readFile(*name, script::kMaxScriptFileBytes);
    if (!bytes) {
        ctx.host.showFailure(bytes.error());
        return;
    }
    const auto& b = bytes.value();
    editor->setText(app::utf8FromScriptBytes({reinterpret_cast<const char*>(b.data()), b.size()}));
}

void saveScriptAs(app::CommandContext& ctx, const app::CommandRow&)
{
    app::ScriptEditor* editor = ctx.host.scriptEditor();
    if (!editor)
        return;
    auto name = ctx.host.askFileName(app::Host::FileDialog::Save, app::dialogFilter(kFilter));
    if (!name || name->empty())
        return;
    if (std::filesystem::path(*name).extension().empty())
        *name += ".dxs";
    const std::string text = editor->text(); // already CR LF
    if (gfx::Status written
        = io::writeFileAtomically(*name, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        !written)
        ctx.host.showFailure(written.error());
}

bool failed(const script::RunResult& r)
{
    return !r.status.empty() && r.status != "ready";
}

void runEditor(app::CommandContext& ctx, const app::CommandRow&)
{
    app::ScriptEditor* editor = ctx.host.scriptEditor();
    if (!editor || scriptRunning(ctx.doc))
        return;
    const script::RunResult r = runScript(ctx.doc, ctx.host, editor->text());
    if (!failed(r))
        return;
    ctx.host.showMessage(r.status);
    editor->focus();
    // The interpreter's positions count from 1 and stand after the failing word.
    editor->setCaret(static_cast<std::size_t>(std::max(r.position - 1, 0)));
}

void runItem(app::CommandContext& ctx, const app::CommandRow&)
{
    script::ScriptLibrary& lib = scriptLibrary(ctx.doc, ctx.host);
    if (!lib.hasSelection() || scriptRunning(ctx.doc))
        return;
    const std::string text = script::ScriptLibrary::script(lib.entries()[static_cast<std::size_t>(lib.selected())]);
    if (const script::RunResult r = runScript(ctx.doc, ctx.host, text); failed(r))
        ctx.host.showMessage(r.status);
}

void addEntry(app::CommandContext& ctx, const app::CommandRow&)
{
    app::ScriptEditor* editor = ctx.host.scriptEditor();
    if (!editor)
        return;
    const std::string selection = editor->selectedText();
    if (selection.empty())
        return;
    script::ScriptLibrary& lib = scriptLibrary(ctx.doc, ctx.host);
    const std::optional<std::string> tag = askTag(ctx.host, "");
    if (!tag)
        return;
    lib.insert(script::ScriptLibrary::entryFor(*tag, selection));
    saveLibrary(lib, ctx.host);
}

void deleteEntry(app::CommandContext& ctx, const app::CommandRow&)
{
    script::ScriptLibrary& lib = scriptLibrary(ctx.doc, ctx.host);
    if (!lib.hasSelection())
        return;
    lib.removeSelected();
    saveLibrary(lib, ctx.host);
}

void updateEntry(app::CommandContext& ctx, const app::CommandRow&)
{
    app::ScriptEditor* editor = ctx.host.scriptEditor();
    script::ScriptLibrary& lib = scriptLibrary(ctx.doc, ctx.host);
    if (!editor || !lib.hasSelection())
        return;
    const std::string selection = editor->selectedText();
    if (selection.empty())
        return;
    // Cancel answers with the entry's own tag, and the update goes on with it.
    const std::string old(script::ScriptLibrary::tag(lib.entries()[static_cast<std::size_t>(lib.selected())]));
    const std::optional<std::string> tag = askTag(ctx.host, old);
    if (!tag)
        return;
    lib.replaceSelected(script::ScriptLibrary::entryFor(*tag, selection));
    saveLibrary(lib, ctx.host);
}

const app::CommandRow kRows[] = {
    {.path = "Script > &View Editor", .run = viewEditor},
    {.path = "Script > &Open...", .run = openScript},
    {.path = "Script > Save &As", .run = saveScriptAs},
    {.path = "Script > &Run", .run = runEditor, .changesImage = true},
    {.path = "Script > Run Item", .run = runItem, .changesImage = true},
    {.path = "Script > &Add", .run = addEntry},
    {.path = "Script > &Delete", .run = deleteEntry},
    {.path = "Script > &Update", .run = updateEntry},
};

// Clears the running flag however the run ends.
struct Running {
    explicit Running(ScriptSession& s)
        : session(s)
    {
        session.running = true;
    }
    ~Running() { session.running = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    ScriptSession& session;
};

} // namespace

ScriptSession& scriptSession(app::Document& doc)
{
    if (!doc.scripting)
        doc.scripting = std::make_shared<ScriptSession>();
    return *static_cast<ScriptSession*>(doc.scripting.get());
}

bool scriptRunning(const app::Document& doc)
{
    return doc.scripting && static_cast<const ScriptSession*>(doc.scripting.get())->running;
}

gfx::Status readScriptLibrary(app::Document& doc, const std::string& programFolder)
{
    ScriptSession& s = scriptSession(doc);
    s.programFolder = programFolder;
    if (s.libraryRead)
        return {};
    s.libraryRead = true;
    return s.library.load(app::programFile(programFolder, script::kScriptLibraryFile));
}

void bindTurtle(
    script::TzoTurtle& turtle, gfx::Canvas& canvas, app::Document& doc, app::Host& host, ScriptSession& session)
{
    turtle.Canvas = &canvas;
    turtle.OnRequestImageSize = [&doc](gfx::Rect& r) { r = {0, 0, doc.image.width() - 1, doc.image.height() - 1}; };
    turtle.OnRepaintRequest = [&doc, &host, last = Clock::time_point()]() mutable {
        const Clock::time_point now = Clock::now();
        if (now - last < std::chrono::milliseconds(16))
            return;
        last = now;
        host.repaint({0, 0, doc.image.width(), doc.image.height()});
        host.repaintNow();
    };
    turtle.OnRequestBackGround = [&doc, &host, &session](const std::string& name) {
        app::BackdropState& backdrops = doc.backdrop;
        if (!backdrops.presetsRead && !session.folder().empty()) {
            const std::string path = app::programFile(session.folder(), generators::kBackdropPresetFile);
            if (gfx::Status loaded = generators::loadBackdropPresets(doc, path); !loaded)
                host.showFailure(loaded.error());
        }
        if (!generators::requestBackdrop(doc, backdrops.presets, name) && session.onIgnored)
            session.onIgnored("background", name);
    };
    turtle.OnRequestFilter = [&doc, &host, &session](const std::string& name) {
        // These two names, in this case only, are the menu's Trace and Invert, which change the image itself.
        if (name == "trace")
            return effects::traceImage(doc);
        if (name == "invert")
            return effects::invertImage(doc);
        if (std::optional<gfx::Bitmap> picture = effects::requestFilter(doc, host, name)) {
            if (session.onPreview)
                session.onPreview(std::move(*picture));
            else
                app::showPicture(doc, std::move(*picture));
        } else if (!effects::findUserFilter(name) && session.onIgnored) {
            session.onIgnored("filter", name);
        }
    };
    turtle.Cancelled = [&host, start = Clock::now(), last = Clock::now()]() mutable {
        const Clock::time_point now = Clock::now();
        if (now - last < std::chrono::milliseconds(50))
            return false;
        last = now;
        return host.scriptRunStopped(std::chrono::duration<double>(now - start).count());
    };
}

script::RunResult runScript(app::Document& doc, app::Host& host, std::string_view text)
{
    ScriptSession& session = scriptSession(doc);
    if (session.running)
        return {"a script is running", 0};
    const Running running(session);
    bindTurtle(session.turtle, doc.canvas, doc, host, session);
    script::RunResult result = session.turtle.Run(text);
    host.scriptRunEnded();
    host.repaint({0, 0, doc.image.width(), doc.image.height()});
    return result;
}

void insertLibraryEntry(app::Document& doc, app::Host& host)
{
    app::ScriptEditor* editor = host.scriptEditor();
    script::ScriptLibrary& lib = scriptLibrary(doc, host);
    if (!editor || !lib.hasSelection())
        return;
    editor->replaceSelection(
        app::utf8FromScriptBytes(script::ScriptLibrary::script(lib.entries()[static_cast<std::size_t>(lib.selected())])));
}

std::span<const app::CommandRow> scriptCommandRows()
{
    return kRows;
}

} // namespace daubix::commands
