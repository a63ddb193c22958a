#include "gadgets/TextStyles.h"

#include "gfx/Text.h"

#include <cmath>

namespace daubix::gadgets {

namespace {

void pass(gfx::Canvas& canvas, int x, int y, std::string_view text, gfx::Color color)
{
    canvas.font.color = color;
    canvas.textOut(x, y, text);
}

// The backdrop is the text in the highlight colour at 1.3 times the size, its cell centred on the
// centre of the normal text's cell.
void backdrop(gfx::Canvas& canvas, int x, int y, std::string_view text, gfx::Color highlight)
{
    const gfx::Font normal = canvas.font;
    const gfx::TextExtent small = gfx::textExtent(normal, text);
    canvas.font = scaledFont(normal, 1.3);
    const gfx::TextExtent big = gfx::textExtent(canvas.font, text);
    pass(canvas, x + (small.width - big.width) / 2, y + (small.height - big.height) / 2, text, highlight);
    canvas.font = normal;
}

} // namespace

gfx::Font scaledFont(const gfx::Font& font, double factor)
{
    gfx::Font out = font;
    const auto scale = [factor](int v) { return static_cast<int>(std::nearbyint(v * factor)); };
    if (font.cellHeight > 0)
        out.cellHeight = scale(font.cellHeight);
    else if (font.emHeight > 0)
        out.emHeight = scale(font.emHeight);
    else
        out.size = scale(font.size);
    return out;
}

void drawStyledText(gfx::Canvas& canvas, int x, int y, std::string_view text, TextStyle style, gfx::Color highlight,
    gfx::Color shadow, int shadowOffset, bool forButton)
{
    const gfx::Color own = canvas.font.color;
    canvas.brush.setStyle(gfx::BrushStyle::Clear);
    switch (style) {
    case TextStyle::Normal:
        break;
    case TextStyle::RaisedLight:
        pass(canvas, x - 1, y - 1, text, highlight);
        break;
    case TextStyle::RaisedHeavy:
        pass(canvas, x - 1, y - 1, text, highlight);
        pass(canvas, x + 1, y + 1, text, shadow);
        break;
    case TextStyle::InsetLight:
        pass(canvas, x + 1, y + 1, text, highlight);
        break;
    case TextStyle::InsetHeavy:
        pass(canvas, x + 1, y + 1, text, highlight);
        pass(canvas, x - 1, y - 1, text, shadow);
        break;
    case TextStyle::DropShadow: {
        const int d = forButton ? 2 : shadowOffset;
        pass(canvas, x + d, y + d, text, shadow);
        break;
    }
    case TextStyle::Heavy:
        pass(canvas, x + 1, y + 1, text, own);
        break;
    case TextStyle::Backdrop:
        // Buttons have no backdrop; their style menu stops at Heavy.
        if (!forButton)
            backdrop(canvas, x, y, text, highlight);
        break;
    }
    pass(canvas, x, y, text, own);
}

} // namespace daubix::gadgets
