#include "gfx/Text.h"
#include "io/MetafileTestSupport.h"
#include "support/TestImages.h"

#include <bit>
#include <chrono>
#include <cmath>
#include <limits>

using namespace daubix;
using namespace daubix::test;
using gfx::Canvas;
using gfx::Point;

namespace {

io::MetafileSize sizeOf(const Bytes& file)
{
    const auto m = io::parseMetafile(file);
    if (!m) {
        ADD_FAILURE() << m.error();
        return {0, 0};
    }
    return io::metafileSize(m.value());
}

bool sameSize(io::MetafileSize a, io::MetafileSize b)
{
    return a.width == b.width && a.height == b.height;
}

std::int64_t floatBits(float f)
{
    return std::bit_cast<std::uint32_t>(f);
}

} // namespace

TEST(MetafileSize, FollowsTheEmfFrameAt96DotsPerInch)
{
    // 25.4 mm by 12.7 mm; the bounds (device pixels) say otherwise and are not used.
    EXPECT_TRUE(sameSize(sizeOf(Emf().bytes({0, 0, 9, 9}, {0, 0, 2540, 1270})), {96, 48}));
    // 1000 / 2540 * 96 = 37.8: rounded to 38.
    EXPECT_TRUE(sameSize(sizeOf(Emf().bytes({0, 0, 9, 9}, {500, 0, 1500, 1000})), {38, 38}));
}

TEST(MetafileSize, FallsBackToTheEmfBoundsThenRefuses)
{
    EXPECT_TRUE(sameSize(sizeOf(Emf().bytes({10, 20, 109, 69}, {0, 0, 0, 0})), {100, 50}));
    EXPECT_EQ(refusal(Emf().bytes({10, 20, 9, 69}, {5, 5, 5, 5})), "The metafile has no size.");
}

TEST(MetafileSize, FollowsThePlaceableBoxRoundingHalvesToEven)
{
    EXPECT_TRUE(sameSize(sizeOf(Wmf().placeable(0, 0, 1440, 720, 1440)), {96, 48}));
    // At 192 units per inch, 5 units are 2.5 pixels and 7 units 3.5: halves go to the even neighbour.
    EXPECT_TRUE(sameSize(sizeOf(Wmf().placeable(10, 10, 15, 17, 192)), {2, 4}));
}

TEST(MetafileSize, TakesTheFirstWindowExtentOfAPlainWmf)
{
    EXPECT_TRUE(sameSize(sizeOf(Wmf().windowOrg(5, 5).windowExt(200, -100).windowExt(10, 10).bytes()), {200, 100}));
    EXPECT_EQ(refusal(Wmf().rectangle(0, 0, 10, 10).bytes()), "The metafile has no size.");
    EXPECT_EQ(refusal(Wmf().windowExt(0, 100).bytes()), "The metafile has no size.");
}

TEST(MetafileSize, RefusesPicturesBitmapsCannotHold)
{
    EXPECT_EQ(refusal(Emf().bytes({0, 0, 9, 9}, {0, 0, 2000000000, 2000000000})),
        "The metafile's picture is too large (75590551 x 75590551 pixels).");
    EXPECT_EQ(
        refusal(Wmf().windowExt(30000, 30000).bytes()), "The metafile's picture is too large (30000 x 30000 pixels).");
    EXPECT_EQ(refusal(Bytes{'B', 'M', 0, 0}), "Not a metafile.");
}

// One rectangle of known logical size under each map mode of an EMF whose reference device has 96 dots
// per inch: the fixed modes count y upward, the free ones take the window and viewport.
TEST(MetafileMapping, EveryMapModeScalesAsItsUnitsSay)
{
    struct Mode {
        int mode;
        int unitsPerInch; // 0: the window and viewport decide
    };
    const Mode modes[] = {{1, 96}, {2, 254}, {3, 2540}, {4, 100}, {5, 1000}, {6, 1440}, {7, 0}, {8, 0}};
    for (const Mode& m : modes) {
        Emf emf;
        emf.record(17, {m.mode});
        // Logical units nearest to 6 and 30 pixels.
        const auto units = [&](int pixels) { return static_cast<int>(std::lround(pixels * m.unitsPerInch / 96.0)); };
        if (m.mode == 7 || m.mode == 8) {
            emf.record(9, {100, 100});
            emf.record(11, {m.mode == 7 ? 48 : 24, 24}); // isotropic: the smaller scale wins
            emf.record(43, {25, 25, 125, 125});
        } else {
            emf.record(12, {0, m.mode == 1 ? 0 : 48}); // the fixed modes' origin at the bottom left
            emf.record(43, {units(6), units(6), units(30), units(30)});
        }
        const gfx::Bitmap expected = drawn(48, 48, [](Canvas& c) { c.rectangle(6, 6, 30, 30); });
        const gfx::Bitmap ours = replayed(emf.pixels(48, 48));
        if (m.mode == 1 || m.mode >= 7) {
            EXPECT_EQ(ours, expected) << "map mode " << m.mode;
        } else {
            // y up: the box lies at the bottom, rows 48 - 30 .. 48 - 6.
            EXPECT_EQ(ours, drawn(48, 48, [](Canvas& c) { c.rectangle(6, 18, 30, 42); })) << "map mode " << m.mode;
        }
    }
}

TEST(MetafileMapping, MapsTheWindowOntoTheViewport)
{
    const Bytes file = Wmf()
                           .windowExt(100, 50)
                           .mapMode(8)
                           .windowOrg(1000, 2000)
                           .windowExt(1000, 500)
                           .viewportOrg(10, 5)
                           .rectangle(1100, 2100, 1500, 2300)
                           .bytes();
    EXPECT_EQ(replayed(file), drawn(100, 50, [](Canvas& c) { c.rectangle(20, 15, 60, 35); }));
}

TEST(MetafileMapping, APlaceableBoxFillsThePicture)
{
    // 2 inches by 1 at 1000 units per inch: 192 x 96 pixels, the box's corner at the picture's.
    const Bytes file = Wmf().ellipse(-500, 500, 500, 1000).placeable(-1000, 0, 1000, 1000, 1000);
    EXPECT_EQ(replayed(file), drawn(192, 96, [](Canvas& c) { c.ellipse(48, 48, 144, 96); }));
}

TEST(MetafileMapping, TheEmfFrameFillsThePicture)
{
    // A frame of 50.8 mm (192 pixels) whose left edge lies 25.4 mm into the reference device.
    const Bytes file = Emf().record(43, {96, 0, 192, 48}).bytes({0, 0, 0, 0}, {2540, 0, 7620, 2540});
    EXPECT_EQ(replayed(file), drawn(192, 96, [](Canvas& c) { c.rectangle(0, 0, 96, 48); }));
}

TEST(MetafileState, SaveAndRestoreBringBackPenMappingAndClip)
{
    const Bytes file = Wmf()
                           .windowExt(60, 40)
                           .pen(0, 1, gfx::clRed)
                           .record(0x001E, {})
                           .select(0)
                           .viewportOrg(100, 100)
                           .record(0x0416, {30, 30, 10, 10})
                           .record(0x0127, {-1})
                           .moveTo(0, 20)
                           .lineTo(60, 20)
                           .bytes();
    EXPECT_EQ(replayed(file), drawn(60, 40, [](Canvas& c) { c.moveTo(0, 20), c.lineTo(60, 20); }));
}

TEST(MetafileState, ClipRectanglesLimitEveryFigureUntilANullRegion)
{
    const Bytes file = Wmf()
                           .windowExt(60, 40)
                           .brush(0, gfx::clBlue, 0)
                           .select(0)
                           .record(0x0416, {35, 50, 5, 10})
                           .record(0x0415, {25, 30, 15, 20})
                           .rectangle(0, 0, 60, 40)
                           .record(0x012C, {0})
                           .moveTo(0, 39)
                           .lineTo(60, 39)
                           .bytes();
    EXPECT_EQ(replayed(file), drawn(60, 40, [](Canvas& c) {
        c.brush.setColor(gfx::clBlue);
        c.intersectClip({10, 5, 50, 35});
        c.excludeClip({20, 15, 30, 25});
        c.rectangle(0, 0, 60, 40);
        c.setClip(std::nullopt);
        c.moveTo(0, 39), c.lineTo(60, 39);
    }));
}

TEST(MetafileState, EmfRegionRectanglesReplaceTheClip)
{
    Bytes region;
    put32(region, 48);
    put32(region, 5); // copy
    for (const int v : {32, 1, 1, 16, 0, 0, 0, 0, 10, 10, 30, 20})
        put32(region, v);
    const Bytes file = Emf().record(30, {0, 0, 5, 5}).raw(75, region).record(43, {0, 0, 40, 40}).pixels(40, 40);
    EXPECT_EQ(replayed(file), drawn(40, 40, [](Canvas& c) {
        c.intersectClip({10, 10, 30, 20});
        c.rectangle(0, 0, 40, 40);
    }));
}

TEST(MetafileState, WorldTransformsScaleMoveAndTurn)
{
    const Bytes file = Emf()
                           .record(35, {floatBits(2), 0, 0, floatBits(2), floatBits(4), floatBits(2)})
                           .record(43, {1, 1, 11, 6})
                           .record(36, {0, floatBits(1), floatBits(-1), 0, 0, 0, 4})
                           .record(36, {floatBits(1), 0, 0, floatBits(1), floatBits(60), 0, 3})
                           .record(43, {10, 10, 20, 30})
                           .pixels(80, 40);
    EXPECT_EQ(replayed(file), drawn(80, 40, [](Canvas& c) {
        c.rectangle(6, 4, 26, 14);
        // (x, y) -> (-y + 60, x): the box turned a quarter and moved right.
        c.polygon(std::vector<Point>{{50, 10}, {50, 20}, {30, 20}, {30, 10}});
    }));
}

// Text placed by each alignment lands where the canvas's own alignment puts it.
TEST(MetafileText, AlignmentPlacesTheReferencePoint)
{
    struct Align {
        int flags;
        gfx::TextAlignH h;
        gfx::TextAlignV v;
    };
    const Align aligns[] = {{0, gfx::TextAlignH::Left, gfx::TextAlignV::Top},
        {6 | 24, gfx::TextAlignH::Center, gfx::TextAlignV::Baseline},
        {2 | 8, gfx::TextAlignH::Right, gfx::TextAlignV::Bottom}};
    for (const Align& a : aligns) {
        ASSERT_FALSE(gfx::resolvedFontFile(gfx::Font{}).empty()) << "no font to draw with";
        const Bytes file = Emf()
                               .raw(82, emfFont(1, -20, 400, u"Arial"))
                               .record(37, {1})
                               .record(22, {a.flags})
                               .raw(84, emfText(60, 30, u"Ag"))
                               .pixels(120, 60);
        EXPECT_EQ(replayed(file), drawn(120, 60, [&](Canvas& c) {
            c.font.emHeight = 20;
            c.textAlign = {a.h, a.v, false};
            c.textOut(60, 30, "Ag");
        })) << a.flags;
    }
}

TEST(MetafileText, UpdatingThePositionWritesOnFromWhereTheLastTextEnded)
{
    ASSERT_FALSE(gfx::resolvedFontFile(gfx::Font{}).empty()) << "no font to draw with";
    const Bytes file = Emf()
                           .record(22, {1})
                           .record(25, {gfx::clRed})
                           .record(27, {5, 5})
                           .raw(84, emfText(0, 0, u"ab"))
                           .raw(84, emfText(0, 0, u"cd"))
                           .raw(84, emfText(0, 0, u"", 2, {0, 40, 20, 50}))
                           .pixels(100, 50);
    EXPECT_EQ(replayed(file), drawn(100, 50, [](Canvas& c) {
        c.font.emHeight = 16;
        c.backgroundColor = gfx::clRed;
        const int width = c.textWidth("ab");
        c.textOut(5, 5, "ab");
        c.textOut(5 + width, 5, "cd");
        c.brush.setColor(gfx::clRed);
        c.fillRect({0, 40, 20, 50});
    }));
}
