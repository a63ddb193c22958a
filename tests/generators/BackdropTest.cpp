#include "generators/Backdrop.h"
#include "generators/QuickBackdrops.h"

#include "app/Document.h"
#include "io/PeerTools.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace daubix;

namespace {

// The formulas the plain way: 64-bit values whose low byte is the low byte of the 32-bit original.
std::uint8_t reference(int f, const app::BackdropSettings& s, std::int64_t x, std::int64_t y)
{
    const std::int64_t m = s.modulus, oR = s.offsets[0], oG = s.offsets[1], oB = s.offsets[2];
    std::int64_t v = 0;
    switch (f) {
    case 0: v = (y * x) % m; break;
    case 1: v = (y + x) % m; break;
    case 2: v = (x - y) % m; break;
    case 3: v = (y ^ x) % m; break;
    case 4: v = (y & x) % m; break;
    case 5: v = x & m; break;
    case 6: v = y & m; break;
    case 7: v = x ^ m; break;
    case 8: v = y ^ m; break;
    case 9: v = x % m; break;
    case 10: v = y % m; break;
    case 11: v = (y * x) ^ m; break;
    case 12: v = (y + x) ^ m; break;
    case 13: v = (x - y) ^ m; break;
    case 14: v = (y * x) & m; break;
    case 15: v = (y + x) & m; break;
    case 16: v = (x - y) & m; break;
    case 17: v = y; break;
    case 18: v = x; break;
    case 19: v = x * oR; break;
    case 20: v = y * oR; break;
    case 21: v = x * oG; break;
    case 22: v = y * oG; break;
    case 23: v = x * oB; break;
    case 24: v = y * oB; break;
    case 25: v = x < m ? y % m : y % x; break;
    case 26: v = y < m ? x % m : x % y; break;
    case 27: v = (x % (y + 2)) % (y + x + 2); break;
    case 28: v = (x % m) * (y % m); break;
    case 29: v = (x % m) ^ (y % m); break;
    case 30: v = (x % m) % ((y % m) + 1); break;
    case 31: v = (x % m) - (y % m); break;
    case 32: v = (x % m) + (y % m); break;
    case 33: v = (x % m) & (y % m); break;
    case 34: v = (x % m) | (y % m); break;
    case 35: v = y ^ x ^ m; break;
    case 36: v = x; break;
    case 37: v = (x - y) ^ (y + x); break;
    case 38: v = (x - y) * (y + x); break;
    case 39: v = (y * x) * (y + x); break;
    case 40: v = (x - m) ^ (y + m); break;
    default: ADD_FAILURE() << "no formula " << f;
    }
    return static_cast<std::uint8_t>(v & 0xFF);
}

gfx::Color expectedPixel(const app::BackdropSettings& s, int x, int y)
{
    std::uint8_t c[3];
    for (std::size_t i = 0; i < 3; ++i)
        c[i] = static_cast<std::uint8_t>(reference(s.formulas[i], s, x, y) + s.offsets[i]);
    return gfx::rgb(c[0], c[1], c[2]);
}

// Compares rows top .. bottom - 1 of the backdrop with the reference, reporting the first difference.
void expectRows(const app::BackdropSettings& s, const gfx::Bitmap& picture, int top, int bottom)
{
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != expectedPixel(s, x, y)) {
                ADD_FAILURE() << "at (" << x << ", " << y << "): " << std::hex << picture.pixel(x, y) << " for "
                              << expectedPixel(s, x, y);
                return;
            }
}

class Formula : public testing::TestWithParam<int> { };

// Each formula on every channel, beside the others, on odd sizes and moduli; and far enough out that
// ProdProdSum passes 2^31 (1300 * 1150 * 2450 > 3.6e9).
TEST_P(Formula, MatchesThePlainComputationInTheLowByte)
{
    const int f = GetParam();
    const app::BackdropSettings settings[] = {
        {{f, 0, 39}, {0, 0, 0}, 255},
        {{2, f, f}, {3, 77, 200}, 16},
        {{f, 25, 26}, {255, 1, 128}, 97},
    };
    for (const app::BackdropSettings& s : settings) {
        SCOPED_TRACE(testing::Message() << "modulus " << s.modulus);
        ASSERT_TRUE(generators::checkBackdropSettings(s).ok());
        const gfx::Bitmap small = generators::generateBackdrop(s, 37, 301);
        ASSERT_EQ(small.format(), gfx::PixelFormat::Bits24);
        expectRows(s, small, 0, small.height());
    }
    const app::BackdropSettings s{{f, f, 39}, {5, 0, 9}, 131};
    const gfx::Bitmap large = generators::generateBackdrop(s, 1301, 1161);
    expectRows(s, large, 1140, 1161);
}

// Formulas that see y only through y mod m repeat every m rows, which the generator copies rather than
// computes; a picture many moduli tall checks those copies.
TEST(Backdrop, RowsRepeatingEveryModulusRowsAreExact)
{
    for (const int f : {0, 1, 5, 7, 9, 10, 18, 19, 21, 23, 28, 29, 30, 31, 32, 33, 34}) {
        SCOPED_TRACE(generators::backdropFormulaName(f));
        const app::BackdropSettings s{{f, 9, 28}, {3, 5, 7}, 17};
        expectRows(s, generators::generateBackdrop(s, 23, 120), 0, 120);
    }
}

INSTANTIATE_TEST_SUITE_P(All, Formula, testing::Range(0, generators::kBackdropFormulaCount),
    [](const testing::TestParamInfo<int>& info) { return std::string(generators::backdropFormulaName(info.param)); });

TEST(Backdrop, EdgeCasesOfTheFormulas)
{
    // The start settings: grey, each channel (y x) mod 255.
    const gfx::Bitmap grey = generators::generateBackdrop({}, 300, 20);
    EXPECT_EQ(grey.pixel(17, 15), gfx::rgb(0, 0, 0)); // 255 mod 255
    EXPECT_EQ(grey.pixel(299, 19), gfx::rgb(71, 71, 71)); // 5681 mod 255
    // Sub where x < y: -1 counts by its low byte.
    const gfx::Bitmap sub = generators::generateBackdrop({{2, 2, 2}, {0, 0, 0}, 255}, 10, 10);
    EXPECT_EQ(sub.pixel(3, 4), gfx::rgb(255, 255, 255));
    // InRed with oR = 0 is 0 before the offset; with the red bar at 3 the channel is 3y + 3.
    EXPECT_EQ(generators::generateBackdrop({{20, 0, 0}, {0, 0, 0}, 255}, 5, 200).pixel(2, 150) & 0xFF, 0);
    EXPECT_EQ(generators::generateBackdrop({{20, 0, 0}, {3, 0, 0}, 255}, 5, 200).pixel(2, 150) & 0xFF, (3 * 150 + 3) % 256);

    EXPECT_EQ(generators::findBackdropFormula("prodprodsum"), 39);
    EXPECT_EQ(generators::findBackdropFormula("Prods"), std::nullopt);
    EXPECT_FALSE(generators::checkBackdropSettings({{41, 0, 0}, {0, 0, 0}, 255}).ok());
    EXPECT_FALSE(generators::checkBackdropSettings({{0, -1, 0}, {0, 0, 0}, 255}).ok());
    EXPECT_FALSE(generators::checkBackdropSettings({{0, 0, 0}, {0, 256, 0}, 255}).ok());
    EXPECT_FALSE(generators::checkBackdropSettings({{0, 0, 0}, {0, 0, 0}, 15}).ok());
    EXPECT_FALSE(generators::checkBackdropSettings({{0, 0, 0}, {0, 0, 0}, 0}).ok());
}

} // namespace
