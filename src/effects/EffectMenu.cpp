#include "effects/EffectMenu.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Prompt.h"
#include "app/Range.h"
#include "effects/Effects_p.h"
#include "effects/Geometry_p.h"
#include "effects/NormalBlur.h"
#include "effects/TketPaintFX.h"

#include <string>
#include <utility>

namespace daubix::effects {

namespace {

using app::CommandContext;
using app::CommandRow;
using app::Document;

// The blurs and the toolbar's tone effects: the stroke-start copy takes the effect and is put back. Put
// back means the result replaces the image, whatever copy mode a range command left on the canvas (Move
// leaves Source Invert, which would combine the blur with the picture); the image keeps its format.
template <typename Effect> void onStrokeStartCopy(Document& doc, Effect&& effect)
{
    app::copyWholeImage(doc);
    TketPaintFX fx(doc.random);
    effect(fx, doc.rangeBuffer);
    const gfx::Rop3 mode = std::exchange(doc.canvas.copyMode, gfx::kSrcCopy);
    app::pasteclip(doc);
    doc.canvas.copyMode = mode;
}

// Asks for a trace setting under the trace box's title; the value changes only to a whole number in range.
void askTraceSetting(app::Host& host, const std::string& prompt, int& value, int lo, int hi)
{
    const std::optional<std::string> answer = host.askText("Daubix Trace", prompt, std::to_string(value));
    if (!answer)
        return;
    const std::optional<int> v = app::parseInteger(*answer);
    if (v && *v >= lo && *v <= hi)
        value = *v;
}

void antiAlias(CommandContext& c, const CommandRow&)
{
    TketPaintFX(c.doc.random).AntiAlias(detail::inTwentyFourBits(c.doc.image));
}

void pattern(CommandContext& c, const CommandRow& row)
{
    drawPattern(c.doc, static_cast<PatternKind>(row.number));
}

void normalBlur(CommandContext& c, const CommandRow&)
{
    onStrokeStartCopy(c.doc, [](TketPaintFX& fx, gfx::Bitmap& b) { fx.Convolve5x5(b, kNormalBlurKernel); });
}

void gaussianBlur(CommandContext& c, const CommandRow&)
{
    onStrokeStartCopy(c.doc, [](TketPaintFX& fx, gfx::Bitmap& b) { fx.GaussianBlur(b, 4); });
}

void colors(CommandContext& c, const CommandRow& row)
{
    permuteImageColors(c.doc, static_cast<ChannelOrder>(row.number));
}

void shadowRow(CommandContext& c, const CommandRow& row)
{
    shadowImage(c.doc, static_cast<ShadowDirection>(row.number));
}

void pixelize(CommandContext& c, const CommandRow& row)
{
    pixelizeImage(c.doc, row.number);
}

// The toolbar's tone effects, all with amount 20.
enum class Tone : std::uint8_t { Lighter, Darker, MoreContrast };
void tone(CommandContext& c, const CommandRow& row)
{
    onStrokeStartCopy(c.doc, [&](TketPaintFX& fx, gfx::Bitmap& b) {
        switch (static_cast<Tone>(row.number)) {
        case Tone::Lighter:
            return fx.Brightness(b, 20);
        case Tone::Darker:
            return fx.Darken(b, 20);
        case Tone::MoreContrast:
            return fx.Contrast(b, 20);
        }
    });
}

constexpr auto kPattern = [](PatternKind k) { return static_cast<int>(k); };
constexpr auto kOrder = [](ChannelOrder o) { return static_cast<int>(o); };
constexpr auto kShadow = [](ShadowDirection d) { return static_cast<int>(d); };

constexpr CommandRow kRows[] = {
    // The quarter turn clockwise; the result is 24 bits.
    {.path = "btnturn",
        .run =
            [](CommandContext& c, const CommandRow&) {
                gfx::Bitmap turned;
                TketPaintFX(c.doc.random).RotateQuarter(c.doc.image, turned);
                c.doc.image = std::move(turned);
            },
        .changesImage = true},
    {.path = "Image > Blur > Normal Blur", .run = normalBlur, .changesImage = true},
    {.path = "Image > Blur > Gaussian Blur", .run = gaussianBlur, .changesImage = true},
    {.path = "Image > Trace > &Trace",
        .run = [](CommandContext& c, const CommandRow&) { traceImage(c.doc); },
        .changesImage = true},
    {.path = "Image > Trace > Trace 5",
        .run =
            [](CommandContext& c, const CommandRow&) {
                for (int i = 0; i < 5; ++i)
                    traceImage(c.doc);
            },
        .changesImage = true},
    {.path = "Image > Trace > Trace &Range",
        .run = [](CommandContext& c, const CommandRow&) { traceRange(c.doc); },
        .changesImage = true},
    {.path = "Image > Trace > Color Byte",
        .run = [](CommandContext& c, const CommandRow&) { askTraceColorByte(c.doc, c.host); }},
    {.path = "Image > Trace > Intensity",
        .run = [](CommandContext& c, const CommandRow&) { askTraceIntensity(c.doc, c.host); }},
    {.path = "Image > Effects > &Anti Alias", .run = antiAlias, .changesImage = true},
    {.path = "Image > Effects > &Grayscale",
        .run = [](CommandContext& c, const CommandRow&) { grayscaleImage(c.doc); },
        .changesImage = true},
    {.path = "Image > Effects > &Spray",
        .run = [](CommandContext& c, const CommandRow&) { sprayImage(c.doc); },
        .changesImage = true},
    {.path = "Image > Effects > Checkerboard",
        .run = pattern,
        .changesImage = true,
        .number = kPattern(PatternKind::Checkerboard)},
    {.path = "Image > Effects > Dartboard",
        .run = pattern,
        .changesImage = true,
        .number = kPattern(PatternKind::Dartboard)},
    {.path = "Image > Effects > Rectangles",
        .run = pattern,
        .changesImage = true,
        .number = kPattern(PatternKind::Rectangles)},
    {.path = "Image > Effects > Round Rectangles",
        .run = pattern,
        .changesImage = true,
        .number = kPattern(PatternKind::RoundRectangles)},
    {.path = "Image > Effects > Bars > Horizontal",
        .run = pattern,
        .changesImage = true,
        .number = kPattern(PatternKind::HorizontalBars)},
    {.path = "Image > Effects > Bars > Vertical",
        .run = pattern,
        .changesImage = true,
        .number = kPattern(PatternKind::VerticalBars)},
    {.path = "Image > Colors > Roll RGB", .run = colors, .changesImage = true, .number = kOrder(ChannelOrder::RollRGB)},
    {.path = "Image > Colors > Swap RG", .run = colors, .changesImage = true, .number = kOrder(ChannelOrder::SwapRG)},
    {.path = "Image > Colors > Swap GB", .run = colors, .changesImage = true, .number = kOrder(ChannelOrder::SwapGB)},
    {.path = "Image > Colors > Swap RB", .run = colors, .changesImage = true, .number = kOrder(ChannelOrder::SwapRB)},
    {.path = "Image > Shadow > Up Left",
        .run = shadowRow,
        .changesImage = true,
        .number = kShadow(ShadowDirection::UpLeft)},
    {.path = "Image > Shadow > Up Right",
        .run = shadowRow,
        .changesImage = true,
        .number = kShadow(ShadowDirection::UpRight)},
    {.path = "Image > Shadow > Down Left",
        .run = shadowRow,
        .changesImage = true,
        .number = kShadow(ShadowDirection::DownLeft)},
    {.path = "Image > Shadow > Down Right",
        .run = shadowRow,
        .changesImage = true,
        .number = kShadow(ShadowDirection::DownRight)},
    {.path = "Image > Pixelize > 2", .run = pixelize, .changesImage = true, .number = 2},
    {.path = "Image > Pixelize > 3", .run = pixelize, .changesImage = true, .number = 3},
    {.path = "Image > Pixelize > 4", .run = pixelize, .changesImage = true, .number = 4},
    {.path = "Image > Pixelize > 5", .run = pixelize, .changesImage = true, .number = 5},
    {.path = "Image > Pixelize > 10", .run = pixelize, .changesImage = true, .number = 10},
    {.path = "Image > Pixelize > 15", .run = pixelize, .changesImage = true, .number = 15},
    {.path = "Image > Pixelize > 20", .run = pixelize, .changesImage = true, .number = 20},
    {.path = "Image > &Invert",
        .run = [](CommandContext& c, const CommandRow&) { invertImage(c.doc); },
        .changesImage = true},
    {.path = "effectspop > Lighter", .run = tone, .changesImage = true, .number = static_cast<int>(Tone::Lighter)},
    {.path = "effectspop > Darker", .run = tone, .changesImage = true, .number = static_cast<int>(Tone::Darker)},
    {.path = "effectspop > More Contrast",
        .run = tone,
        .changesImage = true,
        .number = static_cast<int>(Tone::MoreContrast)},
};

} // namespace

std::span<const CommandRow> effectCommandRows()
{
    return kRows;
}

void grayscaleImage(Document& doc)
{
    grayscale(detail::inTwentyFourBits(doc.image));
    doc.rangeBuffer = doc.image;
    doc.rangeBuffer.transparent = false;
}

void sprayImage(Document& doc)
{
    spray(detail::inTwentyFourBits(doc.image), doc.random);
}

void drawPattern(Document& doc, PatternKind kind)
{
    gfx::Canvas& canvas = doc.canvas;
    const int w = doc.image.width(), h = doc.image.height(), n = doc.shapes.blocksCount;
    const int cw = app::divTrunc(w, n), ch = app::divTrunc(h, n);
    const gfx::Color f = doc.firstColor, s = doc.secondColor;
    switch (kind) {
    case PatternKind::Checkerboard:
        for (int r = 0; r < n; ++r)
            for (int col = 0; col < n; ++col) {
                canvas.brush.setColor((r + col) % 2 == 0 ? f : s);
                canvas.fillRect({col * cw, r * ch, (col + 1) * cw, (r + 1) * ch});
            }
        break;
    case PatternKind::HorizontalBars:
    case PatternKind::VerticalBars:
        for (int i = 0; i < n; ++i) {
            canvas.brush.setColor(i % 2 == 0 ? s : f);
            if (kind == PatternKind::HorizontalBars)
                canvas.fillRect({0, ch * i, w, ch * (i + 1)});
            else
                canvas.fillRect({cw * i, 0, cw * (i + 1), h});
        }
        break;
    case PatternKind::Dartboard:
    case PatternKind::Rectangles:
    case PatternKind::RoundRectangles: {
        const gfx::PenStyle penStyle = canvas.pen.style;
        canvas.pen.style = gfx::PenStyle::Clear;
        for (int i = 0; i < n / 2; ++i) {
            canvas.brush.setColor(i % 2 == 0 ? s : f);
            const int left = cw * i, top = ch * i, right = w - cw * i, bottom = h - ch * i;
            if (kind == PatternKind::Dartboard)
                canvas.ellipse(left, top, right, bottom);
            else if (kind == PatternKind::Rectangles)
                canvas.rectangle(left, top, right, bottom);
            else
                canvas.roundRect(left, top, right, bottom, 2 * cw, 2 * ch);
        }
        canvas.pen.style = penStyle;
        break;
    }
    }
    canvas.brush.setColor(s);
}

void permuteImageColors(Document& doc, ChannelOrder order)
{
    gfx::Bitmap copy;
    doc.image = permutedTo8Bits(detail::as24(doc.image, copy), order);
}

void shadowImage(Document& doc, ShadowDirection direction)
{
    shadow(detail::inTwentyFourBits(doc.image), direction);
}

void pixelizeImage(Document& doc, int factor)
{
    const int w = doc.image.width(), h = doc.image.height();
    const int smallW = app::divTrunc(w, factor), smallH = app::divTrunc(h, factor);
    if (smallW <= 0 || smallH <= 0)
        return;
    gfx::Bitmap small(smallW, smallH);
    gfx::Canvas(small).stretchDraw({0, 0, smallW, smallH}, doc.image);
    doc.canvas.stretchDraw({0, 0, w, h}, small);
}

void traceImage(Document& doc)
{
    if (doc.image.width() < 3 || doc.image.height() < 2)
        return;
    const gfx::Bitmap p = doc.image.format() == gfx::PixelFormat::Bits24 ? reducedTo8Bits(doc.image)
                                                                         : doc.image.converted(gfx::PixelFormat::Bits8);
    trace(p, detail::inTwentyFourBits(doc.image), static_cast<std::uint8_t>(doc.traceColorByte), doc.traceIntensity);
}

void traceRange(Document& doc)
{
    if (doc.range.isEmpty())
        return;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    gfx::Bitmap& buffer = doc.rangeBuffer;
    if (buffer.width() < 3 || buffer.height() < 2)
        return;
    gfx::Bitmap q = buffer;
    buffer.convertTo(gfx::PixelFormat::Bits8);
    trace(buffer, q, static_cast<std::uint8_t>(doc.traceColorByte), doc.traceIntensity);
    buffer = std::move(q);
    app::pasteclip(doc);
}

void askTraceColorByte(Document& doc, app::Host& host)
{
    askTraceSetting(host, "Enter Color Byte (0..255)", doc.traceColorByte, 0, 255);
}

void askTraceIntensity(Document& doc, app::Host& host)
{
    askTraceSetting(host, "Enter Trace Intensity (1..15)", doc.traceIntensity, 1, 15);
}

void invertImage(Document& doc)
{
    invertBytes(doc.image);
}

} // namespace daubix::effects
