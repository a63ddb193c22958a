#pragma once

#include "app/PictureTarget.h"
#include "app/ScriptEditor.h"
#include "gfx/Bitmap.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>

namespace daubix::app {

// What the core asks of the user interface. The Qt window implements it; tests use a scripted fake;
// the command-line tool a headless one.
class Host {
public:
    virtual ~Host() = default;

    virtual void showMessage(const std::string& text) = 0;
    // A message that says a command failed (a file not read or not written); shown as any message.
    virtual void showFailure(const std::string& text) { showMessage(text); }
    // A one-line input box; nullopt when cancelled.
    virtual std::optional<std::string> askText(
        const std::string& caption, const std::string& prompt, const std::string& initial)
        = 0;
    virtual std::optional<gfx::Color> chooseColor(gfx::Color initial) = 0;
    virtual std::optional<gfx::Font> chooseFont(const gfx::Font& initial) = 0;
    // A file name from an open or a save dialog; nullopt when cancelled. The filter lists the offered
    // types as "Description (*.ext *.ext)" entries separated by ";;"; filterIndex (from 1) is the one
    // chosen when the dialog opens.
    enum class FileDialog : std::uint8_t { Open, Save };
    virtual std::optional<std::string> askFileName(FileDialog kind, const std::string& filter, int filterIndex = 1)
        = 0;
    // Status bar panels 0 .. 3.
    virtual void setStatus(int panel, const std::string& text) = 0;
    // Moves the mouse pointer to a point of the image.
    virtual void moveMouse(gfx::Point imagePoint) = 0;
    // The script window's editor; nothing where there is none.
    virtual ScriptEditor* scriptEditor() { return nullptr; }
    bool scriptEditorShowing() { return scriptEditor() && scriptEditor()->showing(); }
    // In place of the editor's selection, when the editor shows; "\n" is a line break.
    void insertScriptText(const std::string& text)
    {
        if (scriptEditorShowing())
            scriptEditor()->replaceSelection(text);
    }
    // Asked now and then while a script runs, with the seconds it has run: true stops it. The window
    // keeps itself responsive here.
    virtual bool scriptRunStopped(double seconds)
    {
        (void)seconds;
        return false;
    }
    // The run is over, before its outcome is told.
    virtual void scriptRunEnded() { }
    // Whether a window takes pictures from the range, and handing one over.
    virtual bool acceptsPicture(PictureTarget) const { return false; }
    virtual void givePicture(PictureTarget, gfx::Bitmap) { }
    virtual std::optional<gfx::Bitmap> clipboardBitmap() = 0;
    virtual void setClipboardBitmap(const gfx::Bitmap& bitmap) = 0;
    // The image changed inside the area (image pixels; right and bottom exclusive).
    virtual void repaint(const gfx::Rect& area) = 0;
    // Paints what repaint marked at once, where painting waits for an event loop (a script's run).
    virtual void repaintNow() { }
    // The program's window and task-bar icon: a colour picture and a one-bit mask (1 = transparent).
    virtual void setProgramIcon(const gfx::Bitmap& colour, const gfx::Bitmap& mask) = 0;
    virtual void startTimer(int intervalMs) = 0;
    virtual void stopTimer() = 0;
};

} // namespace daubix::app
