#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"
#include "io/JpegCodec.h"

#include <optional>
#include <string>

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::io {

// What the JPEG preview window (Image > Quick > Quick JPEG...) does to the document and to files; the
// window itself only holds the controls.

// The preview step: the working image compressed at the window's quality and grey setting, and the
// picture that comes back. Running out of memory is reported like any other failure.
gfx::Result<JpegPreview> previewJpeg(const app::Document& doc);

// The name Save writes: the chosen one with its extension replaced by ".jpg", or ".jpg" added when it
// has none.
std::string jpgFileName(const std::string& chosen);

// The save dialog asked about overwriting the name it confirmed, but the forced ".jpg" name may be
// another file: "Replace NAME?" (NAME without its folder) when that one exists, nothing otherwise.
std::optional<std::string> replaceQuestion(const std::string& confirmed, const std::string& forced);

// Save: the working image in colour at the window's quality, whatever the Grayscale box says.
gfx::Status saveJpegPreview(const app::Document& doc, const std::string& path);

// Use ("Assign to Drawing"): one undo step, then the previewed picture becomes the working image and
// the image counts as modified. A failure leaves the document as it was.
gfx::Status useJpegPreview(app::Document& doc, app::Host& host, const gfx::Bitmap& picture);

} // namespace daubix::io
