#include "effects/Resize.h"

#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace daubix;

namespace {

// The resampler's four steps as they read, pixel by pixel.
gfx::Bitmap plainBilinear(const gfx::Bitmap& s, int wd, int hd)
{
    gfx::Bitmap d(wd, hd);
    const std::int64_t xs = (std::int64_t{s.width() - 1} * 32768) / wd;
    const std::int64_t ys = (std::int64_t{s.height() - 1} * 32768) / hd;
    for (int j = 0; j < hd; ++j) {
        const std::int64_t sy = j * ys;
        const int r0 = static_cast<int>(sy >> 15);
        const int r1 = r0 == s.height() - 1 ? r0 : r0 + 1;
        const std::int64_t fy = sy & 32767, gy = 32768 - fy;
        for (int i = 0; i < wd; ++i) {
            const std::int64_t sx = i * xs;
            const int c = static_cast<int>(sx >> 15);
            const int c1 = c == s.width() - 1 ? c : c + 1;
            const std::int64_t fx = sx & 32767;
            const std::int64_t wTR = (fx * gy) >> 15, wTL = gy - wTR, wBR = (fx * fy) >> 15, wBL = fy - wBR;
            for (int k = 0; k < 3; ++k) {
                const auto at = [&](int x, int y) { return std::int64_t{s.scanLine(y)[x * 3 + k]}; };
                d.scanLine(j)[i * 3 + k] = static_cast<std::uint8_t>(
                    (at(c, r0) * wTL + at(c1, r0) * wTR + at(c, r1) * wBL + at(c1, r1) * wBR) >> 15);
            }
        }
    }
    return d;
}

} // namespace

TEST(Bilinear, EqualsTheFourStepsOnEverySizePair)
{
    const std::pair<int, int> sizes[] = {{7, 5}, {11, 13}, {1, 9}, {9, 1}, {1, 1}, {2, 2}, {300, 200}, {37, 523}};
    for (const auto& [ws, hs] : sizes)
        for (const auto& [wd, hd] : sizes) {
            const gfx::Bitmap src = test::noise(ws, hs, static_cast<unsigned>(ws * 31 + hs));
            gfx::Bitmap dst(wd, hd);
            effects::bilinear(src, dst);
            ASSERT_EQ(dst, plainBilinear(src, wd, hd)) << ws << "x" << hs << " -> " << wd << "x" << hd;
        }
}

TEST(Bilinear, TakesTheTopLeftExactlyAndKeepsAUniformColour)
{
    const gfx::Bitmap src = test::noise(13, 7, 5);
    gfx::Bitmap dst(31, 17);
    effects::bilinear(src, dst);
    EXPECT_EQ(dst.pixel(0, 0), src.pixel(0, 0));
    const std::pair<int, int> sizes[] = {{1, 1}, {9, 6}, {5, 40}, {17, 3}, {100, 100}, {1, 7}, {64, 1}};
    for (const auto& [ws, hs] : sizes)
        for (const auto& [w, h] : sizes) {
            gfx::Bitmap flat(ws, hs);
            flat.fill(gfx::rgb(201, 37, 90));
            gfx::Bitmap out(w, h);
            effects::bilinear(flat, out);
            gfx::Bitmap expected(w, h);
            expected.fill(gfx::rgb(201, 37, 90));
            EXPECT_EQ(out, expected) << ws << "x" << hs << " -> " << w << "x" << h;
        }
}

TEST(Bilinear, LeavesTheDestinationAloneForAnEmptySource)
{
    gfx::Bitmap dst = test::noise(4, 4, 1);
    const gfx::Bitmap before = dst;
    effects::bilinear(gfx::Bitmap(), dst);
    EXPECT_EQ(dst, before);
    gfx::Bitmap empty;
    effects::bilinear(test::noise(3, 3, 2), empty);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(SmartResize, SquareFitsThePictureTopLeftOnWhite)
{
    gfx::Bitmap wide(100, 50);
    wide.fill(gfx::clRed);
    const auto square = effects::smartResize(wide, effects::SmartMode::Square, 32);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->width(), 32);
    EXPECT_EQ(square->height(), 32);
    EXPECT_EQ(square->pixel(31, 15), gfx::clRed);
    EXPECT_EQ(square->pixel(0, 16), gfx::clWhite);
    // The width and height modes follow the proportions; a side that rounds to nothing is one pixel.
    EXPECT_EQ(effects::smartSize(100, 50, effects::SmartMode::Width, 40).height, 20);
    EXPECT_EQ(effects::smartSize(100, 50, effects::SmartMode::Height, 40).width, 80);
    EXPECT_EQ(effects::smartSize(1000, 1, effects::SmartMode::Width, 10).height, 1);
    EXPECT_FALSE(effects::smartResize(wide, effects::SmartMode::Width, 1 << 30));
}
