#include "io/GifCodec.h"

#include "io/FileWriter.h"
#include "io/GifPalette.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <new>
#include <string>

namespace daubix::io {

using gfx::Bitmap;
using gfx::Error;
using gfx::PixelFormat;

namespace {

constexpr int kMaxGifSide = 65535; // the format's 16-bit size fields
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

struct Input {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

int readInput(GifFileType* gif, GifByteType* out, int length)
{
    Input& in = *static_cast<Input*>(gif->UserData);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(length, 0)), in.data.size() - in.position);
    if (count) {
        std::memcpy(out, in.data.data() + in.position, count);
        in.position += count;
    }
    return static_cast<int>(count);
}

struct CloseDecoder {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

std::string giflibText(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "unknown error";
}

Error readError(int code)
{
    switch (code) {
    case D_GIF_ERR_READ_FAILED:
        return Error{"The GIF file is truncated."};
    case D_GIF_ERR_NOT_GIF_FILE:
        return Error{"This is not a GIF file."};
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        return Error{"Not enough memory to read the GIF file."};
    default:
        return Error{"The GIF file is damaged (" + giflibText(code) + ")."};
    }
}

Error tooLarge(std::int64_t width, std::int64_t height)
{
    return Error{"The GIF picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")."};
}

// Reads one extension; a graphic control extension sets the transparent index (-1: none) of the frame
// that follows it.
bool readExtension(GifFileType& gif, int& transparent)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(&gif, &code, &block) == GIF_ERROR)
        return false;
    GraphicsControlBlock control{};
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4
        && DGifExtensionToGCB(4, block + 1, &control) == GIF_OK)
        transparent = control.TransparentColor;
    while (block) {
        if (DGifGetExtensionNext(&gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// The frame's map, else the global one, else a grey ramp; padded with black to a power of two that has an
// entry for the largest index in the picture.
std::vector<gfx::Color> frameColours(const GifFileType& gif, int largestIndex)
{
    const ColorMapObject* map = gif.Image.ColorMap ? gif.Image.ColorMap : gif.SColorMap;
    std::vector<gfx::Color> palette;
    if (map && map->Colors) {
        for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
            palette.push_back(gfx::rgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    } else {
        for (int i = 0; i < 256; ++i)
            palette.push_back(gfx::rgb(i, i, i));
    }
    const std::size_t needed = std::max<std::size_t>({palette.size(), static_cast<std::size_t>(largestIndex) + 1, 2});
    palette.resize(std::bit_ceil(needed), gfx::clBlack);
    return palette;
}

gfx::Result<Bitmap> readFirstFrame(GifFileType& gif, int transparent)
{
    const GifImageDesc& frame = gif.Image;
    // A frame larger than the screen costs nothing beyond the screen: it is clipped, and reading stops
    // after its last row that shows.
    const bool onScreen = gif.SWidth >= 1 && gif.SHeight >= 1 && Bitmap::isSaneSize(gif.SWidth, gif.SHeight);
    if (!onScreen && (frame.Width < 1 || frame.Height < 1))
        return Error{"The GIF picture has no pixels."};
    if (!onScreen && !Bitmap::isSaneSize(frame.Width, frame.Height))
        return tooLarge(frame.Width, frame.Height);
    const int width = onScreen ? gif.SWidth : frame.Width;
    const int height = onScreen ? gif.SHeight : frame.Height;
    const int left = onScreen ? frame.Left : 0;
    const int top = onScreen ? frame.Top : 0;
    // The columns and rows of the picture that the frame covers.
    const int x0 = std::min(left, width), x1 = std::min(left + frame.Width, width);
    const int y0 = std::min(top, height), y1 = std::min(top + frame.Height, height);

    Bitmap image = Bitmap::zeroed(width, height, PixelFormat::Bits8);
    const int background = transparent >= 0 ? transparent : std::clamp(gif.SBackGroundColor, 0, 255);
    const bool covered = x0 == 0 && x1 == width && y0 == 0 && y1 == height;
    if (!covered) {
        for (int y = 0; y < height; ++y)
            std::memset(image.scanLine(y), background, static_cast<std::size_t>(width));
    }
    int largestIndex = covered ? 0 : background;

    // Rows come in the file's order; interlaced files send every eighth row first, then fill in between.
    // Reading stops after the last row that shows, so a frame hanging far off the screen costs nothing.
    constexpr std::array<std::pair<int, int>, 4> kInterlaced = {{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    constexpr std::array<std::pair<int, int>, 1> kSequential = {{{0, 1}}};
    const std::span<const std::pair<int, int>> passes
        = frame.Interlace ? std::span<const std::pair<int, int>>(kInterlaced) : kSequential;
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    int rowsToShow = x1 > x0 ? y1 - y0 : 0;
    for (const auto& [start, step] : passes) {
        for (int fy = start; fy < frame.Height && rowsToShow > 0; fy += step) {
            const int y = top + fy;
            const bool shows = y < height && x1 > x0;
            const bool whole = shows && x1 - x0 == frame.Width;
            GifPixelType* target = whole ? image.scanLine(y) + x0 : line.data();
            if (DGifGetLine(&gif, target, frame.Width) == GIF_ERROR)
                return readError(gif.Error);
            if (!shows)
                continue;
            std::uint8_t* row = image.scanLine(y);
            if (!whole)
                std::memcpy(row + x0, line.data(), static_cast<std::size_t>(x1 - x0));
            largestIndex = std::max<int>(largestIndex, *std::max_element(row + x0, row + x1));
            --rowsToShow;
        }
    }
    image.setPalette(frameColours(gif, largestIndex));
    return image;
}

int writeOutput(GifFileType* gif, const GifByteType* bytes, int length)
{
    auto& out = *static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    try {
        out.insert(out.end(), bytes, bytes + length);
    } catch (const std::bad_alloc&) {
        return 0; // giflib reports a failed write; no exception may pass through its C frames
    }
    return length;
}

struct CloseEncoder {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct FreeColourMap {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

Error writeError(int code)
{
    return Error{"The GIF file could not be written (" + giflibText(code) + ")."};
}

// One frame covering the screen, with the picture's palette as the global map.
gfx::Result<std::vector<std::uint8_t>> writeFrame(IndexedPicture& picture, GifControl control)
{
    // giflib takes only maps of a power of two entries, at least two.
    std::vector<GifColorType> colours(std::bit_ceil(std::max<std::size_t>(picture.palette.size(), 2)), {0, 0, 0});
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        const gfx::Color c = picture.palette[i];
        colours[i] = {static_cast<GifByteType>(gfx::red(c)), static_cast<GifByteType>(gfx::green(c)),
            static_cast<GifByteType>(gfx::blue(c))};
    }
    const std::unique_ptr<ColorMapObject, FreeColourMap> map(
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));
    if (!map)
        return Error{"Not enough memory to write the GIF file."};

    std::vector<std::uint8_t> out;
    out.reserve(picture.indices.size() / 4 + 1024);
    int error = 0;
    std::unique_ptr<GifFileType, CloseEncoder> gif(EGifOpen(&out, writeOutput, &error));
    if (!gif)
        return writeError(error);
    // The graphic control extension came with GIF89a; giflib writes the version with the screen.
    EGifSetGifVersion(gif.get(), control != GifControl::None);
    if (EGifPutScreenDesc(gif.get(), picture.width, picture.height, 8, 0, map.get()) == GIF_ERROR)
        return writeError(gif->Error);
    if (control != GifControl::None) {
        GraphicsControlBlock block{};
        block.DisposalMode = DISPOSAL_UNSPECIFIED;
        block.TransparentColor = NO_TRANSPARENT_COLOR;
        if (control == GifControl::BottomLeftTransparent)
            block.TransparentColor = picture.indices[static_cast<std::size_t>(picture.height - 1) * picture.width];
        GifByteType bytes[4];
        const auto length = static_cast<int>(EGifGCBToExtension(&block, bytes));
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, length, bytes) == GIF_ERROR)
            return writeError(gif->Error);
    }
    if (EGifPutImageDesc(gif.get(), 0, 0, picture.width, picture.height, false, nullptr) == GIF_ERROR)
        return writeError(gif->Error);
    for (int y = 0; y < picture.height; ++y) {
        GifPixelType* row = picture.indices.data() + static_cast<std::size_t>(y) * picture.width;
        if (EGifPutLine(gif.get(), row, picture.width) == GIF_ERROR)
            return writeError(gif->Error);
    }
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR)
        return writeError(error);
    return out;
}

} // namespace

gfx::Result<Bitmap> decodeGif(std::span<const std::uint8_t> data)
{
    constexpr std::string_view kSignature = "GIF8";
    for (std::size_t i = 0; i < std::min(data.size(), kSignature.size()); ++i) {
        if (data[i] != kSignature[i])
            return Error{"This is not a GIF file."};
    }
    Input input{data};
    int error = 0;
    const std::unique_ptr<GifFileType, CloseDecoder> gif(DGifOpen(&input, readInput, &error));
    if (!gif)
        return readError(error);
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return readError(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE)
            break;
        if (type == TERMINATE_RECORD_TYPE)
            return Error{"The GIF file holds no picture."};
        if (type != EXTENSION_RECORD_TYPE)
            return Error{"The GIF file is damaged (unknown record)."};
        if (!readExtension(*gif, transparent))
            return readError(gif->Error);
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        return readError(gif->Error);
    return readFirstFrame(*gif, transparent);
}

gfx::Result<std::vector<std::uint8_t>> encodeGif(
    const Bitmap& image, const app::GifSettings& settings, GifWriteOptions options)
{
    if (image.isEmpty())
        return Error{"The image is empty."};
    if (image.width() > kMaxGifSide || image.height() > kMaxGifSide)
        return Error{"A GIF picture can be at most 65535 pixels wide and high."};
    auto picture = reduceForGif(image, settings);
    if (!picture)
        return Error{picture.error()};
    if (options.optimiseMap)
        dropUnusedColours(picture.value());
    return writeFrame(picture.value(), options.control);
}

gfx::Result<Bitmap> readGifFile(const std::string& path)
{
    auto bytes = readFile(path, kMaxFileBytes);
    if (!bytes)
        return Error{bytes.error()};
    return decodeGif(bytes.value());
}

gfx::Status writeGifFile(
    const std::string& path, const Bitmap& image, const app::GifSettings& settings, GifWriteOptions options)
{
    auto bytes = encodeGif(image, settings, options);
    if (!bytes)
        return Error{bytes.error()};
    return writeFileAtomically(path, bytes.value());
}

} // namespace daubix::io
