#pragma once

#include "gfx/Canvas.h"
#include "gfx/Geometry.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::tools {

enum class Button : std::uint8_t { None, Left, Right, Middle };

// A mouse event on the image: the button, the modifier keys and the point in image pixels. Presses and
// releases of other buttons than the left, middle and right ones (None) are ignored, and points farther
// than 2^24 pixels out, more than any view shows, count as that far.
struct PointerEvent {
    gfx::Point point;
    Button button = Button::Left;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The state of one gesture and of the multi-click tools, kept for the run.
struct GestureState {
    bool buttonDown = false;
    gfx::Point start;
    gfx::Point last;
    gfx::Point pointer;
    gfx::Point anchor;
    gfx::PenMode savedMode = gfx::PenMode::Copy;
    gfx::Color pressPen = gfx::clBlack;
    gfx::Color pressBrush = gfx::clWhite;
    char lineDirection = 'n'; // straight line: 'n'one, 'h', 'v'
    std::array<gfx::Point, 4> curve{}; // P0 .. P3
    bool lockP1 = false;
    bool lockP2 = false;
    std::array<gfx::Point, 4> arc{}; // B1, B2, A1, A2
    std::array<gfx::Point, 4> corners{}; // C0 .. C3
    gfx::Point depth;
    std::vector<gfx::Point> vertices; // at most 100
    int timerTag = 1; // pulse direction of the wave lines
    int timerInterval = 0;
};

class ToolFamily;

// A tool mode without its phase suffix ("bezier2" is "bezier"); modes whose names end in a digit of
// their own ("mirror4", "mbRound2") stay as they are.
std::string_view baseToolMode(std::string_view mode);
// Whether presses, moves and releases in the mode draw what the mode is for. Menus offer only these.
bool isToolBuilt(std::string_view mode);
// Every mode that isToolBuilt accepts, without phase suffixes, sorted.
std::vector<std::string_view> builtToolModes();

// Turns mouse input on the image into drawing according to the tool mode: the press, move, release,
// right-button and timer steps common to every tool, with each tool family's own steps in between.
class ToolEngine {
public:
    ToolEngine(app::Document& doc, app::Host& host);
    ~ToolEngine();

    void press(const PointerEvent& e);
    void move(const PointerEvent& e);
    void release(const PointerEvent& e);
    void tick();

    GestureState& state() { return m_state; }
    app::Document& doc() { return m_doc; }
    app::Host& host() { return m_host; }

    // True when Alt is held and the script editor shows: some releases then type a script line.
    bool goMacro(const PointerEvent& e) const;
    void appendScriptLine(const std::string& words);
    // The part of the image that changed, reported to the host.
    void repaint(const gfx::Rect& area);
    void repaintAll();

private:
    void rightPress(const PointerEvent& e);
    ToolFamily* familyFor(std::string_view mode) const;

    app::Document& m_doc;
    app::Host& m_host;
    GestureState m_state;
};

} // namespace daubix::tools
