#include "io/TiffWriter.h"

#include "io/PeerTools.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;
using gfx::PixelFormat;

namespace {

std::uint32_t le16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b.at(at) | (b.at(at + 1) << 8);
}
std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return le16(b, at) | (le16(b, at + 2) << 16);
}

std::vector<std::uint8_t> encodeOk(const gfx::Bitmap& image)
{
    auto result = io::encodeTiff(image);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : std::vector<std::uint8_t>{};
}

struct DirectoryEntry {
    std::uint32_t tag, type, count, value;
    bool operator==(const DirectoryEntry&) const = default;
};
std::ostream& operator<<(std::ostream& os, const DirectoryEntry& e)
{
    return os << "{" << e.tag << ", " << e.type << ", " << e.count << ", " << e.value << "}";
}

std::vector<DirectoryEntry> directory(const std::vector<std::uint8_t>& file)
{
    const std::uint32_t at = le32(file, 4);
    std::vector<DirectoryEntry> entries;
    for (std::uint32_t i = 0; i < le16(file, at); ++i) {
        const std::size_t e = at + 2 + 12 * i;
        const std::uint32_t type = le16(file, e + 2);
        entries.push_back({le16(file, e), type, le32(file, e + 4), type == 3 ? le16(file, e + 8) : le32(file, e + 8)});
    }
    EXPECT_EQ(le32(file, at + 2 + 12 * entries.size()), 0u); // no next directory
    return entries;
}

gfx::Bitmap randomIndexed(int width, int height, PixelFormat format, unsigned seed)
{
    const gfx::Bitmap source = test::noise(width, height, seed);
    gfx::Bitmap image(width, height, format);
    const std::uint32_t levels = 1u << gfx::bitsPerPixel(format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setRawPixel(x, y, source.rawPixel(x, y) % levels);
    return image;
}

} // namespace

TEST(TiffWriter, WritesThreeByTwoTrueColorAsTheTwoHundredFortyFourByteLayout)
{
    const gfx::Bitmap image = test::noise(3, 2, 5);
    const std::vector<std::uint8_t> file = encodeOk(image);
    ASSERT_EQ(file.size(), 244u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 4), (std::vector<std::uint8_t>{'I', 'I', 42, 0}));
    EXPECT_EQ(le32(file, 4), 58u);
    EXPECT_EQ((std::vector{le32(file, 8), le32(file, 12), le32(file, 16), le32(file, 20)}),
        (std::vector<std::uint32_t>{877, 10, 877, 10}));
    EXPECT_EQ((std::vector{le16(file, 24), le16(file, 26), le16(file, 28)}), (std::vector<std::uint32_t>{8, 8, 8}));
    EXPECT_EQ(file[39], 0); // the software text's terminating zero, its tenth byte
    EXPECT_NE(std::string(file.begin() + 30, file.begin() + 39).find("Daubix"), std::string::npos);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const gfx::Color c = image.pixel(x, y);
            const std::size_t at = 40 + (y * 3 + x) * 3;
            EXPECT_EQ(gfx::rgb(file[at], file[at + 1], file[at + 2]), c) << x << "," << y;
        }
    const std::vector<DirectoryEntry> expected{{254, 4, 1, 0}, {256, 3, 1, 3}, {257, 3, 1, 2}, {258, 3, 3, 24},
        {259, 3, 1, 1}, {262, 3, 1, 2}, {273, 4, 1, 40}, {277, 3, 1, 3}, {278, 4, 1, 2}, {279, 4, 1, 18},
        {282, 5, 1, 8}, {283, 5, 1, 16}, {284, 3, 1, 1}, {296, 3, 1, 2}, {305, 2, 10, 30}};
    EXPECT_EQ(directory(file), expected);
}

TEST(TiffWriter, WritesEightBitsWithAFullColorMapAndUnpaddedRows)
{
    gfx::Bitmap image = randomIndexed(10, 3, PixelFormat::Bits8, 9);
    std::vector<gfx::Color> palette{gfx::rgb(255, 0, 1), gfx::rgb(2, 255, 3), gfx::rgb(4, 5, 255)};
    image.setPalette(palette); // a short palette: the colour map pads it black
    const std::vector<std::uint8_t> file = encodeOk(image);
    constexpr std::uint32_t strip = 8 + 1536 + 8 + 8 + 10;
    ASSERT_EQ(file.size(), strip + 3 * 10 + 2 + 15 * 12 + 4);
    EXPECT_EQ(le32(file, 4), strip + 30);
    for (std::uint32_t i = 0; i < 256; ++i) {
        const gfx::Color c = i < palette.size() ? palette[i] : gfx::clBlack;
        EXPECT_EQ(le16(file, 8 + 2 * i), gfx::red(c) * 257u) << i;
        EXPECT_EQ(le16(file, 8 + 512 + 2 * i), gfx::green(c) * 257u) << i;
        EXPECT_EQ(le16(file, 8 + 1024 + 2 * i), gfx::blue(c) * 257u) << i;
    }
    EXPECT_EQ(le16(file, 8), 65535u); // 255 reads back as 255
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(file[strip + y * 10 + x], image.rawPixel(x, y));
    const std::vector<DirectoryEntry> expected{{254, 4, 1, 0}, {256, 3, 1, 10}, {257, 3, 1, 3}, {258, 3, 1, 8},
        {259, 3, 1, 1}, {262, 3, 1, 3}, {273, 4, 1, strip}, {277, 3, 1, 1}, {278, 4, 1, 3}, {279, 4, 1, 30},
        {282, 5, 1, 1544}, {283, 5, 1, 1552}, {296, 3, 1, 2}, {305, 2, 10, 1560}, {320, 3, 768, 8}};
    EXPECT_EQ(directory(file), expected);
}

TEST(TiffWriter, KeepsEveryColumnOfOddWidthFourBitRows)
{
    const gfx::Bitmap image = randomIndexed(13, 2, PixelFormat::Bits4, 3);
    const std::vector<std::uint8_t> file = encodeOk(image);
    constexpr std::uint32_t strip = 8 + 96 + 26;
    const std::vector<DirectoryEntry> entries = directory(file);
    EXPECT_EQ(entries[1], (DirectoryEntry{256, 3, 1, 13}));
    EXPECT_EQ(entries[6], (DirectoryEntry{273, 4, 1, strip}));
    EXPECT_EQ(entries[9], (DirectoryEntry{279, 4, 1, 14})); // two rows of ceil(13 / 2) bytes
    EXPECT_EQ(entries[14], (DirectoryEntry{320, 3, 48, 8}));
    for (int y = 0; y < 2; ++y)
        EXPECT_EQ(file[strip + y * 7 + 6] >> 4, static_cast<int>(image.rawPixel(12, y)));
}

TEST(TiffWriter, WritesWidthsBeyondSixtyFiveThousandAsLong)
{
    const std::vector<DirectoryEntry> entries = directory(encodeOk(test::noise(70000, 1, 2)));
    EXPECT_EQ(entries[1], (DirectoryEntry{256, 4, 1, 70000}));
    EXPECT_EQ(entries[2], (DirectoryEntry{257, 3, 1, 1}));
}

TEST(TiffWriter, WritesThirtyTwoBitsAsTheSameTwentyFourBitFile)
{
    const gfx::Bitmap image = test::noise(11, 13, 4);
    EXPECT_EQ(encodeOk(image.converted(PixelFormat::Bits32)), encodeOk(image));
}

TEST(TiffWriter, RefusesAnEmptyImage)
{
    const auto result = io::encodeTiff(gfx::Bitmap(0, 5));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), "The image is empty.");
}

struct PeerCase {
    const char* name;
    gfx::Bitmap image;
};

// tifftopnm (libtiff) as an independent reader: every pixel must come back as the bitmap's colour.
TEST(TiffWriter, ReadsBackThroughTifftopnm)
{
    if (!test::haveProgram("/usr/bin/tifftopnm"))
        GTEST_SKIP() << "tifftopnm (Debian package netpbm) is not installed";
    gfx::Bitmap eight = randomIndexed(10, 7, PixelFormat::Bits8, 1);
    std::vector<gfx::Color> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.push_back(gfx::rgb(i, 255 - i, (i * 7) & 0xFF));
    eight.setPalette(ramp);
    gfx::Bitmap oneBit = randomIndexed(13, 5, PixelFormat::Bits1, 6);
    oneBit.setPalette({gfx::rgb(10, 20, 30), gfx::rgb(250, 240, 230)});
    const std::vector<PeerCase> cases{
        {"24 bits 3 x 2", test::noise(3, 2, 5)},
        {"24 bits 7 x 5", test::noise(7, 5, 8)},
        {"32 bits 11 x 13", test::noise(11, 13, 4).converted(PixelFormat::Bits32)},
        {"8 bits width 10", eight},
        {"4 bits width 13", randomIndexed(13, 5, PixelFormat::Bits4, 2)},
        {"1 bit width 13", oneBit},
        {"24 bits width 70000", test::noise(70000, 1, 2)},
    };
    const test::ScratchFolder folder;
    for (const PeerCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeBytes(folder.path("p.tif"), encodeOk(c.image));
        ASSERT_TRUE(test::runQuietly("/usr/bin/tifftopnm " + folder.word("p.tif") + " >" + folder.word("p.pnm")));
        EXPECT_EQ(test::readPnm(folder.path("p.pnm")), c.image.converted(PixelFormat::Bits24));
    }
}
