#pragma once

// Pictures in and out by the file name's extension: the Open and Save As tables.

#include "app/FileFormats.h"
#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <optional>
#include <string>

namespace daubix::io {

// The extension with its dot, upper-cased (".PNG"); empty when the last path component has none.
std::string upperExtension(const std::string& path);

// Whether the Save As table lists the name's extension.
bool isWritableExtension(const std::string& path);

// Reads the picture by the Open table. Metafiles and icons are drawn over base (sized to them, its
// pixels kept top-left, new area white); an icon is then stretched to 256 x 256 when the options say so.
// Nothing for an extension the table does not list.
gfx::Result<std::optional<gfx::Bitmap>> readPicture(
    const std::string& path, const gfx::Bitmap& base, const app::FormatOptions& options);

// Writes the image by the Save As table; false, having written nothing, for an extension the table does
// not list. jpegQuality is 1 .. 100.
gfx::Result<bool> writePicture(const std::string& path, const gfx::Bitmap& image, const app::FormatOptions& options,
    const app::GifSettings& gif, int jpegQuality);

} // namespace daubix::io
