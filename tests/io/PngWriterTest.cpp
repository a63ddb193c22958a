#include "io/PeerTools.h"
#include "io/PngCodec.h"
#include "io/PngTestFiles.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;
using gfx::PixelFormat;

namespace {

std::vector<std::uint8_t> encodeOk(const gfx::Bitmap& image, std::optional<gfx::Color> key)
{
    auto result = io::encodePng(image, key);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> be32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
        static_cast<std::uint8_t>(v)};
}

// A picture where the key colour of the bottom-left pixel comes back elsewhere, beside colours that
// differ from it in one channel by one.
gfx::Bitmap keyedPicture(gfx::Color key)
{
    gfx::Bitmap image = test::noise(7, 5, 11);
    image.setPixel(0, 4, key);
    image.setPixel(3, 0, key);
    image.setPixel(6, 2, key);
    image.setPixel(1, 1, key ^ 0x000001);
    image.setPixel(2, 1, key ^ 0x000100);
    image.setPixel(4, 1, key ^ 0x010000);
    return image;
}

// Alpha of a keyed file as the design states it: 0 exactly where the colour is the key's, else 255.
std::vector<std::uint8_t> keyAlpha(const gfx::Bitmap& image, gfx::Color key)
{
    std::vector<std::uint8_t> alpha;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            alpha.push_back(image.pixel(x, y) == (key & 0xFFFFFF) ? 0 : 255);
    return alpha;
}

bool isLatin1Text(const std::vector<std::uint8_t>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return (b >= 32 && b < 127) || b >= 161; });
}

} // namespace

TEST(PngWriter, WritesHeaderTwoTextsPixelsAndEndInThatOrder)
{
    struct Case {
        const char* name;
        gfx::Bitmap image;
        std::optional<gfx::Color> key;
        std::uint8_t colorType;
    };
    const Case cases[] = {
        {"no key", test::noise(11, 13, 1), std::nullopt, 2},
        {"the mark for no key", test::noise(11, 13, 1), gfx::clNone, 2},
        {"a key", test::noise(300, 2, 1), gfx::rgb(1, 2, 3), 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<test::PngChunk> chunks = test::pngChunks(encodeOk(c.image, c.key));
        ASSERT_GE(chunks.size(), 5u);
        std::vector<std::string> types;
        for (const test::PngChunk& chunk : chunks) {
            EXPECT_TRUE(chunk.crcOk) << chunk.type;
            if (types.empty() || types.back() != chunk.type)
                types.push_back(chunk.type);
        }
        EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "tEXt", "IDAT", "IEND"}));
        std::vector<std::uint8_t> ihdr = be32(static_cast<std::uint32_t>(c.image.width()));
        const std::vector<std::uint8_t> height = be32(static_cast<std::uint32_t>(c.image.height()));
        ihdr.insert(ihdr.end(), height.begin(), height.end());
        ihdr.insert(ihdr.end(), {8, c.colorType, 0, 0, 0}); // deflate, adaptive filters, not interlaced
        EXPECT_EQ(chunks[0].data, ihdr);
        const char* keywords[] = {"Software", "Author"};
        for (int i = 0; i < 2; ++i) {
            const std::vector<std::uint8_t>& text = chunks[1 + i].data;
            ASSERT_EQ(chunks[1 + i].type, "tEXt");
            const auto zero = std::find(text.begin(), text.end(), 0);
            EXPECT_EQ(std::string(text.begin(), zero), keywords[i]);
            ASSERT_NE(zero, text.end());
            const std::vector<std::uint8_t> value(zero + 1, text.end());
            EXPECT_FALSE(value.empty());
            EXPECT_TRUE(isLatin1Text(value)) << std::string(value.begin(), value.end());
        }
        EXPECT_TRUE(chunks.back().data.empty());
    }
}

TEST(PngWriter, RoundTripsEveryPixelFormatAtTwentyFourBits)
{
    for (PixelFormat format :
        {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits24, PixelFormat::Bits32}) {
        for (auto [width, height] : {std::pair{1, 1}, {7, 5}, {11, 13}, {258, 3}}) {
            SCOPED_TRACE(std::to_string(gfx::bitsPerPixel(format)) + " bits, " + std::to_string(width) + " x "
                + std::to_string(height));
            const gfx::Bitmap image
                = test::noise(width, height, static_cast<unsigned>(width + height)).converted(format);
            for (std::optional<gfx::Color> key : {std::optional<gfx::Color>{}, std::optional{gfx::rgb(9, 8, 7)}}) {
                const auto decoded = io::decodePng(encodeOk(image, key));
                ASSERT_TRUE(decoded.ok()) << decoded.error();
                EXPECT_EQ(decoded.value(), image.converted(PixelFormat::Bits24));
            }
        }
    }
}

// libpng's own simplified reader checks the alpha: it shares no code with our conversions.
TEST(PngWriter, MakesExactlyTheKeyColourTransparent)
{
    struct Case {
        const char* name;
        PixelFormat format;
        gfx::Color key;
    };
    const Case cases[] = {
        {"24 bits", PixelFormat::Bits24, gfx::rgb(200, 100, 50)},
        {"32 bits", PixelFormat::Bits32, gfx::rgb(200, 100, 50)},
        {"black", PixelFormat::Bits24, gfx::clBlack},
        {"white", PixelFormat::Bits24, gfx::clWhite},
        {"bits above the colour", PixelFormat::Bits24, 0x01000000 | gfx::rgb(200, 100, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const gfx::Bitmap image = keyedPicture(c.key & 0xFFFFFF).converted(c.format);
        const std::vector<std::uint8_t> file = encodeOk(image, c.key);
        int width = 0, height = 0;
        const auto rgba = test::rgbaSamples(file, width, height);
        ASSERT_TRUE(rgba);
        ASSERT_EQ(width, 7);
        ASSERT_EQ(height, 5);
        const std::vector<std::uint8_t> expectedAlpha = keyAlpha(image, c.key);
        ASSERT_EQ(expectedAlpha[4 * 7], 0); // the bottom-left pixel is the key itself
        std::vector<std::uint8_t> alpha;
        gfx::Bitmap colour(7, 5);
        for (int i = 0; i < 7 * 5; ++i) {
            const std::uint8_t* p = &(*rgba)[i * 4];
            colour.setPixel(i % 7, i / 7, gfx::rgb(p[0], p[1], p[2]));
            alpha.push_back(p[3]);
        }
        EXPECT_EQ(alpha, expectedAlpha);
        EXPECT_EQ(colour, image.converted(PixelFormat::Bits24));

        // Read back, the transparent pixels blend to the white background.
        gfx::Bitmap shown = image.converted(PixelFormat::Bits24);
        for (int i = 0; i < 7 * 5; ++i)
            if (expectedAlpha[i] == 0)
                shown.setPixel(i % 7, i / 7, gfx::clWhite);
        const auto decoded = io::decodePng(file);
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(decoded.value(), shown);
    }
}

// ImageMagick as an independent reader of what we write, with and without a key.
TEST(PngWriter, WritesFilesImageMagickReadsBack)
{
    if (!test::haveProgram("/usr/bin/convert"))
        GTEST_SKIP() << "/usr/bin/convert (Debian package imagemagick) is not installed";
    const gfx::Color key = gfx::rgb(12, 34, 56);
    const gfx::Bitmap image = keyedPicture(key);
    const test::ScratchFolder folder;
    for (std::optional<gfx::Color> k : {std::optional<gfx::Color>{}, std::optional{key}}) {
        SCOPED_TRACE(k ? "key" : "no key");
        test::writeBytes(folder.path("w.png"), encodeOk(image, k));
        ASSERT_TRUE(
            test::runQuietly("/usr/bin/convert " + folder.word("w.png") + " -depth 8 RGBA:" + folder.word("w.rgba")));
        const std::vector<std::uint8_t> rgba = test::readBytes(folder.path("w.rgba"));
        ASSERT_EQ(rgba.size(), 7u * 5 * 4);
        const std::vector<std::uint8_t> alpha = k ? keyAlpha(image, key) : std::vector<std::uint8_t>(7 * 5, 255);
        for (int i = 0; i < 7 * 5; ++i) {
            const std::uint8_t* p = &rgba[i * 4];
            EXPECT_EQ(p[3], alpha[i]) << i;
            if (p[3] != 0) { // fully transparent colours are ImageMagick's to choose
                EXPECT_EQ(gfx::rgb(p[0], p[1], p[2]), image.pixel(i % 7, i / 7)) << i;
            }
        }
    }
}

TEST(PngWriter, RefusesAnEmptyImage)
{
    const auto result = io::encodePng(gfx::Bitmap(5, 0), std::nullopt);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), "The image is empty.");
}
