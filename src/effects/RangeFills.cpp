#include "effects/RangeFills.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"
#include "app/Range.h"

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

void horizontalRuns(app::Document& doc)
{
    const gfx::Bitmap& b = doc.rangeBuffer;
    const int width = doc.image.width();
    for (const int y : {0, doc.image.height() - b.height()}) {
        std::int64_t x = 0;
        do {
            drawBuffer(doc, static_cast<int>(x), y);
            x += b.width();
        } while (x < width);
    }
}

void verticalRuns(app::Document& doc)
{
    const gfx::Bitmap& b = doc.rangeBuffer;
    const int height = doc.image.height();
    for (const int x : {0, doc.image.width() - b.width()}) {
        std::int64_t y = 0;
        do {
            drawBuffer(doc, x, static_cast<int>(y));
            y += b.height();
        } while (y < height);
    }
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
    do {
        std::int64_t x = 0;
        do {
            drawBuffer(doc, static_cast<int>(x), static_cast<int>(y));
            x += bw;
            if (kind == RangeTile::Diagonal)
                y += bh;
        } while (x < width);
        if (kind == RangeTile::All)
            y += bh;
    } while (y < height);
}

std::span<const app::CommandRow> rangeFillRows()
{
    return kRows;
}

} // namespace daubix::effects
