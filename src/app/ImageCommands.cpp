#include "app/ImageCommands.h"

#include "app/ColorList.h"
#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"

namespace daubix::app {

namespace {
gfx::Rect wholeImage(const Document& doc)
{
    return {0, 0, doc.image.width(), doc.image.height()};
}
} // namespace

void pushImage(Document& doc)
{
    doc.undo.push(doc.image);
}

void undoImage(Document& doc, Host& host)
{
    doc.undo.undo(doc.image);
    host.repaint(wholeImage(doc));
}

void clearImage(Document& doc, Host& host)
{
    // A pattern brush would fill the image with its pattern; the image is to come out white.
    doc.canvas.brush.setPattern(std::nullopt);
    doc.canvas.pen.style = gfx::PenStyle::Solid;
    setSecondColor(doc, gfx::clWhite); // the panel's change brings the pen back to its first colour too
    doc.canvas.fillRect(wholeImage(doc));
    doc.canvas.brush.setStyle(gfx::BrushStyle::Clear);
    doc.range = wholeImage(doc);
    host.repaint(wholeImage(doc));
}

void copyImage(Document& doc, Host& host)
{
    host.setClipboardBitmap(doc.image);
}

void copyRange(Document& doc, Host& host)
{
    const std::int64_t w = doc.range.width(), h = doc.range.height();
    // An empty, inverted or absurdly large range gives no picture; the clipboard keeps what it had.
    if (w <= 0 || h <= 0 || !gfx::Bitmap::isSaneSize(w, h))
        return;
    gfx::Bitmap copy(static_cast<int>(w), static_cast<int>(h));
    gfx::Canvas canvas(copy);
    canvas.copyRect({0, 0, copy.width() + 1, copy.height() + 1}, doc.image, doc.range);
    host.setClipboardBitmap(copy);
}

void pasteImage(Document& doc, Host& host)
{
    std::optional<gfx::Bitmap> clip = host.clipboardBitmap();
    if (!clip)
        return;
    doc.image = std::move(*clip);
    doc.image.transparent = false;
    host.repaint(wholeImage(doc));
}

void pasteStretch(Document& doc, Host& host)
{
    std::optional<gfx::Bitmap> clip = host.clipboardBitmap();
    if (!clip)
        return;
    clip->transparent = false;
    doc.canvas.stretchDraw(wholeImage(doc), *clip);
    host.repaint(wholeImage(doc));
}

void setPixelFormat(Document& doc, Host& host, gfx::PixelFormat format)
{
    doc.image.convertTo(format);
    doc.pixelFormatChoice = format;
    host.repaint(wholeImage(doc));
}

namespace {

void pixelFormatRow(CommandContext& c, const CommandRow& row)
{
    setPixelFormat(c.doc, c.host, static_cast<gfx::PixelFormat>(row.number));
}

bool pixelFormatChecked(const Document& doc, const CommandRow& row)
{
    return doc.pixelFormatChoice == static_cast<gfx::PixelFormat>(row.number);
}

constexpr CommandRow kRows[] = {
    {.path = "Edit > &Copy Image", .run = [](CommandContext& c, const CommandRow&) { copyImage(c.doc, c.host); }},
    {.path = "Edit > Copy &Range", .run = [](CommandContext& c, const CommandRow&) { copyRange(c.doc, c.host); }},
    {.path = "Edit > &Paste Image",
        .run = [](CommandContext& c, const CommandRow&) { pasteImage(c.doc, c.host); },
        .changesImage = true},
    {.path = "Edit > Paste &Stretch from Clipboard",
        .run = [](CommandContext& c, const CommandRow&) { pasteStretch(c.doc, c.host); },
        .changesImage = true},
    {.path = "Image > Pixel Format > 4 bit",
        .kind = ItemKind::Radio,
        .run = pixelFormatRow,
        .checked = pixelFormatChecked,
        .changesImage = true,
        .number = 4},
    {.path = "Image > Pixel Format > 8 bit",
        .kind = ItemKind::Radio,
        .run = pixelFormatRow,
        .checked = pixelFormatChecked,
        .changesImage = true,
        .number = 8},
    {.path = "Image > Pixel Format > 24 bit",
        .kind = ItemKind::Radio,
        .run = pixelFormatRow,
        .checked = pixelFormatChecked,
        .changesImage = true,
        .number = 24},
    {.path = "goUndo", .run = [](CommandContext& c, const CommandRow&) { undoImage(c.doc, c.host); }},
    {.path = "ToolButton12",
        .run = [](CommandContext& c, const CommandRow&) { clearImage(c.doc, c.host); },
        .changesImage = true},
};

} // namespace

std::span<const CommandRow> imageCommandRows()
{
    return kRows;
}

} // namespace daubix::app
