#pragma once

#include "app/Host.h"

#include <functional>

class QImage;
class QString;
class QTimer;
class QPoint;
class QWidget;

namespace daubix::ui {

// The core's requests carried out with Qt: message boxes, input boxes, the clipboard and repaints.
class QtHost : public app::Host {
public:
    explicit QtHost(QWidget* window);

    std::function<void(const gfx::Rect&)> onRepaint;
    std::function<void(int, const QString&)> onStatus;

    void showMessage(const std::string& text) override;
    std::optional<std::string> askText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override;
    std::optional<gfx::Color> chooseColor(gfx::Color initial) override;
    std::optional<gfx::Font> chooseFont(const gfx::Font& initial) override;
    std::optional<std::string> askFileName(FileDialog kind, const std::string& filter, int filterIndex) override;
    void setStatus(int panel, const std::string& text) override;
    void moveMouse(gfx::Point imagePoint) override;
    // The script window's editor, once the window exists.
    app::ScriptEditor* editor = nullptr;
    app::ScriptEditor* scriptEditor() override { return editor; }
    // While a script runs: keeps the window painted and opens "Running script" with its Stop.
    std::function<bool(double)> onScriptProgress;
    std::function<void()> onRepaintNow;
    std::function<void()> onScriptRunEnded;
    void scriptRunEnded() override
    {
        if (onScriptRunEnded)
            onScriptRunEnded();
    }
    void repaintNow() override
    {
        if (onRepaintNow)
            onRepaintNow();
    }
    bool scriptRunStopped(double seconds) override { return onScriptProgress && onScriptProgress(seconds); }
    std::optional<gfx::Bitmap> clipboardBitmap() override;
    void setClipboardBitmap(const gfx::Bitmap& bitmap) override;
    void repaint(const gfx::Rect& area) override;
    void setProgramIcon(const gfx::Bitmap& colour, const gfx::Bitmap& mask) override;
    void startTimer(int intervalMs) override;
    void stopTimer() override;

    std::function<QPoint(gfx::Point)> imageToGlobal;
    std::function<void()> onTimerTick;

private:
    QWidget* m_window;
    QTimer* m_timer = nullptr;
};

// Conversions between the core's bitmaps and Qt images (copies).
QImage toQImage(const gfx::Bitmap& bitmap);
gfx::Bitmap fromQImage(const QImage& image);

} // namespace daubix::ui
