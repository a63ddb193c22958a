#include "gadgets/GradText.h"

#include "gadgets/LabelPaint.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace daubix::gadgets {

namespace {

constexpr int kSteps = 256; // bands of the strip and rectangle styles
constexpr int kStripScale = kSteps - 1;
constexpr double kRectangleShrink = 510.0; // each band moves every side in by size / 510
constexpr int kLightedShift = 2;

struct Bgr {
    std::uint8_t b, g, r;
};

int channelStep(int begin, int end, int i, int scale)
{
    return std::clamp(begin + i * (end - begin) / scale, 0, 255);
}

Bgr gradientColor(gfx::Color begin, gfx::Color end, int i, int scale)
{
    return {static_cast<std::uint8_t>(channelStep(gfx::blue(begin), gfx::blue(end), i, scale)),
        static_cast<std::uint8_t>(channelStep(gfx::green(begin), gfx::green(end), i, scale)),
        static_cast<std::uint8_t>(channelStep(gfx::red(begin), gfx::red(end), i, scale))};
}

void putColor(std::uint8_t* p, Bgr c)
{
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

// For each position along a side of the given size, the band whose colour it takes.
std::vector<int> stripBands(int size)
{
    std::vector<int> band(static_cast<std::size_t>(size), 0);
    for (int i = 0; i < kSteps; ++i) {
        const auto from = static_cast<int>(std::int64_t{i} * size / kSteps);
        const auto to = static_cast<int>(std::int64_t{i + 1} * size / kSteps);
        std::fill(band.begin() + from, band.begin() + to, i);
    }
    return band;
}

// Rows i and size - i take step i for i = 0 .. size / 2, later steps over earlier ones; a side under
// 2 pixels still divides by at least 1.
std::vector<int> centreBands(int size)
{
    std::vector<int> band(static_cast<std::size_t>(size), 0);
    const int m = size / 2;
    for (int i = 0; i <= m; ++i) {
        if (i < size)
            band[static_cast<std::size_t>(i)] = i;
        if (size - i < size)
            band[static_cast<std::size_t>(size - i)] = i;
    }
    return band;
}

// The innermost nested rectangle that covers each position: rectangle i spans trunc(i * step) up to
// (exclusive) trunc(size + 2 - i * step). The rectangles are nested, so a pixel's band is the smaller
// of its column's and its row's.
std::vector<int> rectangleBands(int size)
{
    std::vector<int> band(static_cast<std::size_t>(size), 0);
    const double step = size / kRectangleShrink;
    for (int i = 0; i < kSteps; ++i) {
        const auto from = static_cast<int>(i * step);
        const int to = std::min(static_cast<int>(size + 2 - i * step), size);
        for (int x = std::max(from, 0); x < to; ++x)
            band[static_cast<std::size_t>(x)] = i;
    }
    return band;
}

std::vector<Bgr> colorsOf(const std::vector<int>& bands, gfx::Color begin, gfx::Color end, int scale)
{
    std::vector<Bgr> colors;
    colors.reserve(bands.size());
    for (int i : bands)
        colors.push_back(gradientColor(begin, end, i, scale));
    return colors;
}

void fillRows(gfx::Bitmap& bitmap, const std::vector<Bgr>& rowColors)
{
    const int w = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        const Bgr c = rowColors[static_cast<std::size_t>(y)];
        for (int x = 0; x < w; ++x)
            putColor(row + 3 * x, c);
    }
}

void fillColumns(gfx::Bitmap& bitmap, const std::vector<Bgr>& columnColors)
{
    const int w = bitmap.width();
    if (bitmap.height() == 0)
        return;
    std::uint8_t* first = bitmap.scanLine(0);
    for (int x = 0; x < w; ++x)
        putColor(first + 3 * x, columnColors[static_cast<std::size_t>(x)]);
    for (int y = 1; y < bitmap.height(); ++y)
        std::memcpy(bitmap.scanLine(y), first, static_cast<std::size_t>(w) * 3);
}

// Each row is the column pattern with its inner stretch (where the column's band is at least the row's)
// in the row's own band: the ring that the row crosses, filled once.
void fillRectangle(gfx::Bitmap& bitmap, gfx::Color begin, gfx::Color end)
{
    const int w = bitmap.width(), h = bitmap.height();
    const std::vector<int> columns = rectangleBands(w), rows = rectangleBands(h);
    std::array<Bgr, kSteps> lut{};
    for (int i = 0; i < kSteps; ++i)
        lut[static_cast<std::size_t>(i)] = gradientColor(begin, end, i, kStripScale);
    std::vector<std::uint8_t> pattern(static_cast<std::size_t>(w) * 3);
    for (int x = 0; x < w; ++x)
        putColor(pattern.data() + 3 * x, lut[static_cast<std::size_t>(columns[static_cast<std::size_t>(x)])]);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        std::memcpy(row, pattern.data(), pattern.size());
        const int band = rows[static_cast<std::size_t>(y)];
        const Bgr c = lut[static_cast<std::size_t>(band)];
        for (int x = 0; x < w; ++x)
            if (columns[static_cast<std::size_t>(x)] >= band)
                putColor(row + 3 * x, c);
    }
}

gfx::TextJustify justifyOf(TJustification j)
{
    return j == TJustification::jLeft ? gfx::TextJustify::Left
        : j == TJustification::jRight ? gfx::TextJustify::Right
                                      : gfx::TextJustify::Center;
}

} // namespace

gfx::Font gradTextDefaultFont()
{
    gfx::Font font;
    font.name = "Times New Roman";
    font.size = 18;
    font.bold = true;
    font.italic = true;
    return font;
}

TGradText gradTextGadget()
{
    TGradText text;
    text.font.emHeight = 30;
    return text;
}

std::string gradTextString(const TGradText& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (i > 0)
            out += '\r';
        out += text.lines[i];
    }
    return out;
}

bool setGradTextCaption(TGradText& text, std::string_view answer)
{
    if (answer.empty())
        return false;
    text.lines = splitLines(answer);
    return true;
}

void setGradTextWidth(TGradText& text, int width)
{
    text.width = std::max(width, 1);
}

void swapGradColors(TGradText& text)
{
    std::swap(text.beginColor, text.endColor);
}

void applyGradPreset(TGradText& text, GradPreset preset)
{
    text.font.name = "Times New Roman";
    text.font.size = 36;
    text.font.emHeight = 0;
    text.font.cellHeight = 0;
    text.font.bold = true;
    text.font.italic = false;
    switch (preset) {
    case GradPreset::Silver:
        text.beginColor = gfx::clBlack;
        text.endColor = 0xF9F9F9;
        text.gradientStyle = TGradientStyle::gsVertCenter;
        break;
    case GradPreset::BlueMetallic:
        text.beginColor = 0xFFFF00;
        text.endColor = 0x800080;
        text.gradientStyle = TGradientStyle::gsVertical;
        break;
    case GradPreset::GreenMetalic:
        text.beginColor = gfx::clBlack;
        text.endColor = 0x00FF00;
        text.gradientStyle = TGradientStyle::gsVertCenter;
        break;
    }
}

void fillGradient(gfx::Bitmap& bitmap, TGradientStyle style, gfx::Color begin, gfx::Color end)
{
    assert(bitmap.format() == gfx::PixelFormat::Bits24);
    const int w = bitmap.width(), h = bitmap.height();
    switch (style) {
    case TGradientStyle::gsHorizontal:
        fillColumns(bitmap, colorsOf(stripBands(w), begin, end, kStripScale));
        break;
    case TGradientStyle::gsVertical:
        fillRows(bitmap, colorsOf(stripBands(h), begin, end, kStripScale));
        break;
    case TGradientStyle::gsRectangle:
        fillRectangle(bitmap, begin, end);
        break;
    case TGradientStyle::gsVertCenter:
        fillRows(bitmap, colorsOf(centreBands(h), begin, end, std::max(h / 2, 1)));
        break;
    case TGradientStyle::gsHorizCenter:
        fillColumns(bitmap, colorsOf(centreBands(w), begin, end, std::max(w / 2, 1)));
        break;
    }
}

gfx::TextLayout measureGradText(TGradText& text)
{
    gfx::TextLayout layout
        = gfx::layoutWrappedText(text.font, gradTextString(text), text.width, justifyOf(text.justification));
    text.width = layout.width;
    text.height = layout.height;
    return layout;
}

gfx::Bitmap gradTextAppearance(TGradText& text)
{
    const gfx::TextLayout layout = measureGradText(text);
    gfx::Bitmap mask(text.width, text.height);
    gfx::Font ink = text.font;
    ink.color = gfx::clBlack;
    gfx::drawTextLayout(mask, ink, 0, 0, layout);
    gfx::Bitmap out = gfx::Bitmap::zeroed(text.width, text.height);
    fillGradient(out, text.gradientStyle, text.beginColor, text.endColor);
    // The mask over the gradient with black left out: white everywhere but on the glyphs.
    for (int y = 0; y < out.height(); ++y) {
        const std::uint8_t* m = mask.scanLine(y);
        std::uint8_t* p = out.scanLine(y);
        for (int i = 0; i < out.width() * 3; i += 3)
            if (m[i] | m[i + 1] | m[i + 2])
                p[i] = p[i + 1] = p[i + 2] = 0xFF;
    }
    out.transparent = true;
    out.transparentColor = gfx::clWhite;
    return out;
}

void paintGradText(gfx::Canvas& canvas, TGradText& text)
{
    const gfx::Bitmap look = gradTextAppearance(text);
    canvas.draw(text.position.x, text.position.y, look);
}

void paintGradTextLighted(gfx::Canvas& canvas, TGradText& text, LightedPaint kind)
{
    text.font.bold = true;
    const gfx::Color begin = text.beginColor, end = text.endColor;
    const TGradientStyle style = text.gradientStyle;
    const bool gold = kind == LightedPaint::GoldRight || kind == LightedPaint::GoldLeft;
    const bool right = kind == LightedPaint::SilverRight || kind == LightedPaint::GoldRight;
    text.beginColor = gfx::clBlack;
    text.gradientStyle = TGradientStyle::gsVertCenter;
    text.endColor = gold ? gfx::Color{0x00FFFF} : gfx::Color{0xF9F9F9};
    const gfx::Bitmap light = gradTextAppearance(text);
    canvas.draw(text.position.x + (right ? kLightedShift : -kLightedShift), text.position.y, light);
    text.beginColor = begin;
    text.endColor = end;
    text.gradientStyle = style;
    paintGradText(canvas, text);
}

} // namespace daubix::gadgets
