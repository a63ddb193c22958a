#include "effects/RangeFills.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/PictureTarget.h"
#include "app/Prompt.h"
#include "app/Range.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace daubix::effects {

namespace {

// An empty or reversed range has no buffer to repeat: the loops would never end.
bool rangeUsable(const app::Document& doc)
{
    return doc.range.width() + 1 >= 1 && doc.range.height() + 1 >= 1;
}

void drawBuffer(app::Document& doc, int x, int y)
{
    doc.canvas.draw(x, y, doc.rangeBuffer);
}

// The buffer repeated side by side (across) or one above the other until the run covers length pixels,
// at least once: a run of tiles that do not overlap drawn in one go is the same as drawing each, and a
// one-pixel range need not cost a draw per pixel.
gfx::Bitmap repeated(const gfx::Bitmap& b, int length, bool across)
{
    const int step = across ? b.width() : b.height();
    const int count = std::max<int>(1, static_cast<int>((std::int64_t{length} + step - 1) / step));
    const std::int64_t w = across ? std::int64_t{step} * count : b.width();
    const std::int64_t h = across ? b.height() : std::int64_t{step} * count;
    gfx::Bitmap run = gfx::Bitmap::zeroed(static_cast<int>(w), static_cast<int>(h));
    const std::size_t rowBytes = static_cast<std::size_t>(b.width()) * 3;
    for (int y = 0; y < run.height(); ++y) {
        const std::uint8_t* from = b.scanLine(across ? y : y % b.height());
        std::uint8_t* to = run.scanLine(y);
        for (int i = 0; i < (across ? count : 1); ++i)
            std::memcpy(to + static_cast<std::size_t>(i) * rowBytes, from, rowBytes);
    }
    return run;
}

void horizontalRuns(app::Document& doc)
{
    const gfx::Bitmap run = repeated(doc.rangeBuffer, doc.image.width(), true);
    for (const int y : {0, doc.image.height() - doc.rangeBuffer.height()})
        doc.canvas.draw(0, y, run);
}

void verticalRuns(app::Document& doc)
{
    const gfx::Bitmap run = repeated(doc.rangeBuffer, doc.image.height(), false);
    for (const int x : {0, doc.image.width() - doc.rangeBuffer.width()})
        doc.canvas.draw(x, 0, run);
}

template <Transition Shape> void transitionRow(app::CommandContext& ctx, const app::CommandRow&)
{
    rangeTransition(ctx.doc, Shape);
}

constexpr const char* kTransitionCaption = "Daubix Transitions";

template <bool Start> void transitionColorRow(app::CommandContext& ctx, const app::CommandRow&)
{
    gfx::Color& colour = Start ? ctx.doc.transition.startColor : ctx.doc.transition.endColor;
    if (const std::optional<gfx::Color> c = ctx.host.chooseColor(colour))
        colour = *c;
}

void bandsRow(app::CommandContext& ctx, const app::CommandRow&)
{
    int& bands = ctx.doc.transition.bands;
    const std::string answer = app::askText(
        ctx.host, kTransitionCaption, "Enter Number of Bands (8..40):", std::to_string(bands));
    const int n = app::parseInteger(answer).value_or(20);
    if (n >= 8 && n <= 40)
        bands = n;
}

template <bool X> void stepRow(app::CommandContext& ctx, const app::CommandRow&)
{
    const std::string answer
        = app::askText(ctx.host, kTransitionCaption, X ? "Enter Xstep (0..25)" : "Enter Ystep (0..25)", "0");
    const int n = app::parseInteger(answer).value_or(0);
    if (n >= 0 && n <= 25)
        (X ? ctx.doc.transition.xStep : ctx.doc.transition.yStep) = n;
}

template <RangeMask Kind> void maskRow(app::CommandContext& ctx, const app::CommandRow&)
{
    rangeMask(ctx.doc, Kind);
}

void maskFromImageRow(app::CommandContext& ctx, const app::CommandRow&)
{
    ctx.doc.userMask = ctx.doc.image;
}

void maskFromBrushRow(app::CommandContext& ctx, const app::CommandRow&)
{
    maskFromBrush(ctx.doc);
}

template <app::PictureTarget Target> bool accepts(const app::Host& host)
{
    return host.acceptsPicture(Target);
}

void quickButtonRow(app::CommandContext& ctx, const app::CommandRow&)
{
    if (std::optional<gfx::Bitmap> picture = quickButtonPicture(ctx.doc, ctx.host))
        ctx.host.givePicture(app::PictureTarget::ButtonDesigner, std::move(*picture));
}

void bumperRow(app::CommandContext& ctx, const app::CommandRow&)
{
    if (std::optional<gfx::Bitmap> picture = bumperPicture(ctx.doc, ctx.host))
        ctx.host.givePicture(app::PictureTarget::BumpEditor, std::move(*picture));
}

template <RangeLogic Op, gfx::Color Colour> void logicRow(app::CommandContext& ctx, const app::CommandRow&)
{
    rangeLogic(ctx.doc, Op, Colour);
}

template <RangeLogic Op> void logicUserRow(app::CommandContext& ctx, const app::CommandRow&)
{
    if (const std::optional<gfx::Color> c = ctx.host.chooseColor(ctx.doc.canvas.brush.color()))
        rangeLogic(ctx.doc, Op, *c);
}

template <RangeBorder Kind> void borderRow(app::CommandContext& ctx, const app::CommandRow&)
{
    rangeBorder(ctx.doc, Kind);
}

template <RangeTile Kind> void tileRow(app::CommandContext& ctx, const app::CommandRow&)
{
    rangeTile(ctx.doc, Kind);
}

constexpr gfx::Color kRed = gfx::rgb(255, 0, 0), kGreen = gfx::rgb(0, 128, 0), kBlue = gfx::rgb(0, 0, 255);

const app::CommandRow kRows[] = {
    {.path = "Range > &Transition > &Start Color...", .run = transitionColorRow<true>},
    {.path = "Range > &Transition > &End Color...", .run = transitionColorRow<false>},
    {.path = "Range > &Transition > &Bands...", .run = bandsRow},
    {.path = "Range > &Transition > Xstep...", .run = stepRow<true>},
    {.path = "Range > &Transition > Ystep...", .run = stepRow<false>},
    {.path = "Range > &Transition > &Horizontal", .run = transitionRow<Transition::Horizontal>, .changesImage = true},
    {.path = "Range > &Transition > &Vertical", .run = transitionRow<Transition::Vertical>, .changesImage = true},
    {.path = "Range > &Transition > &Conical", .run = transitionRow<Transition::Conical>, .changesImage = true},
    {.path = "Range > &Transition > &Elliptical", .run = transitionRow<Transition::Elliptical>, .changesImage = true},
    {.path = "Range > &Transition > &Rounded", .run = transitionRow<Transition::Rounded>, .changesImage = true},
    {.path = "Range > &Mask > &Squares", .run = maskRow<RangeMask::Squares>, .changesImage = true},
    {.path = "Range > &Mask > &Oval", .run = maskRow<RangeMask::Oval>, .changesImage = true},
    {.path = "Range > &Mask > &Diamond", .run = maskRow<RangeMask::Diamond>, .changesImage = true},
    {.path = "Range > &Mask > Octagon", .run = maskRow<RangeMask::Octagon>, .changesImage = true},
    {.path = "Range > &Mask > &User Mask", .run = maskRow<RangeMask::User>, .changesImage = true},
    {.path = "Image > Mask > from Image", .run = maskFromImageRow},
    {.path = "Image > Mask > Brush", .run = maskFromBrushRow, .changesImage = true},
    {.path = "Range > &Logic > &And > &Red", .run = logicRow<RangeLogic::And, kRed>, .changesImage = true},
    {.path = "Range > &Logic > &And > &Green", .run = logicRow<RangeLogic::And, kGreen>, .changesImage = true},
    {.path = "Range > &Logic > &And > &Blue", .run = logicRow<RangeLogic::And, kBlue>, .changesImage = true},
    {.path = "Range > &Logic > &And > &User", .run = logicUserRow<RangeLogic::And>, .changesImage = true},
    {.path = "Range > &Logic > &Or > &Red", .run = logicRow<RangeLogic::Or, kRed>, .changesImage = true},
    {.path = "Range > &Logic > &Or > &Green", .run = logicRow<RangeLogic::Or, kGreen>, .changesImage = true},
    {.path = "Range > &Logic > &Or > &Blue", .run = logicRow<RangeLogic::Or, kBlue>, .changesImage = true},
    {.path = "Range > &Logic > &Or > &User", .run = logicUserRow<RangeLogic::Or>, .changesImage = true},
    {.path = "Range > &Logic > &Xor > &Red", .run = logicRow<RangeLogic::Xor, kRed>, .changesImage = true},
    {.path = "Range > &Logic > &Xor > &Green", .run = logicRow<RangeLogic::Xor, kGreen>, .changesImage = true},
    {.path = "Range > &Logic > &Xor > &Blue", .run = logicRow<RangeLogic::Xor, kBlue>, .changesImage = true},
    {.path = "Range > &Logic > &Xor > &User", .run = logicUserRow<RangeLogic::Xor>, .changesImage = true},
    {.path = "Range > &Border > &All", .run = borderRow<RangeBorder::All>, .changesImage = true},
    {.path = "Range > &Border > &Horizontal", .run = borderRow<RangeBorder::Horizontal>, .changesImage = true},
    {.path = "Range > &Border > &Vertical", .run = borderRow<RangeBorder::Vertical>, .changesImage = true},
    {.path = "Range > &Tile > &All", .run = tileRow<RangeTile::All>, .changesImage = true},
    {.path = "Range > &Tile > &Diagonal", .run = tileRow<RangeTile::Diagonal>, .changesImage = true},
    {.path = "Range > Assign To > Quick Button", .run = quickButtonRow,
        .available = accepts<app::PictureTarget::ButtonDesigner>},
    {.path = "Range > Assign To > Bumper", .run = bumperRow, .available = accepts<app::PictureTarget::BumpEditor>},
};

} // namespace

void rangeLogic(app::Document& doc, RangeLogic op, gfx::Color colour)
{
    if (!rangeUsable(doc))
        return;
    constexpr gfx::Rop3 kModes[] = {gfx::kMergeCopy, gfx::kMergePaint, gfx::kSrcInvert};
    doc.rangeCopyMode = kModes[static_cast<int>(op)];
    app::setclip(doc, colour);
    app::copyclip(doc);
    app::pasteclip(doc);
}

void rangeBorder(app::Document& doc, RangeBorder kind)
{
    if (!rangeUsable(doc))
        return;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    if (doc.rangeBuffer.isEmpty())
        return; // a range too large for a buffer
    if (kind != RangeBorder::Vertical)
        horizontalRuns(doc);
    if (kind == RangeBorder::All)
        app::copyRangeOnWhite(doc, gfx::kSrcCopy); // the range as the horizontal runs left it
    if (kind != RangeBorder::Horizontal)
        verticalRuns(doc);
}

void rangeTile(app::Document& doc, RangeTile kind)
{
    if (!rangeUsable(doc))
        return;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    if (doc.rangeBuffer.isEmpty())
        return;
    const std::int64_t bw = doc.rangeBuffer.width(), bh = doc.rangeBuffer.height();
    const int width = doc.image.width(), height = doc.image.height();
    std::int64_t y = 0;
    if (kind == RangeTile::All) {
        // Rows of tiles stacked into blocks of at least 256 rows: a draw costs a set-up whatever its size,
        // and a small range would make thousands of rows; a block keeps the extra memory small.
        const gfx::Bitmap row = repeated(doc.rangeBuffer, width, true);
        const int rows = static_cast<int>(std::min<std::int64_t>(height, bh * std::max<std::int64_t>(1, (256 + bh - 1) / bh)));
        const gfx::Bitmap block = repeated(row, rows, false);
        do {
            doc.canvas.draw(0, static_cast<int>(y), block);
            y += block.height();
        } while (y < height);
        return;
    }
    do {
        std::int64_t x = 0;
        do {
            drawBuffer(doc, static_cast<int>(x), static_cast<int>(y));
            x += bw;
            y += bh;
        } while (x < width);
    } while (y < height);
}

void rangeTransition(app::Document& doc, Transition shape)
{
    if (!rangeUsable(doc))
        return;
    app::TransitionOptions& t = doc.transition;
    const gfx::Color from = gfx::resolveColor(t.startColor), to = gfx::resolveColor(t.endColor);
    // The steps take the band count as it was; the guard below may lower it for the bands drawn.
    const double steps = std::max(t.bands, 1);
    const double dr = (gfx::red(to) - gfx::red(from)) / steps, dg = (gfx::green(to) - gfx::green(from)) / steps,
                 db = (gfx::blue(to) - gfx::blue(from)) / steps;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    gfx::Bitmap& buffer = doc.rangeBuffer;
    if (buffer.isEmpty())
        return;
    const int bw = buffer.width(), bh = buffer.height();
    const int guarded = shape == Transition::Horizontal ? bw : bh;
    if (guarded < 20)
        t.bands = std::max(guarded - 1, 1);
    const int n = std::max(t.bands, 1);

    gfx::Canvas canvas(buffer);
    if (shape == Transition::Elliptical || shape == Transition::Rounded)
        doc.rangePenClear = true;
    canvas.pen.style = doc.rangePenClear ? gfx::PenStyle::Clear : gfx::PenStyle::Solid;
    double r = gfx::red(from), g = gfx::green(from), b = gfx::blue(from);
    gfx::Color band = from;
    int x0 = 0, y0 = 0, x1 = bw, y1 = bh;
    const int vertical = (bh / n) / 2, horizontal = (bw / n) / 2;
    const int ys = t.yStep != 0 && t.yStep < vertical ? t.yStep : vertical;
    const int xs = t.xStep != 0 && t.xStep < horizontal ? t.xStep : horizontal;
    int cw = std::min(bw / 4, 20), ch = std::min(bh / 4, 20);
    for (int i = 0; i < n; ++i) {
        canvas.brush.setColor(band);
        switch (shape) {
        case Transition::Horizontal:
            canvas.fillRect({i * (bw / n), 0, (i + 1) * (bw / n), bh});
            break;
        case Transition::Vertical:
            canvas.fillRect({0, i * (bh / n), bw, (i + 1) * (bh / n)});
            break;
        case Transition::Conical:
            canvas.fillRect({x0, y0, x1, y1});
            break;
        case Transition::Elliptical:
            canvas.ellipse(x0, y0, x1, y1);
            break;
        case Transition::Rounded:
            canvas.roundRect(x0, y0, x1, y1, cw, ch);
            cw -= cw > 0 ? 1 : 0;
            ch -= ch > 0 ? 1 : 0;
            break;
        }
        x0 += xs;
        y0 += ys;
        x1 -= xs;
        y1 -= ys;
        r += dr;
        g += dg;
        b += db;
        band = gfx::rgb(app::roundHalfEven(r), app::roundHalfEven(g), app::roundHalfEven(b));
    }
    doc.rangeBrushColor = band;
    app::pasteclip(doc);
}

void rangeMask(app::Document& doc, RangeMask kind)
{
    if (!rangeUsable(doc))
        return;
    const gfx::Rect& range = doc.range;
    // White keeps the image: the squares' strips beyond their 16 whole cells stay as they are.
    const gfx::Color ground = kind == RangeMask::Squares || kind == RangeMask::User ? gfx::clWhite : gfx::clBlack;
    app::setclip(doc, ground);
    gfx::Bitmap& buffer = doc.rangeBuffer;
    if (buffer.isEmpty())
        return; // a range too large for a buffer
    const int bw = buffer.width(), bh = buffer.height();
    gfx::Canvas canvas(buffer);
    canvas.pen.style = doc.rangePenClear ? gfx::PenStyle::Clear : gfx::PenStyle::Solid;
    canvas.pen.color = gfx::clBlack;
    canvas.brush.setColor(gfx::clWhite);
    switch (kind) {
    case RangeMask::Squares: {
        const int cw = bw / 16, ch = bh / 16;
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) {
                canvas.brush.setColor((c + r) % 2 == 0 ? gfx::clWhite : gfx::clBlack);
                canvas.fillRect({c * cw, r * ch, (c + 1) * cw, (r + 1) * ch});
            }
        break;
    }
    case RangeMask::Oval:
        canvas.ellipse(0, 0, bw - 1, bh - 1);
        break;
    case RangeMask::Diamond: {
        const gfx::Point points[] = {{bw / 2, 0}, {bw - 1, bh / 2}, {bw / 2, bh - 1}, {0, bh / 2}};
        canvas.polygon(points);
        break;
    }
    case RangeMask::Octagon: {
        // The side of a regular octagon across the width; its corners cut as deep on both axes.
        const int s = app::roundHalfEven((bw / 2) * std::sqrt(2.0 - std::sqrt(2.0)));
        const int d = (bw - s) / 2;
        const gfx::Point points[] = {{d, 0}, {bw - d - 1, 0}, {bw - 1, d}, {bw - 1, bh - d - 1}, {bw - d - 1, bh - 1},
            {d, bh - 1}, {0, bh - d - 1}, {0, d}};
        canvas.polygon(points);
        break;
    }
    case RangeMask::User:
        if (!doc.userMask.isEmpty())
            canvas.stretchDraw({0, 0, bw, bh}, doc.userMask);
        break;
    }
    doc.canvas.stretchBlt(range.left, range.top, static_cast<int>(range.width()), static_cast<int>(range.height()),
        &buffer, 0, 0, bw, bh, gfx::kMergePaint);
}

void maskFromBrush(app::Document& doc)
{
    const gfx::Color key = gfx::resolveColor(doc.canvas.brush.color()) & 0xFFFFFF;
    gfx::Bitmap mask(doc.image.width(), doc.image.height(), gfx::PixelFormat::Bits1);
    for (int y = 0; y < doc.image.height(); ++y)
        for (int x = 0; x < doc.image.width(); ++x)
            mask.setPixel(x, y, (doc.image.pixel(x, y) & 0xFFFFFF) == key ? gfx::clWhite : gfx::clBlack);
    doc.image = std::move(mask);
}

std::optional<gfx::Bitmap> quickButtonPicture(app::Document& doc, app::Host& host)
{
    if (rangeUsable(doc))
        app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    if (!rangeUsable(doc) || doc.rangeBuffer.isEmpty()) {
        host.showMessage("no selection");
        return std::nullopt;
    }
    return doc.rangeBuffer;
}

std::optional<gfx::Bitmap> bumperPicture(const app::Document& doc, app::Host& host)
{
    const gfx::Rect& r = doc.range;
    const std::int64_t w = r.width(), h = r.height();
    if (w < 1 || h < 1) {
        host.showMessage("no selection");
        return std::nullopt;
    }
    if (w > 50 || h > 50) {
        host.showMessage("selection too large (>50)!");
        return std::nullopt;
    }
    gfx::Bitmap picture(static_cast<int>(w), static_cast<int>(h));
    gfx::Canvas(picture).stretchBlt(0, 0, picture.width(), picture.height(), &doc.image, r.left, r.top,
        picture.width(), picture.height(), gfx::kSrcCopy);
    return picture;
}

std::span<const app::CommandRow> rangeFillRows()
{
    return kRows;
}

} // namespace daubix::effects
