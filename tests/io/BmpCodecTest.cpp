#include "io/BmpCodec.h"

#include "support/TestImages.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;
using gfx::PixelFormat;

namespace {

// Builds BMP files byte by byte, for the variants other programs write.
struct BmpBuilder {
    std::vector<std::uint8_t> bytes;

    void u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v)
    {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // File header and a 40-byte info header; the pixel offset is patched by pixelsStartHere().
    void infoHeader(std::int32_t w, std::int32_t h, int bpp, std::uint32_t compression, std::uint32_t colors = 0)
    {
        u8('B'), u8('M'), u32(0), u32(0), u32(0);
        u32(40), u32(static_cast<std::uint32_t>(w)), u32(static_cast<std::uint32_t>(h)), u16(1), u16(bpp);
        u32(compression), u32(0), u32(2835), u32(2835), u32(colors), u32(0);
    }
    void pixelsStartHere()
    {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i)
            bytes[10 + i] = static_cast<std::uint8_t>(at >> (8 * i));
    }
    void finish()
    {
        const auto size = static_cast<std::uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i)
            bytes[2 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
};

gfx::Bitmap decodeOk(const std::vector<std::uint8_t>& bytes)
{
    auto result = io::decodeBmp(bytes);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : gfx::Bitmap();
}

} // namespace

TEST(BmpCodec, RoundTripsEveryPixelFormatAtOddSizes)
{
    for (PixelFormat format :
        {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits24, PixelFormat::Bits32}) {
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{11, 13}, std::pair{33, 2}}) {
            const gfx::Bitmap image = test::noise(w, h, static_cast<unsigned>(w * h)).converted(format);
            const gfx::Bitmap back = decodeOk(io::encodeBmp(image));
            EXPECT_EQ(back, image) << gfx::bitsPerPixel(format) << " bits, " << w << " x " << h;
        }
    }
}

TEST(BmpCodec, ReadsAFileWrittenByAnotherProgram)
{
    const gfx::Bitmap src = test::loadFixture("gfx/fixtures/src.bmp");
    ASSERT_EQ(src.width(), 20);
    ASSERT_EQ(src.height(), 14);
    // Red encodes the column and green the row.
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{19, 0}, std::pair{0, 13}, std::pair{19, 13}}) {
        EXPECT_EQ(gfx::red(src.pixel(x, y)), 12 * x + 10);
        EXPECT_EQ(gfx::green(src.pixel(x, y)), 17 * y + 8);
    }
}

TEST(BmpCodec, ReadsTopDownRows)
{
    BmpBuilder b;
    b.infoHeader(1, -2, 24, 0);
    b.pixelsStartHere();
    b.u8(0), b.u8(0), b.u8(0xFF), b.u8(0); // top row: red
    b.u8(0xFF), b.u8(0), b.u8(0), b.u8(0); // bottom row: blue
    b.finish();
    const gfx::Bitmap image = decodeOk(b.bytes);
    EXPECT_EQ(image.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(image.pixel(0, 1), gfx::clBlue);
}

TEST(BmpCodec, ReadsTheCoreHeaderWithThreeBytePaletteEntries)
{
    BmpBuilder b;
    b.u8('B'), b.u8('M'), b.u32(0), b.u32(0), b.u32(0);
    b.u32(12), b.u16(3), b.u16(1), b.u16(1), b.u16(1);
    b.u8(0), b.u8(0), b.u8(0xFF); // index 0: red
    b.u8(0xFF), b.u8(0xFF), b.u8(0xFF); // index 1: white
    b.pixelsStartHere();
    b.u8(0b01000000), b.u8(0), b.u8(0), b.u8(0);
    b.finish();
    const gfx::Bitmap image = decodeOk(b.bytes);
    EXPECT_EQ(image.format(), PixelFormat::Bits1);
    EXPECT_EQ(image.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(image.pixel(1, 0), gfx::clWhite);
    EXPECT_EQ(image.pixel(2, 0), gfx::clRed);
}

TEST(BmpCodec, ReadsSixteenBitPixelsWithDefaultAndExplicitMasks)
{
    // 5-5-5 by default: 0x7C00 is full red.
    BmpBuilder plain;
    plain.infoHeader(2, 1, 16, 0);
    plain.pixelsStartHere();
    plain.u16(0x7C00), plain.u16(0x001F);
    plain.finish();
    const gfx::Bitmap a = decodeOk(plain.bytes);
    EXPECT_EQ(a.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(a.pixel(1, 0), gfx::clBlue);

    // 5-6-5 masks after the header: 0x07E0 is full green, 0x0400 half green.
    BmpBuilder masked;
    masked.infoHeader(2, 1, 16, 3);
    masked.u32(0xF800), masked.u32(0x07E0), masked.u32(0x001F);
    masked.pixelsStartHere();
    masked.u16(0x07E0), masked.u16(0x0400);
    masked.finish();
    const gfx::Bitmap b = decodeOk(masked.bytes);
    EXPECT_EQ(b.format(), PixelFormat::Bits24);
    EXPECT_EQ(b.pixel(0, 0), gfx::clLime);
    EXPECT_EQ(b.pixel(1, 0), gfx::rgb(0, 130, 0)); // 32 of 63
}

TEST(BmpCodec, ReadsThirtyTwoBitMasksInAVersionFiveHeader)
{
    BmpBuilder b;
    b.u8('B'), b.u8('M'), b.u32(0), b.u32(0), b.u32(0);
    b.u32(124), b.u32(1), b.u32(1), b.u16(1), b.u16(32), b.u32(3);
    for (int i = 0; i < 5; ++i)
        b.u32(0);
    b.u32(0x000000FF), b.u32(0x0000FF00), b.u32(0x00FF0000), b.u32(0xFF000000); // R in the low byte
    while (b.bytes.size() < 14 + 124)
        b.u8(0);
    b.pixelsStartHere();
    b.u32(0x00332211);
    b.finish();
    EXPECT_EQ(decodeOk(b.bytes).pixel(0, 0), gfx::rgb(0x11, 0x22, 0x33));
}

TEST(BmpCodec, DecodesRunLengthEightAndFourBits)
{
    // 4 x 2, bottom row first: a run of 3 of index 1, end of line; a delta to (1, 1), an absolute run
    // of three (2, 1, 2), end of bitmap.
    BmpBuilder b8;
    b8.infoHeader(4, 2, 8, 1, 3);
    b8.u32(0x000000), b8.u32(0x0000FF), b8.u32(0x00FF00);
    b8.pixelsStartHere();
    for (unsigned v : {3u, 1u, 0u, 0u, 0u, 2u, 1u, 0u, 0u, 3u, 2u, 1u, 2u, 0u, 0u, 1u})
        b8.u8(v);
    b8.finish();
    const gfx::Bitmap rle8 = decodeOk(b8.bytes);
    const gfx::Color k = gfx::clBlack, B = gfx::clBlue, G = gfx::clLime;
    const gfx::Color expected8[2][4] = {{k, G, B, G}, {B, B, B, k}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rle8.pixel(x, y), expected8[y][x]) << x << "," << y;

    // RLE4: a run of 5 alternating indices 1 and 2, then an absolute run of 3 nibbles 2, 1, 2.
    BmpBuilder b4;
    b4.infoHeader(8, 1, 4, 2, 3);
    b4.u32(0x000000), b4.u32(0x0000FF), b4.u32(0x00FF00);
    b4.pixelsStartHere();
    for (unsigned v : {5u, 0x12u, 0u, 3u, 0x21u, 0x20u, 0u, 1u})
        b4.u8(v);
    b4.finish();
    const gfx::Bitmap rle4 = decodeOk(b4.bytes);
    const gfx::Color expected4[8] = {B, G, B, G, B, G, B, G};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(rle4.pixel(x, 0), expected4[x]) << x;
}

TEST(BmpCodec, RefusesMalformedFilesWithAMessage)
{
    auto truncated = [] {
        BmpBuilder b;
        b.infoHeader(4, 4, 24, 0);
        b.pixelsStartHere();
        for (int i = 0; i < 40; ++i)
            b.u8(0);
        b.finish();
        return b.bytes;
    };
    auto header = [](std::int32_t w, std::int32_t h, int bpp, std::uint32_t compression, std::uint32_t colors) {
        BmpBuilder b;
        b.infoHeader(w, h, bpp, compression, colors);
        b.pixelsStartHere();
        for (int i = 0; i < 64; ++i)
            b.u8(0);
        b.finish();
        return b.bytes;
    };
    std::vector<std::uint8_t> badOffset = header(2, 2, 24, 0, 0);
    badOffset[10] = 0xFF, badOffset[11] = 0xFF, badOffset[12] = 0xFF, badOffset[13] = 0x7F;
    std::vector<std::uint8_t> badHeaderSize = header(2, 2, 24, 0, 0);
    badHeaderSize[14] = 0xFF, badHeaderSize[15] = 0xFF, badHeaderSize[16] = 0xFF;
    const std::vector<std::uint8_t> runPastEnd = [] {
        BmpBuilder b;
        b.infoHeader(4, 2, 8, 1, 2);
        b.u32(0), b.u32(0xFFFFFF);
        b.pixelsStartHere();
        b.u8(0), b.u8(200), b.u8(1); // an absolute run of 200 with one byte behind it
        b.finish();
        return b.bytes;
    }();
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"empty", {}},
        {"not a bmp", {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"only a file header", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}},
        {"truncated pixels", truncated()},
        {"absurd size", header(100000, 100000, 24, 0, 0)},
        {"most negative height", header(4, INT32_MIN, 24, 0, 0)},
        {"zero width", header(0, 4, 24, 0, 0)},
        {"unknown depth", header(2, 2, 7, 0, 0)},
        {"rle with the wrong depth", header(2, 2, 24, 1, 0)},
        {"top-down rle", header(2, -2, 8, 1, 0)},
        {"offset past the end", badOffset},
        {"absurd header size", badHeaderSize},
        {"run past the end", runPastEnd},
    };
    for (const auto& [name, bytes] : cases) {
        auto result = io::decodeBmp(bytes);
        ASSERT_FALSE(result.ok()) << name;
        EXPECT_FALSE(result.error().empty()) << name;
    }
}

// Every prefix of a valid file is refused, except one that lacks only the last row's padding.
TEST(BmpCodec, RefusesEveryTruncationOfAValidFile)
{
    const gfx::Bitmap image = test::noise(5, 3, 9).converted(PixelFormat::Bits4);
    const std::vector<std::uint8_t> full = io::encodeBmp(image);
    for (std::size_t n = 0; n + 1 < full.size(); ++n) {
        auto result = io::decodeBmp(std::span(full.data(), n));
        EXPECT_FALSE(result.ok()) << n;
    }
    auto lastPaddingMissing = io::decodeBmp(std::span(full.data(), full.size() - 1));
    ASSERT_TRUE(lastPaddingMissing.ok());
    EXPECT_EQ(lastPaddingMissing.value(), image);
}

TEST(BmpCodec, AFailedSaveLeavesTheExistingFileAlone)
{
    const auto dir = std::filesystem::temp_directory_path() / ("daubix-bmp-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "kept.bmp").string();
    ASSERT_TRUE(io::writeBmpFile(path, test::noise(3, 3, 1)).ok());
    const auto before = std::filesystem::file_size(path);

    EXPECT_FALSE(io::writeBmpFile(path, gfx::Bitmap()).ok());
    EXPECT_FALSE(io::writeBmpFile((dir / "missing" / "x.bmp").string(), test::noise(3, 3, 1)).ok());
    EXPECT_EQ(std::filesystem::file_size(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1); // no temporary left behind

    ASSERT_TRUE(io::writeBmpFile(path, test::noise(4, 4, 2)).ok());
    auto reread = io::readBmpFile(path);
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(reread.value(), test::noise(4, 4, 2));
    std::filesystem::remove_all(dir);
}

// Reading from a file puts the rows straight into the bitmap: it must give exactly what decoding the
// same bytes gives, for every layout, with more rows than one vectored read takes, padding bytes that
// are not zero, and every truncation.
TEST(BmpCodec, ReadingAFileGivesWhatDecodingItsBytesGives)
{
    const auto dir = std::filesystem::temp_directory_path() / ("daubix-bmpfile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "p.bmp").string();
    const auto put = [&](const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    const auto same = [&](const std::vector<std::uint8_t>& bytes) {
        put(bytes);
        auto fromFile = io::readBmpFile(path);
        auto fromBytes = io::decodeBmp(bytes);
        ASSERT_EQ(fromFile.ok(), fromBytes.ok());
        if (fromFile.ok()) {
            EXPECT_EQ(fromFile.value(), fromBytes.value());
        }
    };
    for (PixelFormat format :
        {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits24, PixelFormat::Bits32})
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{13, 2500}}) {
            const gfx::Bitmap image = test::noise(w, h, static_cast<unsigned>(w + h)).converted(format);
            ASSERT_TRUE(io::writeBmpFile(path, image).ok());
            auto back = io::readBmpFile(path);
            ASSERT_TRUE(back.ok());
            EXPECT_EQ(back.value(), image) << gfx::bitsPerPixel(format) << " bits, " << w << " x " << h;
            std::vector<std::uint8_t> bytes = io::encodeBmp(image);
            std::fill(bytes.end() - 1, bytes.end(), std::uint8_t{0xAB}); // padding or pixel bits alike
            same(bytes);
        }
    // Top-down rows, and a run-length file read through the whole-file path.
    BmpBuilder b;
    b.infoHeader(1, -2, 24, 0);
    b.pixelsStartHere();
    b.u8(0), b.u8(0), b.u8(0xFF), b.u8(0x7E);
    b.u8(0xFF), b.u8(0), b.u8(0), b.u8(0x7E);
    b.finish();
    same(b.bytes);
    const std::vector<std::uint8_t> full = io::encodeBmp(test::noise(5, 3, 9).converted(PixelFormat::Bits8));
    for (std::size_t n = 0; n <= full.size(); ++n)
        same(std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
    std::filesystem::remove_all(dir);
}
