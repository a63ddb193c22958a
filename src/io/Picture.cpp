#include "io/Picture.h"

#include "effects/Resize.h"
#include "io/BmpCodec.h"
#include "io/FileWriter.h"
#include "io/GifCodec.h"
#include "io/IconCodec.h"
#include "io/JpegCodec.h"
#include "io/Metafile.h"
#include "io/PngCodec.h"
#include "io/TiffWriter.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace daubix::io {

namespace {

constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

using Bytes = std::vector<std::uint8_t>;

// base, sized to the picture's width and height with its pixels kept top-left and new area white.
gfx::Bitmap resizedBase(const gfx::Bitmap& base, int width, int height)
{
    gfx::Bitmap out = base;
    out.setSize(width, height);
    return out;
}

gfx::Result<gfx::Bitmap> readMetafile(const Bytes& bytes, const gfx::Bitmap& base)
{
    auto parsed = parseMetafile(bytes);
    if (!parsed)
        return gfx::Error{parsed.error()};
    const MetafileSize size = metafileSize(parsed.value());
    if (!gfx::Bitmap::isSaneSize(size.width, size.height))
        return gfx::Error{"The metafile's picture is too large."};
    gfx::Bitmap out = resizedBase(base, size.width, size.height);
    replayMetafile(parsed.value(), out);
    return out;
}

// The icon drawn over base: transparent pixels keep base, partly transparent ones blend with it.
gfx::Result<gfx::Bitmap> readIcon(const Bytes& bytes, const gfx::Bitmap& base, const app::FormatOptions& options)
{
    auto icon = decodeIcon(bytes);
    if (!icon)
        return gfx::Error{icon.error()};
    const gfx::Bitmap& colour = icon.value().colour;
    gfx::Bitmap out = resizedBase(base, colour.width(), colour.height());
    out.convertTo(gfx::PixelFormat::Bits24);
    for (int y = 0; y < out.height(); ++y) {
        std::uint8_t* o = out.scanLine(y);
        const std::uint8_t* c = colour.scanLine(y);
        const std::uint8_t* a = icon.value().alpha.data() + static_cast<std::size_t>(y) * colour.width();
        for (int x = 0; x < out.width(); ++x, o += 3, c += 3) {
            const int t = 255 - a[x]; // the PNG reader's rule, with the image below as the background
            for (int k = 0; k < 3; ++k)
                o[k] = static_cast<std::uint8_t>((t * o[k] + (255 - t) * c[k]) / 255);
        }
    }
    if (options.iconStretch)
        out = effects::stretched(out, 256, 256);
    return out;
}

gfx::Result<Bytes> encodeIconFile(const gfx::Bitmap& image)
{
    if (image.isEmpty())
        return gfx::Error{"The image is empty."};
    std::optional<gfx::Bitmap> fitted
        = effects::smartResize(image.converted(gfx::PixelFormat::Bits24), effects::SmartMode::Square, kIconSide);
    if (!fitted)
        return gfx::Error{"The image is empty."};
    return encodeIcon(makeIcon(*fitted), 8);
}

} // namespace

std::string upperExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    return ext;
}

namespace {

enum class Format : std::uint8_t { Bmp, Png, Jpeg, Gif, Icon, Metafile, Tiff };

struct Extension {
    std::string_view name;
    Format format;
};

// The Open and Save As tables, in their order.
constexpr Extension kOpenTable[] = {{".GIF", Format::Gif}, {".PNG", Format::Png}, {".JPG", Format::Jpeg},
    {".JPEG", Format::Jpeg}, {".WMF", Format::Metafile}, {".EMF", Format::Metafile}, {".BMP", Format::Bmp},
    {".ICO", Format::Icon}};
constexpr Extension kSaveTable[] = {{".TIF", Format::Tiff}, {".PNG", Format::Png}, {".ICO", Format::Icon},
    {".JPG", Format::Jpeg}, {".JPEG", Format::Jpeg}, {".GIF", Format::Gif}, {".BMP", Format::Bmp}};

template <std::size_t N> std::optional<Format> formatOf(const std::string& path, const Extension (&table)[N])
{
    const std::string ext = upperExtension(path);
    for (const Extension& e : table)
        if (e.name == ext)
            return e.format;
    return std::nullopt;
}

gfx::Result<std::optional<gfx::Bitmap>> found(gfx::Result<gfx::Bitmap> r)
{
    if (!r)
        return gfx::Error{r.error()};
    return std::optional<gfx::Bitmap>(std::move(r.value()));
}

gfx::Result<bool> written(const gfx::Status& s)
{
    if (!s)
        return gfx::Error{s.error()};
    return true;
}

} // namespace

bool isWritableExtension(const std::string& path)
{
    return formatOf(path, kSaveTable).has_value();
}

gfx::Result<std::optional<gfx::Bitmap>> readPicture(
    const std::string& path, const gfx::Bitmap& base, const app::FormatOptions& options)
{
    const std::optional<Format> format = formatOf(path, kOpenTable);
    if (!format)
        return std::optional<gfx::Bitmap>();
    switch (*format) {
    case Format::Bmp:
        return found(readBmpFile(path));
    case Format::Gif:
        return found(readGifFile(path));
    case Format::Jpeg:
        return found(readJpegFile(path));
    default:
        break;
    }
    auto bytes = readFile(path, kMaxFileBytes);
    if (!bytes)
        return *format == Format::Png ? pngOpenError(path) : gfx::Error{bytes.error()};
    if (*format == Format::Png)
        return found(decodePng(bytes.value()));
    if (*format == Format::Metafile)
        return found(readMetafile(bytes.value(), base));
    return found(readIcon(bytes.value(), base, options));
}

gfx::Result<bool> writePicture(const std::string& path, const gfx::Bitmap& image, const app::FormatOptions& options,
    const app::GifSettings& gif, int jpegQuality)
{
    const std::optional<Format> format = formatOf(path, kSaveTable);
    if (!format)
        return false;
    if (image.isEmpty())
        return gfx::Error{"The image is empty."};
    switch (*format) {
    case Format::Bmp:
        return written(writeBmpFile(path, image));
    case Format::Jpeg:
        return written(writeJpegFile(path, image, jpegQuality, false));
    case Format::Gif:
        return written(writeGifFile(path, image, gif,
            {.control = options.gifTransparent ? GifControl::BottomLeftTransparent : GifControl::None}));
    case Format::Png: {
        const std::optional<gfx::Color> key
            = options.pngTransparent ? std::optional(image.pixel(0, image.height() - 1)) : std::nullopt;
        const auto bytes = encodePng(image, key);
        if (!bytes)
            return gfx::Error{bytes.error()};
        return written(writeFileAtomically(path, bytes.value(), {pngOpenError(path).message, "Error Writing PNG File!"}));
    }
    default: {
        const auto bytes = *format == Format::Tiff ? encodeTiff(image) : encodeIconFile(image);
        if (!bytes)
            return gfx::Error{bytes.error()};
        return written(writeFileAtomically(path, bytes.value()));
    }
    }
}

} // namespace daubix::io
