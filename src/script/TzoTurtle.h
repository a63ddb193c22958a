#pragma once

#include "app/ScriptEditor.h"
#include "gfx/Canvas.h"
#include "gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::script {

// The result of a run: "ready", or the error that stopped it, and the 1-based scan position then
// (0 for the two statuses that report none).
struct RunResult {
    std::string status;
    int position = 0;
};

// The turtle-graphics script interpreter: a one-pass scanner over the script text with a number stack,
// a return stack for procedures and loops, and a turtle that draws on the canvas. Token boundaries,
// word kinds, variable slots and procedure positions are worked out once per run, so a step costs the
// same wherever its words stand; the behaviour is that of scanning the text afresh every time.
class TzoTurtle {
public:
    static constexpr int kStackSize = 255;

    TzoTurtle();
    ~TzoTurtle();

    gfx::Canvas* Canvas = nullptr;

    // Turtle state, kept from one run to the next.
    gfx::Point Position;
    double Heading = 0; // degrees, counter-clockwise on screen, never normalised
    bool PenDown = false;
    gfx::Point MarkPos;
    gfx::Rect Area;
    int MarkAngle = 0;
    gfx::Rect ImageRect;
    std::string BackgroundName;
    std::string FilterName;

    // The events; each is called from inside the command that raises it.
    std::function<void()> OnRepaintRequest;
    std::function<void(const std::string&)> OnRequestBackGround;
    std::function<void(const std::string&)> OnRequestFilter;
    // Writes the image bounds into the rectangle; unassigned, the commands that need them fail.
    std::function<void(gfx::Rect&)> OnRequestImageSize;
    // Asked every few thousand steps; returning true stops the run with "run cancelled".
    std::function<bool()> Cancelled;

    RunResult Run(std::string_view text);

    // The number stack, bottom first; it carries over between runs.
    std::vector<std::int32_t> numberStack() const;

private:
    struct Run_;
    friend struct Run_;
    std::array<std::int32_t, kStackSize> m_numbers{};
    int m_numberCount = 0;
};

// The text of a script file as the editor holds it: lines joined by CR LF, whatever breaks the file
// used (LF, CR or CR LF), so that positions are those the editor shows.
using app::editorText;

} // namespace daubix::script
