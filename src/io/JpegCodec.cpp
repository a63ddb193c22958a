#include "io/JpegCodec.h"

#include "io/FileWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>
#include <string>

namespace daubix::io {

using gfx::Bitmap;
using gfx::Error;

namespace {

constexpr long kMaxDecoderMemory = 1L << 30;
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;
// A progressive file may repeat scans without limit, each one a pass over the whole picture: a few
// kilobytes can keep the decoder busy for minutes. Real encoders write about ten scans.
constexpr int kMaxScans = 500;
constexpr int kRowsPerCall = 16; // more than any sampling factor gives per iMCU row

// libjpeg reports a fatal error by calling error_exit, which must not return. Ours jumps back to the
// C-style function that set the jump point; those functions hold no C++ object with a destructor, so
// the jump skips nothing that needs cleaning up.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool truncated; // the data ran out before the picture did
    const char* reason; // our own wording for a refusal that libjpeg has no code for
    char message[JMSG_LENGTH_MAX];
};

ErrorManager& errorManager(j_common_ptr cinfo)
{
    return *reinterpret_cast<ErrorManager*>(cinfo->err);
}

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    ErrorManager& err = errorManager(cinfo);
    (*cinfo->err->format_message)(cinfo, err.message);
    std::longjmp(err.jump, 1);
}

// Warnings stay silent: a picture with a stray byte is still worth showing. Running out of data is
// remembered instead, because libjpeg then makes up the rest of the picture in grey.
void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        errorManager(cinfo).truncated = true;
}

void outputMessage(j_common_ptr)
{
}

void refuseScanBombs(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor || reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= kMaxScans)
        return;
    errorManager(cinfo).reason = "The JPEG file has too many scans (more than 500).";
    errorExit(cinfo);
}

void installErrorManager(jpeg_error_mgr*& slot, ErrorManager& err)
{
    slot = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
}

Error failure(const ErrorManager& err)
{
    if (err.reason)
        return Error{err.reason};
    if (err.truncated)
        return Error{"The JPEG file is truncated."};
    switch (err.pub.msg_code) {
    case JERR_NO_SOI:
        return Error{"This is not a JPEG file."};
    case JERR_INPUT_EMPTY:
        return Error{"The JPEG file is empty."};
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
        return Error{"The JPEG picture needs more memory than Daubix allows."};
    default:
        return Error{"The JPEG file is damaged (" + std::string(err.message) + ")."};
    }
}

// Plain data only, so that it may live across the jump points; the caller destroys cinfo.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
};

bool readHeader(Decoder& d, std::span<const std::uint8_t> data)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.cinfo);
    d.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    d.progress.progress_monitor = refuseScanBombs;
    d.cinfo.progress = &d.progress;
    jpeg_mem_src(&d.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d.cinfo, TRUE);
    // libjpeg has no conversion from CMYK to RGB; those pictures come out as CMYK and are converted below.
    const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&d.cinfo);
    return true;
}

// Huffman coding spends at least one bit on the DC coefficient of every 8 x 8 block, so a file shorter
// than a bit per block cannot hold the picture its header announces: refusing it at once spares
// allocating and decoding a picture of made-up grey.
std::uint64_t blockCount(const jpeg_decompress_struct& cinfo)
{
    std::uint64_t blocks = 0;
    for (int i = 0; i < cinfo.num_components; ++i)
        blocks += std::uint64_t{cinfo.comp_info[i].width_in_blocks} * cinfo.comp_info[i].height_in_blocks;
    return blocks;
}

// Files with an Adobe marker store CMYK inverted (255 is no ink), as Photoshop writes them.
void cmykToBgr(const std::uint8_t* in, std::uint8_t* out, int width, bool inverted)
{
    const int flip = inverted ? 0 : 255;
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const int k = in[3] ^ flip;
        out[0] = static_cast<std::uint8_t>(((in[2] ^ flip) * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>(((in[1] ^ flip) * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>(((in[0] ^ flip) * k + 127) / 255);
    }
}

bool readPixels(Decoder& d, Bitmap& image, std::uint8_t* cmykRow)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_start_decompress(&d.cinfo);
    const int height = image.height();
    while (static_cast<int>(d.cinfo.output_scanline) < height) {
        const int y = static_cast<int>(d.cinfo.output_scanline);
        if (cmykRow) {
            jpeg_read_scanlines(&d.cinfo, &cmykRow, 1);
            cmykToBgr(cmykRow, image.scanLine(y), image.width(), d.cinfo.saw_Adobe_marker);
            continue;
        }
        JSAMPROW rows[kRowsPerCall];
        const int count = std::min(kRowsPerCall, height - y);
        for (int i = 0; i < count; ++i)
            rows[i] = image.scanLine(y + i);
        jpeg_read_scanlines(&d.cinfo, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

// Collects the compressed bytes in a malloc'd block that grows by doubling. jpeg_mem_dest would do the
// same, but after an error in the middle its block can no longer be freed safely.
struct Destination {
    jpeg_destination_mgr pub;
    std::uint8_t* data;
    std::size_t capacity;
};

Destination& destination(j_compress_ptr cinfo)
{
    return *reinterpret_cast<Destination*>(cinfo->dest);
}

void initDestination(j_compress_ptr cinfo)
{
    Destination& dest = destination(cinfo);
    dest.pub.next_output_byte = dest.data;
    dest.pub.free_in_buffer = dest.capacity;
}

boolean growDestination(j_compress_ptr cinfo)
{
    Destination& dest = destination(cinfo);
    // libjpeg calls this only when the whole block is full, whatever free_in_buffer says.
    auto* grown = static_cast<std::uint8_t*>(std::realloc(dest.data, dest.capacity * 2));
    if (!grown)
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    dest.data = grown;
    dest.pub.next_output_byte = grown + dest.capacity;
    dest.pub.free_in_buffer = dest.capacity;
    dest.capacity *= 2;
    return TRUE;
}

void termDestination(j_compress_ptr)
{
}

struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    Destination dest;
};

bool writePixels(Encoder& e, const Bitmap& image, J_COLOR_SPACE inputSpace, int quality, bool grey)
{
    if (setjmp(e.err.jump))
        return false;
    jpeg_create_compress(&e.cinfo);
    e.cinfo.dest = &e.dest.pub;
    e.cinfo.image_width = static_cast<JDIMENSION>(image.width());
    e.cinfo.image_height = static_cast<JDIMENSION>(image.height());
    e.cinfo.in_color_space = inputSpace;
    e.cinfo.input_components = inputSpace == JCS_EXT_BGRX ? 4 : 3;
    jpeg_set_defaults(&e.cinfo);
    // libjpeg makes the grey from the colour rows itself, with the same weights as its YCbCr conversion.
    if (grey)
        jpeg_set_colorspace(&e.cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);
    const int height = image.height();
    while (static_cast<int>(e.cinfo.next_scanline) < height) {
        const int y = static_cast<int>(e.cinfo.next_scanline);
        JSAMPROW rows[kRowsPerCall];
        const int count = std::min(kRowsPerCall, height - y);
        // libjpeg only reads the rows; its interface merely lacks the const.
        for (int i = 0; i < count; ++i)
            rows[i] = const_cast<std::uint8_t*>(image.scanLine(y + i));
        jpeg_write_scanlines(&e.cinfo, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

} // namespace

gfx::Result<Bitmap> decodeJpeg(std::span<const std::uint8_t> data)
{
    Decoder d{};
    installErrorManager(d.cinfo.err, d.err);
    struct Destroy {
        Decoder& d;
        ~Destroy() { jpeg_destroy_decompress(&d.cinfo); }
    } destroy{d};

    if (!readHeader(d, data))
        return failure(d.err);
    const std::int64_t width = d.cinfo.output_width, height = d.cinfo.output_height;
    if (width < 1 || height < 1 || !Bitmap::isSaneSize(width, height))
        return Error{"The JPEG picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")."};
    if (!d.cinfo.arith_code && data.size() * 8 < blockCount(d.cinfo))
        return Error{"The JPEG file is too short for a picture of " + std::to_string(width) + " x "
            + std::to_string(height) + " pixels."};
    Bitmap image = Bitmap::zeroed(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint8_t> cmykRow(d.cinfo.out_color_space == JCS_CMYK ? static_cast<std::size_t>(width) * 4 : 0);
    if (!readPixels(d, image, cmykRow.empty() ? nullptr : cmykRow.data()) || d.err.truncated)
        return failure(d.err);
    return image;
}

gfx::Result<std::vector<std::uint8_t>> encodeJpeg(const Bitmap& image, int quality, bool grey)
{
    if (image.isEmpty())
        return Error{"The image is empty."};
    if (image.width() > JPEG_MAX_DIMENSION || image.height() > JPEG_MAX_DIMENSION)
        return Error{"A JPEG picture can be at most 65500 pixels wide and high."};
    const bool direct = image.format() == gfx::PixelFormat::Bits24 || image.format() == gfx::PixelFormat::Bits32;
    const Bitmap converted = direct ? Bitmap() : image.converted(gfx::PixelFormat::Bits24);
    const Bitmap& source = direct ? image : converted;
    const J_COLOR_SPACE inputSpace = source.format() == gfx::PixelFormat::Bits32 ? JCS_EXT_BGRX : JCS_EXT_BGR;

    Encoder e{};
    installErrorManager(e.cinfo.err, e.err);
    e.dest.pub.init_destination = initDestination;
    e.dest.pub.empty_output_buffer = growDestination;
    e.dest.pub.term_destination = termDestination;
    e.dest.capacity = std::size_t{1} << 16;
    e.dest.data = static_cast<std::uint8_t*>(std::malloc(e.dest.capacity));
    struct Destroy {
        Encoder& e;
        ~Destroy()
        {
            jpeg_destroy_compress(&e.cinfo);
            std::free(e.dest.data);
        }
    } destroy{e};
    if (!e.dest.data)
        return Error{"Not enough memory to write the JPEG file."};

    if (!writePixels(e, source, inputSpace, std::clamp(quality, 1, 100), grey))
        return failure(e.err);
    const std::size_t size = e.dest.capacity - e.dest.pub.free_in_buffer;
    return std::vector<std::uint8_t>(e.dest.data, e.dest.data + size);
}

gfx::Result<JpegPreview> jpegPreview(const Bitmap& image, int quality, bool grey)
{
    auto bytes = encodeJpeg(image, quality, grey);
    if (!bytes)
        return Error{bytes.error()};
    auto picture = decodeJpeg(bytes.value());
    if (!picture)
        return Error{picture.error()};
    return JpegPreview{bytes.value().size(), std::move(picture.value())};
}

gfx::Result<Bitmap> readJpegFile(const std::string& path)
{
    auto bytes = readFile(path, kMaxFileBytes);
    if (!bytes)
        return Error{bytes.error()};
    return decodeJpeg(bytes.value());
}

gfx::Status writeJpegFile(const std::string& path, const Bitmap& image, int quality, bool grey)
{
    auto bytes = encodeJpeg(image, quality, grey);
    if (!bytes)
        return Error{bytes.error()};
    return writeFileAtomically(path, bytes.value());
}

} // namespace daubix::io
