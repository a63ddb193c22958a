#pragma once

#include "app/IniFile.h"
#include "gfx/Geometry.h"

#include <string_view>

namespace daubix::app {

// Where a window goes: maximised, or at a position and size (left, top, width, height in pixels).
struct Placement {
    bool maximized = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The main window's section "Window": State "maximized" or absent maximises; "normal" restores Left, Top,
// Width, Height (defaults 0, 0, 500, 400); any other State keeps the design placement, 694 x 492 at (94, 130).
Placement readMainPlacement(const IniFile& ini);
// State "normal" with the four values, or "maximized" alone; a minimised window writes nothing.
void writeMainPlacement(IniFile& ini, const Placement& placement, bool minimized);

// The placement store of the other windows, one section per window name: State "1" when maximised,
// else "0" with Left, Top, Width, Height; missing values fall back to the window's design placement.
class TzoFormIni {
public:
    static Placement read(const IniFile& ini, std::string_view windowName, const Placement& design);
    static void write(IniFile& ini, std::string_view windowName, const Placement& placement);
};

} // namespace daubix::app
