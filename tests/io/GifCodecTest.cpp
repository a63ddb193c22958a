#include "io/GifCodec.h"

#include "PeerTools.h"
#include "io/BmpCodec.h"
#include "support/TestImages.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>

using namespace daubix;

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kImageMagick = "/usr/bin/convert"; // by full path: other programs share the name

#define REQUIRE_PROGRAM(program, package)                                                                              \
    if (!test::haveProgram(program))                                                                                   \
    GTEST_SKIP() << program << " is missing (Debian package " package ")"

gfx::Bitmap decodeOk(const Bytes& bytes)
{
    auto result = io::decodeGif(bytes);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : gfx::Bitmap();
}

Bytes encodeOk(const gfx::Bitmap& image, io::GifWriteOptions options = {})
{
    auto result = io::encodeGif(image, app::GifSettings{}, options);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : Bytes();
}

// How giftopnm sees the file, as a 24-bit bitmap; empty when it refuses the file.
gfx::Bitmap giftopnm(const Bytes& gif)
{
    test::ScratchFolder dir;
    test::writeBytes(dir.path("in.gif"), gif);
    if (!test::runQuietly("giftopnm " + dir.word("in.gif") + " > " + dir.word("out.ppm")))
        return {};
    return test::readPnm(dir.path("out.ppm"));
}

// The cube level nearest to a channel value, found by trying all six.
int nearestLevel(int value)
{
    int best = 0;
    for (int level = 0; level <= 255; level += 51) {
        if (std::abs(value - level) < std::abs(value - best))
            best = level;
    }
    return best;
}

gfx::Color nearestCubeColour(gfx::Color c)
{
    return gfx::rgb(nearestLevel(gfx::red(c)), nearestLevel(gfx::green(c)), nearestLevel(gfx::blue(c)));
}

std::uint16_t le16(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

// The graphic control extensions of a file written by us (one frame, global map): their flag bytes and
// transparent indices, and whether they all come before the image descriptor.
struct ControlBlocks {
    std::vector<std::pair<int, int>> blocks; // (flags, transparent index)
    bool beforeTheFrame = true;
};

ControlBlocks controlBlocks(const Bytes& gif)
{
    ControlBlocks found;
    const int mapEntries = gif.at(10) & 0x80 ? 2 << (gif.at(10) & 7) : 0;
    std::size_t at = 13 + 3 * static_cast<std::size_t>(mapEntries);
    bool frameSeen = false;
    while (at < gif.size() && gif[at] != 0x3B) {
        if (gif[at] == 0x2C) {
            frameSeen = true;
            const bool localMap = gif.at(at + 9) & 0x80;
            at += 10 + (localMap ? 3 * (2 << (gif[at + 9] & 7)) : 0) + 1; // descriptor, map, LZW code size
        } else {
            if (gif.at(at + 1) == 0xF9) {
                found.blocks.emplace_back(gif.at(at + 3), gif.at(at + 6));
                found.beforeTheFrame = found.beforeTheFrame && !frameSeen;
            }
            at += 2;
        }
        while (gif.at(at) != 0)
            at += 1 + gif[at];
        ++at;
    }
    return found;
}

// Writes GIF files byte by byte, with LZW data that only ever uses literal 9-bit codes, so that the
// decoder is checked against files that giflib did not make.
class GifBuilder {
public:
    GifBuilder(
        int width, int height, std::vector<gfx::Color> globalMap, int background = 0, const char* version = "GIF89a")
    {
        m_bytes.assign(version, version + 6);
        put16(width), put16(height);
        m_bytes.push_back(globalMap.empty() ? 0 : static_cast<std::uint8_t>(0xF0 | mapSizeField(globalMap)));
        m_bytes.push_back(static_cast<std::uint8_t>(background));
        m_bytes.push_back(0);
        putMap(globalMap);
    }

    GifBuilder& control(int transparentIndex)
    {
        m_bytes.insert(m_bytes.end(),
            {0x21, 0xF9, 4, static_cast<std::uint8_t>(transparentIndex >= 0), 0, 0,
                static_cast<std::uint8_t>(std::max(transparentIndex, 0)), 0});
        return *this;
    }

    GifBuilder& comment(const std::string& text)
    {
        m_bytes.insert(m_bytes.end(), {0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        m_bytes.push_back(0);
        return *this;
    }

    // Pixels in display order, row by row; interlaced frames are sent in the format's four passes.
    GifBuilder& frame(int left, int top, int width, int height, const Bytes& pixels,
        std::vector<gfx::Color> localMap = {}, bool interlaced = false)
    {
        m_bytes.push_back(0x2C);
        put16(left), put16(top), put16(width), put16(height);
        m_bytes.push_back(static_cast<std::uint8_t>(
            (localMap.empty() ? 0 : 0x80 | mapSizeField(localMap)) | (interlaced ? 0x40 : 0)));
        putMap(localMap);
        if (!interlaced) {
            putLzw(pixels);
            return *this;
        }
        Bytes sent;
        for (const auto& [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}}) {
            for (int y = start; y < height; y += step)
                sent.insert(sent.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
        }
        putLzw(sent);
        return *this;
    }

    Bytes finish()
    {
        m_bytes.push_back(0x3B);
        return m_bytes;
    }

private:
    static int mapSizeField(const std::vector<gfx::Color>& map)
    {
        int field = 0;
        while ((2u << field) < map.size())
            ++field;
        return field;
    }

    void put16(int value)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }

    void putMap(std::vector<gfx::Color> map)
    {
        if (map.empty())
            return;
        map.resize(std::size_t{2} << mapSizeField(map), gfx::clBlack);
        for (const gfx::Color c : map)
            m_bytes.insert(m_bytes.end(),
                {static_cast<std::uint8_t>(gfx::red(c)), static_cast<std::uint8_t>(gfx::green(c)),
                    static_cast<std::uint8_t>(gfx::blue(c))});
    }

    // Code size 8: 256 is the clear code, 257 the end. A clear code every 250 pixels keeps the decoder's
    // table from growing into 10-bit codes.
    void putLzw(const Bytes& pixels)
    {
        Bytes data;
        std::uint32_t bits = 0;
        int bitCount = 0;
        auto code = [&](int value) {
            bits |= static_cast<std::uint32_t>(value) << bitCount;
            for (bitCount += 9; bitCount >= 8; bitCount -= 8, bits >>= 8)
                data.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        };
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            if (i % 250 == 0)
                code(256);
            code(pixels[i]);
        }
        code(257);
        if (bitCount > 0)
            data.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        m_bytes.push_back(8);
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, data.size() - at);
            m_bytes.push_back(static_cast<std::uint8_t>(length));
            m_bytes.insert(m_bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                data.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        m_bytes.push_back(0);
    }

    Bytes m_bytes;
};

Bytes indexPattern(int width, int height, int colours)
{
    Bytes pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i * 7 + i / width) % colours);
    return pixels;
}

const std::vector<gfx::Color> kFourColours
    = {gfx::rgb(250, 10, 20), gfx::rgb(30, 240, 40), gfx::rgb(50, 60, 230), gfx::rgb(200, 200, 90)};

// Every value of every channel, with the other channels running the other way, and a grey ramp.
gfx::Bitmap ramps()
{
    gfx::Bitmap image(256, 4);
    for (int v = 0; v < 256; ++v) {
        image.setPixel(v, 0, gfx::rgb(v, 255 - v, v * 7 % 256));
        image.setPixel(v, 1, gfx::rgb(v * 3 % 256, v, 255 - v));
        image.setPixel(v, 2, gfx::rgb(255 - v, v * 5 % 256, v));
        image.setPixel(v, 3, gfx::rgb(v, v, v));
    }
    return image;
}

TEST(GifWriter, MapsEveryChannelValueToTheNearestCubeLevel)
{
    const gfx::Bitmap image = ramps();
    for (const bool optimise : {false, true}) {
        const Bytes bytes = encodeOk(image, {.optimiseMap = optimise});
        const gfx::Bitmap back = decodeOk(bytes);
        ASSERT_EQ(back.format(), gfx::PixelFormat::Bits8);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(back.pixel(x, y), nearestCubeColour(image.pixel(x, y))) << x << ", " << y;
        if (!optimise) {
            // The whole cube, red slowest, then black up to 256 entries.
            ASSERT_EQ(back.palette().size(), 256u);
            for (int i = 0; i < 256; ++i) {
                const gfx::Color expected = i < 216 ? gfx::rgb(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51) : gfx::clBlack;
                EXPECT_EQ(back.palette()[i], expected) << i;
            }
        }
    }
}

TEST(GifWriter, KeepsOnlyTheUsedColoursInCubeOrder)
{
    const gfx::Bitmap image = ramps();
    std::set<gfx::Color> used;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            used.insert(nearestCubeColour(image.pixel(x, y)));
    const gfx::Bitmap back = decodeOk(encodeOk(image, {.optimiseMap = true}));
    const std::vector<gfx::Color>& palette = back.palette();
    ASSERT_EQ(palette.size(), std::bit_ceil(used.size()));
    auto cubeIndex = [](gfx::Color c) { return gfx::red(c) / 51 * 36 + gfx::green(c) / 51 * 6 + gfx::blue(c) / 51; };
    for (std::size_t i = 0; i < used.size(); ++i) {
        EXPECT_TRUE(used.count(palette[i])) << i;
        if (i > 0) {
            EXPECT_LT(cubeIndex(palette[i - 1]), cubeIndex(palette[i])) << i;
        }
    }
    for (std::size_t i = used.size(); i < palette.size(); ++i)
        EXPECT_EQ(palette[i], gfx::clBlack) << "padding entry " << i;
}

// giftopnm reads what we write as we do; odd sizes catch row-length mistakes.
TEST(GifWriter, WritesFilesThatGiftopnmReadsAsTheCubeColours)
{
    REQUIRE_PROGRAM("giftopnm", "netpbm");
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{11, 13}, std::pair{256, 4}}) {
        const gfx::Bitmap image = w == 256 ? ramps() : test::photoLike(w, h);
        for (const bool optimise : {false, true}) {
            const gfx::Bitmap peer = giftopnm(encodeOk(image, {.optimiseMap = optimise}));
            ASSERT_EQ(peer.width(), w);
            ASSERT_EQ(peer.height(), h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(peer.pixel(x, y), nearestCubeColour(image.pixel(x, y)))
                        << w << " x " << h << " at " << x << ", " << y;
        }
    }
}

TEST(GifWriter, ReducesEveryPixelFormatAsItsTwentyFourBitPicture)
{
    for (const gfx::PixelFormat format :
        {gfx::PixelFormat::Bits1, gfx::PixelFormat::Bits4, gfx::PixelFormat::Bits8, gfx::PixelFormat::Bits32}) {
        const gfx::Bitmap image = test::noise(11, 13, 5).converted(format);
        EXPECT_EQ(encodeOk(image), encodeOk(image.converted(gfx::PixelFormat::Bits24))) << gfx::bitsPerPixel(format);
    }
}

// One colour still needs a map of two entries (the smallest the format has) and LZW codes of 2 bits.
TEST(GifWriter, WritesAOneColourPictureWithATwoEntryMap)
{
    gfx::Bitmap image(5, 3);
    image.fill(gfx::rgb(200, 100, 20));
    const Bytes bytes = encodeOk(image);
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    EXPECT_EQ(le16(bytes, 6), 5);
    EXPECT_EQ(le16(bytes, 8), 3);
    EXPECT_EQ(bytes[10] & 0x87, 0x80) << "a global map of two entries";
    EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.begin() + 19), (Bytes{204, 102, 0, 0, 0, 0}));
    ASSERT_EQ(bytes[19], 0x2C);
    EXPECT_EQ(le16(bytes, 20), 0);
    EXPECT_EQ(le16(bytes, 22), 0);
    EXPECT_EQ(le16(bytes, 24), 5);
    EXPECT_EQ(le16(bytes, 26), 3);
    EXPECT_EQ(bytes[28], 0) << "no local map, not interlaced";
    EXPECT_EQ(bytes[29], 2) << "LZW code size";
    EXPECT_EQ(bytes.back(), 0x3B);
    const gfx::Bitmap back = decodeOk(bytes);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.rawPixel(x, y), 0u);
}

// Black, red and white use cube entries 0, 180 and 215; with the map optimised they become 0, 1 and 2,
// and the transparent index must be the bottom-left pixel's index in the map as written.
TEST(GifWriter, WritesAControlExtensionOnlyWhenAsked)
{
    gfx::Bitmap image(4, 3);
    image.fill(gfx::clBlack);
    image.setPixel(1, 0, gfx::rgb(255, 0, 0));
    image.setPixel(0, 2, gfx::clWhite);
    image.setPixel(3, 0, gfx::clWhite);
    const struct {
        bool optimise;
        io::GifControl control;
        const char* version;
        std::optional<std::pair<int, int>> block; // flags, transparent index
    } cases[] = {
        {true, io::GifControl::None, "GIF87a", std::nullopt},
        {false, io::GifControl::None, "GIF87a", std::nullopt},
        {true, io::GifControl::Opaque, "GIF89a", std::pair{0, 0}},
        {true, io::GifControl::BottomLeftTransparent, "GIF89a", std::pair{1, 2}},
        {false, io::GifControl::BottomLeftTransparent, "GIF89a", std::pair{1, 215}},
    };
    for (const auto& c : cases) {
        const Bytes bytes = encodeOk(image, {.optimiseMap = c.optimise, .control = c.control});
        const std::string label = std::string(c.version) + (c.optimise ? " optimised" : " whole cube");
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), c.version) << label;
        const ControlBlocks found = controlBlocks(bytes);
        ASSERT_EQ(found.blocks.size(), c.block ? 1u : 0u) << label;
        if (!c.block)
            continue;
        EXPECT_TRUE(found.beforeTheFrame) << label;
        EXPECT_EQ(found.blocks[0].first & 1, c.block->first) << label;
        if (c.block->first) {
            EXPECT_EQ(found.blocks[0].second, c.block->second) << label;
        }
        const gfx::Bitmap back = decodeOk(bytes);
        EXPECT_EQ(back.pixel(0, 2), gfx::clWhite) << label;
        if (c.block->first) {
            EXPECT_EQ(back.rawPixel(0, 2), static_cast<std::uint32_t>(c.block->second)) << label;
        }
    }
}

TEST(GifWriter, RefusesWhatItCannotWrite)
{
    const gfx::Bitmap small = test::noise(3, 3, 1);
    const struct {
        const char* name;
        gfx::Bitmap image;
        app::GifSettings settings;
        const char* message;
    } cases[] = {
        {"empty", gfx::Bitmap(), {}, "The image is empty."},
        {"too wide", gfx::Bitmap(65536, 1), {}, "65535"},
        {"too high", gfx::Bitmap(1, 65536), {}, "65535"},
        {"another palette", small, {.method = 7}, "not available"},
        {"no reduction", small, {.method = 0}, "not available"},
        {"dithering", small, {.method = 6, .bits = 8, .dither = 1}, "not available"},
    };
    for (const auto& c : cases) {
        const auto result = io::encodeGif(c.image, c.settings, {});
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_NE(result.error().find(c.message), std::string::npos) << c.name << ": " << result.error();
    }
    EXPECT_TRUE(io::encodeGif(gfx::Bitmap(65535, 1), {}, {}).ok());
}

// Files from other writers: ImageMagick's own LZW coder, dithered 256-colour maps, interlacing, and ours
// byte by byte with a local map.
TEST(GifReader, DecodesAsGiftopnmDoes)
{
    REQUIRE_PROGRAM("giftopnm", "netpbm");
    std::vector<std::pair<std::string, Bytes>> files;
    files.emplace_back("local map",
        GifBuilder(9, 7, {gfx::clBlack, gfx::clWhite}).frame(0, 0, 9, 7, indexPattern(9, 7, 4), kFourColours).finish());
    files.emplace_back("interlaced",
        GifBuilder(5, 19, kFourColours)
            .comment("rows 0, 8, 16, then 4, 12, then 2, 6, 10, 14, 18, then the odd")
            .frame(0, 0, 5, 19, indexPattern(5, 19, 4), {}, true)
            .finish());
    if (test::haveProgram(kImageMagick)) {
        test::ScratchFolder dir;
        test::writeBytes(dir.path("in.bmp"), io::encodeBmp(test::photoLike(67, 45)));
        for (const std::string options : {"", "-interlace GIF", "-colors 5"}) {
            ASSERT_TRUE(
                test::runQuietly(kImageMagick + " " + dir.word("in.bmp") + " " + options + " " + dir.word("o.gif")));
            files.emplace_back("ImageMagick " + options, test::readBytes(dir.path("o.gif")));
        }
    }
    for (const auto& [name, bytes] : files) {
        const gfx::Bitmap expected = giftopnm(bytes);
        ASSERT_FALSE(expected.isEmpty()) << name;
        const gfx::Bitmap ours = decodeOk(bytes);
        EXPECT_EQ(ours.format(), gfx::PixelFormat::Bits8) << name;
        EXPECT_EQ(ours.converted(gfx::PixelFormat::Bits24), expected) << name;
    }
}

// The second frame differs, and in some files it is damaged: the reader never looks at it.
TEST(GifReader, HandsOverTheFirstFrameOnly)
{
    const Bytes first = indexPattern(6, 4, 4), second(24, 3);
    const Bytes twoFrames = GifBuilder(6, 4, kFourColours)
                                .control(-1)
                                .frame(0, 0, 6, 4, first)
                                .control(1)
                                .frame(0, 0, 6, 4, second)
                                .finish();
    Bytes damagedSecond = twoFrames;
    damagedSecond.resize(damagedSecond.size() - 12);
    Bytes garbageAfter = GifBuilder(6, 4, kFourColours).frame(0, 0, 6, 4, first).finish();
    garbageAfter.back() = 0x99; // an unknown record where the trailer belongs
    for (const Bytes& bytes : {twoFrames, damagedSecond, garbageAfter}) {
        const gfx::Bitmap image = decodeOk(bytes);
        ASSERT_EQ(image.width(), 6);
        ASSERT_EQ(image.height(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(image.rawPixel(x, y), first[y * 6 + x]) << x << ", " << y;
    }
    if (test::haveProgram("giftopnm")) {
        EXPECT_EQ(decodeOk(twoFrames).converted(gfx::PixelFormat::Bits24), giftopnm(twoFrames));
    }
}

// The picture is the 8 x 6 screen; the frame sits at its offset and is clipped, and what it leaves
// uncovered takes the transparent index of its control extension, else the screen's background index.
TEST(GifReader, PlacesTheFrameOnTheScreen)
{
    const struct {
        const char* name;
        int left, top, width, height;
        int transparent; // -1: no control extension
    } cases[] = {
        {"inside", 2, 1, 3, 2, -1},
        {"inside, transparent", 2, 1, 3, 2, 5},
        {"over the bottom-right corner", 6, 4, 4, 4, -1},
        {"over the corner, transparent", 6, 4, 4, 4, 6},
        {"right of the screen", 20, 0, 3, 3, -1},
        {"below the screen, transparent", 0, 300, 8, 6, 7},
        {"larger than the screen", 0, 0, 12, 9, -1},
        {"covering it exactly", 0, 0, 8, 6, 2},
    };
    constexpr int kBackground = 3;
    for (const auto& c : cases) {
        const Bytes pixels = indexPattern(c.width, c.height, 5);
        GifBuilder builder(8, 6, kFourColours, kBackground);
        if (c.transparent >= 0)
            builder.control(c.transparent);
        const gfx::Bitmap image = decodeOk(builder.frame(c.left, c.top, c.width, c.height, pixels).finish());
        ASSERT_EQ(image.width(), 8) << c.name;
        ASSERT_EQ(image.height(), 6) << c.name;
        int largest = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const int fx = x - c.left, fy = y - c.top;
                const bool inFrame = fx >= 0 && fx < c.width && fy >= 0 && fy < c.height;
                const int expected = inFrame ? pixels[fy * c.width + fx]
                    : c.transparent >= 0     ? c.transparent
                                             : kBackground;
                EXPECT_EQ(image.rawPixel(x, y), static_cast<std::uint32_t>(expected))
                    << c.name << " at " << x << ", " << y;
                largest = std::max(largest, expected);
            }
        // Indices beyond the map of four are black; the map grows to the next power of two.
        const std::size_t entries = largest < 4 ? 4 : 8;
        ASSERT_EQ(image.palette().size(), entries) << c.name;
        for (std::size_t i = 0; i < entries; ++i)
            EXPECT_EQ(image.palette()[i], i < 4 ? kFourColours[i] : gfx::clBlack) << c.name << " entry " << i;
    }
}

// A screen of no size cannot hold the picture: the frame alone is the picture, its offset ignored.
TEST(GifReader, TakesTheFrameWhenTheScreenHasNoSize)
{
    const Bytes pixels = indexPattern(5, 3, 4);
    const gfx::Bitmap image = decodeOk(GifBuilder(0, 0, kFourColours).frame(7, 9, 5, 3, pixels).finish());
    ASSERT_EQ(image.width(), 5);
    ASSERT_EQ(image.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.rawPixel(x, y), pixels[y * 5 + x]) << x << ", " << y;
}

TEST(GifReader, ShowsIndicesAsGreysWhenTheFileHasNoMap)
{
    const Bytes pixels = {0, 1, 127, 128, 200, 255};
    const gfx::Bitmap image = decodeOk(GifBuilder(3, 2, {}).frame(0, 0, 3, 2, pixels).finish());
    ASSERT_EQ(image.width(), 3);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.pixel(i % 3, i / 3), gfx::rgb(pixels[i], pixels[i], pixels[i])) << i;
}

// Only the smallest map is as long as two entries; a frame with a local map of two must not borrow the
// global map's colours.
TEST(GifReader, PrefersTheLocalMapAndPadsItWithBlack)
{
    const Bytes pixels = {0, 1, 3, 1};
    const gfx::Bitmap image = decodeOk(
        GifBuilder(2, 2, kFourColours).frame(0, 0, 2, 2, pixels, {gfx::rgb(1, 2, 3), gfx::rgb(4, 5, 6)}).finish());
    ASSERT_EQ(image.palette().size(), 4u);
    EXPECT_EQ(image.pixel(0, 0), gfx::rgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 0), gfx::rgb(4, 5, 6));
    EXPECT_EQ(image.pixel(0, 1), gfx::clBlack);
    EXPECT_EQ(image.rawPixel(0, 1), 3u);
}

TEST(GifReader, RefusesMalformedFilesWithAMessage)
{
    const Bytes good = GifBuilder(4, 4, kFourColours).frame(0, 0, 4, 4, indexPattern(4, 4, 4)).finish();
    Bytes unknownRecord = good;
    unknownRecord[13 + 12] = 0x55; // where the image descriptor belongs
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "The GIF file is truncated."},
        {"a PNG signature", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, "This is not a GIF file."},
        {"no frame", GifBuilder(4, 4, kFourColours).comment("nothing").finish(), "The GIF file holds no picture."},
        {"an unknown record", unknownRecord, "The GIF file is damaged"},
        {"a huge frame on a screen of no size", GifBuilder(0, 0, kFourColours).frame(0, 0, 65535, 65535, {}).finish(),
            "The GIF picture is too large (65535 x 65535)."},
    };
    for (const auto& c : cases) {
        const auto result = io::decodeGif(c.bytes);
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_NE(result.error().find(c.message), std::string::npos) << c.name << ": " << result.error();
    }
    // Only the trailer may be missing: the first frame is complete without it.
    for (std::size_t size = 0; size + 1 < good.size(); ++size) {
        const auto result = io::decodeGif(std::span(good).first(size));
        ASSERT_FALSE(result.ok()) << "cut at " << size;
        EXPECT_FALSE(result.error().empty());
    }
}

TEST(GifFiles, WriteAndReadBackThroughTheFileSystem)
{
    test::ScratchFolder dir;
    gfx::Bitmap image = test::photoLike(13, 7);
    ASSERT_TRUE(io::writeGifFile(dir.path("a.gif"), image, {}, {}).ok());
    const auto back = io::readGifFile(dir.path("a.gif"));
    ASSERT_TRUE(back.ok()) << back.error();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(back->pixel(x, y), nearestCubeColour(image.pixel(x, y)));
    test::writeBytes(dir.path("b.gif"), Bytes{1, 2, 3});
    const auto status = io::writeGifFile(dir.path("b.gif"), gfx::Bitmap(), {}, {});
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(test::readBytes(dir.path("b.gif")), (Bytes{1, 2, 3})) << "a failed write leaves the old file";
    EXPECT_FALSE(io::readGifFile(dir.path("missing.gif")).ok());
}

} // namespace
