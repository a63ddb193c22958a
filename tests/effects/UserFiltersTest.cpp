#include "effects/UserFilters.h"

#include "app/Arithmetic.h"
#include "effects/TketPaintFX.h"
#include "support/TestImages.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace daubix;
using effects::UserFilterSettings;
using gfx::Bitmap;

namespace {

// The table of line filters, one case per row, written as plainly as it reads: X[i] is the channel's
// value of pixel i, values wrap to bytes when stored, "div" truncates.
class Reference {
public:
    Reference(Bitmap& b, const UserFilterSettings& s, app::Random& random)
        : m_b(b)
        , m_s(s)
        , m_random(random)
    {
    }

    void run()
    {
        const int w = m_b.width(), h = m_b.height();
        for (int y = 1; y <= h - 2; ++y)
            for (int channel = 0; channel < 3; ++channel) // red, green, blue
                line(y, channel, w - 1);
    }

private:
    // Storage is blue, green, red.
    std::uint8_t& at(int x, int y, int channel) { return m_b.scanLine(y)[x * 3 + (2 - channel)]; }

    void line(int y, int channel, int n)
    {
        const auto P = [&](int i) -> std::uint8_t& { return at(i, y - 1, channel); };
        const auto C = [&](int i) -> std::uint8_t& { return at(i, y, channel); };
        const auto N = [&](int i) -> std::uint8_t& { return at(i, y + 1, channel); };
        const auto store = [](std::uint8_t& x, int value) { x = static_cast<std::uint8_t>(value & 0xFF); };
        const int v = m_s.v;
        switch (m_s.channels[static_cast<std::size_t>(channel)]) {
        case 0: // And
            for (int i = 0; i <= n; ++i)
                store(C(i), C(i) & v);
            break;
        case 1: // Or
            for (int i = 0; i <= n; ++i)
                store(C(i), C(i) | v);
            break;
        case 2: // Xor
            for (int i = 0; i <= n; ++i)
                store(C(i), C(i) ^ v);
            break;
        case 3: // ShiftLeft
            for (int i = 0; i <= n; ++i)
                store(C(i), C(i) << 1);
            break;
        case 4: // ShiftRight
            for (int i = 0; i <= n; ++i)
                store(C(i), C(i) >> 1);
            break;
        case 5: { // FastSweep
            int t = v;
            for (int i = 0; i <= n; ++i) {
                store(C(i), C(i) + t);
                t = 255 - t;
            }
            break;
        }
        case 6: { // SlowSweep
            int t = 1;
            for (int i = 0; i <= n; ++i) {
                store(C(i), C(i) + t);
                if (t % v == 0)
                    t = 255 - t;
            }
            break;
        }
        case 7: // Reduce
            for (int i = 0; i <= n; ++i)
                store(C(i), v * (C(i) / v));
            break;
        case 8: { // AddRight
            const int f = C(0);
            for (int i = 0; i <= n - 1; ++i)
                store(C(i), C(i) + C(i + 1));
            store(C(n), C(n) + f);
            break;
        }
        case 9: { // AvgRight
            const int f = C(0);
            for (int i = 0; i <= n - 1; ++i)
                store(C(i), (C(i) + C(i + 1)) / 2);
            store(C(n), (f + C(n)) / 2);
            break;
        }
        case 10: { // RunAvgRight
            int a = m_b.scanLine(y)[0];
            for (int i = 0; i <= n; ++i) {
                store(C(i), (C(i) + a) / 2);
                a = C(i);
            }
            break;
        }
        case 11: { // RunAvgLeft
            int a = C(n);
            for (int i = n; i >= 0; --i) {
                store(C(i), (C(i) + a) / 2);
                a = C(i);
            }
            break;
        }
        case 12: // EmbossRight
        case 13: { // EmbossLeft
            const bool right = m_s.channels[static_cast<std::size_t>(channel)] == 12;
            bool k = true;
            for (int i = 0; i <= n - 1; ++i)
                if (C(i) != C(i + 1)) {
                    const bool high = right ? k : !k;
                    store(C(i), high ? m_s.embossBytes[0] : m_s.embossBytes[1]);
                    k = !k;
                }
            break;
        }
        case 14: // Trace
            for (int i = 0; i <= n - 1; ++i)
                if (C(i) != C(i + 1) || C(i) != N(i))
                    store(C(i), m_s.traceByte);
            break;
        case 15: // Drip
            if (n >= 1)
                for (int r = 0; r < n / 2 + 1; ++r) {
                    const int x = m_random(n);
                    store(N(x), C(x));
                }
            break;
        case 16: // Add
            for (int i = 0; i <= n; ++i)
                store(C(i), C(i) + v);
            break;
        case 17: { // Multiply
            const double f = 2.0 * v / 2555 + 0.9;
            for (int i = 0; i <= n; ++i)
                store(C(i), static_cast<int>(std::nearbyint(C(i) * f)));
            break;
        }
        case 18: // Moderate
            for (int i = 0; i <= n - 1; ++i) {
                const int b = C(i);
                if (std::abs(b - C(i + 1)) < 8 || std::abs(b - N(i)) < 8)
                    store(C(i), b + 1);
            }
            break;
        case 19: // Columns
            for (int i = 0; i <= n - 1; ++i) {
                const int b = C(i);
                if (std::abs(b - C(i + 1)) < 4 || std::abs(b - N(i)) < 4) {
                    store(C(i + 1), b + 5);
                    store(N(i), b + 5);
                    store(N(i + 1), b + 5);
                }
            }
            break;
        case 20: // Troop
            for (int i = 0; i <= n - 1; ++i) {
                const int b = C(i);
                if (b == C(i + 1) || b == N(i))
                    store(N(i + 1), b + 1);
            }
            break;
        case 21: // FadeUp
            for (int i = 0; i <= n - 1; ++i)
                if (C(i) != C(i + 1) && C(i) != N(i))
                    store(C(i), N(i + 1));
            break;
        case 22: // Glas
            for (int i = 0; i <= n - 1; ++i)
                store(C(i), C(i) + C(i + 1) / 4 + N(i + 1) / 4);
            break;
        case 23: // Mondriaan
            for (int i = 1; i <= n - 1; ++i)
                store(C(i), C(i) + P(i) / 8 + C(i - 1) / 8 + C(i + 1) / 8 + N(i) / 8);
            break;
        case 24: // Grain
            for (int i = 1; i <= n - 1; ++i)
                store(C(i), C(i - 1) ^ C(i + 1));
            break;
        default: // UserMatrix as a channel's filter: the channel stays
            break;
        }
    }

    Bitmap& m_b;
    const UserFilterSettings& m_s;
    app::Random& m_random;
};

Bitmap referenceResult(Bitmap b, const UserFilterSettings& s, std::uint32_t seed)
{
    app::Random random(seed);
    Reference(b, s, random).run();
    return b;
}

Bitmap engineResult(Bitmap b, const UserFilterSettings& s, std::uint32_t seed)
{
    app::Random random(seed);
    EXPECT_TRUE(effects::applyUserFilter(b, s, random).ok());
    return b;
}

UserFilterSettings allChannels(int filter, int v)
{
    UserFilterSettings s;
    s.channels = {filter, filter, filter};
    s.selection = filter;
    s.v = v;
    return s;
}

struct Size {
    int width, height;
};
constexpr Size kSizes[] = {{7, 5}, {1, 3}, {2, 2}, {11, 13}};

class EveryLineFilter : public ::testing::TestWithParam<int> { };

TEST_P(EveryLineFilter, MatchesTheTableOnOddSizes)
{
    for (const Size size : kSizes)
        for (const int v : {16, 37, 240, 255}) {
            const UserFilterSettings s = allChannels(GetParam(), v);
            const Bitmap source = test::noise(size.width, size.height, static_cast<unsigned>(v + size.width));
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " v " + std::to_string(v));
            EXPECT_EQ(engineResult(source, s, 99), referenceResult(source, s, 99));
        }
}

// Flat areas make the conditional filters (Trace, Moderate, Columns, Troop, FadeUp, the emboss pair)
// take both branches, which noise seldom does.
TEST_P(EveryLineFilter, MatchesTheTableOnFlatAreas)
{
    Bitmap source = test::noise(11, 13, 5);
    for (int y = 0; y < 13; ++y)
        for (int i = 0; i < 33; ++i)
            source.scanLine(y)[i] = static_cast<std::uint8_t>((source.scanLine(y)[i] & 0x03) + 100);
    UserFilterSettings s = allChannels(GetParam(), 16);
    s.traceByte = 77;
    s.embossBytes = {200, 9};
    EXPECT_EQ(engineResult(source, s, 3), referenceResult(source, s, 3));
}

// A channel on a filter that reads other channels or rows, or draws random numbers, beside others: the
// three run in their order on each row before the next.
TEST(UserFilters, MixedChannelsMatchTheTable)
{
    const std::array<int, 3> mixes[] = {
        {10, 0, 19}, // RunAvgRight reads the blue byte that Columns writes into the next row
        {15, 20, 15}, // two Drips and a Troop share the one generator
        {0, 7, 17}, // only value maps
        {2, 16, 25}, // only bit operations, one channel left alone
        {14, 25, 13},
        {23, 24, 21},
        {5, 6, 12},
    };
    for (const auto& mix : mixes)
        for (const Size size : {Size{7, 5}, Size{640, 480}}) {
            UserFilterSettings s;
            s.channels = mix;
            s.selection = mix[0];
            s.v = 203;
            const Bitmap source = test::noise(size.width, size.height, 21);
            SCOPED_TRACE(std::to_string(mix[0]) + "," + std::to_string(mix[1]) + "," + std::to_string(mix[2]) + " "
                + std::to_string(size.width));
            EXPECT_EQ(engineResult(source, s, 7), referenceResult(source, s, 7));
        }
}

TEST_P(EveryLineFilter, TouchesOnlyItsOwnChannel)
{
    const Bitmap source = test::noise(9, 7, 11);
    for (int channel = 0; channel < 3; ++channel) {
        UserFilterSettings s;
        s.channels = {effects::kUserMatrixFilter, effects::kUserMatrixFilter, effects::kUserMatrixFilter};
        s.channels[static_cast<std::size_t>(channel)] = GetParam();
        s.selection = GetParam();
        s.v = 99;
        const Bitmap out = engineResult(source, s, 1);
        for (int y = 0; y < 7; ++y)
            for (int i = 0; i < 27; ++i) {
                if (i % 3 != 2 - channel) {
                    ASSERT_EQ(out.scanLine(y)[i], source.scanLine(y)[i]) << "channel " << channel << " byte " << i;
                }
            }
    }
}

INSTANTIATE_TEST_SUITE_P(All, EveryLineFilter, ::testing::Range(0, effects::kUserMatrixFilter),
    [](const auto& info) { return std::string(effects::userFilterNames()[static_cast<std::size_t>(info.param)]); });

// Rows of three pixels' worth of values: the filter runs on row 1 of a 3-row image, so P, C and N are the
// rows given, on the one channel; the other bytes are 100.
struct LineCase {
    int filter;
    int v;
    int channel; // 0 red, 1 green, 2 blue
    std::vector<int> p, c, n;
    std::vector<int> expectedC, expectedN;
};

TEST(UserFilters, LineFiltersGiveTheTablesValues)
{
    const LineCase cases[] = {
        {0, 240, 2, {}, {255, 17, 15}, {}, {240, 16, 0}, {}}, {3, 16, 2, {}, {200, 1}, {}, {144, 2}, {}},
        {4, 16, 2, {}, {201, 1}, {}, {100, 0}, {}}, {5, 16, 2, {}, {0, 0, 0, 0}, {}, {16, 239, 16, 239}, {}},
        {6, 16, 2, {}, {0, 255, 9}, {}, {1, 0, 10}, {}}, {7, 16, 2, {}, {255, 17, 15}, {}, {240, 16, 0}, {}},
        {8, 16, 2, {}, {1, 2, 3}, {}, {3, 5, 4}, {}}, {8, 16, 2, {}, {200}, {}, {144}, {}}, // one pixel: C[0] += C[0]
        {9, 16, 2, {}, {10, 20, 31}, {}, {15, 25, 20}, {}}, {10, 16, 2, {}, {10, 20, 30}, {}, {10, 15, 22}, {}},
        {10, 16, 0, {}, {10, 20}, {}, {55, 37}, {}}, // red seeded from the blue byte, 100
        {11, 16, 2, {}, {10, 20, 30}, {}, {17, 25, 30}, {}},
        {12, 16, 2, {}, {5, 5, 9, 9, 3}, {}, {5, 255, 9, 0, 3}, {}}, // k flips on writes only
        {13, 16, 2, {}, {5, 5, 9, 9, 3}, {}, {5, 0, 9, 255, 3}, {}},
        {14, 16, 2, {}, {1, 1, 2}, {1, 5, 2}, {1, 0, 2}, {1, 5, 2}}, {16, 250, 2, {}, {10, 5}, {}, {4, 255}, {}},
        {17, 255, 2, {}, {255, 128, 0}, {}, {24, 141, 0}, {}}, // f = 510 / 2555 + 0.9
        {17, 16, 2, {}, {255, 100}, {}, {233, 91}, {}},
        {18, 16, 2, {}, {10, 12, 40}, {100, 100, 100}, {11, 12, 40}, {100, 100, 100}},
        {19, 16, 2, {}, {10, 12, 40, 60}, {0, 0, 0, 0}, {10, 15, 20, 25}, {15, 20, 25, 25}}, // the cascade
        {20, 16, 2, {}, {7, 7, 3}, {0, 9, 9}, {7, 7, 3}, {0, 8, 9}},
        {21, 16, 2, {}, {1, 2, 3}, {5, 6, 7}, {6, 7, 3}, {5, 6, 7}},
        {22, 16, 2, {}, {4, 8, 12}, {0, 16, 32}, {10, 19, 12}, {0, 16, 32}},
        {23, 16, 2, {0, 80, 0}, {16, 8, 24}, {0, 40, 0}, {16, 28, 24}, {0, 40, 0}},
        {24, 16, 2, {}, {1, 2, 4, 8}, {}, {1, 5, 13, 8}, {}}, // C[i - 1] already new
    };
    for (const LineCase& k : cases) {
        const int w = static_cast<int>(k.c.size());
        Bitmap b(w, 3);
        for (int y = 0; y < 3; ++y)
            std::fill_n(b.scanLine(y), w * 3, 100);
        const int at = 2 - k.channel;
        const auto put = [&](const std::vector<int>& values, int y) {
            for (std::size_t i = 0; i < values.size(); ++i)
                b.scanLine(y)[i * 3 + at] = static_cast<std::uint8_t>(values[i]);
        };
        put(k.p, 0), put(k.c, 1), put(k.n, 2);
        UserFilterSettings s;
        s.channels = {effects::kUserMatrixFilter, effects::kUserMatrixFilter, effects::kUserMatrixFilter};
        s.channels[static_cast<std::size_t>(k.channel)] = k.filter;
        s.selection = k.filter;
        s.v = k.v;
        app::Random random(1);
        ASSERT_TRUE(effects::applyUserFilter(b, s, random).ok());
        std::vector<int> c, n;
        for (int i = 0; i < w; ++i) {
            c.push_back(b.scanLine(1)[i * 3 + at]);
            n.push_back(b.scanLine(2)[i * 3 + at]);
        }
        SCOPED_TRACE(effects::userFilterNames()[static_cast<std::size_t>(k.filter)]);
        EXPECT_EQ(c, k.expectedC);
        EXPECT_EQ(n, k.expectedN.empty() ? std::vector<int>(static_cast<std::size_t>(w), 100) : k.expectedN);
    }
}

TEST(UserFilters, DripCopiesDownFromTheGeneratorsDrawsAndNothingWithOnePixel)
{
    // Two pixels: n = 1, so one draw per channel, of x = 0; pixel 1 never drips.
    Bitmap b(2, 3);
    b.fill(gfx::rgb(10, 10, 10));
    b.setPixel(0, 1, gfx::rgb(50, 60, 70));
    b.setPixel(1, 1, gfx::rgb(80, 90, 99));
    app::Random random(5);
    ASSERT_TRUE(effects::applyUserFilter(b, allChannels(effects::kDripFilter, 16), random).ok());
    EXPECT_EQ(b.pixel(0, 2), gfx::rgb(50, 60, 70));
    EXPECT_EQ(b.pixel(1, 2), gfx::rgb(10, 10, 10));
    app::Random drawn(5);
    for (int i = 0; i < 3; ++i)
        (void)drawn(1);
    EXPECT_EQ(random.state(), drawn.state());

    Bitmap one = test::noise(1, 5, 2);
    const Bitmap before = one;
    app::Random quiet(5);
    ASSERT_TRUE(effects::applyUserFilter(one, allChannels(effects::kDripFilter, 16), quiet).ok());
    EXPECT_EQ(one, before);
    EXPECT_EQ(quiet.state(), 5u);
}

TEST(UserFilters, ReduceLeavesMultiplesOfVBetweenTheUntouchedFirstAndLastRows)
{
    const Bitmap source = test::noise(13, 9, 4);
    Bitmap b = source;
    app::Random random(1);
    ASSERT_TRUE(effects::applyUserFilter(b, UserFilterSettings{}, random).ok()); // Reduce x 3, v = 16
    for (int y = 0; y < 9; ++y)
        for (int i = 0; i < 39; ++i) {
            const int before = source.scanLine(y)[i], after = b.scanLine(y)[i];
            if (y == 0 || y == 8)
                ASSERT_EQ(after, before);
            else
                ASSERT_EQ(after, before / 16 * 16);
        }
}

UserFilterSettings matrixSettings(std::array<std::int16_t, 25> grid)
{
    UserFilterSettings s;
    s.selection = effects::kUserMatrixFilter;
    s.matrix = grid;
    return s;
}

Bitmap convolved(const Bitmap& source, std::array<std::int16_t, 25> grid)
{
    Bitmap b = source;
    app::Random random(1);
    EXPECT_TRUE(effects::applyUserFilter(b, matrixSettings(grid), random).ok());
    return b;
}

TEST(UserFilters, TheMatrixAveragesDividesAndKeeps)
{
    const Bitmap source = test::noise(7, 5, 8);
    std::array<std::int16_t, 25> grid{};

    grid.fill(1); // the 5 x 5 neighbourhood, borders repeated, divided by 25
    const Bitmap average = convolved(source, grid);
    for (const auto& [x, y] : {std::pair{3, 2}, std::pair{0, 0}, std::pair{6, 4}})
        for (int byte = 0; byte < 3; ++byte) {
            int sum = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    sum += source.scanLine(std::clamp(y + dy, 0, 4))[std::clamp(x + dx, 0, 6) * 3 + byte];
            EXPECT_EQ(average.scanLine(y)[x * 3 + byte], sum / 25);
        }

    grid.fill(0); // a Laplacian sums to 0 and is divided by 1
    grid[7] = grid[11] = grid[13] = grid[17] = -1;
    grid[12] = 4;
    const Bitmap edges = convolved(source, grid);
    for (int byte = 0; byte < 3; ++byte) {
        const auto s = [&](int x, int y) { return int{source.scanLine(y)[x * 3 + byte]}; };
        const int sum = 4 * s(3, 2) - s(2, 2) - s(4, 2) - s(3, 1) - s(3, 3);
        EXPECT_EQ(edges.scanLine(2)[3 * 3 + byte], std::clamp(sum, 0, 255));
    }

    grid.fill(0);
    grid[12] = 1;
    EXPECT_EQ(convolved(source, grid), source);
}

// The grid shows the kernel as it lies over the image: weight in column c, row r takes the pixel c - 2
// to the right and r - 2 below, so one cell right of the centre moves the picture one pixel left.
TEST(UserFilters, AnOffCentreCellMovesThePictureAsTheGridShows)
{
    const Bitmap source = test::noise(7, 5, 9);
    struct Cell {
        int column, row;
    };
    for (const Cell cell : {Cell{3, 2}, Cell{2, 0}, Cell{0, 4}, Cell{4, 1}}) {
        std::array<std::int16_t, 25> grid{};
        grid[static_cast<std::size_t>(cell.row * 5 + cell.column)] = 1;
        const Bitmap moved = convolved(source, grid);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const int sx = std::clamp(x + cell.column - 2, 0, 6), sy = std::clamp(y + cell.row - 2, 0, 4);
                ASSERT_EQ(moved.pixel(x, y), source.pixel(sx, sy))
                    << "cell " << cell.column << "," << cell.row << " at " << x << "," << y;
            }
    }
}

TEST(UserFilters, RefusesSettingsOutOfRangeAndLeavesThePicture)
{
    const Bitmap source = test::noise(5, 5, 1);
    UserFilterSettings low, high, channel, selection;
    low.v = 15;
    high.v = 256;
    channel.channels[1] = 26;
    selection.selection = -1;
    for (const UserFilterSettings& s : {low, high, channel, selection}) {
        Bitmap b = source;
        app::Random random(1);
        EXPECT_FALSE(effects::applyUserFilter(b, s, random).ok());
        EXPECT_EQ(b, source);
    }
}

TEST(UserFilters, TheListHasTwentySixNamesFoundIgnoringCase)
{
    EXPECT_EQ(effects::userFilterNames()[0], "And");
    EXPECT_EQ(effects::userFilterNames()[7], "Reduce");
    EXPECT_EQ(effects::userFilterNames()[25], "UserMatrix");
    EXPECT_EQ(effects::findUserFilter("mondriaan"), 23);
    EXPECT_EQ(effects::findUserFilter("DRIP"), 15);
    EXPECT_EQ(effects::findUserFilter("Drips"), std::nullopt);
}

} // namespace
