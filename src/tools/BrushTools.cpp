// The colour, gradient, mix, effect, morph, zoom, clone, mirror and symmetric brushes.
//
// The brushes that keep a copy of the image in the range buffer take it once, at the press, exactly
// (pixel for pixel), and afterwards copy only the squares that a move changes between the buffer and
// the image: the image after every move is the one that copying the whole buffer back would give.

#include "app/Document.h"
#include "app/Range.h"
#include "effects/TketPaintFX.h"
#include "tools/Brushes.h"
#include "tools/ToolFamily.h"

#include <cmath>
#include <numbers>
#include <span>
#include <vector>

namespace daubix::tools {

namespace {

using app::roundHalfEven;
using gfx::Point;
using std::numbers::pi;

bool isToneMode(std::string_view m)
{
    return m == "brightnessbrush" || m == "contrastbrush" || m == "saturationbrush";
}

bool isStretchMode(std::string_view m)
{
    return m == "mbHorOval" || m == "mbVerOval" || m == "mbHorBox" || m == "mbVerBox";
}

bool isEffectMode(std::string_view m)
{
    return isToneMode(m) || isStretchMode(m) || m == "fisheyebrush" || m == "fisheyefixbrush" || m == "twistbrush"
        || m == "rotatebrush" || m == "rimplebrush" || m.starts_with("mb");
}

// Copies the box (clipped) of one 24-bit bitmap into the same place of another of the same size.
void copyBox(const gfx::Bitmap& from, gfx::Bitmap& to, gfx::Rect box)
{
    box = {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, from.width()),
        std::min(box.bottom, from.height())};
    if (box.left >= box.right || from.format() != gfx::PixelFormat::Bits24 || to.format() != from.format()
        || to.width() != from.width() || to.height() != from.height())
        return;
    for (int y = box.top; y < box.bottom; ++y)
        std::copy_n(from.scanLine(y) + static_cast<std::size_t>(box.left) * 3,
            static_cast<std::size_t>(box.right - box.left) * 3,
            to.scanLine(y) + static_cast<std::size_t>(box.left) * 3);
}

// The pen width as the brushes take it: no wider than the canvas draws a pen.
int brushWidth(const app::Document& doc)
{
    return std::min(doc.canvas.pen.width, gfx::Canvas::kMaxPenWidth);
}

gfx::Rect shifted(const gfx::Rect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Far beyond any image; it keeps the square's corners well inside the int range.
constexpr int kMaxEffectRadius = 1 << 24;

// The disc of an effect circle over the part of its square on the image, in the square's coordinates:
// the rows and columns it reaches there, and per row of those its columns (counted from their left).
struct DiscPart {
    int side = 0;
    gfx::Rect on;
    gfx::Rect window;
    std::vector<effects::ColumnSpan> rows;
};

// A stroke whose radius stays the same asks for the same disc move after move; the last one is kept
// until the stroke ends.
class DiscCache {
public:
    const DiscPart& of(int side, const gfx::Rect& on)
    {
        if (m_part.side == side && m_part.on == on)
            return m_part;
        std::vector<effects::ColumnSpan> spans = discSpans(side, side, on);
        int top = -1, bottom = -1, left = static_cast<int>(on.width()), right = 0;
        for (int y = 0; y < static_cast<int>(spans.size()); ++y) {
            const effects::ColumnSpan span = spans[static_cast<std::size_t>(y)];
            if (span.x0 >= span.x1)
                continue;
            if (top < 0)
                top = y;
            bottom = y + 1;
            left = std::min(left, span.x0);
            right = std::max(right, span.x1);
        }
        m_part = {side, on, {}, {}};
        if (top < 0)
            return m_part; // the disc misses the image
        m_part.window = {on.left + left, on.top + top, on.left + right, on.top + bottom};
        for (int y = top; y < bottom; ++y) {
            const effects::ColumnSpan span = spans[static_cast<std::size_t>(y)];
            m_part.rows.push_back(
                span.x0 < span.x1 ? effects::ColumnSpan{span.x0 - left, span.x1 - left} : effects::ColumnSpan{});
        }
        return m_part;
    }

private:
    DiscPart m_part;
};

// Writes into dst the part `cut` of the mode's result on the square (image coordinates), computed from
// the stroke-start copy in the range buffer.
void effectInto(app::Document& doc, std::string_view mode, double parameter, const gfx::Rect& square,
    const effects::ResultWindow& cut, gfx::Bitmap& dst)
{
    const int side = cut.fullWidth, radius = side / 2;
    const effects::SourceView src{&doc.rangeBuffer, square.left, square.top, side, side};
    effects::TketPaintFX fx(doc.random);
    const int amount = static_cast<int>(parameter);
    if (isToneMode(mode)) {
        const int left = square.left + cut.left, top = square.top + cut.top;
        gfx::Canvas(dst).copyRect(
            {0, 0, dst.width(), dst.height()}, doc.rangeBuffer, {left, top, left + dst.width(), top + dst.height()});
        if (mode == "brightnessbrush")
            fx.Brightness(dst, amount);
        else if (mode == "contrastbrush")
            fx.Contrast(dst, amount);
        else
            fx.Saturation(dst, amount);
    } else if (mode == "fisheyebrush" || mode == "fisheyefixbrush") {
        fx.Fisheye(src, dst, cut, parameter);
    } else if (mode == "twistbrush") {
        fx.Twist(src, dst, cut, amount);
    } else if (mode == "rotatebrush") {
        fx.RotateSmooth(src, dst, cut, radius, radius, parameter);
    } else if (mode == "rimplebrush") {
        rippleCircle(src, dst, cut, parameter);
    } else if (isStretchMode(mode)) {
        const Point centre{square.left + radius, square.top + radius};
        const int strip
            = std::clamp(roundHalfEven(std::max(std::abs(parameter), 1.0) * radius / 180), 5, std::max(radius, 5));
        const bool horizontal = mode == "mbHorOval" || mode == "mbHorBox";
        const gfx::Rect from = horizontal
            ? gfx::Rect{centre.x - strip, centre.y - radius, centre.x + strip, centre.y + radius}
            : gfx::Rect{centre.x - radius, centre.y - strip, centre.x + radius, centre.y + strip};
        const effects::SourceView stripView{
            &doc.rangeBuffer, from.left, from.top, static_cast<int>(from.width()), static_cast<int>(from.height())};
        if (const auto* mitchell = effects::findResampleFilter("Mitchell"))
            (void)fx.Resample(stripView, dst, cut, *mitchell, mitchell->support);
    } else {
        static constexpr std::pair<std::string_view, effects::SqueezeShape> kSqueezes[]
            = {{"mbHor", effects::SqueezeShape::Horizontal}, {"mbTop", effects::SqueezeShape::Top},
                {"mbBottom", effects::SqueezeShape::Bottom}, {"mbDiamond", effects::SqueezeShape::Diamond},
                {"mbWaste", effects::SqueezeShape::Waste}, {"mbRound", effects::SqueezeShape::Round},
                {"mbRound2", effects::SqueezeShape::DoubleRound}, {"mbSplitRound", effects::SqueezeShape::Round},
                {"mbSplitWaste", effects::SqueezeShape::Waste}};
        for (const auto& [name, shape] : kSqueezes)
            if (name == mode) {
                if (mode.starts_with("mbSplit"))
                    fx.SplitSqueeze(src, dst, cut, shape, amount);
                else
                    fx.Squeeze(src, dst, cut, shape, amount);
            }
    }
}

class BrushTools : public ToolFamily {
public:
    void press(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        const Point p = e.point;
        m_lastSquare = {};
        m_disc = {};
        if (isSpotFilterMode(mode) || mode == "gradientbrush") {
            doc.image.convertTo(gfx::PixelFormat::Bits24);
            app::copyWholeImage(doc); // the stroke-start copy
        } else if (isEffectMode(mode)) {
            app::copyWholeImage(doc); // the stroke-start copy
        } else if (mode == "mixbrush") {
            const int w = brushWidth(doc);
            const gfx::Color a = e.alt ? doc.colorAt(p.x, p.y - w) : doc.colorAt(p.x - w, p.y);
            const gfx::Color b = e.alt ? doc.colorAt(p.x, p.y + w) : doc.colorAt(p.x + w, p.y);
            doc.canvas.pen.color = gfx::average(a, b);
        } else if (mode == "zoombrush" || mode == "zoomkeepbrush") {
            doc.zoomCopy = doc.image.converted(gfx::PixelFormat::Bits24);
        } else if (mode == "cloneall" || mode == "clonenottarget") {
            m_cloneOffset = {engine.state().anchor.x - p.x, engine.state().anchor.y - p.y};
        } else if (mode == "sym") {
            const int n = std::clamp(doc.shapes.starPoints, 1, 64);
            const Point centre{doc.image.width() / 2, doc.image.height() / 2};
            m_arms.assign(1, p);
            for (int k = 1; k < n; ++k)
                m_arms.push_back(rotate(centre, m_arms.back(), 2 * pi / n));
        }
    }

    void move(ToolEngine& engine, const PointerEvent& e, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        const Point q = e.point;
        if (isSpotFilterMode(mode)) {
            const int r = std::max(brushWidth(doc), 5);
            spotFilter(doc.rangeBuffer, q.x, q.y, mode, r);
            const gfx::Rect square{q.x - r, q.y - r, q.x + r, q.y + r};
            copyBox(doc.rangeBuffer, doc.image, square);
            engine.repaint(square);
        } else if (mode == "gradientbrush") {
            gradientMove(engine, q, e.alt);
        } else if (mode == "mixbrush") {
            line(engine, s.last, q);
        } else if (isEffectMode(mode)) {
            effectMove(engine, e, mode);
        } else if (mode == "zoombrush" || mode == "zoomkeepbrush") {
            zoomShow(doc, q);
            engine.repaintAll();
        } else if (mode == "cloneall" || mode == "clonenottarget") {
            cloneMove(engine, q, mode);
        } else if (mode == "sym") {
            symmetricMove(engine, q);
        } else {
            mirrorMove(engine, s.last, q, mode);
        }
    }

    void release(ToolEngine& engine, const PointerEvent&, const std::string& mode) override
    {
        app::Document& doc = engine.doc();
        m_disc = {};
        if (mode == "zoombrush") {
            doc.canvas.draw(0, 0, doc.zoomCopy);
            engine.repaintAll();
        } else if (mode == "zoomkeepbrush") {
            doc.toolMode = "freehand";
            doc.canvas.pen.width = 2;
        }
    }

private:
    void line(ToolEngine& engine, Point a, Point b)
    {
        gfx::Canvas& c = engine.doc().canvas;
        c.moveTo(a.x, a.y);
        c.lineTo(b.x, b.y);
        engine.repaint({std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
    }

    void gradientMove(ToolEngine& engine, Point q, bool alt)
    {
        app::Document& doc = engine.doc();
        const int w = brushWidth(doc);
        const gfx::Color c1 = alt ? doc.colorAt(q.x, q.y - w) : doc.colorAt(q.x - w, q.y);
        const gfx::Color c2 = alt ? doc.colorAt(q.x, q.y + w) : doc.colorAt(q.x + w, q.y);
        for (int i = 0; i < 3; ++i) {
            const gfx::Rect touched = alt ? gfx::Rect{q.x - i - 1, q.y - w - 1, q.x - i + 2, q.y + w + 2}
                                          : gfx::Rect{q.x - w - 1, q.y + i - 1, q.x + w + 2, q.y + i + 2};
            if (alt)
                gradientLine(doc.rangeBuffer, q.x - i, q.y - w, q.y + w, c1, c2, true, true);
            else
                gradientLine(doc.rangeBuffer, q.y + i, q.x - w, q.x + w, c1, c2, true);
            copyBox(doc.rangeBuffer, doc.image, touched);
            engine.repaint(touched);
        }
    }

    void effectMove(ToolEngine& engine, const PointerEvent& e, const std::string& mode)
    {
        app::Document& doc = engine.doc();
        GestureState& s = engine.state();
        const Point q = e.point;
        if (e.alt)
            s.start = {s.start.x + q.x - s.last.x, s.start.y + q.y - s.last.y};
        Point c = s.start;
        double dx = static_cast<double>(q.x) - c.x;
        if (dx == 0)
            dx = 0.01;
        const double dy = static_cast<double>(q.y) - c.y;
        const double theta = std::atan2(dy, dx);
        int radius = std::max(10, roundHalfEven(std::sqrt(dx * dx + dy * dy)));
        if (mode == "fisheyebrush") {
            c = q;
            radius = brushWidth(doc) < 5 ? 50 : brushWidth(doc);
        }
        // The two Box modes draw their whole square over the image; the others show one disc over the
        // stroke-start image.
        const bool masked = mode != "mbHorBox" && mode != "mbVerBox";
        if (masked) {
            // The image was the buffer but for the last circle: putting that part back restores it all.
            restoreSquare(doc, m_lastSquare);
            engine.repaint(m_lastSquare);
            m_lastSquare = {};
        }
        if (radius > kMaxEffectRadius)
            return; // a circle beyond any image's reach: nothing to show
        const int w = doc.image.width(), h = doc.image.height();
        const gfx::Rect square = effectSquare(c, radius, w, h);
        const int side = 2 * radius;
        // Only the square's pixels on the image can change it, and of those with a mask only the disc's:
        // the move computes that window of the effect's square result and nothing else.
        gfx::Rect window = square.intersected({0, 0, w, h});
        std::span<const effects::ColumnSpan> rows;
        if (masked && !window.isEmpty()) {
            const DiscPart& disc = m_disc.of(side, shifted(window, -square.left, -square.top));
            window = shifted(disc.window, square.left, square.top);
            rows = disc.rows;
        }
        if (window.isEmpty())
            return;
        if (doc.rangeBuffer.format() != gfx::PixelFormat::Bits24)
            doc.rangeBuffer.convertTo(gfx::PixelFormat::Bits24); // the effects read its bytes
        const effects::ResultWindow cut{side, side, window.left - square.left, window.top - square.top, rows};
        gfx::Bitmap dst(static_cast<int>(window.width()), static_cast<int>(window.height()));
        effectInto(doc, mode, effectParameter(mode, theta), square, cut, dst);
        if (masked) {
            whiteOutside(dst, rows);
            dst.transparent = true;
            dst.transparentColor = gfx::clWhite;
            m_lastSquare = window;
        }
        doc.canvas.draw(window.left, window.top, dst);
        engine.repaint(window);
    }

    static void restoreSquare(app::Document& doc, const gfx::Rect& square)
    {
        if (square.width() <= 0 || square.height() <= 0)
            return;
        if (doc.image.format() == gfx::PixelFormat::Bits24) {
            copyBox(doc.rangeBuffer, doc.image, square);
            return;
        }
        const gfx::Rop3 mode = doc.canvas.copyMode;
        doc.canvas.copyMode = gfx::kSrcCopy;
        doc.canvas.copyRect(square, doc.rangeBuffer, square);
        doc.canvas.copyMode = mode;
    }

    static void zoomShow(app::Document& doc, Point q)
    {
        const int s = brushWidth(doc) < 5 ? 50 : brushWidth(doc);
        const gfx::Bitmap& zc = doc.zoomCopy;
        gfx::Rect& r = doc.zoomRect;
        r = {std::max(q.x - s, 0), std::max(q.y - s, 0), std::min(q.x + s, zc.width() - 1),
            std::min(q.y + s, zc.height() - 1)};
        if (r.right < r.left || r.bottom < r.top)
            return;
        gfx::Bitmap part(r.right - r.left + 1, r.bottom - r.top + 1);
        gfx::Canvas(part).copyRect({0, 0, part.width(), part.height()}, zc, r);
        doc.canvas.stretchDraw({0, 0, doc.image.width(), doc.image.height()}, part);
    }

    void cloneMove(ToolEngine& engine, Point q, const std::string& mode)
    {
        app::Document& doc = engine.doc();
        const int w = brushWidth(doc);
        const Point from{q.x + m_cloneOffset.x, q.y + m_cloneOffset.y};
        const gfx::Rect to{q.x, q.y, q.x + w, q.y + w};
        if (mode == "cloneall") {
            doc.canvas.copyMode = gfx::kSrcCopy;
            doc.canvas.copyRect(to, doc.image, {from.x, from.y, from.x + w, from.y + w});
        } else {
            // Only the part of the square on the image can change; the scratch copy holds just that.
            const gfx::Rect on{std::max(to.left, 0), std::max(to.top, 0), std::min(to.right, doc.image.width()),
                std::min(to.bottom, doc.image.height())};
            if (on.left >= on.right || on.top >= on.bottom)
                return;
            const int pw = on.right - on.left, ph = on.bottom - on.top;
            const Point source{on.left + m_cloneOffset.x, on.top + m_cloneOffset.y};
            gfx::Bitmap part(pw, ph);
            gfx::Canvas(part).copyRect({0, 0, pw, ph}, doc.image, {source.x, source.y, source.x + pw, source.y + ph});
            const Point anchor = engine.state().anchor;
            part.transparent = true;
            part.transparentColor = doc.colorAt(anchor.x, anchor.y);
            doc.canvas.draw(on.left, on.top, part);
        }
        engine.repaint(to);
    }

    void mirrorMove(ToolEngine& engine, Point p, Point q, const std::string& mode)
    {
        const int w = engine.doc().image.width(), h = engine.doc().image.height();
        line(engine, p, q);
        if (mode == "vmirror" || mode == "mirror4")
            line(engine, {w - p.x, p.y}, {w - q.x, q.y});
        if (mode == "hmirror" || mode == "mirror4")
            line(engine, {p.x, h - p.y}, {q.x, h - q.y});
        if (mode == "cmirror" || mode == "mirror4")
            line(engine, {w - p.x, h - p.y}, {w - q.x, h - q.y});
    }

    void symmetricMove(ToolEngine& engine, Point q)
    {
        const app::Document& doc = engine.doc();
        const int n = static_cast<int>(m_arms.size());
        const Point centre{doc.image.width() / 2, doc.image.height() / 2};
        Point turned = q;
        for (int k = 0; k < n; ++k) {
            if (k > 0)
                turned = rotate(centre, turned, 2 * pi / n);
            line(engine, m_arms[static_cast<std::size_t>(k)], turned);
            m_arms[static_cast<std::size_t>(k)] = turned;
        }
    }

    gfx::Rect m_lastSquare; // what the last move of an effect brush drew, to be restored by the next
    DiscCache m_disc;
    Point m_cloneOffset;
    std::vector<Point> m_arms;
};

} // namespace

double effectParameter(std::string_view mode, double theta)
{
    if (isToneMode(mode))
        return roundHalfEven(theta * 100 / pi);
    if (mode == "fisheyebrush")
        return 0.9;
    if (mode == "fisheyefixbrush")
        return std::clamp(theta / pi * 0.5 + 0.5, 0.55, 0.99);
    if (mode == "twistbrush")
        return roundHalfEven(std::abs(theta * 25 / pi) + 1);
    if (mode == "rimplebrush")
        return std::max(theta * 10 / pi + 1, 1.0);
    if (mode == "rotatebrush" || isStretchMode(mode))
        return theta * 180 / pi;
    return roundHalfEven(theta * 180 / pi); // the squeezes and splits
}

void zoomOut(app::Document& doc)
{
    if (doc.zoomCopy.isEmpty())
        return;
    gfx::Canvas(doc.zoomCopy).stretchDraw(doc.zoomRect, doc.image);
    doc.canvas.draw(0, 0, doc.zoomCopy);
}

ToolFamily& brushTools()
{
    static BrushTools family;
    return family;
}

} // namespace daubix::tools
