#include "gfx/HalftoneMap.h"

#include "gfx/Bitmap.h"
#include "gfx/Palette.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace daubix::gfx;

namespace {

// Compares with the plain search over the palette; reports the first few colours that differ.
int countDifferences(int r, int g, int b, int& shown)
{
    const int expected = nearestPaletteIndex(halftonePalette256(), rgb(r, g, b));
    const int got = HalftoneMap::instance()(r, g, b);
    if (got == expected)
        return 0;
    if (++shown <= 5)
        ADD_FAILURE() << "colour (" << r << ", " << g << ", " << b << "): " << got << " instead of " << expected;
    return 1;
}

} // namespace

// Whole planes through the levels where answers change (the cells' walls, the grid's midpoints, the
// system colours), and a spread of colours between them.
TEST(HalftoneMap, PicksTheSameEntryAsTheFullSearch)
{
    int differences = 0, shown = 0;
    const int levels[] = {0, 1, 16, 17, 32, 48, 96, 112, 128, 160, 164, 192, 202, 220, 224, 240, 241, 251, 255};
    for (const int fixed : levels)
        for (int u = 0; u < 256; ++u)
            for (int v = 0; v < 256; v += 4) {
                differences += countDifferences(fixed, u, v, shown);
                differences += countDifferences(u, fixed, v, shown);
                differences += countDifferences(u, v, fixed, shown);
            }
    for (std::uint32_t c = 0; c < (1u << 24); c += 97)
        differences += countDifferences(
            static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c >> 16), shown);
    EXPECT_EQ(differences, 0);
}

TEST(HalftoneMap, GivesEveryPaletteColourItsFirstEntry)
{
    const std::vector<Color>& palette = halftonePalette256();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int first = static_cast<int>(std::find(palette.begin(), palette.end(), palette[i]) - palette.begin());
        EXPECT_EQ(HalftoneMap::instance()(red(palette[i]), green(palette[i]), blue(palette[i])), first) << i;
    }
}

TEST(HalftoneMap, ConvertingTo8BitsUsesTheSameEntries)
{
    Bitmap b(37, 3);
    for (int x = 0; x < 37; ++x) {
        b.setPixel(x, 0, rgb(x * 7, 255 - x * 7, x * 3));
        b.setPixel(x, 1, rgb(16 + x, 17 + x, 32 + x));
        b.setPixel(x, 2, rgb(200 + x, 160 + x, 220 + x));
    }
    const Bitmap eight = b.converted(PixelFormat::Bits8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 37; ++x)
            EXPECT_EQ(eight.rawPixel(x, y),
                static_cast<std::uint32_t>(nearestPaletteIndex(halftonePalette256(), b.pixel(x, y))));
}
