#include "generators/Texture.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/ImageCommands.h"
#include "support/FakeHost.h"
#include "support/TestImages.h"

#include <climits>
#include <gtest/gtest.h>
#include <set>

using namespace daubix;

namespace {

constexpr const char* kMinSize = "Minimum Texture Size of\r  4 has been substituted";
constexpr const char* kMaxSize = "Maximum Texture Size of\r  240 has been substituted";
constexpr const char* kMaxNoise = "Maximum Noise Amount of\r  100 has been substituted";

// Olive's colours worked out by hand from the formulas: light (161, 161, 94) and dark (115, 115, 0).
constexpr gfx::Color kOliveLight = gfx::rgb(161, 161, 94);
constexpr gfx::Color kOliveDark = gfx::rgb(115, 115, 0);

const app::CommandRow& windowRow(std::string_view path)
{
    for (const app::CommandRow& row : generators::textureWindowRows())
        if (row.path == path)
            return row;
    throw std::logic_error("no such row");
}

// How many draws took the generator from one state to another.
std::int64_t drawsBetween(std::uint32_t from, std::uint32_t to)
{
    app::Random r(from);
    for (std::int64_t n = 0; n < 10'000'000; ++n) {
        if (r.state() == to)
            return n;
        r(0);
    }
    return -1;
}

// The grain's draws for a tile of that size from the seed: three for each grain pixel, one for each
// step down a column.
std::int64_t grainDraws(std::uint32_t seed, int size)
{
    app::Random r(seed);
    std::int64_t draws = 0;
    for (int x = 0; x <= size; x += 2)
        for (int y = 0; y <= size; y += r(2) + 2) {
            for (int channel = 0; channel < 3; ++channel)
                r(0);
            draws += 4;
        }
    return draws;
}

gfx::Bitmap tileOf(int size, int noise, bool mono, std::uint32_t seed, gfx::Color colour = gfx::clOlive)
{
    app::Random random;
    random.seedFixed(seed);
    return generators::makeTexture(colour, size, noise, mono, random);
}

struct Panel {
    app::Document doc;
    test::FakeHost host;
    Panel()
    {
        doc.random.seedFixed(17);
        generators::createTexturePanel(doc);
    }
};

} // namespace

TEST(TextureColours, BlendTruncatesEachShareAndHoldsThePercentInRange)
{
    struct Case {
        gfx::Color a, b;
        int p;
        gfx::Color expected;
    };
    const Case cases[] = {
        {gfx::rgb(99, 99, 99), gfx::rgb(99, 99, 99), 50, gfx::rgb(98, 98, 98)}, // 49.5 + 49.5, not 99
        {gfx::clOlive, gfx::rgb(180, 180, 148), 36, kOliveLight},
        {gfx::rgb(10, 20, 30), gfx::rgb(200, 100, 0), 150, gfx::rgb(10, 20, 30)},
        {gfx::rgb(10, 20, 30), gfx::rgb(200, 100, 0), -5, gfx::rgb(200, 100, 0)},
        {gfx::clWhite, gfx::clBlack, 36, gfx::rgb(91, 91, 91)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(generators::blend(c.a, c.b, c.p), c.expected) << c.p;
}

TEST(TextureColours, LightAndDarkFollowTheFormulasInWholeNumbers)
{
    EXPECT_EQ(generators::light(gfx::clOlive), kOliveLight);
    EXPECT_EQ(generators::dark(gfx::clOlive), kOliveDark);
    // 0.82 * 150 is 123 exactly, so dark blends with 123: 78 + 59.
    EXPECT_EQ(generators::dark(gfx::rgb(150, 150, 150)), gfx::rgb(137, 137, 137));
    EXPECT_EQ(generators::light(gfx::clBlack), gfx::rgb(81, 81, 81));
}

// Each channel's reach over many draws: plain noise moves it by -half .. a - 1 - half, mirrored at 0 and
// held at 255; mono noise adds 0 .. Trunc(a v / 256) - Trunc(half v / 256) - 1.
TEST(TextureColours, NoisyReachesExactlyItsRange)
{
    struct Case {
        int v, amount;
        bool mono;
        int lo, hi;
    };
    const Case cases[] = {
        {100, 40, false, 80, 119},
        {0, 100, false, 0, 50},
        {250, 100, false, 200, 255},
        {100, -40, false, 80, 119},
        {100, 500, false, 50, 149},
        {200, 100, true, 200, 238},
        {3, 100, true, 3, 3},
        {100, 0, false, 100, 100},
        {100, INT_MIN, false, 50, 149},
    };
    for (const Case& c : cases) {
        app::Random random(9);
        int lo = 255, hi = 0;
        for (int i = 0; i < 2000; ++i) {
            const std::uint32_t before = random.state();
            const gfx::Color n = generators::noisy(gfx::rgb(c.v, c.v, c.v), c.amount, c.mono, random);
            ASSERT_EQ(drawsBetween(before, random.state()), 3);
            for (const int channel : {gfx::red(n), gfx::green(n), gfx::blue(n)}) {
                lo = std::min(lo, channel);
                hi = std::max(hi, channel);
            }
        }
        EXPECT_EQ(lo, c.lo) << c.v << " " << c.amount;
        EXPECT_EQ(hi, c.hi) << c.v << " " << c.amount;
    }
}

TEST(TextureColours, RandposReachesBothEndsWithTwoDraws)
{
    app::Random random(3);
    std::set<int> seen;
    for (int i = 0; i < 500; ++i) {
        const std::uint32_t before = random.state();
        seen.insert(generators::randpos(6, random));
        ASSERT_EQ(drawsBetween(before, random.state()), 2);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));
}

// The draws a tile costs: the grain's, then 35 for each bump repetition (ten places of two draws and five
// noisy colours of three), repeated max(1, count div 80) times.
TEST(MakeTexture, RunsTheBumpLoopCountDiv80Times)
{
    struct Case {
        int size, noise;
        std::int64_t repetitions;
    };
    const Case cases[] = {{60, 40, 41}, {4, 0, 1}, {8, 3, 1}, {240, 100, 480}, {61, 7, 16}};
    constexpr std::uint32_t kSeed = 1234;
    for (const Case& c : cases) {
        app::Random random(99); // the clock reseed replaces this state
        random.seedFixed(kSeed);
        random(0); // and this
        const gfx::Bitmap tile = generators::makeTexture(gfx::clOlive, c.size, c.noise, false, random);
        EXPECT_EQ(tile.width(), c.size);
        EXPECT_EQ(tile.height(), c.size);
        const std::int64_t draws = drawsBetween(kSeed, random.state());
        EXPECT_EQ(draws - grainDraws(kSeed, c.size), 35 * c.repetitions) << c.size << " " << c.noise;
    }
}

// Random(0) is 0, so grain and bump centres keep the base colour, but the neighbours still carry the
// light and dark blends: olive's worked out by hand.
TEST(MakeTexture, NoNoiseLeavesOnlyTheBaseAndTheBumpBlends)
{
    const std::set<gfx::Color> allowed{
        gfx::clOlive, // grain and bump centres
        gfx::rgb(119, 119, 0), // blend(base, D, 36): right and below
        gfx::rgb(149, 149, 60), // blend(base, L, 36): left and above
        gfx::rgb(143, 143, 45), // blend(base, L, 52): top left
        gfx::rgb(127, 127, 0), // blend(base, base, 36): bottom left and top right
        gfx::rgb(121, 121, 0), // blend(base, D, 52): bottom right
    };
    for (const bool mono : {false, true}) {
        const gfx::Bitmap tile = tileOf(60, 0, mono, 5);
        std::set<gfx::Color> seen;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                seen.insert(tile.pixel(x, y));
        EXPECT_EQ(seen, allowed) << mono;
    }
}

// The grain's last column and row and the bumps at the edges reach one pixel beyond the tile; nothing
// lands there (odd sizes have row padding, which must stay zero). The sanitizer build runs this too.
TEST(MakeTexture, WritesNothingOutsideTheTile)
{
    for (const int size : {4, 5, 7, 8, 240})
        for (const bool mono : {false, true}) {
            const gfx::Bitmap tile = tileOf(size, 100, mono, static_cast<std::uint32_t>(size));
            ASSERT_EQ(tile.width(), size);
            const std::size_t used = static_cast<std::size_t>(size) * 3;
            for (int y = 0; y < size; ++y)
                for (std::size_t i = used; i < tile.stride(); ++i)
                    EXPECT_EQ(tile.scanLine(y)[i], 0) << size << " row " << y;
        }
}

// The tile as the steps are written, pixel by pixel on a sheet one pixel wider all round, so that writes
// beyond the tile land apart from it: what makeTexture draws, where and in which order, and that nothing
// beyond the edge wraps into the next row.
gfx::Bitmap writtenTile(gfx::Color base, int size, int noise, bool mono, std::uint32_t seed)
{
    app::Random r(seed);
    const int side = size + 2;
    std::vector<gfx::Color> sheet(static_cast<std::size_t>(side * side), base);
    const auto set = [&](int x, int y, gfx::Color c) {
        if (x >= -1 && y >= -1 && x <= size && y <= size)
            sheet[static_cast<std::size_t>((y + 1) * side + x + 1)] = c;
    };
    const gfx::Color light = generators::light(base), dark = generators::dark(base);
    for (int x = 0; x <= size; x += 2)
        for (int y = 0; y <= size; y += r(2) + 2)
            set(x, y, generators::noisy(base, noise, mono, r));
    gfx::Color v = base;
    const auto bump = [&](int x, int y) {
        v = generators::noisy(base, noise / 4, mono, r);
        set(x, y, v);
        set(x + 1, y, generators::blend(v, dark, 36));
        set(x - 1, y, generators::blend(v, light, 36));
        set(x, y + 1, generators::blend(v, dark, 36));
        set(x, y - 1, generators::blend(v, light, 36));
    };
    const auto corners = [&](int x, int y) {
        set(x - 1, y - 1, generators::blend(v, light, 52));
        set(x - 1, y + 1, generators::blend(v, base, 36));
        set(x + 1, y + 1, generators::blend(v, dark, 52));
        set(x + 1, y - 1, generators::blend(v, base, 36));
    };
    const std::int64_t count = (std::int64_t{noise} + size / 4) * size;
    for (std::int64_t i = 0; i < std::max<std::int64_t>(1, count / 80); ++i) {
        const int c = generators::randpos(size, r), d = generators::randpos(size, r);
        const int m = generators::randpos(size, r), o = generators::randpos(size, r);
        bump(c, d);
        bump(m, o);
        corners(m, o);
        const int e = generators::randpos(size, r), f = generators::randpos(size, r);
        bump(e, f);
        corners(e, f);
        const int p = generators::randpos(size, r), q = generators::randpos(size, r);
        const int y = generators::randpos(size, r), z = generators::randpos(size, r);
        bump(p, q);
        set(y, z, generators::noisy(base, noise / 4, mono, r));
    }
    gfx::Bitmap tile(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            tile.setPixel(x, y, sheet[static_cast<std::size_t>((y + 1) * side + x + 1)]);
    return tile;
}

TEST(MakeTexture, DrawsTheStepsInTheirOrder)
{
    struct Case {
        int size, noise;
        bool mono;
        gfx::Color colour;
    };
    for (const Case c : {Case{60, 40, false, gfx::clOlive}, Case{4, 100, true, gfx::clOlive},
             Case{8, 0, false, gfx::clTeal}, Case{5, 77, false, gfx::clWhite}, Case{240, 100, true, gfx::clMaroon}}) {
        SCOPED_TRACE(testing::Message() << c.size << " " << c.noise << " " << c.mono);
        EXPECT_EQ(tileOf(c.size, c.noise, c.mono, 321, c.colour), writtenTile(c.colour, c.size, c.noise, c.mono, 321));
    }
}

TEST(MakeTexture, TheSameClockMakesTheSameTile)
{
    EXPECT_EQ(tileOf(60, 40, false, 7), tileOf(60, 40, false, 7));
    EXPECT_EQ(tileOf(33, 90, true, 7), tileOf(33, 90, true, 7));
    EXPECT_NE(tileOf(60, 40, false, 7), tileOf(60, 40, false, 8));
    // Interface colours and clNone are resolved before the channels are taken.
    EXPECT_EQ(tileOf(20, 40, false, 7, gfx::clNone), tileOf(20, 40, false, 7, gfx::clWhite));
    EXPECT_EQ(tileOf(20, 40, false, 7, gfx::kInterfaceColorBase + 15), tileOf(20, 40, false, 7, gfx::clSilver));
}

TEST(TextureSetters, SizeIsHeldWithin4To240WithTheMessagesOnce)
{
    struct Case {
        int start, value, expected;
        std::vector<std::string> messages;
        bool remade;
    };
    const Case cases[] = {
        {60, 2, 4, {kMinSize}, true}, {60, 3, 4, {kMinSize}, true}, {60, INT_MIN, 4, {kMinSize}, true},
        {60, 4, 4, {}, true}, {60, 240, 240, {}, true}, {60, 241, 240, {kMaxSize}, true},
        {60, INT_MAX, 240, {kMaxSize}, true}, {60, 60, 60, {}, false},
        {4, 2, 4, {kMinSize}, false}, // substituted to what it was: said, but nothing changes
    };
    for (const Case& c : cases) {
        Panel p;
        generators::setTextureSize(p.doc, p.host, c.start);
        const int revision = p.doc.texture.revision;
        p.host.messages.clear();
        generators::setTextureSize(p.doc, p.host, c.value);
        EXPECT_EQ(p.doc.texture.textureSize, c.expected) << c.value;
        EXPECT_EQ(p.host.messages, c.messages) << c.value;
        EXPECT_EQ(p.doc.texture.revision != revision, c.remade) << c.value;
        EXPECT_EQ(p.doc.texture.tile.width(), c.expected);
    }
}

TEST(TextureSetters, NoiseTakesTheSizeOfTheAmountHeldAt100)
{
    struct Case {
        int start, value, expected;
        std::vector<std::string> messages;
        bool remade;
    };
    const Case cases[] = {
        {40, -30, 30, {}, true},
        {40, 0, 0, {}, true},
        {40, 101, 100, {kMaxNoise}, true},
        {40, -200, 100, {kMaxNoise}, true},
        {40, INT_MIN, 100, {kMaxNoise}, true},
        {40, 40, 40, {}, false},
        {40, -40, 40, {}, false},
        {100, 150, 100, {kMaxNoise}, false},
    };
    for (const Case& c : cases) {
        Panel p;
        generators::setNoiseAmount(p.doc, p.host, c.start);
        const int revision = p.doc.texture.revision;
        p.host.messages.clear();
        generators::setNoiseAmount(p.doc, p.host, c.value);
        EXPECT_EQ(p.doc.texture.noiseAmount, c.expected) << c.value;
        EXPECT_EQ(p.host.messages, c.messages) << c.value;
        EXPECT_EQ(p.doc.texture.revision != revision, c.remade) << c.value;
    }
}

TEST(TextureSetters, ColourAndMonoRemakeTheTileOnlyWhenTheyChange)
{
    Panel p;
    const int start = p.doc.texture.revision;
    generators::setTextureColor(p.doc, gfx::clOlive);
    generators::setNoiseMonoChrome(p.doc, false);
    EXPECT_EQ(p.doc.texture.revision, start);
    generators::setTextureColor(p.doc, gfx::clNavy);
    generators::setNoiseMonoChrome(p.doc, true);
    EXPECT_EQ(p.doc.texture.revision, start + 2);
    EXPECT_EQ(p.doc.texture.tile, tileOf(60, 40, true, 17, gfx::clNavy));
    // The window keeps its tile: creating the panel again changes nothing.
    generators::createTexturePanel(p.doc);
    EXPECT_EQ(p.doc.texture.revision, start + 2);
}

// Pixel (x, y) of the area is the tile's pixel ((x - left) mod w, (y - top) mod h); outside, nothing
// changes. A tile of 7 x 5 with all pixels different shows any mix-up of the phases or the sides.
TEST(PaintTexture, RepeatsTheTileFromTheAreasCorner)
{
    const gfx::Bitmap tile = test::noise(7, 5, 4);
    for (const gfx::PixelFormat format : {gfx::PixelFormat::Bits24, gfx::PixelFormat::Bits8})
        for (const gfx::Rect area :
            {gfx::Rect{0, 0, 301, 203}, gfx::Rect{-9, 13, 250, 190}, gfx::Rect{5, -3, 6, 400}}) {
            gfx::Bitmap image = test::noise(301, 203, 1).converted(format);
            const gfx::Bitmap before = image;
            generators::paintTexture(image, area, tile);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const std::uint32_t expected = area.contains(x, y)
                        ? image.rawFromColor(tile.pixel((x - area.left) % 7, (y - area.top) % 5))
                        : before.rawPixel(x, y);
                    ASSERT_EQ(image.rawPixel(x, y), expected) << x << "," << y;
                }
        }
}

// "Use" on an image larger than the panel's first 256 x 256 covers all of it, period the texture size,
// as one undo step that Undo takes back.
TEST(UseTexture, TilesTheWholeImageAsOneUndoStep)
{
    Panel p;
    const gfx::Bitmap start = test::noise(300, 280, 2);
    p.doc.image = start;
    app::pushImage(p.doc);
    const int index = p.doc.undo.index();
    app::CommandContext ctx{p.doc, p.host};
    app::runCommand(ctx, windowRow("TTextureF > goUse"));
    EXPECT_EQ(p.doc.undo.index(), index + 1);
    EXPECT_TRUE(p.doc.modified);
    const gfx::Bitmap& tile = p.doc.texture.tile;
    ASSERT_EQ(tile.width(), 60);
    for (int y = 0; y < 280; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(p.doc.image.pixel(x, y), tile.pixel(x % 60, y % 60)) << x << "," << y;
    EXPECT_EQ(p.host.repaints, (std::vector<gfx::Rect>{{0, 0, 300, 280}}));
    // Using it again changes nothing and leaves no step.
    app::runCommand(ctx, windowRow("TTextureF > goUse"));
    EXPECT_EQ(p.doc.undo.index(), index + 1);
    app::undoImage(p.doc, p.host);
    EXPECT_EQ(p.doc.image, start);
}

TEST(UseTexture, ColorTakesTheDialogsChoiceAndCancelKeepsTheTile)
{
    struct ColourHost : test::FakeHost {
        std::optional<gfx::Color> answer;
        std::optional<gfx::Color> chooseColor(gfx::Color) override { return answer; }
    };
    Panel p;
    ColourHost host;
    app::CommandContext ctx{p.doc, host};
    const int revision = p.doc.texture.revision;
    app::runCommand(ctx, windowRow("TTextureF > gocolor"));
    EXPECT_EQ(p.doc.texture.revision, revision);
    host.answer = gfx::clMaroon;
    app::runCommand(ctx, windowRow("TTextureF > gocolor"));
    EXPECT_EQ(p.doc.texture.color, gfx::clMaroon);
    EXPECT_EQ(p.doc.texture.tile, tileOf(60, 40, false, 17, gfx::clMaroon));
}
