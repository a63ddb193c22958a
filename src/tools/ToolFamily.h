#pragma once

#include "tools/ToolEngine.h"

namespace daubix::tools {

// Modes that share options and steps form a family; each step receives the mode, so phase suffixes
// ("bezier1", "arc2") are handled inside.
class ToolFamily {
public:
    virtual ~ToolFamily() = default;
    virtual void press(ToolEngine&, const PointerEvent&, const std::string& /*mode*/) { }
    virtual void move(ToolEngine&, const PointerEvent&, const std::string& /*mode*/) { }
    virtual void release(ToolEngine&, const PointerEvent&, const std::string& /*mode*/) { }
    virtual void rightPress(ToolEngine&, const PointerEvent&, const std::string& /*mode*/) { }
};

// The families of the line and shape tools, one object each.
ToolFamily& lineTools();
ToolFamily& curveTools();
ToolFamily& arcTools();
ToolFamily& polyTools();
ToolFamily& boxTools();
ToolFamily& cornerTools();
ToolFamily& fillTools();
ToolFamily& timerTools();
ToolFamily& rangeTools();
ToolFamily& brushTools();

// Drawing helpers shared by the families.
void bandLine(ToolEngine& engine, gfx::Point a, gfx::Point b); // in not-xor
void drawCurve(gfx::Canvas& canvas, const std::array<gfx::Point, 4>& p);
// The curve as a band: nothing when its four points are one.
void bandCurve(gfx::Canvas& canvas, const std::array<gfx::Point, 4>& p);
// The point at fraction f of the way from o to p, in polar form.
gfx::Point reducevector(gfx::Point o, gfx::Point p, double f);
// p turned about o by t radians (clockwise on the screen for positive t).
gfx::Point rotate(gfx::Point o, gfx::Point p, double t);

} // namespace daubix::tools
