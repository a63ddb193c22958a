#pragma once

#include "gfx/Bitmap.h"

#include <span>

namespace daubix::app {

struct CommandRow;
struct Document;
class Host;

// Commands on the working image as a whole. None pushes an undo state except pushImage itself: their
// rows do, through runCommand.

void pushImage(Document& doc);
void undoImage(Document& doc, Host& host);
// Fills the image white, leaves a clear brush behind and selects the whole image as the range.
void clearImage(Document& doc, Host& host);

void copyImage(Document& doc, Host& host);
// The range, stretched by one pixel in each direction so that its last row and column fall outside.
void copyRange(Document& doc, Host& host);
// With no bitmap on the clipboard these two do nothing.
void pasteImage(Document& doc, Host& host);
void pasteStretch(Document& doc, Host& host);

void setPixelFormat(Document& doc, Host& host, gfx::PixelFormat format);

// The Edit menu's image commands, Image > Pixel Format, and the Undo and Clear Image buttons.
std::span<const CommandRow> imageCommandRows();

} // namespace daubix::app
