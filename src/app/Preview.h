#pragma once

// The preview window's part in the document: a picture made from a copy of the image waits there until
// "Use" draws it into the image. Frames saved from it are in io/PreviewFrames.h.

#include "gfx/Bitmap.h"

namespace daubix::app {

struct Document;
class Host;

// Puts a picture into the preview and shows it; the frame counter and base name carry on, so that each
// new picture can become the next frame.
void showPicture(Document& doc, gfx::Bitmap picture);

// Closing the window: the base name is cleared, the counter goes back to 0 and the picture is let go.
// The "transparent" box keeps its mark.
void closePreview(Document& doc);

// "Use": draws the picture onto the image at (0, 0) with the canvas's copy mode, then closes the preview.
// It pushes no undo step itself; its row does, through runCommand. Without a picture nothing happens.
void usePreview(Document& doc, Host& host);

} // namespace daubix::app
