#include "gadgets/LabelPaint.h"

#include "gfx/Text.h"

#include <algorithm>

namespace daubix::gadgets {

namespace {

constexpr int kExtrudeDepth = 5;

void drawLines(gfx::Canvas& canvas, const std::vector<std::string>& lines, int x, int y, int lineHeight)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        canvas.textOut(x, y + static_cast<int>(i) * lineHeight, lines[i]);
}

} // namespace

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size() || lines.empty())
        lines.emplace_back(text.substr(start));
    return lines;
}

int labelLineHeight(const gfx::Font& font)
{
    return gfx::textExtent(font, "Xj").height;
}

gfx::Rect labelBounds(const LabelLook& label)
{
    const std::vector<std::string> lines = splitLines(label.text);
    int width = 0;
    for (const std::string& line : lines)
        width = std::max(width, gfx::textExtent(label.font, line).width);
    const int height = static_cast<int>(lines.size()) * labelLineHeight(label.font);
    return {label.topLeft.x, label.topLeft.y, label.topLeft.x + width, label.topLeft.y + height};
}

gfx::Rect selectionRange(const gfx::Rect& bounds)
{
    return {bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1};
}

gfx::Rect paintLabel(gfx::Canvas& canvas, const LabelLook& label, TextStyle style, const TextStyleColors& colors)
{
    canvas.font = label.font;
    const int lineHeight = labelLineHeight(label.font);
    const std::vector<std::string> lines = splitLines(label.text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        drawStyledText(canvas, label.topLeft.x, label.topLeft.y + static_cast<int>(i) * lineHeight, lines[i], style,
            colors.highlight, colors.shadow, colors.shadowOffset, false);
    return labelBounds(label);
}

gfx::Rect paintLabelExtruded(gfx::Canvas& canvas, const LabelLook& label)
{
    canvas.font = label.font;
    canvas.brush.setStyle(gfx::BrushStyle::Clear);
    const int lineHeight = labelLineHeight(label.font);
    const std::vector<std::string> lines = splitLines(label.text);
    canvas.font.color = gfx::clSilver;
    for (int n = kExtrudeDepth; n >= 1; --n)
        drawLines(canvas, lines, label.topLeft.x - n, label.topLeft.y - n, lineHeight);
    canvas.font.color = label.font.color;
    drawLines(canvas, lines, label.topLeft.x, label.topLeft.y, lineHeight);
    const gfx::Rect b = labelBounds(label);
    return {b.left - kExtrudeDepth, b.top - kExtrudeDepth, b.right, b.bottom};
}

} // namespace daubix::gadgets
