#pragma once

// The Script menu and the interpreter's requests, shared by the window and the command line. Each window
// has one interpreter, whose turtle and number stack carry over from run to run, and one library; both
// live in the document (app::Document::scripting) and are made at their first use.

#include "app/Command.h"
#include "gfx/Bitmap.h"
#include "script/ScriptLibrary.h"
#include "script/TzoTurtle.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::commands {

struct ScriptSession {
    script::TzoTurtle turtle;
    script::ScriptLibrary library;
    std::string programFolder; // where DaubixLib.tip and DaubixQB.txt are
    // Finds the program folder when it is first needed: a run that never reads the library or the
    // presets leaves the folder alone.
    std::function<std::string()> findProgramFolder;
    const std::string& folder()
    {
        if (programFolder.empty() && findProgramFolder)
            programFolder = findProgramFolder();
        return programFolder;
    }
    bool libraryRead = false;
    bool running = false; // a run is under way: commands, tools and timer ticks wait
    // A filter request's picture; unset, it goes to the document's preview.
    std::function<void(gfx::Bitmap)> onPreview;
    // A "background" or "filter" request that matched nothing ("background" or "filter", and the name).
    std::function<void(const std::string&, const std::string&)> onIgnored;
};

ScriptSession& scriptSession(app::Document& doc);
bool scriptRunning(const app::Document& doc);

// The library of the program folder, read once (the window does it when it is made; the command line
// at its first library step). A file that cannot be read gives its message, once.
gfx::Status readScriptLibrary(app::Document& doc, const std::string& programFolder);

// The library, read from the program folder at its first use when no window read it.
script::ScriptLibrary& scriptLibrary(app::Document& doc, app::Host& host);

// The interpreter's four requests answered for this document, drawing on canvas:
//   the image size     (0, 0, W - 1, H - 1), read at every call
//   a repaint          the whole image, at most every 16 ms while the run goes on
//   background NAME    the first Quick Backdrops preset of that name, ignoring case, drawn into the image
//   filter NAME        "trace" and "invert" (this case only) run the menu's commands; another name of the
//                      Filters list (any case) previews as a click on it with the red channel checked
// and its cancellation: host.scriptRunStopped, asked at most every 50 ms.
void bindTurtle(script::TzoTurtle& turtle, gfx::Canvas& canvas, app::Document& doc, app::Host& host,
    ScriptSession& session);

// Runs a text through the window's interpreter, as Run and Run Item do (no undo step of its own; the
// rows take one), then repaints the whole image.
script::RunResult runScript(app::Document& doc, app::Host& host, std::string_view text);

// The library entry's script at the editor's caret, in place of the selection (ScriptLibDblClick).
void insertLibraryEntry(app::Document& doc, app::Host& host);

std::span<const app::CommandRow> scriptCommandRows();

} // namespace daubix::commands
