// The range tools: select, the pastes, pick, move and smear, and the transparent copy.

#include "app/Document.h"
#include "app/Range.h"
#include "effects/TketPaintFX.h"
#include "tools/ToolFamily.h"

namespace daubix::tools {

namespace {

using gfx::Point;

void dottedBand(gfx::Canvas& c, Point a, Point b)
{
    c.pen.mode = gfx::PenMode::NotXor;
    c.pen.style = gfx::PenStyle::Dot;
    c.rectangle(a.x, a.y, b.x, b.y);
    c.pen.style = gfx::PenStyle::Solid; // solid afterwards, not the user's style
}

class RangeTools : public ToolFamily {
public:
    void press(ToolEngine& engine, const PointerEvent&, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        gfx::Canvas& c = doc.canvas;
        if (mode == "snapshot") {
            m_savedBrush = c.brush;
            m_savedWidth = c.pen.width;
            c.brush.setStyle(gfx::BrushStyle::Clear);
            c.pen.width = 1;
        } else if (mode == "rangemove" || mode == "rangesmear") {
            app::copyRangeOnWhite(doc, gfx::kSrcInvert);
            c.copyMode = gfx::kSrcInvert;
            stamp(engine, engine.state().start);
        }
    }

    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        const Point q = e.point;
        if (mode == "snapshot") {
            dottedBand(doc.canvas, s.start, s.last);
            dottedBand(doc.canvas, s.start, q);
            engine.repaintAll();
        } else if (mode == "paste" && e.shift) {
            pasteAt(doc, q);
            engine.repaintAll();
        } else if (mode == "rangemove" || mode == "rangesmear") {
            doc.canvas.copyMode = gfx::kSrcInvert;
            if (mode == "rangemove")
                stamp(engine, s.last); // xor twice: the last stamp goes
            stamp(engine, q);
        }
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        gfx::Canvas& c = doc.canvas;
        const Point r = e.point;
        if (mode == "snapshot") {
            dottedBand(c, s.start, r);
            doc.range = {s.start.x, s.start.y, r.x, r.y};
            c.brush = m_savedBrush;
            c.pen.width = m_savedWidth;
            doc.toolMode.clear();
        } else if (mode == "paste") {
            pasteAt(doc, r);
        } else if (mode == "pastemask") {
            const gfx::Bitmap mask = app::rangeMask(doc);
            if (!mask.isEmpty())
                c.draw(r.x, r.y, mask);
        } else if (mode == "pastecolor" || mode == "pastecolorx") {
            app::copyRangeOnWhite(doc, gfx::kSrcCopy);
            effects::TketPaintFX fx(doc.random);
            if (mode == "pastecolor")
                fx.MaskKeepColor(doc.rangeBuffer, c.brush.color());
            else
                fx.MaskDropColor(doc.rangeBuffer, c.brush.color());
            // Black pixels of the buffer never arrive: they are the ones the mask painted out.
            doc.rangeBuffer.transparent = true;
            doc.rangeBuffer.transparentColor = gfx::clBlack;
            c.draw(r.x, r.y, doc.rangeBuffer);
            doc.rangeBuffer.transparent = false;
        } else if (mode == "paintpick") {
            const gfx::Color picked = app::pickedColor(doc, r, e.alt);
            c.brush.setColor(picked);
            doc.secondColor = picked;
            doc.toolMode.clear();
        } else if (mode == "transcopy") {
            app::copyRangeOnWhite(doc, gfx::kSrcCopy);
            const int w = doc.rangeBuffer.width(), h = doc.rangeBuffer.height();
            if (w > 0 && h > 0)
                c.brushCopy({r.x, r.y, r.x + w - 1, r.y + h - 1}, doc.rangeBuffer, {0, 0, w, h}, doc.transparencyColor);
            s.buttonDown = false;
        }
        engine.repaintAll();
    }

private:
    // The range's copy to the rectangle of its size at p, with the canvas copy mode.
    static void pasteAt(app::Document& doc, Point p)
    {
        const gfx::Rect& r = doc.range;
        doc.canvas.copyRect(
            {p.x, p.y, static_cast<int>(p.x + r.width()), static_cast<int>(p.y + r.height())}, doc.image, r);
    }

    static void stamp(ToolEngine& engine, Point p)
    {
        app::Document& doc = engine.doc();
        if (doc.rangeBuffer.isEmpty())
            return;
        doc.canvas.draw(p.x, p.y, doc.rangeBuffer);
        engine.repaint({p.x, p.y, p.x + doc.rangeBuffer.width(), p.y + doc.rangeBuffer.height()});
    }

    gfx::Brush m_savedBrush;
    int m_savedWidth = 1;
};

} // namespace

ToolFamily& rangeTools()
{
    static RangeTools family;
    return family;
}

} // namespace daubix::tools
