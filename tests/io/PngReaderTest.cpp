#include "io/PeerTools.h"
#include "io/PngCodec.h"
#include "io/PngTestFiles.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace daubix;
using test::PngPicture;

namespace {

int channelsOf(int colorType)
{
    return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
}

// The blend of the design, written out plainly: t is the inverted alpha.
int blend(int value, int alpha)
{
    const int t = 255 - alpha;
    return (t * 255 + (255 - t) * value) / 255;
}

struct Rgba {
    int r = 0, g = 0, b = 0, alpha = 255;
};

// What a pixel of the picture is before blending: the plain model the decoder is checked against.
Rgba expectedRgba(const PngPicture& p, int x, int y)
{
    const int channels = channelsOf(p.colorType);
    const std::uint16_t* s = &p.samples[(std::size_t(y) * p.width + x) * channels];
    auto to8 = [&](std::uint16_t v) { return p.bitDepth == 16 ? v >> 8 : v * 255 / ((1 << p.bitDepth) - 1); };
    Rgba c;
    if (p.colorType == 3) {
        const std::uint32_t entry = p.palette.at(s[0]);
        c.r = entry >> 16, c.g = (entry >> 8) & 0xFF, c.b = entry & 0xFF;
        c.alpha = s[0] < p.paletteAlpha.size() ? p.paletteAlpha[s[0]] : 255;
    } else if (channels <= 2) {
        c.r = c.g = c.b = to8(s[0]);
        c.alpha = channels == 2 ? to8(s[1]) : p.transparentValue && (*p.transparentValue)[0] == s[0] ? 0 : 255;
    } else {
        c.r = to8(s[0]), c.g = to8(s[1]), c.b = to8(s[2]);
        const bool keyed = p.transparentValue && *p.transparentValue == std::vector<std::uint16_t>{s[0], s[1], s[2]};
        c.alpha = channels == 4 ? to8(s[3]) : keyed ? 0 : 255;
    }
    return c;
}

gfx::Bitmap expectedBitmap(const PngPicture& p, bool blended = true)
{
    gfx::Bitmap out(p.width, p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Rgba c = expectedRgba(p, x, y);
            const int alpha = blended ? c.alpha : 255;
            out.setPixel(x, y, gfx::rgb(blend(c.r, alpha), blend(c.g, alpha), blend(c.b, alpha)));
        }
    return out;
}

std::vector<std::uint8_t> expectedAlpha(const PngPicture& p)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            out.push_back(static_cast<std::uint8_t>(expectedRgba(p, x, y).alpha));
    return out;
}

enum class Transparency { None, Palette, Value };

struct ReaderCase {
    const char* name;
    int colorType;
    int bitDepth;
    bool interlaced;
    Transparency transparency = Transparency::None;
    int width = 11, height = 13;
};

// Seeded samples over the depth's whole range; some pixels are forced to the transparent value.
PngPicture makePicture(const ReaderCase& c, unsigned seed)
{
    PngPicture p{c.width, c.height, c.colorType, c.bitDepth, c.interlaced, {}, {}, {}, {}};
    const int channels = channelsOf(c.colorType);
    const std::uint32_t levels = 1u << c.bitDepth;
    std::uint32_t state = seed * 2654435761u + 7;
    for (int i = 0; i < c.width * c.height * channels; ++i) {
        state = state * 1664525u + 1013904223u;
        p.samples.push_back(static_cast<std::uint16_t>((state >> 8) % levels));
    }
    if (c.colorType == 3) {
        for (std::uint32_t i = 0; i < levels; ++i)
            p.palette.push_back((i * 0x9E3779B1u) >> 8);
        const std::vector<std::uint8_t> alphas{0, 128, 255, 1, 254}; // entries past these stay opaque
        if (c.transparency == Transparency::Palette)
            p.paletteAlpha.assign(alphas.begin(), alphas.begin() + std::min<std::size_t>(alphas.size(), levels));
    }
    if (c.transparency == Transparency::Value) {
        std::vector<std::uint16_t> value(p.samples.begin(), p.samples.begin() + channels);
        for (std::size_t i = 0; i < p.samples.size(); i += 3 * channels)
            std::copy(value.begin(), value.end(), p.samples.begin() + i);
        p.transparentValue = value;
    }
    return p;
}

gfx::Bitmap decodeOk(const std::vector<std::uint8_t>& bytes)
{
    auto result = io::decodePng(bytes);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : gfx::Bitmap();
}

void expectRefused(const std::vector<std::uint8_t>& bytes)
{
    const auto result = io::decodePng(bytes);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), "Error Reading File!");
}

std::vector<std::uint8_t> deflated(const std::vector<std::uint8_t>& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

} // namespace

TEST(PngReader, BlendsTransparencyAgainstWhiteByTheInvertedAlpha)
{
    // Anchors computed by hand: t = 0 keeps the colour, t = 255 gives white, and between the formula.
    struct Anchor {
        int value, alpha, expected;
    };
    const Anchor anchors[] = {{37, 255, 37}, {37, 0, 255}, {0, 128, 127}, {100, 128, 177}, {0, 1, 254}, {0, 254, 1}};
    const int values[] = {0, 37, 100}; // one row each, every alpha along the row
    PngPicture p{256, 3, 6, 8, false, {}, {}, {}, {}};
    for (int value : values)
        for (int a = 0; a < 256; ++a)
            p.samples.insert(
                p.samples.end(), {std::uint16_t(value), std::uint16_t(255 - a), std::uint16_t(a), std::uint16_t(a)});
    const gfx::Bitmap image = decodeOk(test::writePng(p));
    ASSERT_EQ(image, expectedBitmap(p));
    for (const Anchor& anchor : anchors) {
        const int row = static_cast<int>(std::find(std::begin(values), std::end(values), anchor.value) - values);
        EXPECT_EQ(gfx::red(image.pixel(anchor.alpha, row)), anchor.expected) << anchor.value << " " << anchor.alpha;
    }
}

TEST(PngReader, ReadsEveryColorTypeDepthAndInterlacing)
{
    const ReaderCase cases[] = {
        {"grey 1", 0, 1, false},
        {"grey 2", 0, 2, false},
        {"grey 4", 0, 4, false},
        {"grey 8", 0, 8, false},
        {"grey 16", 0, 16, false},
        {"grey 8 with a transparent value", 0, 8, false, Transparency::Value},
        {"grey 2 with a transparent value", 0, 2, false, Transparency::Value},
        {"grey and alpha 8", 4, 8, false},
        {"grey and alpha 16", 4, 16, false},
        {"RGB 8", 2, 8, false},
        {"RGB 16", 2, 16, false},
        {"RGB 8 with a transparent value", 2, 8, false, Transparency::Value},
        {"RGB 16 with a transparent value", 2, 16, false, Transparency::Value},
        {"RGBA 8", 6, 8, false},
        {"RGBA 16", 6, 16, false},
        {"palette 1", 3, 1, false},
        {"palette 2", 3, 2, false},
        {"palette 4", 3, 4, false},
        {"palette 8", 3, 8, false},
        {"palette 4 with tRNS", 3, 4, false, Transparency::Palette},
        {"palette 8 with tRNS", 3, 8, false, Transparency::Palette},
        {"interlaced RGB 8", 2, 8, true},
        {"interlaced RGBA 8", 6, 8, true},
        {"interlaced RGBA 16", 6, 16, true},
        {"interlaced grey 2", 0, 2, true},
        {"interlaced palette 2 with tRNS", 3, 2, true, Transparency::Palette},
        {"interlaced grey and alpha 8, 1 x 1", 4, 8, true, Transparency::None, 1, 1},
        {"interlaced RGB 8, 3 x 2", 2, 8, true, Transparency::None, 3, 2},
        {"RGBA 8, 1 x 1", 6, 8, false, Transparency::None, 1, 1},
    };
    unsigned seed = 1;
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PngPicture picture = makePicture(c, seed++);
        const std::vector<std::uint8_t> file = test::writePng(picture);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(decodeOk(file), expectedBitmap(picture));
    }
}

// ImageMagick writes the files and decodes them too; its unblended RGBA goes through the blend formula.
TEST(PngReader, ReadsImageMagicksInterlacedFilesAsImageMagickDoes)
{
    if (!test::haveProgram("/usr/bin/convert"))
        GTEST_SKIP() << "/usr/bin/convert (Debian package imagemagick) is not installed";
    const char* makers[] = {
        "-seed 3 -size 37x29 plasma: -interlace PNG PNG24:",
        "-seed 4 -size 37x29 plasma: -alpha set -channel A -fx 'i/w' +channel -interlace PNG PNG32:",
        "-seed 5 -size 37x29 gradient:black-white -colorspace Gray -interlace PNG PNG8:",
    };
    const test::ScratchFolder folder;
    for (const char* maker : makers) {
        SCOPED_TRACE(maker);
        ASSERT_TRUE(test::runQuietly(std::string("/usr/bin/convert ") + maker + folder.word("m.png")));
        ASSERT_TRUE(
            test::runQuietly("/usr/bin/convert " + folder.word("m.png") + " -depth 8 RGBA:" + folder.word("m.rgba")));
        const std::vector<std::uint8_t> file = test::readBytes(folder.path("m.png"));
        const std::vector<std::uint8_t> rgba = test::readBytes(folder.path("m.rgba"));
        ASSERT_EQ(rgba.size(), 37u * 29 * 4);
        const std::vector<std::uint8_t> ihdr = test::pngChunks(file).at(0).data;
        ASSERT_EQ(ihdr.at(12), 1) << "ImageMagick wrote no interlaced file";
        gfx::Bitmap expected(37, 29);
        for (int i = 0; i < 37 * 29; ++i) {
            const std::uint8_t* p = &rgba[i * 4];
            expected.setPixel(i % 37, i / 37, gfx::rgb(blend(p[0], p[3]), blend(p[1], p[3]), blend(p[2], p[3])));
        }
        EXPECT_EQ(decodeOk(file), expected);
    }
}

TEST(PngReader, RefusesHugeHeadersBeforeAllocating)
{
    const std::vector<std::uint8_t> idat = test::pngChunk("IDAT", deflated(std::vector<std::uint8_t>(300, 0)));
    const std::vector<std::uint8_t> iend = test::pngChunk("IEND", {});
    // Beyond 2^28 pixels; a side beyond 2^28; and a sane size that the few bytes of data cannot hold.
    for (auto [width, height] : {std::pair{100000u, 100000u}, {(1u << 28) + 1, 1u}, {16384u, 16384u}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        expectRefused(test::pngFile({test::pngIhdr(width, height, 8, 2), idat, iend}));
    }
}

TEST(PngReader, RefusesEveryTruncation)
{
    const std::vector<std::uint8_t> file = test::writePng(makePicture({"RGB", 2, 8, false}, 1));
    for (std::size_t length = 0; length < file.size(); ++length) {
        SCOPED_TRACE(length);
        expectRefused({file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)});
    }
}

TEST(PngReader, RefusesCorruptFiles)
{
    const std::vector<std::uint8_t> rows(3 * (1 + 3 * 3), 0); // 3 x 3 RGB, filter byte 0 on each row
    const std::vector<std::uint8_t> ihdr = test::pngIhdr(3, 3, 8, 2), idat = test::pngChunk("IDAT", deflated(rows));
    const std::vector<std::uint8_t> iend = test::pngChunk("IEND", {});
    ASSERT_TRUE(io::decodePng(test::pngFile({ihdr, idat, iend})).ok());

    std::vector<std::uint8_t> badSignature = test::pngFile({ihdr, idat, iend});
    badSignature[1] = 'Q';
    std::vector<std::uint8_t> badHeaderCrc = ihdr, badDataCrc = idat;
    badHeaderCrc.back() ^= 1;
    badDataCrc[10] ^= 0x40;
    const std::vector<std::uint8_t> notZlib = test::pngChunk("IDAT", {1, 2, 3, 4, 5, 6, 7, 8});
    const std::vector<std::uint8_t> badFilter = test::pngChunk("IDAT", deflated(std::vector<std::uint8_t>(30, 9)));
    const std::vector<std::vector<std::uint8_t>> files{
        badSignature,
        test::pngFile({badHeaderCrc, idat, iend}),
        test::pngFile({ihdr, badDataCrc, iend}),
        test::pngFile({ihdr, notZlib, iend}),
        test::pngFile({ihdr, badFilter, iend}),
        test::pngFile({ihdr, iend}), // no pixels at all
        test::pngFile({test::pngIhdr(3, 3, 8, 5), idat, iend}), // no colour type 5
        test::pngFile({test::pngIhdr(3, 3, 3, 2), idat, iend}), // no depth 3
        test::pngFile({test::pngIhdr(0, 3, 8, 2), idat, iend}),
        test::pngFile({test::pngIhdr(3, 3, 8, 3), idat, iend}), // a palette image without a palette
        test::pngFile({idat, ihdr, iend}),
        {},
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        expectRefused(files[i]);
    }
}

TEST(PngReader, KeepsLibpngsWarningsToItself)
{
    // A damaged ancillary chunk only makes libpng warn; the file still reads, and nothing is printed.
    std::vector<std::uint8_t> text = test::pngChunk("tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'});
    text.back() ^= 1;
    const std::vector<std::uint8_t> rows(1 + 3, 0);
    const std::vector<std::uint8_t> file = test::pngFile(
        {test::pngIhdr(1, 1, 8, 2), text, test::pngChunk("IDAT", deflated(rows)), test::pngChunk("IEND", {})});
    testing::internal::CaptureStderr();
    const auto result = io::decodePng(file);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->pixel(0, 0), gfx::clBlack);
}

// The alpha-keeping reader shares the decode: the same colour before blending, the alpha beside it.
TEST(PngReaderWithAlpha, KeepsTheColourAndTheAlphaApart)
{
    const ReaderCase cases[] = {
        {"RGBA 8", 6, 8, false},
        {"RGBA 16", 6, 16, false},
        {"grey and alpha 8", 4, 8, false},
        {"palette 4 with tRNS", 3, 4, false, Transparency::Palette},
        {"RGB 8 with a transparent value", 2, 8, false, Transparency::Value},
        {"interlaced RGBA 8", 6, 8, true},
        {"interlaced palette 2 with tRNS", 3, 2, true, Transparency::Palette},
    };
    unsigned seed = 40;
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PngPicture picture = makePicture(c, seed++);
        const auto decoded = io::decodePngWithAlpha(test::writePng(picture));
        ASSERT_TRUE(decoded.ok()) << decoded.error();
        EXPECT_EQ(decoded->colour, expectedBitmap(picture, false));
        EXPECT_EQ(decoded->alpha, expectedAlpha(picture));
    }
}

TEST(PngReaderWithAlpha, GivesOpaqueAlphaWhenTheFileHasNone)
{
    for (const ReaderCase& c : {ReaderCase{"RGB 8", 2, 8, false}, ReaderCase{"grey 4, interlaced", 0, 4, true},
             ReaderCase{"palette 8", 3, 8, false}}) {
        SCOPED_TRACE(c.name);
        const PngPicture picture = makePicture(c, 3);
        const auto decoded = io::decodePngWithAlpha(test::writePng(picture));
        ASSERT_TRUE(decoded.ok()) << decoded.error();
        EXPECT_EQ(decoded->colour, expectedBitmap(picture));
        EXPECT_EQ(decoded->alpha, std::vector<std::uint8_t>(std::size_t(c.width) * c.height, 255));
    }
}

TEST(PngReaderWithAlpha, RefusesWhatTheBlendingReaderRefuses)
{
    const std::vector<std::uint8_t> file = test::writePng(makePicture({"RGBA", 6, 8, false}, 2));
    const std::vector<std::uint8_t> truncated(file.begin(), file.end() - 20);
    const std::vector<std::uint8_t> huge = test::pngFile({test::pngIhdr(100000, 100000, 8, 6),
        test::pngChunk("IDAT", deflated(std::vector<std::uint8_t>(300, 0))), test::pngChunk("IEND", {})});
    for (const auto& bytes : {truncated, huge}) {
        const auto result = io::decodePngWithAlpha(bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), "Error Reading File!");
    }
}
