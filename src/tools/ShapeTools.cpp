#include "app/Arithmetic.h"
#include "app/Document.h"
#include "app/Host.h"
#include "tools/ToolFamily.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace daubix::tools {

using app::roundHalfEven;
using gfx::Point;
using std::numbers::pi;

namespace {

// Whole numbers held in doubles: the polar steps below round as the int ones do, but far-off points
// and the spiral's hundredths of a pixel stay in range.
struct WholePoint {
    double x;
    double y;
};

// p turned by t about o and its distance from o scaled by f, rounded to whole numbers (halves to even).
WholePoint polarStep(WholePoint o, WholePoint p, double t, double f)
{
    double dx = p.x - o.x;
    const double dy = p.y - o.y;
    const double d = std::sqrt(dx * dx + dy * dy) * f;
    if (dx == 0)
        dx = 0.001;
    const double a = std::atan2(dy, dx) + t;
    return {std::nearbyint(o.x + d * std::cos(a)), std::nearbyint(o.y + d * std::sin(a))};
}

int toInt(double v)
{
    return static_cast<int>(std::clamp(v, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

Point polarStep(Point o, Point p, double t, double f)
{
    const WholePoint q = polarStep(WholePoint{static_cast<double>(o.x), static_cast<double>(o.y)},
        WholePoint{static_cast<double>(p.x), static_cast<double>(p.y)}, t, f);
    return {toInt(q.x), toInt(q.y)};
}

} // namespace

gfx::Point reducevector(gfx::Point o, gfx::Point p, double f)
{
    return polarStep(o, p, 0, f);
}

gfx::Point rotate(gfx::Point o, gfx::Point p, double t)
{
    return polarStep(o, p, t, 1);
}

void drawCurve(gfx::Canvas& canvas, const std::array<gfx::Point, 4>& p)
{
    canvas.polyBezier(std::span<const Point>(p.data(), p.size()));
}

void bandLine(ToolEngine& engine, gfx::Point a, gfx::Point b)
{
    gfx::Canvas& c = engine.doc().canvas;
    c.pen.mode = gfx::PenMode::NotXor;
    // A band of no length is never drawn: a wide pen would leave a dot, and the first move of a gesture
    // "erases" exactly such a band, which was never there.
    if (a == b)
        return;
    c.moveTo(a.x, a.y);
    c.lineTo(b.x, b.y);
}

void bandCurve(gfx::Canvas& canvas, const std::array<gfx::Point, 4>& p)
{
    if (p[0] == p[1] && p[1] == p[2] && p[2] == p[3])
        return; // no length: see bandLine
    drawCurve(canvas, p);
}

namespace {

gfx::Rect box(std::initializer_list<Point> points)
{
    gfx::Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const Point& p : points)
        r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x), std::max(r.bottom, p.y)};
    return r;
}

bool userIsNotXor(ToolEngine& engine)
{
    return engine.state().savedMode == gfx::PenMode::NotXor;
}

void userMode(ToolEngine& engine)
{
    engine.doc().canvas.pen.mode = engine.state().savedMode;
}

void notXor(ToolEngine& engine)
{
    engine.doc().canvas.pen.mode = gfx::PenMode::NotXor;
}

// Erases the line band of the last move and draws the one to the pointer.
void moveLineBand(ToolEngine& engine, Point q)
{
    GestureState& s = engine.state();
    bandLine(engine, s.start, s.last);
    bandLine(engine, s.start, q);
    engine.repaint(box({s.start, s.last, q}));
}

std::string words(std::initializer_list<int> numbers)
{
    std::string out;
    for (int n : numbers)
        out += std::to_string(n) + " ";
    return out;
}

class LineTools : public ToolFamily {
public:
    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        gfx::Canvas& c = engine.doc().canvas;
        const Point q = e.point;
        if (mode == "freehand") {
            const Point from = c.penPos;
            c.lineTo(q.x, q.y);
            engine.repaint(box({from, q}));
            return;
        }
        if (mode == "sline") {
            moveStraight(engine, q);
            return;
        }
        moveLineBand(engine, q);
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        GestureState& s = engine.state();
        app::Document& doc = engine.doc();
        gfx::Canvas& c = doc.canvas;
        const Point r = e.point;
        if (mode == "line") {
            c.moveTo(s.start.x, s.start.y);
            if (!userIsNotXor(engine)) {
                c.lineTo(r.x, r.y);
                if (engine.goMacro(e))
                    engine.appendScriptLine("lineto " + words({r.x - s.start.x, r.y - s.start.y}));
            }
            engine.repaint(box({s.start, r}));
        } else if (mode == "spiral") {
            bandLine(engine, s.start, s.last);
            userMode(engine);
            spiral(doc, s.start, r);
            engine.repaintAll();
        } else if (mode == "spiro") {
            bandLine(engine, s.start, r);
            userMode(engine);
            spirograph(engine, s.start, r);
            engine.repaintAll();
        } else if (mode == "star") {
            bandLine(engine, s.start, s.last);
            userMode(engine);
            const int n = doc.shapes.shapesCount;
            for (int o = 1; o <= n; ++o)
                star(doc, s.start, reducevector(s.start, r, static_cast<double>(o) / n));
            engine.repaintAll();
        } else if (mode == "cone") {
            bandLine(engine, s.start, r);
            userMode(engine);
            cone(doc, s.start, r);
            engine.repaintAll();
        }
    }

private:
    static void moveStraight(ToolEngine& engine, Point q)
    {
        GestureState& s = engine.state();
        gfx::Canvas& c = engine.doc().canvas;
        const int tolerance = engine.doc().shapes.lineTolerance;
        if (s.lineDirection == 'n')
            s.lineDirection = std::abs(q.x - s.start.x) < std::abs(q.y - s.start.y) ? 'v' : 'h';
        if (s.lineDirection == 'h' && std::abs(q.y - s.last.y) > tolerance)
            s.lineDirection = 'v';
        if (s.lineDirection == 'v' && std::abs(q.x - s.last.x) > tolerance)
            s.lineDirection = 'h';
        const Point from = c.penPos;
        if (s.lineDirection == 'h') {
            c.lineTo(q.x, s.last.y);
            s.last.x = q.x;
        } else {
            c.lineTo(s.last.x, q.y);
            s.last.y = q.y;
        }
        engine.repaint(box({from, c.penPos}));
    }

    static void spiral(app::Document& doc, Point s, Point r)
    {
        // In hundredths of a pixel, so that the turns keep their shape near the centre.
        const WholePoint centre{100.0 * s.x, 100.0 * s.y};
        WholePoint p{100.0 * r.x, 100.0 * r.y};
        const int steps = doc.shapes.spiralCount * 36;
        for (int i = 0; i < steps; ++i) {
            p = polarStep(centre, p, doc.shapes.spiralDirection * pi / 18, 1);
            p = polarStep(centre, p, 0, doc.shapes.spiralFactor);
            doc.canvas.lineTo(toInt(std::trunc(p.x / 100)), toInt(std::trunc(p.y / 100)));
        }
    }

    static void spirograph(ToolEngine& engine, Point s, Point r)
    {
        app::Document& doc = engine.doc();
        const int w = doc.image.width(), h = doc.image.height();
        const Point m{w / 2, h / 2};
        if (w / 2 != h / 2) {
            engine.host().showMessage("image must be square for spirographs");
            return;
        }
        const int r1 = roundHalfEven(std::hypot(s.x - m.x, s.y - m.y));
        const int r2 = roundHalfEven(std::hypot(r.x - s.x, r.y - s.y));
        if (r1 + r2 > w / 2) {
            engine.host().showMessage("sum of radi to large");
            return;
        }
        if (r1 < 5 || r2 < 5) {
            engine.host().showMessage("both radi must be >5");
            return;
        }
        gfx::Canvas& c = doc.canvas;
        c.moveTo(m.x + r1 + r2, m.y);
        double a = 0, b = 0;
        for (int i = 0; i < doc.shapes.spiroTurns * 36; ++i) {
            c.lineTo(roundHalfEven(m.x + r1 * std::cos(b) + r2 * std::cos(a)),
                roundHalfEven(m.y + r1 * std::sin(b) + r2 * std::sin(a)));
            a += pi / 18;
            b += (static_cast<double>(r2) / r1) * pi / 18;
        }
    }

    static void star(app::Document& doc, Point centre, Point first)
    {
        const int k = doc.shapes.starPoints;
        int skip = 1;
        if (!doc.shapes.polygonOnly)
            skip = k == 5 ? 2 : k == 7 ? 3 : k == 9 ? 4 : k == 11 ? 5 : 1;
        std::vector<Point> vertices{first};
        for (int i = 1; i < k; ++i)
            vertices.push_back(rotate(centre, vertices.back(), 2.0 * skip * pi / k));
        doc.canvas.polygon(vertices);
    }

    static void cone(app::Document& doc, Point s, Point r)
    {
        const int w = doc.image.width(), cx = w / 2;
        const int m = (w - 2 * s.x) / 20, t = (w - 2 * r.x) / 20;
        gfx::Canvas& c = doc.canvas;
        auto line = [&](int x0, int y0, int x1, int y1) {
            c.moveTo(x0, y0);
            c.lineTo(x1, y1);
        };
        for (int i = 0; i <= 10; ++i) {
            line(cx + i * m, s.y, cx + i * t, r.y);
            line(cx - i * m, s.y, cx - i * t, r.y);
        }
        line(cx + 10 * m, s.y, cx - 10 * m, s.y);
        line(cx + 10 * t, r.y, cx - 10 * t, r.y);
    }
};

class CurveTools : public ToolFamily {
public:
    void press(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        GestureState& s = engine.state();
        if (mode != "bezier1" && mode != "bezier2")
            return;
        gfx::Canvas& c = engine.doc().canvas;
        notXor(engine);
        bandCurve(c, s.curve);
        s.curve[mode == "bezier1" ? 1 : 2] = e.point;
        bandCurve(c, s.curve);
        engine.repaintAll();
    }

    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        GestureState& s = engine.state();
        gfx::Canvas& c = engine.doc().canvas;
        const Point q = e.point;
        notXor(engine);
        if (mode == "bezier") {
            s.curve = {s.start, s.start, s.last, s.last};
            bandCurve(c, s.curve);
            s.curve = {s.start, s.start, q, q};
            bandCurve(c, s.curve);
        } else if (mode == "bezier1" || mode == "bezier2") {
            bandCurve(c, s.curve);
            s.curve[mode == "bezier1" ? 1 : 2] = q;
            bandCurve(c, s.curve);
        } else if (mode == "polybezier") {
            std::array<Point, 4>& p = s.curve;
            p[0] = s.start;
            p[3] = s.last;
            if (!s.lockP1)
                p[1] = {p[0].x, p[3].y};
            if (!s.lockP2)
                p[2] = {p[3].x, p[0].y};
            bandCurve(c, p);
            p[3] = q;
            if (e.ctrl) {
                s.lockP1 = true;
                p[1] = q;
            } else if (!s.lockP1) {
                p[1] = {p[0].x, p[3].y};
            }
            if (e.shift) {
                s.lockP2 = true;
                p[2] = q;
            } else if (!s.lockP2) {
                p[2] = {p[3].x, p[0].y};
            }
            bandCurve(c, p);
        }
        engine.repaintAll();
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        if (mode == "bezier") {
            doc.toolMode = "bezier1";
        } else if (mode == "bezier1") {
            doc.toolMode = "bezier2";
        } else if (mode == "bezier2") {
            if (!userIsNotXor(engine)) {
                s.curve[2] = e.point;
                userMode(engine);
                drawCurve(doc.canvas, s.curve);
                if (engine.goMacro(e)) {
                    const Point o = s.curve[0];
                    engine.appendScriptLine("curve "
                        + words({s.curve[1].x - o.x, s.curve[1].y - o.y, s.curve[2].x - o.x, s.curve[2].y - o.y,
                            s.curve[3].x - o.x, s.curve[3].y - o.y}));
                }
            }
            doc.toolMode = "bezier"; // through "bezier3" in the same release
            engine.repaintAll();
        }
    }

    void rightPress(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        if (mode != "polybezier")
            return;
        GestureState& s = engine.state();
        s.lockP1 = s.lockP2 = false;
        s.start = s.last = e.point;
        if (e.alt)
            s.buttonDown = false;
    }
};

class ArcTools : public ToolFamily {
public:
    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        if (mode != "arc" && mode != "chord" && mode != "pie")
            return;
        GestureState& s = engine.state();
        gfx::Canvas& c = engine.doc().canvas;
        notXor(engine);
        c.ellipse(s.start.x, s.start.y, s.last.x, s.last.y);
        c.ellipse(s.start.x, s.start.y, e.point.x, e.point.y);
        engine.repaint(box({s.start, s.last, e.point}));
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        const char phase = mode.back();
        const std::string base = (phase >= '0' && phase <= '9') ? mode.substr(0, mode.size() - 1) : mode;
        if (phase == '2') {
            s.arc[3] = e.point;
            doc.toolMode = base + "3";
            gfx::Canvas& c = doc.canvas;
            notXor(engine);
            c.ellipse(s.arc[0].x, s.arc[0].y, s.arc[1].x, s.arc[1].y);
            userMode(engine);
            const auto [b1, b2, a1, a2] = s.arc;
            if (base == "arc")
                c.arc(b1.x, b1.y, b2.x, b2.y, a1.x, a1.y, a2.x, a2.y);
            else if (base == "chord")
                c.chord(b1.x, b1.y, b2.x, b2.y, a1.x, a1.y, a2.x, a2.y);
            else
                c.pie(b1.x, b1.y, b2.x, b2.y, a1.x, a1.y, a2.x, a2.y);
            engine.repaintAll();
        } else if (phase == '1') {
            s.arc[2] = e.point;
            doc.toolMode = base + "2";
        } else if (mode == base) {
            s.arc[0] = s.start;
            s.arc[1] = e.point;
            doc.toolMode = base + "1";
        }
    }
};

class PolyTools : public ToolFamily {
public:
    void move(ToolEngine& engine, const PointerEvent& e, const std::string&) override { moveLineBand(engine, e.point); }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string&) override
    {
        GestureState& s = engine.state();
        gfx::Canvas& c = engine.doc().canvas;
        c.moveTo(s.start.x, s.start.y);
        if (!userIsNotXor(engine))
            c.lineTo(e.point.x, e.point.y);
        if (s.vertices.size() < 100)
            s.vertices.push_back(s.vertices.empty() ? s.start : e.point);
        engine.repaint(box({s.start, e.point}));
    }

    void rightPress(ToolEngine& engine, const PointerEvent&, const std::string& mode) override
    {
        GestureState& s = engine.state();
        if (mode == "polygon" && s.vertices.size() > 2) {
            userMode(engine);
            engine.doc().canvas.polygon(s.vertices);
            engine.repaintAll();
        }
        s.vertices.clear();
        s.buttonDown = false;
    }
};

class BoxTools : public ToolFamily {
public:
    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        GestureState& s = engine.state();
        band(engine, mode, s.start, s.last);
        band(engine, mode, s.start, e.point);
        engine.repaint(box({s.start, s.last, e.point}));
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        gfx::Canvas& c = doc.canvas;
        const Point a = s.start, r = e.point;
        const int wc = doc.image.width(), hc = doc.image.height();
        if (mode == "bars" || mode == "border") {
            band(engine, mode, a, r);
            userMode(engine);
            if (mode == "bars") {
                const int y1 = a.y < 10 ? 0 : a.y;
                const int y2 = r.y > hc - 10 ? hc : r.y;
                c.fillRect({0, y1, wc, y2});
            } else {
                const int w = r.x - a.x, h = r.y - a.y;
                c.fillRect({0, 0, wc, h});
                c.fillRect({0, hc - h, wc, hc});
                c.fillRect({0, 0, w, hc});
                c.fillRect({wc - w, 0, wc, hc});
            }
            engine.repaintAll();
            return;
        }
        userMode(engine);
        const int rounding = doc.shapes.rounding;
        if (!userIsNotXor(engine))
            figure(c, mode, a, r, rounding);
        if (mode == "rectangle" || mode == "roundrect" || mode == "ellipse") {
            if (engine.goMacro(e)) {
                const int w = r.x - a.x, h = r.y - a.y;
                if (mode == "roundrect")
                    engine.appendScriptLine("roundrect " + words({w, h, doc.shapes.rounding, doc.shapes.rounding}));
                else
                    engine.appendScriptLine(mode + " " + words({w, h}));
            }
            const int n = doc.shapes.shapesCount;
            if (n > 1) {
                const int dx = ((r.x - a.x) / 2) / n, dy = ((r.y - a.y) / 2) / n;
                for (int u = 1; u <= n - 1; ++u)
                    figure(c, mode, {a.x + u * dx, a.y + u * dy}, {r.x - u * dx, r.y - u * dy}, rounding);
            }
        } else if (mode == "maze") {
            const int dx = (r.x - a.x) / 10, dy = (r.y - a.y) / 10;
            auto line = [&](Point p, Point q) {
                c.moveTo(p.x, p.y);
                c.lineTo(q.x, q.y);
            };
            for (int i = 1; i <= 10; ++i) {
                line({a.x + i * dx, r.y}, {r.x, r.y - i * dy});
                line({r.x, r.y - i * dy}, {r.x - i * dx, a.y});
                line({r.x - i * dx, a.y}, {a.x, a.y + i * dy});
                line({a.x, a.y + i * dy}, {a.x + i * dx, r.y});
            }
        } else if (mode == "globe") {
            const int dx = (r.x - a.x) / 20, dy = (r.y - a.y) / 20;
            for (int i = 1; i <= 10; ++i) {
                c.ellipse(a.x + i * dx, a.y, r.x - i * dx, r.y);
                c.ellipse(a.x, a.y + i * dy, r.x, r.y - i * dy);
            }
        }
        engine.repaintAll();
    }

private:
    static void figure(gfx::Canvas& c, const std::string& mode, Point a, Point b, int rounding)
    {
        if (mode == "roundrect")
            c.roundRect(a.x, a.y, b.x, b.y, rounding, rounding);
        else if (mode == "ellipse" || mode == "globe")
            c.ellipse(a.x, a.y, b.x, b.y);
        else
            c.rectangle(a.x, a.y, b.x, b.y);
    }

    static void band(ToolEngine& engine, const std::string& mode, Point a, Point b)
    {
        gfx::Canvas& c = engine.doc().canvas;
        notXor(engine);
        if (a == b)
            return; // no size: see bandLine
        if (mode == "bars" || mode == "border") {
            c.pen.style = gfx::PenStyle::Dot;
            c.rectangle(a.x, a.y, b.x, b.y);
            c.pen.style = gfx::PenStyle::Solid; // solid afterwards, not the user's style
            return;
        }
        figure(c, mode, a, b, engine.doc().shapes.rounding);
    }
};

class CornerTools : public ToolFamily {
public:
    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        GestureState& s = engine.state();
        gfx::Canvas& c = engine.doc().canvas;
        const Point q = e.point;
        if (mode == "skewrect" || mode == "triangle") {
            moveLineBand(engine, q);
            return;
        }
        notXor(engine);
        if (mode == "cube") {
            // A box of no size is never drawn: see bandLine.
            if (s.last != s.start)
                c.rectangle(s.start.x, s.start.y, s.last.x, s.last.y);
            if (q != s.start)
                c.rectangle(s.start.x, s.start.y, q.x, q.y);
        } else if (mode == "skewrect1") {
            quad(c, s);
            s.corners[2] = q;
            s.corners[3] = {q.x + s.corners[0].x - s.corners[1].x, q.y + s.corners[0].y - s.corners[1].y};
            quad(c, s);
        } else if (mode == "triangle1") {
            triangle(c, s);
            s.corners[2] = q;
            triangle(c, s);
        } else if (mode == "cube1") {
            cube(c, s);
            s.depth = q;
            cube(c, s);
        }
        engine.repaintAll();
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        gfx::Canvas& c = doc.canvas;
        const Point r = e.point;
        userMode(engine);
        if (mode == "skewrect" || mode == "triangle") {
            c.moveTo(s.start.x, s.start.y);
            if (!userIsNotXor(engine))
                c.lineTo(r.x, r.y);
            s.corners = {s.start, r, r, s.start};
            doc.toolMode = mode + "1";
        } else if (mode == "cube") {
            s.corners = {s.start, Point{r.x, s.start.y}, r, Point{s.start.x, r.y}};
            s.depth = r;
            cube(c, s);
            doc.toolMode = "cube1";
        } else if (mode == "skewrect1" || mode == "triangle1" || mode == "cube1") {
            if (!userIsNotXor(engine)) {
                if (mode == "skewrect1")
                    quad(c, s);
                else if (mode == "triangle1")
                    triangle(c, s);
                else
                    cube(c, s);
            }
            doc.toolMode = mode.substr(0, mode.size() - 1) + "2";
        }
        engine.repaintAll();
    }

private:
    static void path(gfx::Canvas& c, std::initializer_list<Point> points) { c.polyline(std::vector<Point>(points)); }
    static void quad(gfx::Canvas& c, const GestureState& s)
    {
        const auto& k = s.corners;
        path(c, {k[0], k[1], k[2], k[3], k[0]});
    }
    static void triangle(gfx::Canvas& c, const GestureState& s)
    {
        const auto& k = s.corners;
        path(c, {k[0], k[1], k[2], k[0]});
    }
    static void cube(gfx::Canvas& c, const GestureState& s)
    {
        const auto& k = s.corners;
        path(c, {k[0], k[1], k[2], k[3], k[0]});
        const int ex = s.depth.x - k[2].x, ey = s.depth.y - k[2].y;
        auto plus = [&](Point p) { return Point{p.x + ex, p.y + ey}; };
        if (ex >= 0 && ey <= 0) {
            path(c, {k[0], plus(k[0]), plus(k[1]), plus(k[2]), k[2]});
            path(c, {k[1], plus(k[1])});
        } else if (ex >= 0 && ey > 0) {
            path(c, {k[1], plus(k[1]), plus(k[2]), plus(k[3]), k[3]});
            path(c, {k[2], plus(k[2])});
        } else if (ex < 0 && ey > 0) {
            path(c, {k[0], plus(k[0]), plus(k[3]), plus(k[2]), k[2]});
            path(c, {k[3], plus(k[3])});
        } else if (ex < 0 && ey < 0) {
            path(c, {k[1], plus(k[1]), plus(k[0]), plus(k[3]), k[3]});
            path(c, {k[0], plus(k[0])});
        }
    }
};

class FillTools : public ToolFamily {
public:
    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        if (mode == "blocks")
            block(engine, e.point);
    }

    void release(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        if (mode == "blocks") {
            block(engine, e.point);
            return;
        }
        const Point r = e.point;
        userMode(engine);
        if (e.alt)
            doc.canvas.floodFill(r.x, r.y, doc.canvas.pen.color, gfx::Canvas::FillStyle::Border);
        else
            doc.canvas.floodFill(r.x, r.y, doc.image.pixel(r.x, r.y), gfx::Canvas::FillStyle::Surface);
        engine.repaintAll();
    }

private:
    static void block(ToolEngine& engine, Point q)
    {
        app::Document& doc = engine.doc();
        // An image smaller than the blocks count would give cells of no size: one pixel at least.
        const int cw = std::max(1, doc.image.width() / doc.shapes.blocksCount);
        const int ch = std::max(1, doc.image.height() / doc.shapes.blocksCount);
        const int bx = q.x / cw, by = q.y / ch;
        const gfx::Rect cell{cw * bx, ch * by, cw * (bx + 1), ch * by + ch};
        userMode(engine);
        doc.canvas.fillRect(cell);
        engine.repaint(cell);
    }
};

// The press and release steps that run the timer for the wave lines and deco spheres; their drawing
// belongs to the ornament tools.
class TimerTools : public ToolFamily {
public:
    void press(ToolEngine& engine, const PointerEvent&, const std::string& mode) override
    {
        GestureState& s = engine.state();
        int interval = 0;
        if (mode == "waveline" || mode == "colorwaveline" || mode == "borderwaveline")
            interval = 60;
        else if (mode == "fastwaveline")
            interval = 15;
        if (interval) {
            s.timerTag = 1;
            engine.doc().canvas.pen.width = 1;
        } else {
            interval = mode == "decosphere" ? 300 : mode == "decofastsphere" ? 100 : 15;
        }
        s.timerInterval = interval;
        engine.host().startTimer(interval);
    }

    void release(ToolEngine& engine, const PointerEvent&, const std::string& mode) override
    {
        engine.host().stopTimer();
        if (mode.ends_with("waveline"))
            engine.doc().canvas.pen.width = 1;
    }
};

} // namespace

ToolFamily& lineTools()
{
    static LineTools family;
    return family;
}
ToolFamily& curveTools()
{
    static CurveTools family;
    return family;
}
ToolFamily& arcTools()
{
    static ArcTools family;
    return family;
}
ToolFamily& polyTools()
{
    static PolyTools family;
    return family;
}
ToolFamily& boxTools()
{
    static BoxTools family;
    return family;
}
ToolFamily& cornerTools()
{
    static CornerTools family;
    return family;
}
ToolFamily& fillTools()
{
    static FillTools family;
    return family;
}
ToolFamily& timerTools()
{
    static TimerTools family;
    return family;
}

} // namespace daubix::tools
