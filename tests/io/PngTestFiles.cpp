#include "io/PngTestFiles.h"

#include <csetjmp>
#include <png.h>
#include <zlib.h>

namespace daubix::test {

namespace {

int channelsOf(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

// Rows as the file stores them: sub-byte samples packed from the high bits, 16-bit samples big-endian.
std::vector<std::uint8_t> packRows(const PngPicture& p, std::size_t& rowBytes)
{
    const std::size_t perRow = std::size_t(p.width) * channelsOf(p.colorType);
    rowBytes = (perRow * p.bitDepth + 7) / 8;
    std::vector<std::uint8_t> out(rowBytes * p.height);
    for (int y = 0; y < p.height; ++y) {
        std::uint8_t* row = out.data() + rowBytes * y;
        for (std::size_t i = 0; i < perRow; ++i) {
            const std::uint16_t v = p.samples.at(perRow * y + i);
            if (p.bitDepth == 16) {
                row[2 * i] = static_cast<std::uint8_t>(v >> 8);
                row[2 * i + 1] = static_cast<std::uint8_t>(v);
            } else if (p.bitDepth == 8) {
                row[i] = static_cast<std::uint8_t>(v);
            } else {
                const std::size_t bit = i * p.bitDepth;
                row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - p.bitDepth - bit % 8));
            }
        }
    }
    return out;
}

void collect(png_structp png, png_bytep data, std::size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void noFlush(png_structp)
{
}
void fail(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

struct Job {
    const PngPicture* picture;
    std::vector<png_bytep> rows;
    std::vector<png_color> palette;
    png_color_16 transparent{};
    std::vector<std::uint8_t> out;
};

// Holds no C++ object across the setjmp.
bool run(png_structp png, png_infop info, Job* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const PngPicture& p = *job->picture;
    png_set_write_fn(png, &job->out, collect, noFlush);
    png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colorType,
        p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!job->palette.empty())
        png_set_PLTE(png, info, job->palette.data(), static_cast<int>(job->palette.size()));
    if (!p.paletteAlpha.empty())
        png_set_tRNS(png, info, p.paletteAlpha.data(), static_cast<int>(p.paletteAlpha.size()), nullptr);
    if (p.transparentValue)
        png_set_tRNS(png, info, nullptr, 0, &job->transparent);
    png_write_info(png, info);
    png_write_image(png, job->rows.data());
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::vector<std::uint8_t> writePng(const PngPicture& picture)
{
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> packed = packRows(picture, rowBytes);
    Job job{&picture, {}, {}, {}, {}};
    for (int y = 0; y < picture.height; ++y)
        job.rows.push_back(packed.data() + rowBytes * y);
    for (std::uint32_t c : picture.palette)
        job.palette.push_back(
            {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    if (picture.transparentValue) {
        const auto& v = *picture.transparentValue;
        if (v.size() == 1)
            job.transparent.gray = v[0];
        else
            job.transparent.red = v.at(0), job.transparent.green = v.at(1), job.transparent.blue = v.at(2);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, fail, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = run(png, info, &job);
    png_destroy_write_struct(&png, &info);
    return ok ? job.out : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> pngChunk(const std::string& type, const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> out;
    auto be32 = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    be32(static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    be32(static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(out.size() - 4))));
    return out;
}

std::vector<std::uint8_t> pngIhdr(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType)
{
    std::vector<std::uint8_t> data;
    for (std::uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            data.push_back(static_cast<std::uint8_t>(v >> shift));
    data.insert(data.end(), {static_cast<std::uint8_t>(bitDepth), static_cast<std::uint8_t>(colorType), 0, 0, 0});
    return pngChunk("IHDR", data);
}

std::vector<std::uint8_t> pngFile(const std::vector<std::vector<std::uint8_t>>& chunks)
{
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& c : chunks)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

std::vector<PngChunk> pngChunks(const std::vector<std::uint8_t>& file)
{
    const std::vector<std::uint8_t> signature = pngFile({});
    if (file.size() < 8 || !std::equal(signature.begin(), signature.end(), file.begin()))
        return {};
    std::vector<PngChunk> chunks;
    auto be32 = [&](std::size_t at) {
        return std::uint32_t(file[at]) << 24 | std::uint32_t(file[at + 1]) << 16 | std::uint32_t(file[at + 2]) << 8
            | file[at + 3];
    };
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = be32(at);
        if (at + 12 + length > file.size())
            break;
        PngChunk c;
        c.type.assign(file.begin() + at + 4, file.begin() + at + 8);
        c.data.assign(file.begin() + at + 8, file.begin() + at + 8 + length);
        c.crcOk = crc32(0, file.data() + at + 4, length + 4) == be32(at + 8 + length);
        chunks.push_back(std::move(c));
        at += 12 + length;
    }
    return chunks;
}

std::optional<std::vector<std::uint8_t>> rgbaSamples(const std::vector<std::uint8_t>& file, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> out(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return out;
}

} // namespace daubix::test
