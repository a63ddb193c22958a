#include "gadgets/ImageOps.h"

#include "gfx/Palette.h"
#include "support/TestImages.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace daubix;
using gadgets::CombineOp;

namespace {

gfx::Bitmap solid(int width, int height, gfx::Color c)
{
    gfx::Bitmap b(width, height);
    b.fill(c);
    return b;
}

// Whether the bytes after the pixels of every row are still zero.
bool paddingIsZero(const gfx::Bitmap& b)
{
    const std::size_t used = (static_cast<std::size_t>(b.width()) * b.bitsPerPixel() + 7) / 8;
    for (int y = 0; y < b.height(); ++y)
        for (std::size_t i = used; i < b.stride(); ++i)
            if (b.scanLine(y)[i] != 0)
                return false;
    return true;
}

// The combine table worked byte by byte in plain integers.
int referenceByte(CombineOp op, int w, int g)
{
    switch (op) {
    case CombineOp::Average:
        return (w + g) / 2;
    case CombineOp::Exclude:
        return w == g ? 255 : (w + g) / 2;
    case CombineOp::Intersect:
        return w == g ? w : 255;
    case CombineOp::Add:
        return (w + g) % 256;
    case CombineOp::Sub:
        return (w - g + 256) % 256;
    case CombineOp::And:
        return w & g;
    case CombineOp::Or:
        return w | g;
    case CombineOp::Xor:
        return w ^ g;
    case CombineOp::NotXor:
        return (w ^ ~g) & 0xFF;
    }
    return -1;
}

gfx::Bitmap referenceCombine(const gfx::Bitmap& image, const gfx::Bitmap& gadget, CombineOp op)
{
    gfx::Bitmap out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int i = 0; i < image.width() * 3; ++i)
            out.scanLine(y)[i]
                = static_cast<std::uint8_t>(referenceByte(op, image.scanLine(y)[i], gadget.scanLine(y)[i]));
    return out;
}

class EveryCombineItem : public ::testing::TestWithParam<gadgets::CombineItem> { };

// W = (200, 10, 77) and G = (100, 250, 77) as red, green, blue; the results worked out by hand.
TEST_P(EveryCombineItem, GivesTheTablesBytesForOnePixelPair)
{
    const std::map<CombineOp, gfx::Color> expected = {
        {CombineOp::Average, gfx::rgb(150, 130, 77)},
        {CombineOp::Exclude, gfx::rgb(150, 130, 255)},
        {CombineOp::Intersect, gfx::rgb(255, 255, 77)},
        {CombineOp::Add, gfx::rgb(44, 4, 154)},
        {CombineOp::Sub, gfx::rgb(100, 16, 0)},
        {CombineOp::And, gfx::rgb(64, 10, 77)},
        {CombineOp::Or, gfx::rgb(236, 250, 77)},
        {CombineOp::Xor, gfx::rgb(172, 240, 0)},
        {CombineOp::NotXor, gfx::rgb(83, 15, 255)},
    };
    gfx::Bitmap image = solid(1, 1, gfx::rgb(200, 10, 77));
    ASSERT_TRUE(gadgets::combine(image, solid(1, 1, gfx::rgb(100, 250, 77)), GetParam().op));
    EXPECT_EQ(image.pixel(0, 0), expected.at(GetParam().op));
}

// Random 7 x 5 pictures: odd rows of 21 bytes put three padding bytes after every row.
TEST_P(EveryCombineItem, MatchesAPlainPerByteReferenceAndLeavesThePadding)
{
    const gfx::Bitmap original = test::noise(7, 5, 11);
    const gfx::Bitmap gadget = test::noise(7, 5, 12);
    gfx::Bitmap image = original;
    ASSERT_TRUE(gadgets::combine(image, gadget, GetParam().op));
    EXPECT_EQ(image, referenceCombine(original, gadget, GetParam().op));
    EXPECT_TRUE(paddingIsZero(image));
}

TEST_P(EveryCombineItem, DoesNothingWhenTheSizesDiffer)
{
    const gfx::Bitmap original = test::noise(7, 5, 11);
    for (const auto& [w, h] : {std::pair{7, 6}, {8, 5}, {6, 5}, {0, 0}}) {
        gfx::Bitmap image = original;
        EXPECT_FALSE(gadgets::combine(image, test::noise(w, h, 3), GetParam().op));
        EXPECT_EQ(image, original);
    }
}

// An 8-bit gadget and an 8-bit image are both taken by their colours; the image comes out 24 bits.
TEST_P(EveryCombineItem, TakesPalettePicturesByTheirColours)
{
    const gfx::Bitmap image8 = test::noise(7, 5, 21).converted(gfx::PixelFormat::Bits8);
    const gfx::Bitmap gadget8 = test::noise(7, 5, 22).converted(gfx::PixelFormat::Bits8);
    gfx::Bitmap image = image8;
    ASSERT_TRUE(gadgets::combine(image, gadget8, GetParam().op));
    EXPECT_EQ(image.format(), gfx::PixelFormat::Bits24);
    EXPECT_EQ(image,
        referenceCombine(
            image8.converted(gfx::PixelFormat::Bits24), gadget8.converted(gfx::PixelFormat::Bits24), GetParam().op));
}

INSTANTIATE_TEST_SUITE_P(All, EveryCombineItem,
    ::testing::ValuesIn(gadgets::combineItems().begin(), gadgets::combineItems().end()), [](const auto& info) {
        std::string name;
        for (char c : info.param.caption)
            if (c != '&' && c != ' ')
                name += c;
        return name;
    });

TEST(CombineItems, AreTheMenusCaptionsInOrder)
{
    std::vector<std::string_view> captions;
    for (const auto& item : gadgets::combineItems())
        captions.push_back(item.caption);
    EXPECT_EQ(captions,
        (std::vector<std::string_view>{
            "&Average", "&Exclude", "&Intersect", "Add", "&And", "&Not Xor", "&Or", "&Sub", "&Xor"}));
}

TEST(Combine, IntersectWithACopyOfTheDrawingLeavesTheImageAndExcludeTurnsItWhite)
{
    const gfx::Bitmap original = test::noise(11, 13, 5);
    gfx::Bitmap image = original;
    const gfx::Bitmap copy = gadgets::loadDrawing(image);
    ASSERT_TRUE(gadgets::combine(image, copy, CombineOp::Intersect));
    EXPECT_EQ(image, original);
    ASSERT_TRUE(gadgets::combine(image, copy, CombineOp::Exclude));
    EXPECT_EQ(image, solid(11, 13, gfx::clWhite));
}

struct GlueCase {
    const char* name;
    int imageW, imageH, gadgetW, gadgetH;
    gadgets::GlueSide side;
    bool glues;
};

class GlueCases : public ::testing::TestWithParam<GlueCase> { };

TEST_P(GlueCases, GrowsTheImageByTheGadgetOnlyWhenTheSidesMatch)
{
    const GlueCase& c = GetParam();
    const gfx::Bitmap original = test::noise(c.imageW, c.imageH, 1);
    const gfx::Bitmap gadget = test::noise(c.gadgetW, c.gadgetH, 2);
    gfx::Bitmap image = original;
    const auto glued = gadgets::glue(image, gadget, c.side);
    ASSERT_TRUE(glued.ok());
    EXPECT_EQ(glued.value(), c.glues);
    if (!c.glues) {
        EXPECT_EQ(image, original);
        return;
    }
    const bool right = c.side == gadgets::GlueSide::Right;
    ASSERT_EQ(image.width(), right ? c.imageW + c.gadgetW : c.imageW);
    ASSERT_EQ(image.height(), right ? c.imageH : c.imageH + c.gadgetH);
    const int sx = right ? c.imageW : 0, sy = right ? 0 : c.imageH;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool inStrip = x >= sx && y >= sy && (right ? x >= c.imageW : y >= c.imageH);
            ASSERT_EQ(image.pixel(x, y), inStrip ? gadget.pixel(x - sx, y - sy) : original.pixel(x, y))
                << x << "," << y;
        }
    EXPECT_TRUE(paddingIsZero(image));
}

INSTANTIATE_TEST_SUITE_P(All, GlueCases,
    ::testing::Values(GlueCase{"RightOdd", 7, 5, 3, 5, gadgets::GlueSide::Right, true},
        GlueCase{"RightSameSize", 4, 4, 4, 4, gadgets::GlueSide::Right, true},
        GlueCase{"RightHeightOneMore", 7, 5, 3, 6, gadgets::GlueSide::Right, false},
        GlueCase{"RightHeightOneLess", 7, 5, 3, 4, gadgets::GlueSide::Right, false},
        GlueCase{"BottomOdd", 7, 5, 7, 2, gadgets::GlueSide::Bottom, true},
        GlueCase{"BottomWidthOneMore", 7, 5, 8, 2, gadgets::GlueSide::Bottom, false},
        GlueCase{"EmptyOntoEmpty", 0, 0, 0, 0, gadgets::GlueSide::Right, true},
        GlueCase{"OntoAnEmptyImage", 0, 5, 3, 5, gadgets::GlueSide::Right, true},
        GlueCase{"EmptyGadgetBelow", 7, 5, 7, 0, gadgets::GlueSide::Bottom, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Glue, KeepsAnIndexedImagesFormatAndPalette)
{
    gfx::Bitmap image(5, 3, gfx::PixelFormat::Bits4);
    image.fill(gfx::clRed);
    const auto glued = gadgets::glue(image, solid(2, 3, gfx::rgb(0, 0, 250)), gadgets::GlueSide::Right);
    ASSERT_TRUE(glued.ok() && glued.value());
    EXPECT_EQ(image.format(), gfx::PixelFormat::Bits4);
    EXPECT_EQ(image.palette(), gfx::standardPalette16());
    EXPECT_EQ(image.pixel(4, 2), gfx::clRed);
    EXPECT_EQ(image.pixel(5, 0), gfx::clBlue);
    EXPECT_EQ(image.pixel(6, 2), gfx::clBlue);
}

TEST(Glue, RefusesASizeBeyondTheLimitAndChangesNothing)
{
    // 1-bit pictures keep the test small: 16384 x 16385 pixels is just over the limit.
    gfx::Bitmap image = gfx::Bitmap::zeroed(16384, 8192, gfx::PixelFormat::Bits1);
    const gfx::Bitmap before = image;
    const auto glued
        = gadgets::glue(image, gfx::Bitmap::zeroed(16384, 8193, gfx::PixelFormat::Bits1), gadgets::GlueSide::Bottom);
    ASSERT_FALSE(glued.ok());
    EXPECT_EQ(glued.error(), "Image too large");
    EXPECT_EQ(image, before);

    // Two widths whose sum leaves the int range.
    gfx::Bitmap wide = gfx::Bitmap::zeroed(1 << 30, 0);
    const auto overflow = gadgets::glue(wide, gfx::Bitmap::zeroed(1 << 30, 0), gadgets::GlueSide::Right);
    ASSERT_FALSE(overflow.ok());
    EXPECT_EQ(overflow.error(), "Image too large");
    EXPECT_EQ(wide.width(), 1 << 30);
}

TEST(Exchange, SwapsPicturesOfTheSameSizeAndKeepsEachOnesTransparency)
{
    const gfx::Bitmap a = test::noise(7, 5, 1);
    const gfx::Bitmap b = test::noise(7, 5, 2).converted(gfx::PixelFormat::Bits8);
    gfx::Bitmap image = a, gadget = b;
    gadget.transparent = true;
    gadget.transparentColor = gfx::clRed;
    ASSERT_TRUE(gadgets::exchange(image, gadget));
    EXPECT_EQ(image, b);
    EXPECT_EQ(gadget, a);
    EXPECT_FALSE(image.transparent);
    EXPECT_TRUE(gadget.transparent);
    EXPECT_EQ(gadget.transparentColor, gfx::clRed);

    gfx::Bitmap none, empty;
    EXPECT_TRUE(gadgets::exchange(none, empty));
}

TEST(Exchange, DoesNothingWhenTheSizesDifferByOne)
{
    for (const auto& [w, h] : {std::pair{8, 5}, {7, 4}, {0, 0}}) {
        gfx::Bitmap image = test::noise(7, 5, 1), gadget = test::noise(w, h, 2);
        EXPECT_FALSE(gadgets::exchange(image, gadget));
        EXPECT_EQ(image, test::noise(7, 5, 1));
        EXPECT_EQ(gadget, test::noise(w, h, 2));
    }
}

// Where the border's copies land, worked from the rule with plain loops: the last copy drawn wins.
gfx::Bitmap referenceBorder(
    const gfx::Bitmap& image, const gfx::Bitmap& gadget, gadgets::BorderKind kind, std::optional<gfx::Color> key)
{
    gfx::Bitmap out = image;
    const int W = image.width(), H = image.height(), w = gadget.width(), h = gadget.height();
    const auto stamp = [&](int x0, int y0) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!key || gadget.pixel(x, y) != *key)
                    out.setPixel(x0 + x, y0 + y, gadget.pixel(x, y));
    };
    if (kind != gadgets::BorderKind::Vertical)
        for (int x = 0; x < W; x += w) {
            stamp(x, 0);
            stamp(x, H - h);
        }
    if (kind != gadgets::BorderKind::Horizontal)
        for (int y = 0; y < H; y += h) {
            stamp(0, y);
            stamp(W - w, y);
        }
    return out;
}

struct BorderCase {
    const char* name;
    int gadgetW, gadgetH;
    gadgets::BorderKind kind;
    bool transparent;
};

class BorderCases : public ::testing::TestWithParam<BorderCase> { };

TEST_P(BorderCases, CopiesTheGadgetAlongTheEdges)
{
    const BorderCase& c = GetParam();
    const gfx::Bitmap original = test::noise(11, 13, 3);
    gfx::Bitmap gadget = test::noise(c.gadgetW, c.gadgetH, 4);
    // Give the key colour to a few pixels, so transparency has something to skip.
    const gfx::Color key = gadget.pixel(0, c.gadgetH - 1);
    gadget.setPixel(c.gadgetW - 1, 0, key);
    gadget.transparent = c.transparent;
    gfx::Bitmap image = original;
    gfx::Canvas canvas(image);
    gadgets::paintBorder(canvas, gadget, c.kind, std::nullopt);
    EXPECT_EQ(image, referenceBorder(original, gadget, c.kind, c.transparent ? std::optional(key) : std::nullopt));
}

INSTANTIATE_TEST_SUITE_P(All, BorderCases,
    ::testing::Values(BorderCase{"AllNotDividing", 3, 4, gadgets::BorderKind::All, false},
        BorderCase{"HorizontalNotDividing", 3, 4, gadgets::BorderKind::Horizontal, false},
        BorderCase{"VerticalNotDividing", 3, 4, gadgets::BorderKind::Vertical, false},
        BorderCase{"AllDividingTransparent", 11, 1, gadgets::BorderKind::All, true},
        BorderCase{"VerticalTransparent", 2, 5, gadgets::BorderKind::Vertical, true},
        BorderCase{"LargerThanTheImage", 12, 14, gadgets::BorderKind::All, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PaintBorder, DrawsAHorizontalStripOfCopiesOnTheTopAndBottomRows)
{
    gfx::Bitmap image = solid(10, 3, gfx::clWhite);
    gfx::Bitmap gadget = solid(4, 1, gfx::clRed);
    gadget.setPixel(0, 0, gfx::clBlue);
    gfx::Canvas canvas(image);
    gadgets::paintBorder(canvas, gadget, gadgets::BorderKind::Horizontal, std::nullopt);
    for (int y : {0, 2})
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(image.pixel(x, y), x % 4 == 0 ? gfx::clBlue : gfx::clRed) << x << "," << y;
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.pixel(x, 1), gfx::clWhite);
}

TEST(PaintBorder, AFlatOrEmptyGadgetOrImagePaintsNothing)
{
    for (const auto& [w, h] : {std::pair{0, 3}, {3, 0}, {0, 0}}) {
        gfx::Bitmap image = test::noise(7, 5, 1);
        gfx::Bitmap gadget = gfx::Bitmap::zeroed(w, h);
        gfx::Canvas canvas(image);
        gadgets::paintBorder(canvas, gadget, gadgets::BorderKind::All, std::nullopt);
        EXPECT_EQ(image, test::noise(7, 5, 1));
    }
    gfx::Bitmap empty;
    gfx::Canvas canvas(empty);
    gfx::Bitmap gadget = test::noise(3, 3, 1);
    gadgets::paintBorder(canvas, gadget, gadgets::BorderKind::All, std::nullopt);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(PaintTransparent, SkipsTheBottomLeftColourOrTheFixedOneAndSwitchesTransparencyOn)
{
    gfx::Bitmap gadget = solid(3, 2, gfx::clRed);
    gadget.setPixel(0, 1, gfx::clBlue); // bottom-left
    gadget.setPixel(2, 0, gfx::clBlue);
    gadget.setPixel(1, 0, gfx::clLime);
    for (const auto& fixed : {std::optional<gfx::Color>{}, std::optional<gfx::Color>{gfx::clLime}}) {
        gfx::Bitmap image = solid(6, 4, gfx::clWhite);
        gfx::Canvas canvas(image);
        gadgets::paintTransparent(canvas, gadget, {2, 1}, fixed);
        EXPECT_TRUE(gadget.transparent);
        const gfx::Color key = fixed ? *fixed : gfx::clBlue;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const gfx::Color g = gadget.pixel(x - 2, y - 1);
                const gfx::Color want = g == gfx::clNone || g == key ? gfx::clWhite : g;
                EXPECT_EQ(image.pixel(x, y), want) << x << "," << y;
            }
    }
}

// Wide rows with the key scattered through them and partly off the image: the 24-bit copy must skip
// exactly what a pixel-by-pixel draw through a clipped canvas skips.
TEST(PaintTransparent, MatchesTheCanvasDrawOnWideRowsWithAScatteredKey)
{
    for (int width : {16, 37, 64, 101}) {
        gfx::Bitmap gadget = test::noise(width, 9, static_cast<unsigned>(width));
        const gfx::Color key = gadget.pixel(0, 8);
        for (int y = 0; y < 9; ++y)
            for (int x = y % 3; x < width; x += 2 + (x + y) % 5)
                gadget.setPixel(x, y, key);
        gadget.setPixel(width - 1, 4, key);
        for (const gfx::Point at : {gfx::Point{0, 0}, gfx::Point{-3, 2}, gfx::Point{5, -1}}) {
            gfx::Bitmap image = test::noise(width + 4, 11, 1);
            gfx::Bitmap reference = image;
            gfx::Canvas canvas(image);
            gadgets::paintTransparent(canvas, gadget, at, std::nullopt);
            // A clip region keeps the canvas on its own path.
            gfx::Canvas plain(reference);
            plain.intersectClip({-1000, -1000, 1000, 1000});
            plain.draw(at.x, at.y, gadget);
            EXPECT_EQ(image, reference) << width << " at " << at.x << "," << at.y;
        }
    }
}

TEST(PaintTransparent, AnEmptyPicturePaintsNothing)
{
    gfx::Bitmap image = test::noise(5, 5, 2);
    gfx::Canvas canvas(image);
    gfx::Bitmap empty;
    gadgets::paintTransparent(canvas, empty, {0, 0}, std::nullopt);
    EXPECT_EQ(image, test::noise(5, 5, 2));
}

TEST(OpaqueDither, FiftyPercentThenPaintLetsTheImageShowThroughEveryOtherPixel)
{
    const gfx::Bitmap original = test::noise(7, 5, 9);
    gfx::Bitmap image = original;
    gfx::Bitmap gadget = solid(7, 5, gfx::clRed);
    gadgets::opaqueDither(gadget, 50);
    gfx::Canvas canvas(image);
    gadgets::paintTransparent(canvas, gadget, {0, 0}, gfx::clWhite);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(image.pixel(x, y), (x + y) % 2 == 0 ? original.pixel(x, y) : gfx::clRed) << x << "," << y;
}

TEST(OpaqueDither, WhitensTheStatedPixelsAndTurnsTransparencyOnWithWhite)
{
    for (int percent : {25, 50}) {
        gfx::Bitmap gadget = solid(7, 4, gfx::clBlack);
        gadget.transparent = true;
        gadget.transparentColor = gfx::clRed;
        gadgets::opaqueDither(gadget, percent);
        EXPECT_TRUE(gadget.transparent);
        EXPECT_EQ(gadget.transparentColor, gfx::clWhite);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool white = percent == 25 ? (y % 2 == 1 || x % 2 == 0) : (x + y) % 2 == 0;
                EXPECT_EQ(gadget.pixel(x, y), white ? gfx::clWhite : gfx::clBlack) << percent << ":" << x << "," << y;
            }
        EXPECT_TRUE(paddingIsZero(gadget));
    }
}

TEST(OpaqueDither, KeepsTheColoursOfAnIndexedPicture)
{
    for (auto format : {gfx::PixelFormat::Bits8, gfx::PixelFormat::Bits4}) {
        const gfx::Bitmap indexed = test::noise(7, 5, 4).converted(format);
        gfx::Bitmap gadget = indexed;
        gadgets::opaqueDither(gadget, 50);
        EXPECT_EQ(gadget.format(), gfx::PixelFormat::Bits24);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                if ((x + y) % 2 == 1) {
                    EXPECT_EQ(gadget.pixel(x, y), indexed.pixel(x, y)) << x << "," << y;
                }
    }
}

class InvertFormats : public ::testing::TestWithParam<gfx::PixelFormat> { };

// Odd widths leave padding bytes (and for 1 and 4 bits, padding bits) after the pixels of each row.
TEST_P(InvertFormats, InvertsEveryPixelBitAndNoPadding)
{
    for (int width : {1, 3, 5, 7, 13}) {
        const gfx::Bitmap original = test::noise(width, 3, static_cast<unsigned>(width)).converted(GetParam());
        gfx::Bitmap picture = original;
        gadgets::invertBits(picture);
        const std::uint32_t mask = gfx::isIndexed(GetParam()) ? (1u << picture.bitsPerPixel()) - 1 : 0xFFFFFFu;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(picture.rawPixel(x, y), original.rawPixel(x, y) ^ mask) << width << ":" << x << "," << y;
        EXPECT_TRUE(paddingIsZero(picture)) << width;
        gadgets::invertBits(picture);
        EXPECT_EQ(picture, original);
    }
}

INSTANTIATE_TEST_SUITE_P(All, InvertFormats,
    ::testing::Values(gfx::PixelFormat::Bits1, gfx::PixelFormat::Bits4, gfx::PixelFormat::Bits8,
        gfx::PixelFormat::Bits24, gfx::PixelFormat::Bits32),
    [](const auto& info) { return "Bits" + std::to_string(static_cast<int>(info.param)); });

TEST(InvertBits, LeavesTheUnusedByteOf32BitPixels)
{
    gfx::Bitmap picture = test::noise(3, 2, 1).converted(gfx::PixelFormat::Bits32);
    gadgets::invertBits(picture);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(picture.scanLine(y)[x * 4 + 3], 0);
}

struct SpecialCase {
    const char* caption;
    gfx::Rop3 code;
    std::function<std::uint8_t(std::uint8_t p, std::uint8_t s, std::uint8_t d)> result;
};

class SpecialCases : public ::testing::TestWithParam<SpecialCase> { };

// The copy-mode table's codes and results; the brush is the pattern P.
TEST_P(SpecialCases, CopiesTheWholePictureWithTheNamedOperation)
{
    const SpecialCase& c = GetParam();
    ASSERT_EQ(gadgets::specialRop(c.caption), c.code);
    const gfx::Bitmap original = test::noise(9, 7, 1);
    const gfx::Bitmap gadget = test::noise(5, 3, 2);
    gfx::Bitmap image = original;
    gfx::Canvas canvas(image);
    canvas.brush.setColor(gfx::rgb(0x0F, 0xF0, 0x5A));
    canvas.copyMode = gfx::kSrcInvert;
    gadgets::paintSpecial(canvas, gadget, {3, 2}, c.code);
    EXPECT_EQ(canvas.copyMode, gfx::kSrcInvert);
    const std::uint8_t brush[3] = {0x5A, 0xF0, 0x0F}; // blue, green, red
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            for (int i = 0; i < 3; ++i) {
                const std::uint8_t d = original.scanLine(y)[x * 3 + i];
                const bool inside = x >= 3 && x < 8 && y >= 2 && y < 5;
                const std::uint8_t want = inside ? c.result(brush[i], gadget.scanLine(y - 2)[(x - 3) * 3 + i], d) : d;
                ASSERT_EQ(image.scanLine(y)[x * 3 + i], want) << x << "," << y << " byte " << i;
            }
}

using B = std::uint8_t;
INSTANTIATE_TEST_SUITE_P(All, SpecialCases,
    ::testing::Values(SpecialCase{"MergeCopy", 0x00C000CA, [](B p, B s, B) { return B(p & s); }},
        SpecialCase{"MergePaint", 0x00BB0226, [](B, B s, B d) { return B(~s | d); }},
        SpecialCase{"NotSrcCopy", 0x00330008, [](B, B s, B) { return B(~s); }},
        SpecialCase{"NotSrcErase", 0x001100A6, [](B, B s, B d) { return B(~(s | d)); }},
        SpecialCase{"SrcAnd", 0x008800C6, [](B, B s, B d) { return B(s & d); }},
        SpecialCase{"SrcErase", 0x00440328, [](B, B s, B d) { return B(s & ~d); }},
        SpecialCase{"SrcInvert", 0x00660046, [](B, B s, B d) { return B(s ^ d); }},
        SpecialCase{"SrcPaint", 0x00EE0086, [](B, B s, B d) { return B(s | d); }}),
    [](const auto& info) { return std::string(info.param.caption); });

TEST(SpecialItems, AreTheEightCaptionsInMenuOrderAndNothingElseMaps)
{
    std::vector<std::string_view> captions;
    for (const auto& item : gadgets::specialItems())
        captions.push_back(item.caption);
    EXPECT_EQ(captions,
        (std::vector<std::string_view>{
            "MergeCopy", "MergePaint", "NotSrcCopy", "NotSrcErase", "SrcAnd", "SrcErase", "SrcInvert", "SrcPaint"}));
    EXPECT_EQ(gadgets::specialRop("srcpaint"), std::nullopt);
    EXPECT_EQ(gadgets::specialRop("SrcCopy"), std::nullopt);
}

TEST(CaptureTransparentColor, TakesTheImagesFormatAndThePixelAtTheGrab)
{
    gfx::Bitmap gadget = test::noise(5, 4, 3).converted(gfx::PixelFormat::Bits4);
    const gfx::Bitmap colours = gadget;
    const auto key = gadgets::captureTransparentColor(gadget, gfx::Bitmap(2, 2), {3, 1});
    EXPECT_EQ(gadget.format(), gfx::PixelFormat::Bits24);
    EXPECT_EQ(gadget, colours.converted(gfx::PixelFormat::Bits24));
    EXPECT_TRUE(gadget.transparent);
    EXPECT_EQ(key, colours.pixel(3, 1));
    EXPECT_EQ(gadget.transparentColor, colours.pixel(3, 1));
}

TEST(CaptureTransparentColor, TakesAnIndexedImagesPaletteByNearestColour)
{
    gfx::Bitmap image(4, 4, gfx::PixelFormat::Bits8);
    image.setPalette({gfx::clBlack, gfx::rgb(200, 0, 0), gfx::rgb(0, 0, 200), gfx::clWhite});
    gfx::Bitmap gadget = solid(3, 2, gfx::rgb(250, 10, 10));
    gadget.setPixel(0, 1, gfx::rgb(10, 10, 180));
    const auto key = gadgets::captureTransparentColor(gadget, image, {0, 1});
    EXPECT_EQ(gadget.format(), gfx::PixelFormat::Bits8);
    EXPECT_EQ(gadget.palette(), image.palette());
    EXPECT_EQ(gadget.pixel(2, 0), gfx::rgb(200, 0, 0));
    EXPECT_EQ(key, gfx::rgb(0, 0, 200));
    EXPECT_EQ(gadget.transparentColor, gfx::rgb(0, 0, 200));
}

TEST(CaptureTransparentColor, AGrabOutsideThePictureKeepsTheColour)
{
    for (const gfx::Point grab : {gfx::Point{-1, 0}, gfx::Point{5, 0}, gfx::Point{0, 4}}) {
        gfx::Bitmap gadget = test::noise(5, 4, 3);
        gadget.transparentColor = gfx::clFuchsia;
        EXPECT_EQ(gadgets::captureTransparentColor(gadget, gfx::Bitmap(1, 1), grab), std::nullopt);
        EXPECT_TRUE(gadget.transparent);
        EXPECT_EQ(gadget.transparentColor, gfx::clFuchsia);
    }
}

TEST(LoadRange, CopiesTheRangeOneToOneWithTheCornersInEitherOrder)
{
    const gfx::Bitmap image = test::noise(7, 5, 8).converted(gfx::PixelFormat::Bits8);
    for (const gfx::Rect range : {gfx::Rect{2, 1, 5, 4}, gfx::Rect{5, 4, 2, 1}, gfx::Rect{5, 1, 2, 4}}) {
        const auto picture = gadgets::loadRange(image, range);
        ASSERT_TRUE(picture.ok());
        ASSERT_EQ(picture->format(), gfx::PixelFormat::Bits24);
        ASSERT_EQ(picture->width(), 3);
        ASSERT_EQ(picture->height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(picture->pixel(x, y), image.pixel(x + 2, y + 1));
    }
    const auto all = gadgets::loadRange(image, {0, 0, 7, 5});
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all.value(), gadgets::loadDrawing(image));
}

TEST(LoadRange, IsWhiteOutsideTheImageAndRefusesAnEmptyRange)
{
    const gfx::Bitmap image = test::noise(4, 4, 8);
    const auto picture = gadgets::loadRange(image, {2, 2, 6, 5});
    ASSERT_TRUE(picture.ok());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(picture->pixel(x, y), x < 2 && y < 2 ? image.pixel(x + 2, y + 2) : gfx::clWhite);
    for (const gfx::Rect empty : {gfx::Rect{2, 1, 2, 4}, gfx::Rect{0, 3, 4, 3}, gfx::Rect{}}) {
        const auto none = gadgets::loadRange(image, empty);
        ASSERT_FALSE(none.ok());
        EXPECT_EQ(none.error(), "no selection");
    }
}

TEST(LoadDrawing, IsAnOpaque24BitCopy)
{
    gfx::Bitmap image = test::noise(5, 3, 1).converted(gfx::PixelFormat::Bits4);
    image.transparent = true;
    const gfx::Bitmap copy = gadgets::loadDrawing(image);
    EXPECT_EQ(copy, image.converted(gfx::PixelFormat::Bits24));
    EXPECT_FALSE(copy.transparent);
}

TEST(LoadBlocks, StretchesIntoASquareOfStandardColours)
{
    // Four quadrants of near-standard colours, each of which the reduction pulls onto its standard one.
    gfx::Bitmap image(8, 6);
    const gfx::Color near[4] = {gfx::rgb(250, 5, 5), gfx::rgb(5, 250, 5), gfx::rgb(5, 5, 250), gfx::rgb(250, 250, 5)};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, near[(y >= 3) * 2 + (x >= 4)]);
    image.transparent = true; // a block transfer ignores it
    image.transparentColor = near[0];
    const gfx::Bitmap blocks = gadgets::loadBlocks(image, 2);
    EXPECT_EQ(blocks.format(), gfx::PixelFormat::Bits4);
    EXPECT_EQ(blocks.palette(), gfx::standardPalette16());
    ASSERT_EQ(blocks.width(), 2);
    ASSERT_EQ(blocks.height(), 2);
    EXPECT_EQ(blocks.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(blocks.pixel(1, 0), gfx::clLime);
    EXPECT_EQ(blocks.pixel(0, 1), gfx::clBlue);
    EXPECT_EQ(blocks.pixel(1, 1), gfx::clYellow);
    EXPECT_TRUE(gadgets::loadBlocks(image, 0).isEmpty());
}

} // namespace
