#include "effects/TketPaintFX.h"

#include "app/Arithmetic.h"
#include "effects/EffectCommands.h"
#include "gfx/Canvas.h"
#include "support/TestImages.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>

using namespace daubix;
using effects::TketPaintFX;
using gfx::Bitmap;
using gfx::rgb;

namespace {

class Effects : public ::testing::Test {
protected:
    app::Random random{12345};
    TketPaintFX fx{random};
};

// A one-row image holding the given channel values, three per pixel in blue, green, red order.
Bitmap valuesRow(std::initializer_list<int> values)
{
    Bitmap b(static_cast<int>((values.size() + 2) / 3), 1);
    int i = 0;
    for (int v : values)
        b.scanLine(0)[i++] = static_cast<std::uint8_t>(v);
    return b;
}

int value(const Bitmap& b, int x, int y, int channel)
{
    return b.scanLine(y)[x * 3 + channel];
}

} // namespace

TEST_F(Effects, ToneOperationsComputeTheirIntegerFormulas)
{
    Bitmap b = valuesRow({200, 50, 127});
    fx.Contrast(b, 100); // d = |127 - v| * 100 div 255
    EXPECT_EQ(value(b, 0, 0, 0), 228);
    EXPECT_EQ(value(b, 0, 0, 1), 20);
    EXPECT_EQ(value(b, 0, 0, 2), 127);

    b = valuesRow({100, 0, 255});
    fx.Brightness(b, 100); // v + 100 (255 - v) div 255
    EXPECT_EQ(value(b, 0, 0, 0), 160);
    EXPECT_EQ(value(b, 0, 0, 1), 100);
    EXPECT_EQ(value(b, 0, 0, 2), 255);

    b = valuesRow({200, 0, 255});
    fx.Darken(b, 100); // v - 100 v div 255
    EXPECT_EQ(value(b, 0, 0, 0), 122);
    EXPECT_EQ(value(b, 0, 0, 2), 155);

    b = valuesRow({10, 20, 60}); // grey 30
    fx.Saturation(b, 510); // 30 + 510 (v - 30) div 255, truncating toward zero, clamped
    EXPECT_EQ(value(b, 0, 0, 0), 0);
    EXPECT_EQ(value(b, 0, 0, 1), 10);
    EXPECT_EQ(value(b, 0, 0, 2), 90);
    fx.Saturation(b, 0);
    EXPECT_EQ(value(b, 0, 0, 0), 33);
    EXPECT_EQ(value(b, 0, 0, 2), 33);
}

TEST_F(Effects, NeutralAmountsLeaveTheImageAlone)
{
    const Bitmap original = test::noise(11, 7, 3);
    using Op = void (*)(TketPaintFX&, Bitmap&);
    const std::pair<const char*, Op> cases[] = {
        {"Contrast 0", [](TketPaintFX& f, Bitmap& b) { f.Contrast(b, 0); }},
        {"Brightness 0", [](TketPaintFX& f, Bitmap& b) { f.Brightness(b, 0); }},
        {"Darken 0", [](TketPaintFX& f, Bitmap& b) { f.Darken(b, 0); }},
        {"Saturation 255", [](TketPaintFX& f, Bitmap& b) { f.Saturation(b, 255); }},
        {"Posterize 1",
            [](TketPaintFX& f, Bitmap& b) {
                Bitmap out;
                f.Posterize(b, out, 1);
                b = out;
            }},
        {"Mosaic 1", [](TketPaintFX& f, Bitmap& b) { f.Mosaic(b, 1); }},
        {"SplitBlur 0", [](TketPaintFX& f, Bitmap& b) { f.SplitBlur(b, 0); }},
        {"Seam 0", [](TketPaintFX& f, Bitmap& b) { f.Seam(b, 0); }},
        {"Buttonize 0", [](TketPaintFX& f, Bitmap& b) { f.Buttonize(b, 0, 100); }},
        {"Wave 15 on 7 rows", [](TketPaintFX& f, Bitmap& b) { f.Wave(b, 15, effects::WaveStyle::Normal, 0); }},
    };
    for (const auto& [name, op] : cases) {
        Bitmap b = original;
        op(fx, b);
        EXPECT_EQ(b, original) << name;
    }
    Bitmap tiny = test::noise(2, 2, 4);
    const Bitmap tinyBefore = tiny;
    fx.AntiAlias(tiny);
    EXPECT_EQ(tiny, tinyBefore);
}

TEST_F(Effects, PosterizeRoundsHalvesToEvenAndLimitsTo255)
{
    Bitmap b = valuesRow({255, 127, 125, 3, 1, 0}), out;
    fx.Posterize(b, out, 2);
    // 127.5 -> 128, 63.5 -> 64, 62.5 -> 62, 1.5 -> 2, 0.5 -> 0
    const int expected[] = {255, 128, 124, 4, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(out.scanLine(0)[i], expected[i]) << i;
}

TEST_F(Effects, BlendRoundsHalvesToEven)
{
    Bitmap a = valuesRow({1, 2, 0}), b = valuesRow({2, 3, 255}), out;
    fx.Blend(a, b, 0.5, out);
    EXPECT_EQ(value(out, 0, 0, 0), 2); // 1.5
    EXPECT_EQ(value(out, 0, 0, 1), 2); // 2.5
    EXPECT_EQ(value(out, 0, 0, 2), 128); // 127.5
}

TEST_F(Effects, NoiseDrawsBlueGreenRedInOrder)
{
    Bitmap b = valuesRow({100, 100, 100, 100, 100, 100});
    app::Random expected(777);
    random.seed(777);
    fx.NoiseColor(b, 40);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(b.scanLine(0)[i], 100 + expected(40) - 20) << i;
}

TEST_F(Effects, ChannelBandsTestWithExclusiveBounds)
{
    Bitmap b = valuesRow({10, 20, 100, 30, 40, 50});
    Bitmap keep = b;
    fx.ChannelBand(b, effects::Channel::Red, 50, 101); // red 100 inside, red 50 on the bound
    EXPECT_EQ(value(b, 0, 0, 2), 255);
    EXPECT_EQ(value(b, 0, 0, 0), 0);
    EXPECT_EQ(value(b, 1, 0, 2), 0);
    fx.ChannelBandKeep(keep, effects::Channel::Blue, 10, 40); // blue 10 on the bound, 30 inside
    EXPECT_EQ(value(keep, 0, 0, 0), 0);
    EXPECT_EQ(value(keep, 0, 0, 1), 20);
    EXPECT_EQ(value(keep, 1, 0, 0), 255);
    EXPECT_EQ(value(keep, 1, 0, 2), 50);
}

namespace {

// The tone operations as plain loops over every pixel, in the generator's order.
std::uint8_t clamped(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

template <typename PerValue> void eachValue(Bitmap& b, PerValue perValue)
{
    for (int y = 0; y < b.height(); ++y)
        for (int i = 0; i < b.width() * 3; ++i)
            b.scanLine(y)[i] = perValue(b.scanLine(y)[i]);
}

void referenceSaturation(app::Random&, Bitmap& b, int amount)
{
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            std::uint8_t* p = b.scanLine(y) + x * 3;
            const int g = (p[0] + p[1] + p[2]) / 3;
            for (int c = 0; c < 3; ++c)
                p[c] = clamped(g + (amount * (p[c] - g)) / 255);
        }
}

void referenceNoiseColor(app::Random& random, Bitmap& b, int amount)
{
    eachValue(b, [&](int v) { return clamped(v + random(amount) - amount / 2); });
}

void referenceNoiseMono(app::Random& random, Bitmap& b, int amount)
{
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const int d = random(amount) - amount / 2;
            for (int c = 0; c < 3; ++c)
                b.scanLine(y)[x * 3 + c] = clamped(b.scanLine(y)[x * 3 + c] + d);
        }
}

void referenceSolarize(app::Random&, Bitmap& b, int threshold)
{
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            std::uint8_t* p = b.scanLine(y) + x * 3;
            if ((p[0] + p[1] + p[2]) / 3 > threshold)
                for (int c = 0; c < 3; ++c)
                    p[c] = static_cast<std::uint8_t>(255 - p[c]);
        }
}

void referencePosterize(app::Random&, Bitmap& b, int step)
{
    eachValue(
        b, [&](int v) { return clamped(std::min(255, step * app::roundHalfEven(static_cast<double>(v) / step))); });
}

void referenceContrast(app::Random&, Bitmap& b, int amount)
{
    eachValue(b, [&](int v) {
        const int d = (std::abs(127 - v) * amount) / 255;
        return clamped(v > 127 ? v + d : v - d);
    });
}

void referenceBrightness(app::Random&, Bitmap& b, int amount)
{
    eachValue(b, [&](int v) { return clamped(v + (amount * (255 - v)) / 255); });
}

void referenceDarken(app::Random&, Bitmap& b, int amount)
{
    eachValue(b, [&](int v) { return clamped(v - (amount * v) / 255); });
}

// The band tests red between amount and amount + 90, both excluded.
void referenceBand(Bitmap& b, int amount, bool keepOthers)
{
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            std::uint8_t* p = b.scanLine(y) + x * 3;
            const bool inside = amount < p[2] && p[2] < amount + 90;
            if (!keepOthers)
                p[0] = p[1] = 0;
            p[2] = inside ? 255 : 0;
        }
}

struct ToneCase {
    const char* name;
    void (*fast)(TketPaintFX&, Bitmap&, int);
    void (*reference)(app::Random&, Bitmap&, int);
    std::vector<int> amounts;
};

void PrintTo(const ToneCase& c, std::ostream* os)
{
    *os << c.name;
}

// Copies into a fresh picture and into one that already has the size, whose memory is reused.
template <void (TketPaintFX::*Op)(Bitmap&, Bitmap&, int)> void intoPicture(TketPaintFX& f, Bitmap& b, int amount)
{
    Bitmap fresh, reused = test::noise(b.width(), b.height(), 5);
    (f.*Op)(b, fresh, amount);
    (f.*Op)(b, reused, amount);
    EXPECT_EQ(fresh, reused);
    b = fresh;
}

const ToneCase kToneCases[] = {
    {"Saturation", [](TketPaintFX& f, Bitmap& b, int a) { f.Saturation(b, a); }, referenceSaturation,
        {-600, -256, -255, -254, -1, 0, 1, 2, 127, 128, 254, 255, 256, 510}},
    {"NoiseColor", [](TketPaintFX& f, Bitmap& b, int a) { f.NoiseColor(b, a); }, referenceNoiseColor,
        {-7, 0, 1, 2, 3, 40, 200, 254, 255, 65535, 65536, 70001}},
    {"NoiseMono", [](TketPaintFX& f, Bitmap& b, int a) { f.NoiseMono(b, a); }, referenceNoiseMono,
        {-7, 0, 1, 2, 3, 40, 200, 254, 255, 65535, 65536, 70001}},
    {"Solarize", intoPicture<&TketPaintFX::Solarize>, referenceSolarize,
        {-1000, -2, -1, 0, 1, 2, 84, 85, 127, 128, 253, 254, 255, 256, 100000}},
    {"Posterize", intoPicture<&TketPaintFX::Posterize>, referencePosterize, {-3, 1, 2, 3, 7, 64, 128, 254, 255, 256}},
    {"Contrast", [](TketPaintFX& f, Bitmap& b, int a) { f.Contrast(b, a); }, referenceContrast,
        {-50, 0, 1, 50, 100, 254, 255, 400}},
    {"Brightness", [](TketPaintFX& f, Bitmap& b, int a) { f.Brightness(b, a); }, referenceBrightness,
        {-50, 0, 1, 50, 100, 254, 255, 400}},
    {"Darken", [](TketPaintFX& f, Bitmap& b, int a) { f.Darken(b, a); }, referenceDarken,
        {-50, 0, 1, 50, 100, 254, 255, 400}},
    {"ChannelBand", [](TketPaintFX& f, Bitmap& b, int a) { f.ChannelBand(b, effects::Channel::Red, a, a + 90); },
        [](app::Random&, Bitmap& b, int a) { referenceBand(b, a, false); }, {-100, -1, 0, 1, 127, 166, 254, 255}},
    {"ChannelBandKeep",
        [](TketPaintFX& f, Bitmap& b, int a) { f.ChannelBandKeep(b, effects::Channel::Red, a, a + 90); },
        [](app::Random&, Bitmap& b, int a) { referenceBand(b, a, true); }, {-100, -1, 0, 1, 127, 166, 254, 255}},
};

// Channel values from the ends of the range and about its middle, where clamps and comparisons turn.
Bitmap edgeValues(int width, int height, unsigned seed)
{
    constexpr std::uint8_t kEdges[] = {0, 1, 2, 126, 127, 128, 129, 253, 254, 255};
    Bitmap b = test::noise(width, height, seed);
    eachValue(b, [&](int v) { return kEdges[v % std::size(kEdges)]; });
    return b;
}

class EveryToneOperation : public ::testing::TestWithParam<ToneCase> { };

} // namespace

// 1031 x 67 runs on two threads and in more than one piece per row, the last one short.
TEST_P(EveryToneOperation, MatchesThePlainLoopAndLeavesTheGeneratorWhereItWould)
{
    const ToneCase& c = GetParam();
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {1, 3}, {7, 5}, {11, 13}, {1031, 67}};
    for (const auto& [w, h] : sizes)
        for (const bool edges : {false, true}) {
            const auto seed = static_cast<unsigned>(w * 31 + h);
            const Bitmap original = edges ? edgeValues(w, h, seed) : test::noise(w, h, seed);
            for (const int amount : c.amounts) {
                app::Random expectedRandom(seed), actualRandom(seed);
                TketPaintFX fx(actualRandom);
                Bitmap expected = original, actual = original;
                c.reference(expectedRandom, expected, amount);
                c.fast(fx, actual, amount);
                ASSERT_EQ(actual, expected) << w << "x" << h << (edges ? " edge values" : "") << " amount " << amount;
                ASSERT_EQ(actualRandom.state(), expectedRandom.state()) << w << "x" << h << " amount " << amount;
            }
        }
}
INSTANTIATE_TEST_SUITE_P(All, EveryToneOperation, ::testing::ValuesIn(kToneCases),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Effects, AntiAliasWorksInPlaceFromTheTopLeft)
{
    Bitmap b(4, 3);
    b.fill(gfx::clBlack);
    b.setPixel(1, 0, gfx::clWhite); // above (1, 1)
    fx.AntiAlias(b);
    // (1, 1) = (255 + 0 + 0 + 0) >> 2 = 63; then (2, 1) sees the new left neighbour: 63 >> 2 = 15.
    EXPECT_EQ(value(b, 1, 1, 0), 63);
    EXPECT_EQ(value(b, 2, 1, 0), 15);
    EXPECT_EQ(value(b, 3, 1, 0), 0); // the outermost column never changes
}

// The blur as stated, pixel by pixel in place, with the edge rows and columns H - y and W - x.
TEST_F(Effects, SplitBlurFollowsItsEdgeRuleInPlace)
{
    const Bitmap original = test::noise(9, 7, 16);
    Bitmap expected = original;
    const int d = 2, w = 9, h = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const int up = y - d < 0 ? y : y - d, down = y + d >= h ? h - y : y + d;
                const int left = x - d < 0 ? x : x - d, right = x + d >= w ? w - x : x + d;
                expected.scanLine(y)[x * 3 + c]
                    = static_cast<std::uint8_t>((value(expected, left, up, c) + value(expected, left, down, c)
                                                    + value(expected, right, up, c) + value(expected, right, down, c))
                        >> 2);
            }
    Bitmap b = original;
    fx.SplitBlur(b, d);
    EXPECT_EQ(b, expected);
    // Row 6 takes its lower row from row 1, not from a mirror about the last row.
    Bitmap marked(5, 7);
    marked.fill(gfx::clBlack);
    for (int x = 0; x < 5; ++x)
        marked.setPixel(x, 1, gfx::clWhite);
    fx.SplitBlur(marked, 3);
    EXPECT_GT(value(marked, 2, 6, 0), 0);
}

namespace {

// The blurs as first written: one pixel at a time in place, edge rows and columns from two tables.
void referenceSplitBlur(Bitmap& bmp, int distance)
{
    const int w = bmp.width(), h = bmp.height();
    const int d = std::min(distance, std::min(w, h) - 1);
    if (d <= 0)
        return;
    std::vector<int> left(static_cast<std::size_t>(w)), right(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        left[static_cast<std::size_t>(x)] = (x - d < 0 ? x : x - d) * 3;
        right[static_cast<std::size_t>(x)] = (x + d >= w ? w - x : x + d) * 3;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* upper = bmp.scanLine(y - d < 0 ? y : y - d);
        const std::uint8_t* lower = bmp.scanLine(y + d >= h ? h - y : y + d);
        std::uint8_t* row = bmp.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int l = left[static_cast<std::size_t>(x)], r = right[static_cast<std::size_t>(x)];
            for (int c = 0; c < 3; ++c)
                row[x * 3 + c]
                    = static_cast<std::uint8_t>((upper[l + c] + lower[l + c] + upper[r + c] + lower[r + c]) >> 2);
        }
    }
}

void referenceGaussianBlur(Bitmap& bmp, int passes)
{
    for (int pass = passes; pass >= 0; --pass)
        referenceSplitBlur(bmp, 3);
}

} // namespace

// Widths reach past whole vectors with a tail, and past twice the distance so that the edge columns and
// the middle meet in every way. The first rows, and the last ones of small images, read themselves.
TEST_F(Effects, SplitBlurAndGaussianBlurMatchThePlainLoops)
{
    const std::pair<int, int> sizes[] = {{7, 5}, {11, 13}, {33, 17}, {1, 9}, {9, 1}, {2, 2}, {4, 4}, {6, 7}, {7, 6},
        {64, 3}, {3, 64}, {97, 41}, {150, 301}, {301, 150}};
    for (const auto& [w, h] : sizes) {
        const Bitmap original = test::noise(w, h, static_cast<unsigned>(w * 1000 + h));
        for (const int distance : {1, 2, 3, 5, 8, 40}) {
            Bitmap expected = original, actual = original;
            referenceSplitBlur(expected, distance);
            fx.SplitBlur(actual, distance);
            ASSERT_EQ(actual, expected) << w << "x" << h << " distance " << distance;
        }
        for (const int passes : {0, 1, 3}) {
            Bitmap expected = original, actual = original;
            referenceGaussianBlur(expected, passes);
            fx.GaussianBlur(actual, passes);
            ASSERT_EQ(actual, expected) << w << "x" << h << " passes " << passes;
        }
    }
}

TEST_F(Effects, EmbossLeavesTheLastRowAndLastThreeColumns)
{
    const Bitmap original = test::noise(9, 5, 8);
    Bitmap b = original;
    fx.Emboss(b);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c) {
                const int expected = (y == 4 || x >= 6)
                    ? value(original, x, y, c)
                    : ((255 - value(original, x + 3, y + 1, c)) + value(original, x, y, c)) >> 1;
                ASSERT_EQ(value(b, x, y, c), expected) << x << "," << y;
            }
}

TEST_F(Effects, MosaicBlocksAreCutAtTheEdge)
{
    const Bitmap original = test::noise(10, 3, 9);
    Bitmap b = original;
    fx.Mosaic(b, 4);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(b.pixel(x, 2), original.pixel(x / 4 * 4, 0)) << x;
}

TEST_F(Effects, FractalColoursFollowTheIterationCount)
{
    Bitmap b(1, 1);
    fx.Fractal(b, 16, 0, 0, 1, 1, true); // c = 0 never escapes
    EXPECT_EQ(b.pixel(0, 0), gfx::clBlack);
    fx.Fractal(b, 16, 3, 0, 4, 1, false); // Julia from |z|^2 = 9 >= 4: n = 0, index 0
    EXPECT_EQ(b.pixel(0, 0), gfx::clBlack);
    fx.Fractal(b, 16, 1.5, 0, 2.5, 1, false); // Julia from 1.5: escapes after one step, index 1
    EXPECT_EQ(b.pixel(0, 0), rgb(0, 0, 128));
    fx.Fractal(b, 16, 1, 0, 2, 1, true); // c = 1 escapes after 3 steps: index 2
    EXPECT_EQ(b.pixel(0, 0), rgb(0, 128, 0));
}

TEST_F(Effects, SqueezeRoundDrawsNothingOnTheMiddleRow)
{
    const Bitmap src = test::noise(20, 9, 10);
    Bitmap dst(20, 9);
    fx.Squeeze(src, dst, effects::SqueezeShape::Round, 6);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(dst.pixel(x, 4), gfx::clWhite) << x;
    EXPECT_NE(dst.pixel(10, 0), gfx::clWhite);
}

namespace {

// Eight columns of distinct colours on every row.
Bitmap columnsImage(int height)
{
    Bitmap b(8, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 8; ++x)
            b.setPixel(x, y, rgb(x * 30, 100, 200 - x));
    return b;
}

std::vector<gfx::Color> row(const Bitmap& b, int y)
{
    std::vector<gfx::Color> colours;
    for (int x = 0; x < b.width(); ++x)
        colours.push_back(b.pixel(x, y));
    return colours;
}

} // namespace

TEST_F(Effects, SqueezeRoundWithANegativeAmountMirrorsTheRow)
{
    const Bitmap src = columnsImage(3);
    const auto c = [&](int x) { return src.pixel(x, 0); };
    const gfx::Color w = gfx::clWhite;
    Bitmap narrowed(8, 3), mirrored(8, 3);
    fx.Squeeze(src, narrowed, effects::SqueezeShape::Round, 2);
    fx.Squeeze(src, mirrored, effects::SqueezeShape::Round, -2);
    // Row 0 has m = amount. With 2 the row shrinks into columns 2 .. 5, the stretch keeping every
    // other column; with -2 the span runs from 6 back to 2, which covers columns 3 .. 6 mirrored.
    EXPECT_EQ(row(narrowed, 0), (std::vector{w, w, c(1), c(3), c(5), c(7), w, w}));
    EXPECT_EQ(row(mirrored, 0), (std::vector{w, w, w, c(7), c(5), c(3), c(1), w}));
    EXPECT_EQ(row(mirrored, 2), row(mirrored, 0));
    EXPECT_EQ(row(mirrored, 1), std::vector<gfx::Color>(8, w)); // the middle row: m = 0
}

TEST_F(Effects, SplitSqueezeWithANegativeAmountKeepsOnlyTheFirstColumn)
{
    const Bitmap src = columnsImage(3);
    Bitmap split(8, 3), reversed(8, 3);
    fx.SplitSqueeze(src, split, effects::SqueezeShape::Round, 2);
    fx.SplitSqueeze(src, reversed, effects::SqueezeShape::Round, -2);
    const gfx::Color w = gfx::clWhite;
    EXPECT_EQ(
        row(split, 0), (std::vector{src.pixel(1, 0), src.pixel(3, 0), w, w, w, src.pixel(5, 0), src.pixel(7, 0), w}));
    // Both spans turn round: the left half lands mirrored on columns -1 .. 0, so column 0 takes the pick
    // that starts the unmirrored span; the right half lands on 8 .. 9, beyond the last column.
    EXPECT_EQ(row(reversed, 0), (std::vector{src.pixel(1, 0), w, w, w, w, w, w, w}));
}

namespace {

// The plain definition: each source row, a bitmap of its own, stretched by the canvas into columns
// L .. R - 1 of the destination row; a span with R < L goes through the canvas as it is and mirrors.
Bitmap plainSqueeze(const Bitmap& src, effects::SqueezeShape shape, int amount)
{
    constexpr double pi = std::numbers::pi;
    const int w = src.width(), h = src.height();
    amount = std::min(amount, w / 2);
    Bitmap dst(w, h);
    for (int y = 0; y < h; ++y) {
        const double turn = pi * y / (h - 1);
        int l = 0;
        switch (shape) {
        case effects::SqueezeShape::Horizontal:
            l = amount;
            break;
        case effects::SqueezeShape::Top:
            l = app::roundHalfEven(amount * static_cast<double>(h - y - 1) / h);
            break;
        case effects::SqueezeShape::Bottom:
            l = app::roundHalfEven(amount * static_cast<double>(y) / h);
            break;
        case effects::SqueezeShape::Diamond:
            l = app::roundHalfEven(amount * std::abs(std::sin(turn)));
            break;
        case effects::SqueezeShape::Waste:
            l = app::roundHalfEven(amount * std::abs(std::cos(turn)));
            break;
        case effects::SqueezeShape::Round:
        case effects::SqueezeShape::DoubleRound:
            break;
        }
        int r = w - l;
        if (shape == effects::SqueezeShape::Round || shape == effects::SqueezeShape::DoubleRound) {
            const double turns = shape == effects::SqueezeShape::Round ? 1 : 2;
            const int m = app::roundHalfEven(amount * std::abs(std::cos(turns * turn)));
            l = w / 2 - m, r = w / 2 + m;
        }
        Bitmap line(w, 1);
        gfx::Canvas(line).copyRect({0, 0, w, 1}, src, {0, y, w, y + 1});
        gfx::Canvas(dst).copyRect({l, y, r, y + 1}, line, {0, 0, w, 1});
    }
    return dst;
}

} // namespace

TEST_F(Effects, SqueezeStretchesEachRowAsTheCanvasDoes)
{
    for (const auto& [w, h] : {std::pair{11, 13}, std::pair{20, 9}, std::pair{7, 5}}) {
        const Bitmap src = test::noise(w, h, 31);
        for (int shape = 0; shape < 7; ++shape)
            for (const int amount : {3, 5, -3, -6, 40, -40}) {
                Bitmap dst(w, h);
                fx.Squeeze(src, dst, static_cast<effects::SqueezeShape>(shape), amount);
                EXPECT_EQ(dst, plainSqueeze(src, static_cast<effects::SqueezeShape>(shape), amount))
                    << w << "x" << h << " shape " << shape << " amount " << amount;
            }
    }
}

namespace {

// An operation on a view of a picture, writing a window of its whole result, and the same operation on
// a whole bitmap.
struct WindowedOp {
    const char* name;
    int srcWidth, srcHeight; // the view's picture; the whole result is 30 x 30
    std::function<void(TketPaintFX&, const effects::SourceView&, Bitmap&, const effects::ResultWindow&)> window;
    std::function<void(TketPaintFX&, Bitmap&, Bitmap&)> whole;
};

WindowedOp squeezeOp(const char* name, bool split, effects::SqueezeShape shape, int amount)
{
    return {name, 30, 30,
        [=](TketPaintFX& f, const effects::SourceView& s, Bitmap& d, const effects::ResultWindow& w) {
            split ? f.SplitSqueeze(s, d, w, shape, amount) : f.Squeeze(s, d, w, shape, amount);
        },
        [=](TketPaintFX& f, Bitmap& s, Bitmap& d) {
            split ? f.SplitSqueeze(s, d, shape, amount) : f.Squeeze(s, d, shape, amount);
        }};
}

WindowedOp resampleOp(const char* name, const char* filter, int srcWidth, int srcHeight)
{
    const effects::ResampleFilter* f = effects::findResampleFilter(filter);
    return {name, srcWidth, srcHeight,
        [=](TketPaintFX& fx, const effects::SourceView& s, Bitmap& d, const effects::ResultWindow& w) {
            ASSERT_TRUE(fx.Resample(s, d, w, *f, f->support).ok());
        },
        [=](TketPaintFX& fx, Bitmap& s, Bitmap& d) { ASSERT_TRUE(fx.Resample(s, d, *f, f->support).ok()); }};
}

} // namespace

TEST_F(Effects, AWindowOfAResultHoldsTheBytesOfTheWholeResult)
{
    using effects::SqueezeShape;
    using View = const effects::SourceView&;
    using Window = const effects::ResultWindow&;
    const WindowedOp ops[] = {
        {"Fisheye 0.9", 30, 30, [](TketPaintFX& f, View s, Bitmap& d, Window w) { f.Fisheye(s, d, w, 0.9); },
            [](TketPaintFX& f, Bitmap& s, Bitmap& d) { f.Fisheye(s, d, 0.9); }},
        {"Fisheye 0.6", 30, 30, [](TketPaintFX& f, View s, Bitmap& d, Window w) { f.Fisheye(s, d, w, 0.6); },
            [](TketPaintFX& f, Bitmap& s, Bitmap& d) { f.Fisheye(s, d, 0.6); }},
        {"Twist 3", 30, 30, [](TketPaintFX& f, View s, Bitmap& d, Window w) { f.Twist(s, d, w, 3); },
            [](TketPaintFX& f, Bitmap& s, Bitmap& d) { f.Twist(s, d, 3); }},
        {"Twist -7", 30, 30, [](TketPaintFX& f, View s, Bitmap& d, Window w) { f.Twist(s, d, w, -7); },
            [](TketPaintFX& f, Bitmap& s, Bitmap& d) { f.Twist(s, d, -7); }},
        {"RotateSmooth", 30, 30,
            [](TketPaintFX& f, View s, Bitmap& d, Window w) { f.RotateSmooth(s, d, w, 15, 15, 33.0); },
            [](TketPaintFX& f, Bitmap& s, Bitmap& d) { f.RotateSmooth(s, d, 15, 15, 33.0); }},
        {"RotateSmooth off centre", 30, 30,
            [](TketPaintFX& f, View s, Bitmap& d, Window w) { f.RotateSmooth(s, d, w, 3, 20, -140.0); },
            [](TketPaintFX& f, Bitmap& s, Bitmap& d) { f.RotateSmooth(s, d, 3, 20, -140.0); }},
        squeezeOp("Squeeze Horizontal 9", false, SqueezeShape::Horizontal, 9),
        squeezeOp("Squeeze Top -9", false, SqueezeShape::Top, -9),
        squeezeOp("Squeeze Bottom 40", false, SqueezeShape::Bottom, 40),
        squeezeOp("Squeeze Diamond -40", false, SqueezeShape::Diamond, -40),
        squeezeOp("Squeeze Waste 9", false, SqueezeShape::Waste, 9),
        squeezeOp("Squeeze Round 9", false, SqueezeShape::Round, 9),
        squeezeOp("Squeeze Round -9", false, SqueezeShape::Round, -9),
        squeezeOp("Squeeze Round -40", false, SqueezeShape::Round, -40),
        squeezeOp("Squeeze DoubleRound -9", false, SqueezeShape::DoubleRound, -9),
        squeezeOp("SplitSqueeze Round 6", true, SqueezeShape::Round, 6),
        squeezeOp("SplitSqueeze Waste -6", true, SqueezeShape::Waste, -6),
        squeezeOp("SplitSqueeze Waste 0", true, SqueezeShape::Waste, 0),
        resampleOp("Resample widening", "Mitchell", 12, 30),
        resampleOp("Resample heightening", "Mitchell", 30, 9),
        resampleOp("Resample shrinking", "Lanczos3", 41, 37),
    };
    // The view's picture starts 7 columns left of the bitmap and 5 rows down, so parts of it lie off
    // the bitmap on the left and at the bottom: white there, as a copy into a white bitmap gives.
    const Bitmap world = test::noise(23, 19, 41);
    const effects::ColumnSpan spans[] = {{0, 12}, {3, 9}, {5, 6}, {0, 0}, {11, 12}, {2, 12}};
    const gfx::Rect windows[] = {{0, 0, 30, 30}, {5, 3, 17, 11}, {0, 24, 30, 30}, {29, 0, 30, 30}, {12, 12, 13, 13}};
    for (const WindowedOp& op : ops) {
        const effects::SourceView view{&world, -7, 5, op.srcWidth, op.srcHeight};
        Bitmap padded(op.srcWidth, op.srcHeight);
        gfx::Canvas(padded).copyRect(
            {0, 0, op.srcWidth, op.srcHeight}, world, {-7, 5, op.srcWidth - 7, op.srcHeight + 5});
        Bitmap whole(30, 30);
        op.whole(fx, padded, whole);
        for (const gfx::Rect& r : windows)
            for (const bool someRows : {false, true}) {
                const int ww = static_cast<int>(r.width()), wh = static_cast<int>(r.height());
                std::vector<effects::ColumnSpan> rows;
                for (int y = 0; someRows && y < wh; ++y)
                    rows.push_back(spans[y % std::size(spans)]);
                Bitmap part(ww, wh);
                op.window(fx, view, part, {30, 30, r.left, r.top, rows});
                int wrong = 0;
                for (int y = 0; y < wh; ++y)
                    for (int x = someRows ? rows[y].x0 : 0; x < (someRows ? std::min(rows[y].x1, ww) : ww); ++x)
                        wrong += part.pixel(x, y) != whole.pixel(r.left + x, r.top + y);
                EXPECT_EQ(wrong, 0) << op.name << " in " << r.left << "," << r.top << " " << ww << "x" << wh
                                    << (someRows ? " on some rows" : "");
            }
    }
}

namespace {

// The resampler as first written: contributor lists per destination column and row, one pixel and one
// channel at a time, then whole rows.
struct ReferenceContributor {
    int index;
    float weight;
};

std::vector<std::vector<ReferenceContributor>> referenceContributors(
    int first, int count, int srcSize, double scale, const effects::ResampleFilter& f, float support, int& base)
{
    std::vector<std::vector<ReferenceContributor>> lists(static_cast<std::size_t>(count));
    base = srcSize;
    for (int i = first; i < first + count; ++i) {
        const double center = i / scale;
        if (std::isnan(center))
            continue; // a result one pixel across: every kernel gives 0 for a NaN, so nothing contributes
        const double width = scale >= 1 ? support : support / scale;
        const auto lo = static_cast<int>(std::floor(center - width)), hi = static_cast<int>(std::ceil(center + width));
        for (int j = lo; j <= hi; ++j) {
            const float weight = scale >= 1
                ? f.kernel(static_cast<float>(center - j))
                : f.kernel(static_cast<float>((center - j) * scale)) * static_cast<float>(scale);
            if (weight == 0)
                continue;
            int n = j;
            if (n < 0)
                n = -n;
            else if (n >= srcSize)
                n = 2 * srcSize - 1 - n;
            n = std::clamp(n, 0, srcSize - 1);
            lists[static_cast<std::size_t>(i - first)].push_back({n, weight});
            base = std::min(base, n);
        }
    }
    for (auto& list : lists)
        for (ReferenceContributor& c : list)
            c.index -= base;
    return lists;
}

int referenceExtent(const std::vector<std::vector<ReferenceContributor>>& lists)
{
    int end = 0;
    for (const auto& list : lists)
        for (const ReferenceContributor& c : list)
            end = std::max(end, c.index + 1);
    return end;
}

std::uint8_t referenceByte(float sum)
{
    return static_cast<std::uint8_t>(std::clamp(app::roundHalfEven(sum), 0, 255));
}

void referenceResample(const effects::SourceView& src, Bitmap& dst, const effects::ResultWindow& window,
    const effects::ResampleFilter& filter, float support)
{
    const int sw = src.width, sh = src.height, dw = window.fullWidth, dh = window.fullHeight;
    const double xscale = sw == 1 ? static_cast<double>(dw) / sw : (dw - 1.0) / (sw - 1.0);
    const double yscale = sh == 1 ? static_cast<double>(dh) / sh : (dh - 1.0) / (sh - 1.0);
    const int nx = std::min(dst.width(), dw - window.left), ny = std::min(dst.height(), dh - window.top);
    if (nx <= 0 || ny <= 0)
        return;
    int col0 = 0, row0 = 0;
    const auto columns = referenceContributors(window.left, nx, sw, xscale, filter, support, col0);
    const auto rows = referenceContributors(window.top, ny, sh, yscale, filter, support, row0);
    const int nrows = referenceExtent(rows);
    Bitmap work(nx, std::max(nrows, 1));
    for (int y = 0; y < nrows; ++y) {
        std::uint8_t* out = work.scanLine(y);
        for (int i = 0; i < nx; ++i) {
            float sum[3] = {0, 0, 0};
            for (const ReferenceContributor& c : columns[static_cast<std::size_t>(i)])
                for (int k = 0; k < 3; ++k)
                    sum[k] += c.weight * src.pixel(col0 + c.index, row0 + y)[k];
            for (int k = 0; k < 3; ++k)
                out[i * 3 + k] = referenceByte(sum[k]);
        }
    }
    const std::size_t bytes = static_cast<std::size_t>(nx) * 3;
    std::vector<float> sum(bytes);
    for (int i = 0; i < ny; ++i) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const ReferenceContributor& c : rows[static_cast<std::size_t>(i)]) {
            const std::uint8_t* in = work.scanLine(c.index);
            for (std::size_t k = 0; k < bytes; ++k)
                sum[k] += c.weight * in[k];
        }
        std::uint8_t* out = dst.scanLine(i);
        for (std::size_t k = 0; k < bytes; ++k)
            out[k] = referenceByte(sum[k]);
    }
}

// A picture with large smooth areas beside noise, so that sums fall on halves and beyond the byte range.
Bitmap resampleSource(int w, int h, unsigned seed)
{
    Bitmap b = test::noise(w, h, seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            b.setPixel(x, y, (x + y) % 5 == 0 ? gfx::clWhite : rgb(x * 7 % 256, 3, y % 2 ? 0 : 255));
    return b;
}

} // namespace

// Every kernel, reducing and enlarging, to and from a single pixel, with scales that differ across and
// down; the largest pictures are split between threads and reach past whole vectors.
TEST_F(Effects, ResampleMatchesThePlainLoopsForEveryKernel)
{
    struct Case {
        int sw, sh, dw, dh;
    };
    const auto scaled = [](int sw, int sh, double s) {
        return Case{sw, sh, std::max(1, static_cast<int>(std::lround(sw * s))),
            std::max(1, static_cast<int>(std::lround(sh * s)))};
    };
    std::vector<Case> cases;
    for (const auto& [sw, sh] :
        {std::pair{7, 5}, std::pair{11, 13}, std::pair{33, 17}, std::pair{1, 9}, std::pair{9, 1}, std::pair{251, 203}})
        for (const double s : {0.7, 1.25})
            cases.push_back(scaled(sw, sh, s));
    const Case more[] = {{7, 5, 13, 9}, {11, 13, 21, 25}, {33, 17, 65, 4}, {33, 17, 3, 40}, {33, 17, 1, 1},
        {33, 17, 1, 9}, {33, 17, 7, 1}, {1, 1, 5, 3}, {1, 1, 1, 1}, {2, 2, 9, 9}, {3, 1, 1, 1}, {60, 50, 7, 6},
        {40, 30, 211, 97}, {130, 140, 129, 139}};
    cases.insert(cases.end(), std::begin(more), std::end(more));
    for (const effects::ResampleFilter& f : effects::resampleFilters())
        for (const Case& c : cases) {
            Bitmap src = resampleSource(c.sw, c.sh, static_cast<unsigned>(c.sw + c.dw));
            Bitmap expected(c.dw, c.dh), actual(c.dw, c.dh);
            referenceResample(
                effects::SourceView::of(src), expected, effects::ResultWindow::of(expected), f, f.support);
            ASSERT_TRUE(fx.Resample(src, actual, f, f.support).ok());
            ASSERT_EQ(actual, expected) << f.name << " " << c.sw << "x" << c.sh << " to " << c.dw << "x" << c.dh;
        }
}

// Windows of results read through views that reach off the bitmap, as the stretch brushes make them.
TEST_F(Effects, WindowedResampleMatchesThePlainLoops)
{
    const Bitmap world = test::noise(60, 50, 77);
    struct Case {
        const char* filter;
        effects::SourceView view;
        int fullWidth, fullHeight;
        gfx::Rect part;
    };
    const Case cases[] = {
        {"Mitchell", {&world, -7, 5, 30, 40}, 41, 29, {0, 0, 41, 29}},
        {"Mitchell", {&world, 20, -9, 45, 45}, 31, 31, {3, 4, 30, 17}},
        {"Lanczos3", {&world, 2, 3, 50, 40}, 70, 61, {69, 0, 70, 61}},
        {"Box", {&world, 40, 30, 33, 33}, 19, 23, {5, 5, 6, 22}},
        {"Bell", {&world, 0, 0, 60, 50}, 150, 120, {17, 33, 149, 120}},
        {"B-Spline", {&world, -20, -20, 100, 90}, 64, 57, {0, 40, 64, 57}},
        {"Hermite", {&world, 10, 10, 1, 30}, 12, 12, {2, 2, 9, 12}},
    };
    for (const Case& c : cases) {
        const effects::ResampleFilter& f = *effects::findResampleFilter(c.filter);
        const int w = static_cast<int>(c.part.width()), h = static_cast<int>(c.part.height());
        const effects::ResultWindow window{
            c.fullWidth, c.fullHeight, static_cast<int>(c.part.left), static_cast<int>(c.part.top), {}};
        Bitmap expected(w, h), actual(w, h);
        referenceResample(c.view, expected, window, f, f.support);
        ASSERT_TRUE(fx.Resample(c.view, actual, window, f, f.support).ok());
        EXPECT_EQ(actual, expected) << c.filter << " window at " << c.part.left << "," << c.part.top;
    }
}

TEST_F(Effects, AVeryLargeTwistTurnsASquareAQuarterCounterClockwise)
{
    const Bitmap src = test::noise(9, 9, 11);
    Bitmap dst(9, 9);
    fx.Twist(src, dst, 1000000000);
    // Where the source lands on row 0 or column 0, rounding noise can fall just below zero, and the
    // sampling rule then weighs the next row or column: those pixels are left out.
    for (int y = 0; y < 8; ++y)
        for (int x = 1; x < 9; ++x) {
            const int dx = x - 4, dy = y - 4;
            ASSERT_EQ(dst.pixel(x, y), src.pixel(4 - dy, 4 + dx)) << x << "," << y;
        }
}

TEST_F(Effects, ResampleFailsOnAnEmptySourceAndCopiesWithAUnitTriangle)
{
    Bitmap empty, dst(4, 4);
    const auto status = fx.Resample(empty, dst, effects::resampleFilters()[1], 1.0f);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error(), "Source bitmap too small");
    EXPECT_EQ(dst, Bitmap(4, 4));

    Bitmap src = test::noise(7, 5, 12), same(7, 5);
    ASSERT_TRUE(fx.Resample(src, same, *effects::findResampleFilter("Triangle"), 1.0f).ok());
    EXPECT_EQ(same, src);

    Bitmap dot(1, 1), big(5, 3);
    dot.setPixel(0, 0, rgb(10, 200, 30));
    ASSERT_TRUE(fx.Resample(dot, big, *effects::findResampleFilter("Box"), 0.5f).ok());
    EXPECT_EQ(big.pixel(4, 2), rgb(10, 200, 30));
}

TEST_F(Effects, MasksBlackenAndMarkTheTransparentColour)
{
    Bitmap keep = valuesRow({0, 0, 255, 0, 255, 0}); // red, green
    Bitmap drop = keep;
    fx.MaskKeepColor(keep, gfx::clRed);
    EXPECT_EQ(keep.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(keep.pixel(1, 0), gfx::clBlack);
    EXPECT_TRUE(keep.transparent);
    EXPECT_EQ(keep.transparentColor, gfx::clBlack);
    fx.MaskDropColor(drop, gfx::clRed);
    EXPECT_EQ(drop.pixel(0, 0), gfx::clBlack);
    EXPECT_EQ(drop.pixel(1, 0), gfx::clLime);
}

// The tiled quarter turn against the plain definition, at sizes that do not divide into tiles; the
// largest is turned in two halves at once.
TEST_F(Effects, RotateQuarterMovesEveryPixelClockwise)
{
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{130, 67}, std::pair{301, 259}}) {
        Bitmap src = test::noise(w, h, static_cast<unsigned>(w)), dst;
        fx.RotateQuarter(src, dst);
        ASSERT_EQ(dst.width(), h);
        ASSERT_EQ(dst.height(), w);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(dst.pixel(h - 1 - y, x), src.pixel(x, y));
    }
}

namespace {
// The convolution exactly as defined: clamped coordinates, truncating division, no shortcuts.
Bitmap convolveReference(const Bitmap& src, const std::array<int, 25>& k)
{
    Bitmap out = src;
    int sum = 0;
    for (int v : k)
        sum += v;
    const int divisor = sum == 0 ? 1 : sum;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            for (int c = 0; c < 3; ++c) {
                int acc = 0;
                for (int a = 0; a < 5; ++a)
                    for (int b = 0; b < 5; ++b)
                        acc += k[static_cast<std::size_t>(a * 5 + b)]
                            * value(src, std::clamp(x + a - 2, 0, src.width() - 1),
                                std::clamp(y + b - 2, 0, src.height() - 1), c);
                out.scanLine(y)[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(acc / divisor, 0, 255));
            }
    return out;
}
} // namespace

TEST_F(Effects, Convolve5x5MatchesThePlainDefinition)
{
    app::Random pick(99);
    for (int round = 0; round < 40; ++round) {
        std::array<int, 25> k{};
        // Odd rounds keep the weights small, so every sum fits 16 bits and the narrow path runs; their
        // images are wide enough for whole vectors of sixteen values and a tail.
        const bool narrow = round % 2 == 1;
        for (int& v : k)
            v = narrow ? pick(7) - 3 : pick(41) - 20;
        if (round % 5 == 0) {
            k.fill(0);
            k[12] = 5, k[0] = -5; // weights summing to zero divide by one
        }
        const Bitmap src
            = test::noise(narrow ? 1 + pick(40) : 1 + pick(13), 1 + pick(11), static_cast<unsigned>(round));
        Bitmap fast = src;
        fx.Convolve5x5(fast, k);
        ASSERT_EQ(fast, convolveReference(src, k)) << "round " << round;
    }
}

TEST_F(Effects, Convolve5x5InTwoHalvesMatchesThePlainDefinition)
{
    // Tall images are convolved in two halves at once, each reading rows the other overwrites.
    const std::array<int, 25> separable{1, 2, 3, 2, 1, 2, 4, 6, 4, 2, 3, 6, 9, 6, 3, 2, 4, 6, 4, 2, 1, 2, 3, 2, 1};
    std::array<int, 25> narrow{};
    narrow[3] = 2, narrow[12] = 4, narrow[21] = -1;
    std::array<int, 25> wide{};
    for (int i = 0; i < 25; ++i)
        wide[static_cast<std::size_t>(i)] = (i * 37) % 41 - 20;
    for (const auto& k : {separable, narrow, wide})
        for (const int height : {64, 65, 150}) {
            const Bitmap src = test::noise(23, height, static_cast<unsigned>(height));
            Bitmap fast = src;
            fx.Convolve5x5(fast, k);
            ASSERT_EQ(fast, convolveReference(src, k)) << "height " << height << " kernel " << k[0];
        }
}

TEST_F(Effects, Convolve5x5WeighsColumnsByTheFirstIndex)
{
    std::array<int, 25> k{};
    k[4 * 5 + 2] = 1; // two columns right, same row
    const Bitmap src = test::noise(6, 3, 13);
    Bitmap b = src;
    fx.Convolve5x5(b, k);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(b.pixel(x, 1), src.pixel(std::min(x + 2, 5), 1)) << x;
}

class EveryEffectCommand : public ::testing::TestWithParam<effects::EffectCommand> { };

// Each row runs on a small odd-sized image with arguments of its own arity, and refuses text.
TEST_P(EveryEffectCommand, RunsWithNumbersAndRefusesText)
{
    const effects::EffectCommand& command = GetParam();
    app::Random random(1);
    TketPaintFX fx(random);
    std::vector<std::string> args(command.maxArguments, "2");
    if (command.name == "Resample")
        args = {"Mitchell", "0.7"};
    if (command.name == "Fractal")
        args = {"16", "-2", "-1", "1", "1", "1"};
    Bitmap image = test::noise(13, 11, 14);
    const auto status = command.apply(fx, image, args);
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error());
    EXPECT_GT(image.width(), 0);
    if (command.maxArguments > 0) {
        args.back() = "two";
        Bitmap other = test::noise(13, 11, 14);
        const Bitmap before = other;
        EXPECT_FALSE(command.apply(fx, other, args).ok());
        EXPECT_EQ(other, before);
    }
}

INSTANTIATE_TEST_SUITE_P(All, EveryEffectCommand,
    ::testing::ValuesIn(effects::effectCommands().begin(), effects::effectCommands().end()),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EffectCommands, ParsesNameAndArgumentsAndReportsMistakes)
{
    app::Random random(1);
    TketPaintFX fx(random);
    Bitmap image = test::noise(8, 8, 15);
    EXPECT_TRUE(effects::applyEffect(fx, image, "gaussianblur:1").ok());
    EXPECT_EQ(effects::applyEffect(fx, image, "Nothing").error(), "unknown effect \"Nothing\"");
    EXPECT_EQ(effects::applyEffect(fx, image, "Mosaic").error(), "wrong number of arguments: use Mosaic:size");
    EXPECT_FALSE(effects::applyEffect(fx, image, "Posterize:0").ok());
    EXPECT_FALSE(effects::applyEffect(fx, image, "Resample:Nearest,2").ok());
}

TEST_F(Effects, RotateSmoothByZeroDegreesCopiesAndLeavesUncoveredPixelsAlone)
{
    const Bitmap src = test::noise(9, 7, 17);
    Bitmap dst(9, 7);
    fx.RotateSmooth(src, dst, 4, 3, 0);
    EXPECT_EQ(dst, src);
    Bitmap wide(13, 7); // two columns either side lie outside the source
    fx.RotateSmooth(src, wide, 4, 3, 0);
    EXPECT_EQ(wide.pixel(0, 3), gfx::clWhite);
    EXPECT_EQ(wide.pixel(2, 3), src.pixel(0, 3));
}

TEST_F(Effects, FisheyeKeepsTheCentrePixel)
{
    const Bitmap src = test::noise(10, 10, 18);
    Bitmap dst(10, 10);
    fx.Fisheye(src, dst, 0.8);
    EXPECT_EQ(dst.pixel(5, 5), src.pixel(5, 5)); // r = 0 samples (W/2, H/2) exactly
}

TEST_F(Effects, RippleToothSmearsDownInASawTooth)
{
    Bitmap b(4, 6);
    for (int x = 0; x < 4; ++x)
        b.setPixel(x, 0, gfx::clRed);
    fx.RippleTooth(b, 2); // offsets 0, 1, 2, 0 along the row
    EXPECT_EQ(b.pixel(0, 0), gfx::clRed);
    EXPECT_EQ(b.pixel(1, 1), gfx::clRed);
    EXPECT_EQ(b.pixel(2, 2), gfx::clRed);
    EXPECT_EQ(b.pixel(3, 0), gfx::clRed);
    EXPECT_EQ(b.pixel(3, 1), gfx::clWhite);
}

TEST_F(Effects, MapLiftsBrightPixelsByTheirBrightness)
{
    Bitmap b(1, 10);
    b.fill(gfx::clBlack);
    b.setPixel(0, 9, gfx::clWhite); // brightness 1: rises by the whole amount
    fx.Map(b, 5);
    EXPECT_EQ(b.pixel(0, 4), gfx::clWhite);
    EXPECT_EQ(b.pixel(0, 9), gfx::clWhite); // the copy's black pixels land on their own rows
    EXPECT_EQ(b.pixel(0, 8), gfx::clBlack);
}

TEST_F(Effects, PlasmaDisplacesByTheBlueOfTheSecondSource)
{
    const Bitmap src1 = test::noise(40, 30, 19);
    Bitmap src2(40, 30);
    src2.fill(gfx::clBlack); // blue 0: offset (Round(-t sin 0), Round(t cos 0)) = (0, t)
    Bitmap dst(40, 30);
    fx.Plasma(src1, src2, 5, 10, dst);
    EXPECT_EQ(dst.pixel(3, 2), src1.pixel(3, 7));
    EXPECT_EQ(dst.pixel(3, 27), gfx::clWhite); // (3, 32) lies outside: left as it was
}

TEST_F(Effects, ButtonizeLightensTheTopLeftAndDarkensTheBottomRight)
{
    Bitmap b(6, 6);
    b.fill(rgb(100, 100, 100));
    fx.Buttonize(b, 1, 255); // lighten to 255, darken to 0
    EXPECT_EQ(b.pixel(2, 0), gfx::clWhite);
    EXPECT_EQ(b.pixel(2, 5), gfx::clBlack);
    EXPECT_EQ(b.pixel(0, 3), gfx::clWhite);
    EXPECT_EQ(b.pixel(5, 3), gfx::clBlack);
    EXPECT_EQ(b.pixel(2, 2), rgb(100, 100, 100));
    // Corner pixels are treated twice, in order: (5, 0) is lightened along the top row, then darkened.
    EXPECT_EQ(b.pixel(5, 0), gfx::clBlack);
}

TEST_F(Effects, SeamMakesTheEdgesMeet)
{
    Bitmap b(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b.setPixel(x, y, rgb(x * 30, y * 30, 0));
    fx.Seam(b, 2);
    // Row r = 0 has e = 1: the bottom row takes the top row's colours, and the right column the left's.
    EXPECT_EQ(b.pixel(3, 7), b.pixel(3, 0));
    EXPECT_EQ(b.pixel(7, 4), b.pixel(0, 4));
}

TEST_F(Effects, WaveShiftsEachColumnByTheOffsetOfTheColumnBefore)
{
    Bitmap b(20, 20);
    for (int x = 0; x < 20; ++x)
        b.setPixel(x, 10, gfx::clBlue);
    fx.Wave(b, 2, effects::WaveStyle::Normal, 0); // rows 15 .. 2 move down by 2 plus the offset
    EXPECT_EQ(b.pixel(0, 12), gfx::clBlue); // column 0 uses offset 0
    // Column 1 moves by the offset computed at x = 0, Round(2 sin 0) = 0; column 2 by Round(2 sin(pi / 4)) = 1.
    EXPECT_EQ(b.pixel(1, 12), gfx::clBlue);
    const int offset = app::roundHalfEven(2 * std::sin(std::numbers::pi / 4));
    ASSERT_EQ(offset, 1);
    EXPECT_EQ(b.pixel(2, 12 + offset), gfx::clBlue);
}
