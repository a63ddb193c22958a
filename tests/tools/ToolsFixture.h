#pragma once

// A document, a fake host and a tool engine, with mouse gestures in image points.

#include "app/Document.h"
#include "support/FakeHost.h"
#include "tools/ToolEngine.h"

#include <gtest/gtest.h>

namespace daubix::test {

using gfx::Point;
using tools::Button;

class Tools : public ::testing::Test {
protected:
    app::Document doc;
    test::FakeHost host;
    tools::ToolEngine engine{doc, host};

    void press(Point p, Button b = Button::Left, bool shift = false, bool ctrl = false, bool alt = false)
    {
        engine.press({p, b, shift, ctrl, alt});
    }
    void moveTo(Point p, bool shift = false, bool ctrl = false, bool alt = false)
    {
        engine.move({p, Button::None, shift, ctrl, alt});
    }
    void release(Point p, bool alt = false) { engine.release({p, Button::Left, false, false, alt}); }
    void drag(Point a, Point b)
    {
        press(a);
        moveTo(b);
        release(b);
    }
    void click(Point p)
    {
        press(p);
        release(p);
    }
    int blackPixels() const
    {
        int n = 0;
        for (int y = 0; y < doc.image.height(); ++y)
            for (int x = 0; x < doc.image.width(); ++x)
                n += doc.image.pixel(x, y) == gfx::clBlack;
        return n;
    }
};

} // namespace daubix::test
