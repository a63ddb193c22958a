#include "app/Range.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"

#include <algorithm>

namespace daubix::app {

namespace {

// The buffer's size for the range, Right and Bottom counted in; nothing for empty, reversed or absurd ones.
std::pair<int, int> bufferSize(const gfx::Rect& r)
{
    const std::int64_t w = r.width() + 1, h = r.height() + 1;
    if (w <= 0 || h <= 0 || !gfx::Bitmap::isSaneSize(w, h))
        return {0, 0};
    return {static_cast<int>(w), static_cast<int>(h)};
}

// A 24-bit bitmap of (R - L) x (B - T) holding the canvas rectangle (L, T, R, B), copied into its area
// grown by the given number of pixels; empty for an empty, reversed or absurd range.
gfx::Bitmap rangeCopy(const Document& doc, int grow)
{
    const gfx::Rect& r = doc.range;
    const std::int64_t w = r.width(), h = r.height();
    if (w <= 0 || h <= 0 || !gfx::Bitmap::isSaneSize(w, h))
        return {};
    gfx::Bitmap out(static_cast<int>(w), static_cast<int>(h));
    gfx::Canvas(out).stretchBlt(0, 0, out.width() + grow, out.height() + grow, &doc.image, r.left, r.top, out.width(),
        out.height(), gfx::kSrcCopy);
    return out;
}

} // namespace

void setclip(Document& doc, gfx::Color fill)
{
    const auto [w, h] = bufferSize(doc.range);
    doc.rangeBuffer = gfx::Bitmap(w, h);
    doc.rangeBuffer.fill(fill);
    doc.rangeBrushColor = fill;
}

void copyclip(Document& doc)
{
    const auto [w, h] = bufferSize(doc.range);
    gfx::Bitmap& buffer = doc.rangeBuffer;
    buffer.convertTo(gfx::PixelFormat::Bits24);
    if (buffer.width() != w || buffer.height() != h)
        buffer.setSize(w, h);
    buffer.transparent = false;
    if (w == 0 || h == 0)
        return;
    const gfx::Rect& r = doc.range;
    gfx::Canvas canvas(buffer);
    canvas.brush.setColor(doc.rangeBrushColor); // the P of the copy modes that take a pattern
    canvas.stretchBlt(0, 0, w, h, &doc.image, r.left, r.top, static_cast<int>(r.width()), static_cast<int>(r.height()),
        doc.rangeCopyMode);
}

void pasteclip(Document& doc)
{
    if (!doc.rangeBuffer.isEmpty())
        doc.canvas.draw(doc.range.left, doc.range.top, doc.rangeBuffer);
}

void copyRangeOnWhite(Document& doc, gfx::Rop3 rop)
{
    doc.rangeCopyMode = rop;
    setclip(doc, gfx::clWhite);
    copyclip(doc);
}

void copyWholeImage(Document& doc)
{
    doc.range = {0, 0, doc.image.width() - 1, doc.image.height() - 1};
    doc.rangeCopyMode = gfx::kSrcCopy;
    // A buffer of the same size keeps its memory: the quick previews take this copy at every move of a bar.
    if (doc.image.format() == gfx::PixelFormat::Bits24)
        doc.rangeBuffer = doc.image;
    else
        doc.rangeBuffer = doc.image.converted(gfx::PixelFormat::Bits24);
    doc.rangeBuffer.transparent = false;
}

void selectAll(Document& doc)
{
    doc.range = {0, 0, doc.image.width(), doc.image.height()};
}

void eraseRange(Document& doc)
{
    doc.rangeCopyMode = gfx::kSrcCopy;
    setclip(doc, doc.canvas.brush.color());
    pasteclip(doc);
}

void invertRange(Document& doc)
{
    copyRangeOnWhite(doc, gfx::kSrcInvert);
    pasteclip(doc);
}

void fillRange(Document& doc)
{
    doc.canvas.fillRect(doc.range);
}

gfx::Bitmap rangeMask(const Document& doc)
{
    gfx::Bitmap mask = rangeCopy(doc, 0);
    const gfx::Color key = gfx::resolveColor(doc.secondColor) & 0xFFFFFF;
    for (int y = 0; y < mask.height(); ++y) {
        std::uint8_t* p = mask.scanLine(y);
        for (int x = 0; x < mask.width(); ++x, p += 3) {
            const gfx::Color c = gfx::rgb(p[2], p[1], p[0]);
            const std::uint8_t v = c == key ? 255 : 0;
            p[0] = p[1] = p[2] = v;
        }
    }
    return mask;
}

void maskClip(Document& doc)
{
    const gfx::Bitmap mask = rangeMask(doc);
    if (!mask.isEmpty())
        doc.canvas.draw(doc.range.left, doc.range.top, mask);
}

gfx::Color pickedColor(const Document& doc, gfx::Point p, bool average)
{
    return average ? gfx::average(doc.colorAt(p.x - 5, p.y), doc.colorAt(p.x + 5, p.y)) : doc.colorAt(p.x, p.y);
}

bool tightenRange(Document& doc, Host& host)
{
    gfx::Rect& r = doc.range;
    if (r.left == r.right || r.top == r.bottom) {
        host.showMessage("no selection");
        return false;
    }
    copyRangeOnWhite(doc, gfx::kSrcCopy);
    const gfx::Bitmap& b = doc.rangeBuffer;
    if (b.isEmpty())
        return false;
    const std::uint8_t* corner = b.scanLine(0);
    int minX = b.width(), minY = b.height(), maxX = 0, maxY = 0;
    for (int y = 0; y < b.height(); ++y) {
        const std::uint8_t* p = b.scanLine(y);
        for (int x = 0; x < b.width(); ++x, p += 3)
            if (p[0] != corner[0] || p[1] != corner[1] || p[2] != corner[2]) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    }
    r = {r.left + minX, r.top + minY, r.left + maxX + 2, r.top + maxY + 2};
    return true;
}

gfx::Bitmap floatRange(const Document& doc)
{
    // Into (0, 0, w + 1, h + 1): the copy scales by the one pixel that the buffer's rule adds.
    return rangeCopy(doc, 1);
}

void widenRangeTo24(Document& doc)
{
    gfx::Rect& r = doc.range;
    const auto widen = [](int& lo, int& hi) {
        if (std::int64_t{hi} - lo <= 23) {
            const int a = (lo - hi + 24) / 2;
            lo = hi + a - 24;
            hi = hi + a;
        }
    };
    widen(r.left, r.right);
    widen(r.top, r.bottom);
}

gfx::Bitmap floatCommand(Document& doc, Host& host, FloatKind kind)
{
    if (kind != FloatKind::Full)
        tightenRange(doc, host);
    if (kind == FloatKind::Tight24)
        widenRangeTo24(doc);
    gfx::Bitmap floating = floatRange(doc);
    if (kind == FloatKind::Tight24 && !floating.isEmpty())
        floating.convertTo(gfx::PixelFormat::Bits4);
    return floating;
}

void showFloating(Document& doc, gfx::Bitmap bitmap, gfx::Point position)
{
    doc.floating.bitmap = std::move(bitmap);
    doc.floating.position = position;
    doc.floating.shown = true;
    ++doc.floating.revision;
}

namespace {

void floatRow(CommandContext& c, const CommandRow& row)
{
    gfx::Bitmap floating = floatCommand(c.doc, c.host, static_cast<FloatKind>(row.number));
    showFloating(c.doc, std::move(floating), {c.doc.range.left, c.doc.range.top});
}

void toolModeRow(CommandContext& c, const CommandRow& row)
{
    c.doc.toolMode = row.text;
}

void pasteKindRow(CommandContext& c, const CommandRow& row)
{
    c.doc.pasteKind = row.text;
}

void copyModeRow(CommandContext& c, const CommandRow& row)
{
    c.doc.canvas.copyMode = static_cast<gfx::Rop3>(row.number);
}

constexpr int rop(gfx::Rop3 r)
{
    return static_cast<int>(r);
}

constexpr CommandRow kRows[] = {
    {.path = "Edit > Paste &Floating Range",
        .run =
            [](CommandContext& c, const CommandRow&) {
                if (auto pasted = c.host.clipboardBitmap()) {
                    pasted->convertTo(gfx::PixelFormat::Bits24);
                    pasted->transparent = false;
                    showFloating(c.doc, std::move(*pasted), {5, 5});
                }
            }},
    {.path = "Range > Float > Full", .run = floatRow, .number = static_cast<int>(FloatKind::Full)},
    {.path = "Range > Float > Tight", .run = floatRow, .number = static_cast<int>(FloatKind::Tight)},
    {.path = "Range > Float > Tight 24", .run = floatRow, .number = static_cast<int>(FloatKind::Tight24)},
    {.path = "Range > Select All", .run = [](CommandContext& c, const CommandRow&) { selectAll(c.doc); }},
    {.path = "Range > Move", .run = toolModeRow, .text = "rangemove"},
    {.path = "Range > Smear", .run = toolModeRow, .text = "rangesmear"},
    {.path = "Range > Erase",
        .run = [](CommandContext& c, const CommandRow&) { eraseRange(c.doc); },
        .changesImage = true},
    {.path = "Range > Invert",
        .run = [](CommandContext& c, const CommandRow&) { invertRange(c.doc); },
        .changesImage = true},
    {.path = "Range > Copy Transparent > Color...",
        .run =
            [](CommandContext& c, const CommandRow&) {
                if (const auto chosen = c.host.chooseColor(c.doc.transparencyColor))
                    c.doc.transparencyColor = *chosen;
            }},
    {.path = "Range > Copy Transparent > Copy", .run = toolModeRow, .text = "transcopy"},
    {.path = "Gadgets > FloatImage1",
        .kind = ItemKind::Check,
        .run = [](CommandContext& c, const CommandRow&) { c.doc.floating.shown = !c.doc.floating.shown; },
        .checked = [](const Document& doc, const CommandRow&) { return doc.floating.shown; }},

    {.path = "ToolButton14",
        .run = [](CommandContext& c, const CommandRow&) { fillRange(c.doc); },
        .changesImage = true},
    {.path = "clipspop > Mask Clip",
        .run = [](CommandContext& c, const CommandRow&) { maskClip(c.doc); },
        .changesImage = true},

    // The brush pastes start at once and leave the paste kind, which the Copy Selection button uses.
    {.path = "copymodes > Paste", .run = pasteKindRow, .text = "paste", .icon = "paste"},
    {.path = "copymodes > Paste Mask", .run = pasteKindRow, .text = "pastemask", .icon = "pastemask"},
    {.path = "copymodes > Paste Brush", .run = toolModeRow, .text = "pastecolor", .icon = "pastecolor"},
    {.path = "copymodes > Paste Exclude Brush", .run = toolModeRow, .text = "pastecolorx", .icon = "pastecolorx"},
    {.path = "copymodes > Copy", .run = copyModeRow, .number = rop(gfx::kSrcCopy), .separatorBefore = true},
    {.path = "copymodes > Black", .run = copyModeRow, .number = rop(gfx::kBlackness)},
    {.path = "copymodes > Destination Invert", .run = copyModeRow, .number = rop(gfx::kDstInvert)},
    {.path = "copymodes > Merge Copy", .run = copyModeRow, .number = rop(gfx::kMergeCopy)},
    {.path = "copymodes > Merge Paint", .run = copyModeRow, .number = rop(gfx::kMergePaint)},
    {.path = "copymodes > Not Source Copy", .run = copyModeRow, .number = rop(gfx::kNotSrcCopy)},
    {.path = "copymodes > Not Source Erase", .run = copyModeRow, .number = rop(gfx::kNotSrcErase)},
    {.path = "copymodes > Source And", .run = copyModeRow, .number = rop(gfx::kSrcAnd)},
    {.path = "copymodes > Source Erase", .run = copyModeRow, .number = rop(gfx::kSrcErase)},
    {.path = "copymodes > Source Invert", .run = copyModeRow, .number = rop(gfx::kSrcInvert)},
    {.path = "copymodes > Source Paint", .run = copyModeRow, .number = rop(gfx::kSrcPaint)},
    {.path = "copymodes > White", .run = copyModeRow, .number = rop(gfx::kWhiteness)},
};

} // namespace

std::span<const CommandRow> rangeCommandRows()
{
    return kRows;
}

std::string_view copyModeName(gfx::Rop3 mode)
{
    for (const CommandRow& row : kRows)
        if (row.run == copyModeRow && static_cast<gfx::Rop3>(row.number) == mode)
            return caption(row);
    return {};
}

} // namespace daubix::app
