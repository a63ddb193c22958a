#include "app/Preview.h"

#include "app/Document.h"
#include "app/Host.h"

#include <algorithm>

namespace daubix::app {

void showPicture(Document& doc, gfx::Bitmap picture)
{
    doc.preview.picture = std::move(picture);
    doc.preview.shown = true;
}

void closePreview(Document& doc)
{
    Document::PreviewState& preview = doc.preview;
    preview.shown = false;
    preview.baseName.clear();
    preview.counter = 0;
    // The picture is as large as the image; a closed window gives the memory back.
    preview.picture = gfx::Bitmap();
}

void usePreview(Document& doc, Host& host)
{
    const gfx::Bitmap& picture = doc.preview.picture;
    if (picture.isEmpty())
        return;
    doc.canvas.draw(0, 0, picture);
    host.repaint({0, 0, std::min(picture.width(), doc.image.width()), std::min(picture.height(), doc.image.height())});
    closePreview(doc);
}

} // namespace daubix::app
