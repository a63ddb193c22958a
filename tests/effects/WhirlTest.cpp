#include "app/Tables.h"
#include "effects/Geometry.h"
#include "support/TestImages.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace daubix;
using effects::WhirlKind;
using gfx::Bitmap;

namespace {

// The whirl engine as the algorithm states it, pixel by pixel, in the table's extended precision.
Bitmap plainWhirl(const Bitmap& s, gfx::Point centre, int kind, const app::Tables& tables)
{
    const int w = s.width(), h = s.height();
    Bitmap d(w, h);
    const double perPixel = 180.0 / w;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::int64_t dx = x - std::int64_t{centre.x}, dy = y - std::int64_t{centre.y};
            const double dist = std::sqrt(static_cast<double>(dx) * static_cast<double>(dx)
                                    + static_cast<double>(dy) * static_cast<double>(dy))
                * perPixel;
            const auto o = static_cast<std::int64_t>(std::nearbyint(dist));
            std::int64_t index = 0;
            switch (kind) {
            case 0:
                index = 180 - o;
                break;
            case 1:
                index = o + 90;
                break;
            case 2:
                index = 2 * o + 90;
                break;
            case 3:
                index = 180 - 2 * o;
                break;
            case 4:
                index = o + 90 + o % 10;
                break;
            case 5:
                index = o + 90 + o % 20;
                break;
            case 6:
                index = 90 + o % 10;
                break;
            case 7:
                index = 90 + o % 20;
                break;
            case 8:
                index = o % 90;
                break;
            case 9:
                index = o % 45;
                break;
            case 10:
                index = o % 25;
                break;
            case 11:
                index = (o / 45) % 2 == 1 ? 45 - o % 45 : o % 45;
                break;
            }
            index = std::max<std::int64_t>(0, std::min<std::int64_t>(180, index));
            const long double sn = tables.degreeSine[static_cast<std::size_t>(index)].sin;
            const long double cs = tables.degreeSine[static_cast<std::size_t>(index)].cos;
            const long double ldx = dx, ldy = dy;
            const std::int64_t sx = static_cast<std::int64_t>(std::nearbyint(ldx * cs - ldy * sn)) + centre.x;
            const std::int64_t sy = static_cast<std::int64_t>(std::nearbyint(ldx * sn + ldy * cs)) + centre.y;
            if (sx >= 0 && sx <= w - 1 && sy >= 0 && sy <= h - 1)
                d.setPixel(x, y, s.pixel(static_cast<int>(sx), static_cast<int>(sy)));
        }
    }
    return d;
}

} // namespace

// Sizes with row padding, one-pixel rows and columns, and one large enough to run on two threads; centres
// in the middle, on corners and off the image. Among the 360-wide image's pixels are some whose turned
// coordinate is a half in double precision (cos 60 degrees is 0.5 there), which extended precision decides.
TEST(Whirl, EveryKindMatchesThePlainAlgorithm)
{
    const app::Tables tables;
    struct Case {
        int width;
        int height;
    };
    const Case sizes[] = {{1, 1}, {7, 5}, {11, 13}, {1, 9}, {9, 1}, {2, 2}, {360, 190}};
    for (const Case& size : sizes) {
        const Bitmap src = test::noise(size.width, size.height, 7);
        const int w = size.width, h = size.height;
        const gfx::Point centres[] = {{w / 2, h / 2}, {0, 0}, {w - 1, h - 1}, {-5, h + 3}, {w + 40, 1}};
        for (const gfx::Point centre : centres) {
            for (int kind = 0; kind < 12; ++kind) {
                if (w > 100 && centre.x != w / 2)
                    continue; // the large size runs every kind about its middle only
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " centre " + std::to_string(centre.x) + ","
                    + std::to_string(centre.y) + " kind " + std::to_string(kind));
                const Bitmap got = effects::whirl(src, centre, static_cast<WhirlKind>(kind), tables);
                ASSERT_EQ(got.format(), gfx::PixelFormat::Bits24);
                EXPECT_EQ(test::differingPixels(got, plainWhirl(src, centre, kind, tables), 0, 0, w, h), 0);
            }
        }
    }
}

TEST(Whirl, OutKeepsTheCentreWhileInTurnsItsNeighboursAQuarter)
{
    const app::Tables tables;
    const Bitmap src = test::noise(400, 300, 3);
    const gfx::Point c{200, 150};
    const Bitmap out = effects::whirl(src, c, WhirlKind::Out, tables);
    EXPECT_EQ(out.pixel(200, 150), src.pixel(200, 150));
    EXPECT_EQ(out.pixel(201, 150), src.pixel(201, 150)); // o = 0: turned by 0 degrees
    // Whirl In: at o = 0 the index is 180, a turn by 90 degrees: (dx, dy) takes (-dy, dx).
    const Bitmap in = effects::whirl(src, c, WhirlKind::In, tables);
    EXPECT_EQ(in.pixel(201, 150), src.pixel(200, 151));
    EXPECT_EQ(in.pixel(200, 151), src.pixel(199, 150));
}

TEST(Whirl, PixelsWhoseSourceFallsOffTheImageAreWhite)
{
    const app::Tables tables;
    const Bitmap src = test::noise(100, 100, 4);
    // The corner is 127 o-steps out, so Whirl Out turns it by the clamped 90 degrees: from (99 + 1, 0).
    const Bitmap out = effects::whirl(src, {50, 50}, WhirlKind::Out, tables);
    EXPECT_EQ(out.pixel(0, 0), gfx::clWhite);
    EXPECT_EQ(out.pixel(50, 50), src.pixel(50, 50));
}

TEST(Whirl, LeavesTheSourceAloneAndTakesAnyPixelFormat)
{
    const app::Tables tables;
    const Bitmap src = test::noise(13, 9, 8);
    Bitmap eight = src.converted(gfx::PixelFormat::Bits8);
    const Bitmap before = eight;
    const Bitmap got = effects::whirl(eight, {6, 4}, WhirlKind::Center, tables);
    EXPECT_EQ(eight, before);
    EXPECT_EQ(got, effects::whirl(eight.converted(gfx::PixelFormat::Bits24), {6, 4}, WhirlKind::Center, tables));
    EXPECT_TRUE(effects::whirl(Bitmap(), {0, 0}, WhirlKind::In, tables).isEmpty());
}
