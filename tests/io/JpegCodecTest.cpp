#include "io/JpegCodec.h"

#include "PeerTools.h"
#include "io/BmpCodec.h"
#include "support/TestImages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>

using namespace daubix;

namespace {

// ImageMagick (Debian package imagemagick), named by its full path so that no other program of that name
// is run instead.
const std::string kImageMagick = "/usr/bin/convert";

gfx::Bitmap decodeOk(const std::vector<std::uint8_t>& bytes)
{
    auto result = io::decodeJpeg(bytes);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : gfx::Bitmap();
}

std::vector<std::uint8_t> encodeOk(const gfx::Bitmap& image, int quality, bool grey)
{
    auto result = io::encodeJpeg(image, quality, grey);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : std::vector<std::uint8_t>();
}

int largestChannelDifference(const gfx::Bitmap& a, const gfx::Bitmap& b)
{
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    int largest = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int i = 0; i < 3 * std::min(a.width(), b.width()); ++i)
            largest = std::max(largest, std::abs(a.scanLine(y)[i] - b.scanLine(y)[i]));
    return largest;
}

double meanChannelDifference(const gfx::Bitmap& a, const gfx::Bitmap& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < 3 * a.width(); ++i)
            sum += std::abs(a.scanLine(y)[i] - b.scanLine(y)[i]);
    return sum / (3.0 * a.width() * a.height());
}

// The offset of the first marker with this code (0xFFxx) after the start of image, or 0.
std::size_t findMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t code, bool last = false)
{
    std::size_t found = 0;
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            found = i;
            if (!last)
                break;
        }
    }
    return found;
}

int componentCount(const std::vector<std::uint8_t>& jpeg)
{
    const std::size_t sof = findMarker(jpeg, 0xC0);
    return sof ? jpeg.at(sof + 9) : 0;
}

#define REQUIRE_PROGRAM(program, package)                                                                              \
    if (!test::haveProgram(program))                                                                                   \
    GTEST_SKIP() << program << " is missing (Debian package " package ")"

// A file that another program wrote, and how a decoder other than ours reads it.
struct PeerFile {
    const char* name;
    std::string program;
    std::string package;
    std::string arguments; // IN and OUT stand for the source BMP and the JPEG file
    int tolerance; // largest channel difference allowed against djpeg
};

class JpegFromPeer : public ::testing::TestWithParam<PeerFile> { };

// Same library, same IDCT and upsampling: the pixels must agree exactly, except for CMYK, which djpeg
// converts to RGB with its own rounding.
TEST_P(JpegFromPeer, DecodesAsDjpegDoes)
{
    const PeerFile& peer = GetParam();
    REQUIRE_PROGRAM(peer.program, "libjpeg-turbo-progs, imagemagick");
    REQUIRE_PROGRAM("djpeg", "libjpeg-turbo-progs");
    test::ScratchFolder dir;
    // Odd sizes leave partial blocks at the right and bottom edges, where sampling bugs hide.
    for (const auto& [w, h] : {std::pair{67, 45}, std::pair{1, 1}, std::pair{17, 9}}) {
        test::writeBytes(dir.path("in.bmp"), io::encodeBmp(test::photoLike(w, h)));
        std::string arguments = peer.arguments;
        arguments.replace(arguments.find("IN"), 2, dir.word("in.bmp"));
        arguments.replace(arguments.find("OUT"), 3, dir.word("peer.jpg"));
        ASSERT_TRUE(test::runQuietly(peer.program + " " + arguments)) << peer.name;
        ASSERT_TRUE(test::runQuietly("djpeg -pnm -outfile " + dir.word("peer.pnm") + " " + dir.word("peer.jpg")));
        const gfx::Bitmap expected = test::readPnm(dir.path("peer.pnm"));
        ASSERT_FALSE(expected.isEmpty());
        const gfx::Bitmap ours = decodeOk(test::readBytes(dir.path("peer.jpg")));
        EXPECT_EQ(ours.format(), gfx::PixelFormat::Bits24);
        EXPECT_LE(largestChannelDifference(ours, expected), peer.tolerance) << peer.name << " " << w << " x " << h;
    }
}

INSTANTIATE_TEST_SUITE_P(All, JpegFromPeer,
    ::testing::Values(PeerFile{"Baseline", "cjpeg", "", "-outfile OUT IN", 0},
        PeerFile{"Progressive", "cjpeg", "", "-progressive -outfile OUT IN", 0},
        PeerFile{"Grey", "cjpeg", "", "-grayscale -outfile OUT IN", 0},
        PeerFile{"NoSubsampling", "cjpeg", "", "-sample 1x1 -quality 95 -outfile OUT IN", 0},
        PeerFile{"ArithmeticCoded", "cjpeg", "", "-arithmetic -outfile OUT IN", 0},
        PeerFile{"RestartsAndOptimisedTables", "cjpeg", "", "-restart 1 -optimize -outfile OUT IN", 0},
        PeerFile{"Cmyk", kImageMagick, "", "IN -colorspace CMYK -quality 90 OUT", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A flat CMYK field written straight through libjpeg, with and without the Adobe marker: Adobe files
// store the inks inverted (255 is no ink) and may transform them to YCCK, others hold plain CMYK as it
// is, since only the marker can announce the transform. Both must give the same colour.
TEST(JpegCodec, ReadsCmykWithAndWithoutTheAdobeInversion)
{
    const int ink[4] = {30, 60, 90, 40};
    const int r = (255 - ink[0]) * (255 - ink[3]) / 255, g = (255 - ink[1]) * (255 - ink[3]) / 255,
              b = (255 - ink[2]) * (255 - ink[3]) / 255;
    for (const bool adobe : {true, false}) {
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        unsigned char* bytes = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &bytes, &size);
        cinfo.image_width = 16, cinfo.image_height = 16, cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        jpeg_set_defaults(&cinfo);
        jpeg_set_colorspace(&cinfo, adobe ? JCS_YCCK : JCS_CMYK);
        cinfo.write_Adobe_marker = adobe;
        jpeg_set_quality(&cinfo, 100, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        std::vector<JSAMPLE> row(16 * 4);
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < 4; ++c)
                row[4 * x + c] = static_cast<JSAMPLE>(adobe ? 255 - ink[c] : ink[c]);
        while (cinfo.next_scanline < 16) {
            JSAMPROW p = row.data();
            jpeg_write_scanlines(&cinfo, &p, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        const gfx::Bitmap image = decodeOk(std::vector<std::uint8_t>(bytes, bytes + size));
        std::free(bytes);
        ASSERT_EQ(image.width(), 16);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{15, 15}, std::pair{7, 9}}) {
            const gfx::Color c = image.pixel(x, y);
            EXPECT_NEAR(gfx::red(c), r, 2) << "Adobe marker " << adobe;
            EXPECT_NEAR(gfx::green(c), g, 2) << "Adobe marker " << adobe;
            EXPECT_NEAR(gfx::blue(c), b, 2) << "Adobe marker " << adobe;
        }
    }
}

// cjpeg with baseline tables uses libjpeg's defaults, as the writer must: 4:2:0, the integer DCT and the
// standard Huffman tables. Both files must then hold the same pixels at every quality, colour and grey.
TEST(JpegCodec, EncodesAsCjpegDoesAtEveryQuality)
{
    REQUIRE_PROGRAM("cjpeg", "libjpeg-turbo-progs");
    test::ScratchFolder dir;
    const gfx::Bitmap image = test::photoLike(61, 37);
    test::writeBytes(dir.path("in.bmp"), io::encodeBmp(image));
    for (const int quality : {1, 10, 25, 75, 100}) {
        for (const bool grey : {false, true}) {
            const std::string options = "-baseline -quality " + std::to_string(quality) + (grey ? " -grayscale" : "");
            ASSERT_TRUE(
                test::runQuietly("cjpeg " + options + " -outfile " + dir.word("peer.jpg") + " " + dir.word("in.bmp")));
            const gfx::Bitmap expected = decodeOk(test::readBytes(dir.path("peer.jpg")));
            const std::vector<std::uint8_t> ours = encodeOk(image, quality, grey);
            EXPECT_EQ(largestChannelDifference(decodeOk(ours), expected), 0) << options;
            EXPECT_EQ(componentCount(ours), grey ? 1 : 3) << options;
        }
    }
}

TEST(JpegCodec, RoundTripsCloserAndLargerAsTheQualityRises)
{
    const gfx::Bitmap image = test::photoLike(96, 64);
    double lastError = 1e9;
    std::size_t lastSize = 0;
    for (const int quality : {5, 25, 50, 90, 100}) {
        const std::vector<std::uint8_t> bytes = encodeOk(image, quality, false);
        const double error = meanChannelDifference(decodeOk(bytes), image);
        EXPECT_LT(error, lastError) << quality;
        EXPECT_GT(bytes.size(), lastSize) << quality;
        lastError = error, lastSize = bytes.size();
    }
    EXPECT_LT(lastError, 4.0); // at 100 only the colour subsampling of the grain and rounding remain
}

TEST(JpegCodec, ClampsTheQualityToOneToAHundred)
{
    const gfx::Bitmap image = test::photoLike(20, 20);
    EXPECT_EQ(encodeOk(image, 0, false), encodeOk(image, 1, false));
    EXPECT_EQ(encodeOk(image, -40, false), encodeOk(image, 1, false));
    EXPECT_EQ(encodeOk(image, 101, true), encodeOk(image, 100, true));
    EXPECT_EQ(encodeOk(image, 5000, true), encodeOk(image, 100, true));
}

TEST(JpegCodec, WritesGreyAsOneChannelThatReadsBackAsEqualChannels)
{
    const gfx::Bitmap image = test::photoLike(33, 21);
    const std::vector<std::uint8_t> bytes = encodeOk(image, 100, true);
    EXPECT_EQ(componentCount(bytes), 1);
    const gfx::Bitmap back = decodeOk(bytes);
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x) {
            const gfx::Color c = back.pixel(x, y), source = image.pixel(x, y);
            ASSERT_TRUE(gfx::red(c) == gfx::green(c) && gfx::green(c) == gfx::blue(c)) << x << ", " << y;
            const double luma = 0.299 * gfx::red(source) + 0.587 * gfx::green(source) + 0.114 * gfx::blue(source);
            ASSERT_NEAR(gfx::red(c), luma, 3.0) << x << ", " << y;
        }
}

// Every format goes in as the 24-bit picture it shows; 32 bits are read straight from their rows.
TEST(JpegCodec, WritesEveryPixelFormatAsItsTwentyFourBitPicture)
{
    for (const gfx::PixelFormat format : {gfx::PixelFormat::Bits1, gfx::PixelFormat::Bits4, gfx::PixelFormat::Bits8,
             gfx::PixelFormat::Bits24, gfx::PixelFormat::Bits32}) {
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{11, 13}}) {
            const gfx::Bitmap image = test::noise(w, h, 3).converted(format);
            const std::vector<std::uint8_t> bytes = encodeOk(image, 50, false);
            EXPECT_EQ(bytes, encodeOk(image.converted(gfx::PixelFormat::Bits24), 50, false))
                << gfx::bitsPerPixel(format) << " bits, " << w << " x " << h;
            const gfx::Bitmap back = decodeOk(bytes);
            EXPECT_EQ(back.width(), w);
            EXPECT_EQ(back.height(), h);
        }
    }
}

TEST(JpegCodec, RefusesPicturesItCannotWrite)
{
    const auto empty = io::encodeJpeg(gfx::Bitmap(), 25, false);
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error(), "The image is empty.");
    const auto wide = io::encodeJpeg(gfx::Bitmap(65501, 1), 25, false);
    ASSERT_FALSE(wide.ok());
    EXPECT_NE(wide.error().find("65500"), std::string::npos) << wide.error();
    EXPECT_TRUE(io::encodeJpeg(gfx::Bitmap(65500, 1), 25, false).ok());
}

TEST(JpegCodec, RefusesMalformedFilesWithAMessage)
{
    const std::vector<std::uint8_t> good = encodeOk(test::photoLike(24, 16), 50, false);
    const std::size_t sof = findMarker(good, 0xC0);
    ASSERT_NE(sof, 0u);
    auto patched = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes.at(at) = value;
        return bytes;
    };
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "The JPEG file is empty."},
        {"a PNG signature", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, "This is not a JPEG file."},
        {"only the start marker", {0xFF, 0xD8}, "The JPEG file is truncated."},
        {"no components", patched(sof + 9, 0), "damaged"},
        {"zero width", patched(sof + 8, 0), "damaged"},
        {"an undefined quantisation table", patched(sof + 12, 3), "damaged"},
        {"twelve-bit samples", patched(sof + 4, 12), "damaged"},
    };
    for (const auto& c : cases) {
        const auto result = io::decodeJpeg(c.bytes);
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_NE(result.error().find(c.message), std::string::npos) << c.name << ": " << result.error();
    }
}

TEST(JpegCodec, RefusesEveryTruncationOfAValidFile)
{
    for (const bool progressive : {false, true}) {
        std::vector<std::uint8_t> good = encodeOk(test::photoLike(40, 24), 75, false);
        if (progressive) {
            REQUIRE_PROGRAM("cjpeg", "libjpeg-turbo-progs");
            test::ScratchFolder dir;
            test::writeBytes(dir.path("in.bmp"), io::encodeBmp(test::photoLike(40, 24)));
            ASSERT_TRUE(
                test::runQuietly("cjpeg -progressive -outfile " + dir.word("p.jpg") + " " + dir.word("in.bmp")));
            good = test::readBytes(dir.path("p.jpg"));
        }
        ASSERT_TRUE(io::decodeJpeg(good).ok());
        for (std::size_t size = 0; size < good.size(); ++size) {
            const auto result = io::decodeJpeg(std::span(good).first(size));
            ASSERT_FALSE(result.ok()) << "cut at " << size << (progressive ? " (progressive)" : "");
            EXPECT_FALSE(result.error().empty());
        }
    }
}

// A header may announce any size up to 65500 x 65500; the picture is refused before a pixel is allocated
// when it is beyond Bitmap's limit, or when the file is far too short to hold it.
TEST(JpegCodec, RefusesHugeHeadersBeforeAllocating)
{
    const std::vector<std::uint8_t> good = encodeOk(test::photoLike(16, 16), 50, false);
    const std::size_t sof = findMarker(good, 0xC0);
    const struct {
        int width, height;
        const char* message;
    } cases[] = {
        {65500, 65500, "The JPEG picture is too large (65500 x 65500)."},
        {16000, 16000, "The JPEG file is too short for a picture of 16000 x 16000 pixels."},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        bytes[sof + 5] = static_cast<std::uint8_t>(c.height >> 8), bytes[sof + 6] = c.height & 0xFF;
        bytes[sof + 7] = static_cast<std::uint8_t>(c.width >> 8), bytes[sof + 8] = c.width & 0xFF;
        const auto result = io::decodeJpeg(bytes);
        ASSERT_FALSE(result.ok()) << c.width;
        EXPECT_EQ(result.error(), c.message);
    }
}

// Repeating a scan of a progressive file makes the decoder pass over the whole picture once more per
// copy, at a cost of a few bytes: a few hundred scans are tolerated, more are refused.
TEST(JpegCodec, RefusesProgressiveFilesWithTooManyScans)
{
    REQUIRE_PROGRAM("cjpeg", "libjpeg-turbo-progs");
    test::ScratchFolder dir;
    test::writeBytes(dir.path("in.bmp"), io::encodeBmp(test::photoLike(64, 64)));
    ASSERT_TRUE(test::runQuietly("cjpeg -progressive -outfile " + dir.word("p.jpg") + " " + dir.word("in.bmp")));
    const std::vector<std::uint8_t> good = test::readBytes(dir.path("p.jpg"));
    const std::size_t lastScan = findMarker(good, 0xDA, true), end = good.size() - 2;
    ASSERT_TRUE(lastScan > 0 && good[end] == 0xFF && good[end + 1] == 0xD9);
    for (const int copies : {100, 600}) {
        std::vector<std::uint8_t> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(end));
        for (int i = 0; i < copies; ++i)
            bytes.insert(bytes.end(), good.begin() + static_cast<std::ptrdiff_t>(lastScan),
                good.begin() + static_cast<std::ptrdiff_t>(end));
        bytes.insert(bytes.end(), {0xFF, 0xD9});
        const auto result = io::decodeJpeg(bytes);
        if (copies < 500) {
            EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
        } else {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error(), "The JPEG file has too many scans (more than 500).");
        }
    }
}

TEST(JpegFiles, WriteAndReadBackThroughTheFileSystem)
{
    test::ScratchFolder dir;
    const gfx::Bitmap image = test::photoLike(19, 11);
    ASSERT_TRUE(io::writeJpegFile(dir.path("a.jpg"), image, 40, false).ok());
    EXPECT_EQ(test::readBytes(dir.path("a.jpg")), encodeOk(image, 40, false));
    const auto back = io::readJpegFile(dir.path("a.jpg"));
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(back.value(), decodeOk(encodeOk(image, 40, false)));
    test::writeBytes(dir.path("b.jpg"), std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_FALSE(io::writeJpegFile(dir.path("b.jpg"), gfx::Bitmap(), 40, false).ok());
    EXPECT_EQ(test::readBytes(dir.path("b.jpg")), (std::vector<std::uint8_t>{1, 2, 3}))
        << "a failed write leaves the old file";
    EXPECT_FALSE(io::readJpegFile(dir.path("missing.jpg")).ok());
}

} // namespace
