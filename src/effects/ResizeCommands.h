#pragma once

#include "app/UndoRing.h"
#include "gfx/Geometry.h"

#include <optional>
#include <span>

namespace daubix::app {
struct CommandRow;
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::effects {

// Image > Resize and the size spin.
std::span<const app::CommandRow> resizeCommandRows();

// Resizing the image by dragging on the scroll box beside it: a press with Ctrl or Shift outside the
// image starts it, each move resamples the image as it was at the press to the pointer (Ctrl: both
// sides; Shift: the width, the height following the proportions; both: Ctrl, then Shift), and any
// release ends it. The drag is one undo step, none when it changed nothing. Points are in the scroll
// box, with the image unscrolled at its top-left.
class ScrollBoxResize {
public:
    void press(app::Document& doc, app::Host& host, gfx::Point p, bool ctrl, bool shift);
    void move(app::Document& doc, app::Host& host, gfx::Point p, bool ctrl, bool shift);
    void release(app::Document& doc);
    bool active() const { return m_active; }

private:
    bool m_active = false;
    bool m_warned = false; // a drag says once that its size is too large
    std::optional<app::UndoRing::Slot> m_displaced; // what the undo ring held before the drag's step
};

} // namespace daubix::effects
