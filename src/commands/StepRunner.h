#pragma once

#include "effects/ResizeCommands.h"
#include "tools/ToolEngine.h"

#include <string>
#include <string_view>

namespace daubix::app {
struct Document;
class HeadlessHost;
} // namespace daubix::app

namespace daubix::commands {

// Ok: the step ran. Error: the step itself is wrong (unknown, a window's, not built yet, badly
// written). Failure: it ran and failed.
enum class StepStatus : std::uint8_t { Ok, Error, Failure };

struct StepResult {
    StepStatus status = StepStatus::Ok;
    std::string message;
};

// Runs steps on one document without a display, as the user would with the menus and the mouse:
//   a command path             "Range > Select All", "penmodes > Xor", "shapes > 2D Shapes > Rectangle"
//   a gesture                  "drag MODE X,Y [X,Y | tick:N | wait:MS]... [shift] [ctrl] [alt] [middle] [right]"
//   a drag on the scroll box   "scrollbox X,Y [X,Y]... [ctrl] [shift]" (points with the image at 0,0)
//   timer ticks                "tick N"
//   the script window          "editor-select all", "editor-select FROM,TO" (positions of the editor's CR LF
//                              text, TO exclusive), "library-select TAG", "library-insert" (a double-click)
//   a step of a window         "TDaubixF > PatList = 3", "TDaubixF > colorlist = navy shift" (a control),
//                              "TDaubixF > Range > Select All" (its menus), "TDaubixF drag MODE X,Y ...",
//                              "TQuickPreviewF > Use", "TQuickPreviewF > Save...", "TQuickPreviewF > CounterButton",
//                              "TQuickPreviewF > transparent = on|off" (the preview window),
//                              "TDaubixFLF > QFList = NAME", "TDaubixFLF > redradio" (greenradio, blueradio),
//                              "TDaubixFLF > trkred = V", "TDaubixFLF > matrix = m0,...,m24" (row by row),
//                              "TDaubixFLF > btnshow", "TDaubixFLF > FilterPresets = NAME",
//                              "TDaubixFLF > FilterPresets > Add" (Delete, Update) (the Filters window),
//                              "TDaubixEffectsF > ETree = Wings > Deep", "TDaubixEffectsF > EBar = 50" (extrabar,
//                              cxbar, cybar) (the Quick Effects panel, shown at its first step),
//                              "TDaubixQBF > redradio = NAME" (greenradio, blueradio: the channel takes the
//                              formula), "TDaubixQBF > trkred = N" (trkgreen, trkblue, trkfactor),
//                              "TDaubixQBF > qbpresets = NAME", "TDaubixQBF > Add Backdrop" (Delete, Update)
//                              "TTextureF > noisebar = 0..100", "TTextureF > texsize = 8..240",
//                              "TTextureF > mononoise = on|off", "TTextureF > gocolor" (a colour from the
//                              host's dialog), "TTextureF > goUse" (the texture window)
// A gesture chooses tool MODE (unless a phase of it is under way), presses at the first point, moves
// with the button held through the later ones and releases at the last. tick:N fires the tool timer N
// times and wait:MS moves the virtual clock on, firing the timer as it passes; both only while the
// timer runs.
class StepRunner {
public:
    StepRunner(app::Document& doc, app::HeadlessHost& host);

    // Where the program folder is looked for (app::resolveProgramFolder), for the Filters window's
    // presets. They are read at the first step that needs them: most runs never touch the folder.
    void setExecutableFolder(std::string folder);
    StepResult loadFilterPresets();
    // The same for Quick Backdrops' presets; a file that cannot be read has said so and leaves the list
    // empty, as the window does.
    void loadBackdropPresets();

    StepResult run(std::string_view step);

    // The Quick Effects panel shows from its first step on.
    bool effectsPanelShown() const { return m_effectsPanelShown; }
    void setEffectsPanelShown() { m_effectsPanelShown = true; }

    app::Document& doc() { return m_doc; }
    app::HeadlessHost& host() { return m_host; }
    tools::ToolEngine& tools() { return m_tools; }
    effects::ScrollBoxResize& scrollBox() { return m_scrollBox; }
    // Fires the tool timer n times while it runs.
    void tick(long long n);
    // Moves the virtual clock on by ms.
    void wait(long long ms);

private:
    app::Document& m_doc;
    app::HeadlessHost& m_host;
    tools::ToolEngine m_tools;
    effects::ScrollBoxResize m_scrollBox;
    std::string m_executableFolder;
    bool m_presetsLoaded = false;
    bool m_backdropPresetsLoaded = false;
    bool m_effectsPanelShown = false;
};

} // namespace daubix::commands
