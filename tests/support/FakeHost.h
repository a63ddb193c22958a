#pragma once

#include "app/Host.h"

#include <deque>
#include <string>
#include <vector>

namespace daubix::test {

// A host that answers from queues and records what the core showed and asked.
class FakeHost : public app::Host {
public:
    std::deque<std::optional<std::string>> answers; // askText answers in order; empty queue = cancel
    std::vector<std::string> captions;
    std::vector<std::string> prompts;
    std::vector<std::string> initials;
    std::vector<std::string> messages;
    std::vector<std::pair<int, std::string>> statuses;
    std::optional<gfx::Bitmap> clipboard;
    std::vector<gfx::Rect> repaints;
    std::vector<gfx::Point> mouseMoves;
    app::MemoryScriptEditor editor;
    std::vector<std::pair<app::PictureTarget, gfx::Bitmap>> given; // pictures handed to other windows
    bool acceptsPicture(app::PictureTarget) const override { return true; }
    void givePicture(app::PictureTarget target, gfx::Bitmap picture) override { given.emplace_back(target, std::move(picture)); }
    int timerInterval = 0; // 0 = stopped
    std::optional<std::pair<gfx::Bitmap, gfx::Bitmap>> programIcon;

    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> askText(
        const std::string& caption, const std::string& prompt, const std::string& initial) override;
    std::optional<gfx::Color> chooseColor(gfx::Color) override { return std::nullopt; }
    std::optional<gfx::Font> chooseFont(const gfx::Font&) override { return std::nullopt; }
    std::deque<std::string> files; // file dialog answers in order; empty queue = cancel
    std::vector<std::pair<std::string, int>> fileFilters; // each dialog's filter and chosen index
    std::vector<std::string> failures; // showFailure's texts, also in messages
    void showFailure(const std::string& text) override
    {
        failures.push_back(text);
        showMessage(text);
    }
    std::optional<std::string> askFileName(FileDialog, const std::string& filter, int filterIndex) override
    {
        fileFilters.emplace_back(filter, filterIndex);
        if (files.empty())
            return std::nullopt;
        std::string name = files.front();
        files.pop_front();
        return name;
    }
    void setStatus(int panel, const std::string& text) override { statuses.emplace_back(panel, text); }
    void moveMouse(gfx::Point p) override { mouseMoves.push_back(p); }
    app::ScriptEditor* scriptEditor() override { return &editor; }
    std::optional<gfx::Bitmap> clipboardBitmap() override { return clipboard; }
    void setClipboardBitmap(const gfx::Bitmap& bitmap) override { clipboard = bitmap; }
    void repaint(const gfx::Rect& area) override { repaints.push_back(area); }
    void setProgramIcon(const gfx::Bitmap& colour, const gfx::Bitmap& mask) override { programIcon = {colour, mask}; }
    void startTimer(int intervalMs) override { timerInterval = intervalMs; }
    void stopTimer() override { timerInterval = 0; }
};

} // namespace daubix::test
