#include "io/PngCodec.h"

#include <csetjmp>
#include <algorithm>
#include <cstring>
#include <new>
#include <png.h>

namespace daubix::io {

using gfx::Bitmap;
using gfx::Error;

namespace {

const Error kReadError{"Error Reading File!"};
const Error kWriteError{"Error Writing PNG File!"};

// A sane picture has at most 2^28 pixels, so neither side can exceed that; libpng refuses larger
// headers itself, before this code sees them.
constexpr png_uint_32 kMaxSide = png_uint_32{1} << 28;
// Deflate shrinks data by at most about 1032 to 1, so a file this many times smaller than its picture's
// samples cannot hold the picture: refusing it up front keeps a tiny header from costing a huge bitmap.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// libpng reports through these; the caller gives the user one message, so its texts are not kept.
void failQuietly(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp)
{
}

struct Source {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

void readFromMemory(png_structp png, png_bytep out, std::size_t length)
{
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > source->data.size() - source->position)
        png_error(png, "truncated");
    std::memcpy(out, source->data.data() + source->position, length);
    source->position += length;
}

// Transparency against white: t is the inverted alpha, 0 keeps the colour and 255 gives white.
void blendRow(const std::uint8_t* in, std::uint8_t* out, int width)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned t = in[3];
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>((t * 255 + (255 - t) * in[c]) / 255);
    }
}

void splitRow(const std::uint8_t* in, std::uint8_t* out, std::uint8_t* alpha, int width)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        alpha[x] = static_cast<std::uint8_t>(255 - in[3]);
    }
}

// One decode. Rows land straight in the bitmap when they arrive as 3 bytes a pixel; 4-byte rows pass
// through one row of transfer memory, or a whole picture of it when interlacing revisits rows.
struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Source source;
    bool keepAlpha = false;
    int fileBitsPerPixel = 0;
    int passes = 1;
    int channels = 0;
    Bitmap bitmap;
    std::vector<std::uint8_t> alpha; // only when keepAlpha
    std::vector<std::uint8_t> transfer;
    std::vector<png_bytep> rows; // only for interlaced files, which libpng reads whole

    ~PngRead() { png_destroy_read_struct(&png, &info, nullptr); }

    std::size_t transferRowBytes() const { return static_cast<std::size_t>(bitmap.width()) * 4; }

    png_bytep row(int y)
    {
        if (channels == 3)
            return bitmap.scanLine(y);
        return passes > 1 ? transfer.data() + transferRowBytes() * static_cast<std::size_t>(y) : transfer.data();
    }

    // Called between the header and the rows; false refuses the file before pixel memory exists.
    bool prepare()
    {
        const png_uint_32 width = png_get_image_width(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        channels = png_get_channels(png, info);
        if (png_get_bit_depth(png, info) != 8 || (channels != 3 && channels != 4))
            return false;
        if (width == 0 || height == 0 || !Bitmap::isSaneSize(width, height))
            return false;
        const std::uint64_t sampleBytes = std::uint64_t{width} * height * fileBitsPerPixel / 8;
        if (sampleBytes > kMaxDeflateRatio * source.data.size())
            return false;
        try {
            bitmap = Bitmap::zeroed(static_cast<int>(width), static_cast<int>(height));
            if (keepAlpha)
                alpha.assign(std::size_t{width} * height, 255);
            if (channels == 4)
                transfer.resize(passes > 1 ? transferRowBytes() * height : transferRowBytes());
            if (passes > 1) {
                rows.resize(height);
                for (png_uint_32 y = 0; y < height; ++y)
                    rows[y] = row(static_cast<int>(y));
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    void finishRow(int y)
    {
        if (channels != 4)
            return;
        const int width = bitmap.width();
        if (keepAlpha)
            splitRow(row(y), bitmap.scanLine(y), alpha.data() + static_cast<std::size_t>(width) * y, width);
        else
            blendRow(row(y), bitmap.scanLine(y), width);
    }
};

// Whether every chunk up to IEND (or the end of the data) lies within the data. libpng allocates a text
// chunk's stated length before it reads it, whatever the file's size; a 200-byte file must not cost 1 GiB.
bool chunksFitTheFile(std::span<const std::uint8_t> data)
{
    std::uint64_t pos = 8;
    while (pos + 8 <= data.size()) {
        const std::uint8_t* p = data.data() + pos;
        const std::uint64_t length = (std::uint64_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
        if (length + 12 > data.size() - pos)
            return false;
        if (std::memcmp(p + 4, "IEND", 4) == 0)
            break;
        pos += length + 12;
    }
    return true;
}

// The only function that libpng may longjmp into. Nothing in its frame has a destructor, and the
// members it calls return before libpng runs again, so the jump skips no C++ object.
bool runRead(PngRead* r)
{
    png_structp png = r->png;
    png_infop info = r->info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &r->source, readFromMemory);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    // No chunk can be longer than the file, so a stated length beyond it is refused before libpng
    // allocates for it; and a file of endless small text chunks stops after a thousand.
    png_set_chunk_malloc_max(png, std::max<png_alloc_size_t>(r->source.data.size(), 1));
    png_set_chunk_cache_max(png, 1000);
    if (!chunksFitTheFile(r->source.data))
        return false;
    png_read_info(png, info);
    r->fileBitsPerPixel = png_get_bit_depth(png, info) * png_get_channels(png, info);
    // Every pixel arrives as 8-bit B, G, R and, where the file has transparency, inverted alpha.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_invert_alpha(png);
    png_set_bgr(png);
    r->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (!r->prepare())
        return false;
    const int height = r->bitmap.height();
    if (r->passes > 1) {
        png_read_image(png, r->rows.data());
        for (int y = 0; y < height; ++y)
            r->finishRow(y);
    } else {
        for (int y = 0; y < height; ++y) {
            png_read_row(png, r->row(y), nullptr);
            r->finishRow(y);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

bool read(PngRead& r, std::span<const std::uint8_t> data)
{
    r.source.data = data;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failQuietly, ignoreWarning);
    if (!r.png)
        return false;
    r.info = png_create_info_struct(r.png);
    return r.info && runRead(&r);
}

void writeToMemory(png_structp png, png_bytep data, std::size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed)
        png_error(png, "out of memory");
}
void flushNothing(png_structp)
{
}

// One encode of a 24- or 32-bit bitmap. libpng swaps blue and red and drops the fourth byte itself, so
// without a key the bitmap's rows go to it as they are; with a key each row is rebuilt with its alpha.
struct PngWrite {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const Bitmap* image = nullptr;
    std::optional<gfx::Color> key;
    std::vector<std::uint8_t> keyedRow;
    std::vector<std::uint8_t> out;

    ~PngWrite() { png_destroy_write_struct(&png, &info); }

    png_const_bytep row(int y)
    {
        const std::uint8_t* in = image->scanLine(y);
        if (!key)
            return in;
        const int step = image->bitsPerPixel() / 8;
        const std::uint8_t kb = gfx::blue(*key), kg = gfx::green(*key), kr = gfx::red(*key);
        std::uint8_t* o = keyedRow.data();
        for (int x = 0; x < image->width(); ++x, in += step, o += 4) {
            o[0] = in[0];
            o[1] = in[1];
            o[2] = in[2];
            o[3] = in[0] == kb && in[1] == kg && in[2] == kr ? 0 : 255;
        }
        return keyedRow.data();
    }
};

// Latin-1 texts, stored uncompressed before the pixels.
constexpr const char* kSoftwareText = "Daubix, a raster paint program";
constexpr const char* kAuthorText = "The Daubix developers";

// As runRead, the only function here that libpng may longjmp into.
bool runWrite(PngWrite* w)
{
    png_structp png = w->png;
    png_infop info = w->info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &w->out, writeToMemory, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w->image->width()), static_cast<png_uint_32>(w->image->height()),
        8, w->key ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_text texts[2] = {};
    texts[0].compression = texts[1].compression = PNG_TEXT_COMPRESSION_NONE;
    // png_text has no const members, but png_set_text only copies the texts.
    texts[0].key = const_cast<char*>("Software");
    texts[0].text = const_cast<char*>(kSoftwareText);
    texts[1].key = const_cast<char*>("Author");
    texts[1].text = const_cast<char*>(kAuthorText);
    png_set_text(png, info, texts, 2);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!w->key && w->image->bitsPerPixel() == 32)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < w->image->height(); ++y)
        png_write_row(png, w->row(y));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

gfx::Error pngOpenError(std::string_view fileName)
{
    return Error{"Error Opening File " + std::string(fileName) + "!"};
}

gfx::Result<Bitmap> decodePng(std::span<const std::uint8_t> data)
{
    PngRead r;
    if (!read(r, data))
        return kReadError;
    return std::move(r.bitmap);
}

gfx::Result<DecodedPng> decodePngWithAlpha(std::span<const std::uint8_t> data)
{
    PngRead r;
    r.keepAlpha = true;
    if (!read(r, data))
        return kReadError;
    return DecodedPng{std::move(r.bitmap), std::move(r.alpha)};
}

gfx::Result<std::vector<std::uint8_t>> encodePng(const Bitmap& image, std::optional<gfx::Color> key)
{
    if (image.isEmpty())
        return Error{"The image is empty."};
    Bitmap converted;
    const bool direct = image.format() == gfx::PixelFormat::Bits24 || image.format() == gfx::PixelFormat::Bits32;
    if (!direct)
        converted = image.converted(gfx::PixelFormat::Bits24);
    PngWrite w;
    w.image = direct ? &image : &converted;
    if (key && *key != gfx::clNone) {
        w.key = *key & 0xFFFFFF;
        w.keyedRow.resize(static_cast<std::size_t>(image.width()) * 4);
    }
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failQuietly, ignoreWarning);
    if (!w.png)
        return kWriteError;
    w.info = png_create_info_struct(w.png);
    if (!w.info || !runWrite(&w))
        return kWriteError;
    return std::move(w.out);
}

} // namespace daubix::io
