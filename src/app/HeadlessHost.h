#pragma once

#include "app/Host.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace daubix::app {

// The host of a run without a display: its dialogs take their answers from queues filled beforehand,
// its messages go to a callback, and its timer runs on a virtual clock that only moves when told to.
// An input box with no answer left is answered with its default text, as pressing Enter would; a colour
// or font dialog with none left is confirmed unchanged, and a file dialog with none left is cancelled.
class HeadlessHost : public Host {
public:
    std::deque<std::string> answers;
    std::deque<std::string> files;
    std::deque<gfx::Color> colors;
    std::deque<gfx::Font> fonts;
    std::optional<gfx::Bitmap> clipboard;
    std::function<void(const std::string&)> onMessage;
    std::vector<std::string> messages;
    std::array<std::string, 4> status;
    std::optional<gfx::Bitmap> programIcon;

    void showMessage(const std::string& text) override;
    std::optional<std::string> askText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override;
    std::optional<gfx::Color> chooseColor(gfx::Color initial) override;
    std::optional<gfx::Font> chooseFont(const gfx::Font& initial) override;
    std::optional<std::string> askFileName(FileDialog kind, const std::string& filter, int filterIndex) override;
    // Records that a command failed, so that the run can end with an error.
    void showFailure(const std::string& text) override;
    bool failed = false;
    void setStatus(int panel, const std::string& text) override;
    void moveMouse(gfx::Point) override { }
    // Without a display the pictures for other windows are taken and dropped.
    bool acceptsPicture(PictureTarget) const override { return true; }
    MemoryScriptEditor editor;
    ScriptEditor* scriptEditor() override { return &editor; }
    // A run going on this long (seconds) is stopped; 0: never.
    double scriptTimeout = 0;
    bool scriptRunStopped(double seconds) override { return scriptTimeout > 0 && seconds >= scriptTimeout; }
    std::optional<gfx::Bitmap> clipboardBitmap() override { return clipboard; }
    void setClipboardBitmap(const gfx::Bitmap& bitmap) override { clipboard = bitmap; }
    void repaint(const gfx::Rect&) override { }
    void setProgramIcon(const gfx::Bitmap& colour, const gfx::Bitmap&) override { programIcon = colour; }
    void startTimer(int intervalMs) override;
    void stopTimer() override;

    // Milliseconds since the run began.
    std::int64_t now() const { return m_now; }
    bool timerRunning() const { return m_interval > 0; }
    // Moves the clock on by ms, calling tick at every timer interval that passes while the timer runs.
    void advanceClock(std::int64_t ms, const std::function<void()>& tick);

private:
    std::int64_t m_now = 0;
    int m_interval = 0; // 0: stopped
    std::int64_t m_nextTick = 0;
};

} // namespace daubix::app
