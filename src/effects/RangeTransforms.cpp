// The Range menu's transforms that move the range's pixels with the canvas: magnify, square, mirror,
// stretch, reduce and split.

#include "effects/RangeTransforms.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Prompt.h"
#include "app/Range.h"

#include <cstring>
#include <string>

namespace daubix::effects {

namespace {

using app::CommandContext;
using app::CommandRow;
using app::Document;

bool inIntRange(std::int64_t v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}

// The middle of the range shrunk by a quarter on each side, copied stretched into a 50 x 50 buffer and
// shown over the whole range.
void magnify(CommandContext& c, const CommandRow&)
{
    Document& doc = c.doc;
    const gfx::Rect& r = doc.range;
    const std::int64_t qx = (std::int64_t{r.right} - r.left) / 4, qy = (std::int64_t{r.bottom} - r.top) / 4;
    const gfx::Rect inner{static_cast<int>(r.left + qx), static_cast<int>(r.top + qy), static_cast<int>(r.right - qx),
        static_cast<int>(r.bottom - qy)};
    doc.rangeBuffer = gfx::Bitmap(50, 50);
    gfx::Canvas(doc.rangeBuffer).copyRect({0, 0, 50, 50}, doc.image, inner);
    doc.canvas.copyMode = gfx::kSrcCopy;
    doc.canvas.stretchDraw(r, doc.rangeBuffer);
}

void squareToHeight(CommandContext& c, const CommandRow&)
{
    gfx::Rect& r = c.doc.range;
    const std::int64_t bottom = std::int64_t{r.top} + (std::int64_t{r.right} - r.left);
    if (inIntRange(bottom))
        r.bottom = static_cast<int>(bottom);
}

void squareToWidth(CommandContext& c, const CommandRow&)
{
    gfx::Rect& r = c.doc.range;
    const std::int64_t right = std::int64_t{r.left} + (std::int64_t{r.bottom} - r.top);
    if (inIntRange(right))
        r.right = static_cast<int>(right);
}

// The range doubled downwards, its lower half the upper half mirrored; the range stays extended.
void mirror(CommandContext& c, const CommandRow&)
{
    Document& doc = c.doc;
    gfx::Rect& r = doc.range;
    const std::int64_t bottom = 2 * std::int64_t{r.bottom} - r.top;
    const std::int64_t w = std::int64_t{r.right} - r.left + 1, h = bottom - r.top + 1;
    if (!inIntRange(bottom) || (w > 0 && h > 0 && !gfx::Bitmap::isSaneSize(w, h)))
        return;
    r.bottom = static_cast<int>(bottom);
    if (w <= 0 || h <= 0)
        return; // a reversed range extends but has nothing to mirror
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    gfx::Bitmap& buffer = doc.rangeBuffer;
    const std::size_t bytes = static_cast<std::size_t>(buffer.width()) * 3;
    for (int row = 0; row < buffer.height() / 2; ++row)
        std::memcpy(buffer.scanLine(buffer.height() - 1 - row), buffer.scanLine(row), bytes);
    doc.canvas.draw(r.left, r.top, buffer);
}

void stretch(CommandContext& c, const CommandRow&)
{
    Document& doc = c.doc;
    app::copyRangeOnWhite(doc, gfx::kSrcCopy);
    if (!doc.rangeBuffer.isEmpty())
        doc.canvas.stretchDraw({0, 0, doc.image.width(), doc.image.height()}, doc.rangeBuffer);
}

// The whole image shrunk into the range; the range is the whole image only while it is copied.
void reduce(CommandContext& c, const CommandRow&)
{
    Document& doc = c.doc;
    const gfx::Rect range = doc.range;
    app::copyWholeImage(doc);
    doc.range = range;
    doc.canvas.stretchDraw(range, doc.rangeBuffer);
}

void setOffset(CommandContext& c, const CommandRow&)
{
    const std::string answer
        = app::askText(c.host, "Daubix Range", "Enter Split Offset (1..50):", std::to_string(c.doc.splitOffset));
    const int offset = app::parseInteger(answer).value_or(20);
    if (offset >= 1 && offset <= 50)
        c.doc.splitOffset = offset;
}

// The far half of the range moves on by the split offset, with the canvas copy mode, and the gap it
// leaves becomes white. Horizontal splits the columns, vertical the rows.
void split(CommandContext& c, const CommandRow& row)
{
    Document& doc = c.doc;
    const gfx::Rect& r = doc.range;
    const std::int64_t off = doc.splitOffset;
    const bool horizontal = row.number == 0;
    const std::int64_t mid = horizontal ? r.left + (std::int64_t{r.right} - r.left + 1) / 2
                                        : r.top + (std::int64_t{r.bottom} - r.top + 1) / 2;
    const std::int64_t end = (horizontal ? r.right : r.bottom) + off;
    if (!inIntRange(mid + off) || !inIntRange(end))
        return;
    const int m = static_cast<int>(mid), o = static_cast<int>(off);
    const gfx::Rect from
        = horizontal ? gfx::Rect{m, r.top, r.right, r.bottom} : gfx::Rect{r.left, m, r.right, r.bottom};
    const gfx::Rect to
        = horizontal ? gfx::Rect{m + o, r.top, r.right + o, r.bottom} : gfx::Rect{r.left, m + o, r.right, r.bottom + o};
    const gfx::Rect gap = horizontal ? gfx::Rect{m, r.top, m + o, r.bottom} : gfx::Rect{r.left, m, r.right, m + o};
    // The image is both source and target: the moving part is taken aside first.
    const gfx::Rect part = from.normalized().intersected({0, 0, doc.image.width(), doc.image.height()});
    if (!part.isEmpty()) {
        gfx::Bitmap moving(static_cast<int>(part.width()), static_cast<int>(part.height()));
        gfx::Canvas(moving).copyRect({0, 0, moving.width(), moving.height()}, doc.image, part);
        const int dx = part.left - from.left, dy = part.top - from.top;
        doc.canvas.copyRect({to.left + dx, to.top + dy, to.left + dx + moving.width(), to.top + dy + moving.height()},
            moving, {0, 0, moving.width(), moving.height()});
    }
    // White whatever the brush is; the brush itself is left as the user set it.
    const gfx::Brush brush = doc.canvas.brush;
    doc.canvas.brush = gfx::Brush();
    doc.canvas.brush.setColor(gfx::clWhite);
    doc.canvas.fillRect(gap);
    doc.canvas.brush = brush;
}

constexpr CommandRow kRows[] = {
    {.path = "Range > Magnify", .run = magnify, .changesImage = true},
    {.path = "Range > Square > to Height", .run = squareToHeight},
    {.path = "Range > Square > to Width", .run = squareToWidth},
    {.path = "Range > Mirror", .run = mirror, .changesImage = true},
    {.path = "Range > Stretch", .run = stretch, .changesImage = true},
    {.path = "Range > Reduce", .run = reduce, .changesImage = true},
    {.path = "Range > Split > Set &Offset...", .run = setOffset},
    {.path = "Range > Split > &Horizontal", .run = split, .changesImage = true, .number = 0},
    {.path = "Range > Split > &Vertical", .run = split, .changesImage = true, .number = 1},
};

} // namespace

std::span<const CommandRow> rangeTransformRows()
{
    return kRows;
}

} // namespace daubix::effects
