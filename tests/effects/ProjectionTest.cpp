#include "app/Arithmetic.h"
#include "effects/Geometry.h"
#include "support/TestImages.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <string>

using namespace daubix;
using app::roundHalfEven;
using effects::Projection;
using gfx::Bitmap;

namespace {

// The three projections as the algorithm states them, source pixel by source pixel from the far end,
// later writes winning. Writes that would leave the bitmap (only with factors beyond 0 .. 1) are dropped.
void put(Bitmap& d, int x, int y, gfx::Color c)
{
    d.setPixel(x, y, c);
}

Bitmap plainGlobe(const Bitmap& s, const Projection& p)
{
    Bitmap d = p.retainBorders ? s : Bitmap(s.width(), s.height());
    const int r = s.width() / 2, cx = s.width() / 2, cy = s.height() / 2;
    const double k = (std::numbers::pi / 2 / r) * p.factor;
    for (int y = s.height() - 1; y >= 0; --y)
        for (int x = s.width() - 1; x >= 0; --x) {
            const int dx = x - cx, dy = y - cy;
            const double e = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
            if (e <= r) {
                const double f = p.sinus ? std::sin(e * k) : std::cos(e * k);
                put(d, x - roundHalfEven(dx * f), y - roundHalfEven(dy * f), s.pixel(x, y));
            }
        }
    return d;
}

Bitmap plainCylinderHorizontal(const Bitmap& s, const Projection& p)
{
    Bitmap d = p.retainBorders ? s : Bitmap(s.width(), s.height());
    const int cy = s.height() / 2;
    const double k = (std::numbers::pi / 2) / cy;
    for (int y = s.height() - 1; y >= 0; --y) {
        const int dy = y - cy;
        const double f = std::abs((p.sinus ? std::sin(dy * k) : std::cos(dy * k)) * p.factor);
        for (int x = 0; x < s.width(); ++x)
            put(d, x, cy + roundHalfEven(dy * f), s.pixel(x, y));
    }
    return d;
}

Bitmap plainCylinderVertical(const Bitmap& s, const Projection& p)
{
    Bitmap d = p.retainBorders ? s : Bitmap(s.width(), s.height());
    const int cx = s.width() / 2;
    const double k = (std::numbers::pi / 2) / cx;
    for (int y = 0; y < s.height(); ++y)
        for (int x = s.width() - 1; x >= 0; --x) {
            const int dx = x - cx;
            const double f = std::abs((p.sinus ? std::sin(dx * k) : std::cos(dx * k)) * p.factor);
            put(d, cx + roundHalfEven(dx * f), y, s.pixel(x, y));
        }
    return d;
}

struct Kind {
    const char* name;
    Bitmap (*fast)(const Bitmap&, const Projection&);
    Bitmap (*plain)(const Bitmap&, const Projection&);
};

const Kind kKinds[] = {{"globe", effects::globe, plainGlobe},
    {"cylinderHorizontal", effects::cylinderHorizontal, plainCylinderHorizontal},
    {"cylinderVertical", effects::cylinderVertical, plainCylinderVertical}};

} // namespace

// Odd sizes, thin ones, a tall one whose circle passes the top and bottom edges, and sizes large enough
// to run on two threads; every factor of the menu's range and the flags both ways.
TEST(Projection, EveryKindMatchesThePlainAlgorithm)
{
    struct Size {
        int width;
        int height;
    };
    const Size sizes[] = {{2, 2}, {3, 3}, {7, 5}, {11, 13}, {2, 9}, {9, 2}, {40, 90}, {300, 223}, {223, 300}};
    for (const Kind& kind : kKinds)
        for (const Size size : sizes) {
            const Bitmap src = test::noise(size.width, size.height, 11);
            const bool large = size.width * size.height > 10000;
            for (const double factor : {0.75, 1.0, 0.1, 0.5})
                for (const bool retain : {false, true})
                    for (const bool sinus : {true, false}) {
                        if (large && factor != 0.75 && factor != 1.0)
                            continue;
                        SCOPED_TRACE(std::string(kind.name) + " " + std::to_string(size.width) + "x"
                            + std::to_string(size.height) + " factor " + std::to_string(factor)
                            + (retain ? " retain" : "") + (sinus ? " sinus" : " cosinus"));
                        const Projection p{factor, retain, sinus};
                        const Bitmap got = kind.fast(src, p);
                        ASSERT_EQ(got.format(), gfx::PixelFormat::Bits24);
                        EXPECT_EQ(test::differingPixels(got, kind.plain(src, p), 0, 0, size.width, size.height), 0);
                    }
        }
}

// Factors beyond the menu's range may send pixels past the centre and off the bitmap: those writes are
// dropped, and the rest still follows the algorithm.
TEST(Projection, FactorsBeyondTheRangeStayInsideTheBitmap)
{
    const Bitmap src = test::noise(301, 257, 12);
    for (const Kind& kind : kKinds)
        for (const double factor : {2.5, -1.0, 40.0}) {
            SCOPED_TRACE(std::string(kind.name) + " factor " + std::to_string(factor));
            const Projection p{factor, false, true};
            EXPECT_EQ(test::differingPixels(kind.fast(src, p), kind.plain(src, p), 0, 0, 301, 257), 0);
        }
}

TEST(Projection, NoRadiusOrNoFactorLeavesTheImageAsItIs)
{
    const Projection p;
    const Bitmap column = test::noise(1, 9, 1), row = test::noise(9, 1, 2), dot = test::noise(1, 1, 3);
    EXPECT_EQ(effects::globe(column, p), column);
    EXPECT_EQ(effects::globe(dot, p), dot);
    EXPECT_EQ(effects::cylinderVertical(column, p), column);
    EXPECT_EQ(effects::cylinderHorizontal(row, p), row);
    EXPECT_EQ(effects::cylinderHorizontal(dot, p), dot);
    const Bitmap src = test::noise(7, 5, 4);
    const Projection notANumber{std::numeric_limits<double>::quiet_NaN(), false, true};
    for (const Kind& kind : kKinds)
        EXPECT_EQ(kind.fast(src, notANumber), src) << kind.name;
    // A row of one pixel still has a globe: its circle is the row itself.
    EXPECT_EQ(effects::globe(row, p), plainGlobe(row, p));
    EXPECT_EQ(effects::cylinderVertical(row, p), plainCylinderVertical(row, p));
}

TEST(Projection, GlobeWithoutRetainedBordersWhitensOutsideItsCircle)
{
    const Bitmap src = test::noise(40, 30, 5);
    const Bitmap got = effects::globe(src, Projection{});
    int white = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if ((x - 20) * (x - 20) + (y - 15) * (y - 15) > 20 * 20) {
                EXPECT_EQ(got.pixel(x, y), gfx::clWhite) << x << "," << y;
                ++white;
            }
    EXPECT_GT(white, 0);
    EXPECT_EQ(got.pixel(20, 15), src.pixel(20, 15)); // the centre does not move
}
