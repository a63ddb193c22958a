#include "gadgets/ButtonPaint.h"

#include "gfx/Text.h"

namespace daubix::gadgets {

namespace {

constexpr int kLargestAutosize = 71;
constexpr int kSmallestAutosize = 5;
constexpr int kCaptionMargin = 10;

void line(gfx::Canvas& canvas, gfx::Point a, gfx::Point b)
{
    canvas.moveTo(a.x, a.y);
    canvas.lineTo(b.x, b.y);
}

void paintRect(gfx::Canvas& canvas, const gfx::Rect& r, std::optional<gfx::Color> face, bool border)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int L = r.left, T = r.top;
    if (border) {
        canvas.pen.color = gfx::clBlack;
        canvas.pen.width = 1;
        canvas.brush.setStyle(gfx::BrushStyle::Clear);
        canvas.rectangle(L, T, L + w, T + h);
    }
    if (face) {
        canvas.brush.setColor(*face);
        canvas.fillRect({L + 1, T + 1, L + w, T + h});
    }
    canvas.pen.color = gfx::clWhite;
    canvas.pen.width = 1;
    line(canvas, {L + 1, T + h - 1}, {L + 1, T + 1});
    canvas.lineTo(L + w - 1, T + 1);
    canvas.pen.color = gfx::clBlack;
    canvas.pen.width = 2;
    line(canvas, {L + w - 1, T + 1}, {L + w - 1, T + h - 1});
    canvas.lineTo(L + 2, T + h - 1);
}

// The outline and face share one figure; without a border the face alone is filled.
void prepareFigure(gfx::Canvas& canvas, std::optional<gfx::Color> face, bool border)
{
    canvas.pen.width = 1;
    canvas.pen.color = gfx::clBlack;
    canvas.pen.style = border ? gfx::PenStyle::Solid : gfx::PenStyle::Clear;
    if (face)
        canvas.brush.setColor(*face);
    else
        canvas.brush.setStyle(gfx::BrushStyle::Clear);
}

void paintOval(gfx::Canvas& canvas, const gfx::Rect& r, std::optional<gfx::Color> face, const ButtonPaintOptions& o)
{
    const gfx::PenStyle style = canvas.pen.style;
    prepareFigure(canvas, face, o.border);
    if (o.border || face)
        canvas.ellipse(r.left, r.top, r.right, r.bottom);
    canvas.pen.style = style;
    const int e = (r.bottom - r.top + 1) / 5, f = (r.right - r.left + 1) / 5;
    const gfx::Point upperRight{r.left + 4 * f, r.top + e}, lowerLeft{r.left + f, r.top + 4 * e};
    canvas.pen.width = o.ovalPenWidth;
    canvas.pen.color = o.ovalHighlight;
    canvas.arc(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, upperRight.x, upperRight.y, lowerLeft.x, lowerLeft.y);
    canvas.pen.color = o.ovalShadow;
    canvas.arc(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, lowerLeft.x, lowerLeft.y, upperRight.x, upperRight.y);
}

void paintRounded(gfx::Canvas& canvas, const gfx::Rect& r, std::optional<gfx::Color> face, const ButtonPaintOptions& o)
{
    const int h = r.bottom - r.top;
    const gfx::PenStyle style = canvas.pen.style;
    if (o.border) {
        canvas.pen.width = 1;
        canvas.pen.color = gfx::clBlack;
        canvas.brush.setStyle(gfx::BrushStyle::Clear);
        canvas.roundRect(r.left, r.top, r.right, r.bottom, h + 1, h + 1);
    }
    if (face) {
        // One pixel inside the outline, its corners as high as itself plus one, like the outline's.
        canvas.pen.style = gfx::PenStyle::Clear;
        canvas.brush.setColor(*face);
        canvas.roundRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, h - 1, h - 1);
        canvas.pen.style = style;
    }
    // The ends are half circles as wide as the button is high.
    const int half = h / 2;
    canvas.pen.width = o.ovalPenWidth;
    canvas.pen.color = o.ovalHighlight;
    canvas.arc(r.left, r.top, r.left + h, r.bottom, r.left + half, r.top, r.left + half, r.bottom);
    line(canvas, {r.left + half, r.top}, {r.right - half, r.top});
    canvas.pen.color = o.ovalShadow;
    canvas.arc(r.right - h, r.top, r.right, r.bottom, r.right - half, r.bottom, r.right - half, r.top);
    line(canvas, {r.left + half, r.bottom - 1}, {r.right - half, r.bottom - 1});
}

} // namespace

gfx::Rect paintButton(gfx::Canvas& canvas, ButtonShape shape, const gfx::Rect& bounds, std::string_view caption,
    const gfx::Font& font, const ButtonPaintOptions& options)
{
    const gfx::Color penColor = canvas.pen.color, brushColor = canvas.brush.color();
    const int penWidth = canvas.pen.width;
    canvas.font = font;
    std::optional<gfx::Color> face;
    if (options.face == ButtonFace::Silver)
        face = gfx::clSilver;
    else if (options.face == ButtonFace::Colored)
        face = options.coloredFace;
    switch (shape) {
    case ButtonShape::Rect:
        paintRect(canvas, bounds, face, options.border);
        break;
    case ButtonShape::Oval:
        paintOval(canvas, bounds, face, options);
        break;
    case ButtonShape::Rounded:
        paintRounded(canvas, bounds, face, options);
        break;
    }
    const gfx::TextExtent text = gfx::textExtent(font, caption);
    const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
    drawStyledText(canvas, bounds.left + (w - text.width) / 2, bounds.top + (h - text.height) / 2, caption,
        options.textStyle, options.highlight, options.shadow, 2, true);
    canvas.pen.color = penColor;
    canvas.pen.width = penWidth;
    canvas.brush.setColor(brushColor);
    return {bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1};
}

ButtonSize autosizeButton(const gfx::Font& font, std::string_view caption)
{
    const gfx::TextExtent e = gfx::textExtent(font, caption);
    return {e.width + kCaptionMargin, e.height + kCaptionMargin};
}

std::optional<AutosizedText> autosizeText(const gfx::Font& font, std::string_view caption, ButtonSize button)
{
    gfx::Font sized = font;
    sized.cellHeight = 0;
    sized.emHeight = 0;
    for (int size = kLargestAutosize; size > kSmallestAutosize; --size) {
        sized.size = size;
        const gfx::TextExtent e = gfx::textExtent(sized, caption);
        if (e.height < button.height - kCaptionMargin && e.width < button.width - kCaptionMargin)
            return AutosizedText{sized, {e.width + kCaptionMargin, e.height + kCaptionMargin}};
    }
    return std::nullopt;
}

} // namespace daubix::gadgets
