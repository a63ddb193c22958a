#include "app/ImageCommands.h"

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
    doc.canvas.brush.setColor(gfx::clWhite);
    doc.canvas.pen.style = gfx::PenStyle::Solid;
    doc.secondColor = gfx::clWhite;
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
    const int w = doc.range.width(), h = doc.range.height();
    // An empty or inverted range gives no picture; the clipboard keeps what it had.
    if (w <= 0 || h <= 0)
        return;
    gfx::Bitmap copy(w, h);
    gfx::Canvas canvas(copy);
    canvas.copyRect({0, 0, w + 1, h + 1}, doc.image, doc.range);
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

} // namespace daubix::app
