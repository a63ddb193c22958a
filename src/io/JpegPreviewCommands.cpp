#include "io/JpegPreviewCommands.h"

#include "app/Command.h"

#include "app/Document.h"
#include "app/Host.h"
#include "app/ImageCommands.h"

#include <filesystem>
#include <new>
#include <system_error>

namespace daubix::io {

namespace {

gfx::Error outOfMemory(const gfx::Bitmap& image)
{
    return gfx::Error{app::outOfMemory(image.width(), image.height())};
}

} // namespace

gfx::Result<JpegPreview> previewJpeg(const app::Document& doc)
{
    try {
        return jpegPreview(doc.image, doc.jpegPreview.quality, doc.jpegPreview.grey);
    } catch (const std::bad_alloc&) {
        return outOfMemory(doc.image);
    }
}

std::string jpgFileName(const std::string& chosen)
{
    return std::filesystem::path(chosen).replace_extension(".jpg").string();
}

std::optional<std::string> replaceQuestion(const std::string& confirmed, const std::string& forced)
{
    if (forced == confirmed)
        return std::nullopt;
    std::error_code error;
    if (!std::filesystem::exists(forced, error))
        return std::nullopt;
    // On a folder that ignores case, "a.JPG" and "a.jpg" are one file, which the dialog already asked about.
    if (std::filesystem::equivalent(confirmed, forced, error))
        return std::nullopt;
    return "Replace " + std::filesystem::path(forced).filename().string() + "?";
}

gfx::Status saveJpegPreview(const app::Document& doc, const std::string& path)
{
    try {
        return writeJpegFile(path, doc.image, doc.jpegPreview.quality, false);
    } catch (const std::bad_alloc&) {
        return outOfMemory(doc.image);
    }
}

gfx::Status useJpegPreview(app::Document& doc, app::Host& host, const gfx::Bitmap& picture)
{
    if (picture.isEmpty())
        return gfx::Error{"There is no preview to use."};
    if (picture == doc.image)
        return {}; // nothing changes, so nothing is recorded
    try {
        gfx::Bitmap taken = picture;
        app::pushImage(doc);
        doc.image = std::move(taken);
    } catch (const std::bad_alloc&) {
        return outOfMemory(picture);
    }
    doc.modified = true;
    host.repaint({0, 0, doc.image.width(), doc.image.height()});
    return {};
}

} // namespace daubix::io
