#pragma once

#include "app/Host.h"

namespace daubix::bench {

// A host that ignores everything: the benchmark times the drawing alone.
class QuietHost : public app::Host {
public:
    void showMessage(const std::string&) override { }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<gfx::Color> chooseColor(gfx::Color) override { return std::nullopt; }
    std::optional<gfx::Font> chooseFont(const gfx::Font&) override { return std::nullopt; }
    std::optional<std::string> askFileName(FileDialog, const std::string&, int) override { return std::nullopt; }
    void setStatus(int, const std::string&) override { }
    void moveMouse(gfx::Point) override { }
    std::optional<gfx::Bitmap> clipboardBitmap() override { return std::nullopt; }
    void setClipboardBitmap(const gfx::Bitmap&) override { }
    void repaint(const gfx::Rect&) override { }
    void setProgramIcon(const gfx::Bitmap&, const gfx::Bitmap&) override { }
    void startTimer(int) override { }
    void stopTimer() override { }
};

} // namespace daubix::bench
