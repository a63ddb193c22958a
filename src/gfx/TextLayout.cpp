#include "gfx/TextLayout.h"

#include "gfx/Text.h"

#include <algorithm>

namespace daubix::gfx {

namespace {

std::vector<std::string_view> paragraphs(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    out.push_back(text.substr(start));
    return out;
}

std::size_t skipSpaces(std::string_view s, std::size_t from)
{
    while (from < s.size() && s[from] == ' ')
        ++from;
    return from;
}

std::size_t wordEnd(std::string_view s, std::size_t from)
{
    while (from < s.size() && s[from] != ' ')
        ++from;
    return from;
}

// Greedy filling: a line grows word by word while it fits, and always keeps its first word.
void wrapParagraph(const Font& font, std::string_view p, int width, std::vector<TextLine>& lines)
{
    std::size_t start = 0;
    if (skipSpaces(p, 0) == p.size()) {
        lines.push_back({});
        return;
    }
    while (start < p.size()) {
        std::size_t end = wordEnd(p, skipSpaces(p, start));
        int lineWidth = textExtent(font, p.substr(start, end - start)).width;
        for (;;) {
            const std::size_t next = skipSpaces(p, end);
            if (next == p.size())
                break;
            const std::size_t nextEnd = wordEnd(p, next);
            const int candidate = textExtent(font, p.substr(start, nextEnd - start)).width;
            if (candidate > width)
                break;
            end = nextEnd;
            lineWidth = candidate;
        }
        lines.push_back({std::string(p.substr(start, end - start)), 0, 0, lineWidth});
        start = skipSpaces(p, end); // strictly past the line's last word, so the loop always advances
    }
}

} // namespace

TextLayout layoutWrappedText(const Font& font, std::string_view text, int width, TextJustify justify)
{
    TextLayout layout;
    for (std::string_view p : paragraphs(text))
        wrapParagraph(font, p, width, layout.lines);
    const int lineHeight = textExtent(font, "").height;
    for (const TextLine& line : layout.lines)
        layout.width = std::max(layout.width, line.width);
    int y = 0;
    for (TextLine& line : layout.lines) {
        const int room = layout.width - line.width;
        line.x = justify == TextJustify::Center ? room / 2 : justify == TextJustify::Right ? room : 0;
        line.y = y;
        y += lineHeight;
    }
    layout.height = y;
    return layout;
}

void drawTextLayout(Bitmap& target, const Font& font, int x, int y, const TextLayout& layout)
{
    for (const TextLine& line : layout.lines)
        if (!line.text.empty())
            drawText(target, font, x + line.x, y + line.y, line.text, std::nullopt);
}

} // namespace daubix::gfx
