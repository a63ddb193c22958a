#include "app/Arithmetic.h"

#include "app/Tables.h"

#include <gtest/gtest.h>
#include <set>

using namespace daubix::app;

TEST(Arithmetic, RoundsHalvesToEven)
{
    const std::pair<double, int> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {179.2, 179}, {320.0, 320}, {-7.6, -8}, {1e20, 2147483647}, {-1e20, -2147483647 - 1}};
    for (const auto& [v, expected] : cases)
        EXPECT_EQ(roundHalfEven(v), expected) << v;
}

TEST(Arithmetic, DivisionTruncatesTowardZeroAndIsTotal)
{
    struct Case {
        std::int32_t a, b, div, mod;
    };
    const Case cases[] = {{7, 2, 3, 1}, {-7, 2, -3, -1}, {7, -2, -3, 1}, {-7, -2, 3, -1}, {5, 0, 0, 0},
        {INT32_MIN, -1, INT32_MIN, 0}, {INT32_MIN, 1, INT32_MIN, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(divTrunc(c.a, c.b), c.div) << c.a << " div " << c.b;
        EXPECT_EQ(modTrunc(c.a, c.b), c.mod) << c.a << " mod " << c.b;
    }
}

TEST(Random, IsReproducibleWhenSeededAndStaysInRange)
{
    Random a(42), b(42);
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) {
        const int v = a(10);
        EXPECT_EQ(v, b(10));
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(a(0), 0);
    EXPECT_EQ(a(-5), 0);
    EXPECT_EQ(a(1), 0);
}

TEST(Tables, SineRampRisesFromZeroTo255)
{
    const Tables t;
    EXPECT_EQ(t.sineRamp[0], 0);
    EXPECT_EQ(t.sineRamp[1], 2); // 255 sin(pi / 510) = 1.57
    EXPECT_EQ(t.sineRamp[170], 221); // 255 sin(pi / 3) = 220.84
    EXPECT_EQ(t.sineRamp[255], 255);
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(t.sineRamp[i], t.sineRamp[i - 1]);
}

TEST(Tables, DegreeSineCoversMinusNinetyToNinety)
{
    const Tables t;
    EXPECT_DOUBLE_EQ(static_cast<double>(t.degrees(-90).sin), -1.0);
    EXPECT_NEAR(static_cast<double>(t.degrees(-90).cos), 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(static_cast<double>(t.degrees(0).cos), 1.0);
    EXPECT_NEAR(static_cast<double>(t.degrees(30).sin), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(t.degrees(90).sin), 1.0, 1e-15);
}
