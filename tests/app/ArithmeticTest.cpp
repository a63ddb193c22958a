#include "app/Arithmetic.h"

#include "app/Tables.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

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

TEST(Random, SkipLeavesTheStateThatSteppingLeaves)
{
    for (const std::uint32_t seed : {0u, 1u, 777u, 0xFFFFFFFFu})
        for (const std::uint64_t steps : {0ull, 1ull, 2ull, 3ull, 15ull, 16ull, 17ull, 1000ull, 65537ull}) {
            Random stepped(seed), skipped(seed);
            for (std::uint64_t i = 0; i < steps; ++i)
                stepped(0);
            skipped.skip(steps);
            EXPECT_EQ(skipped.state(), stepped.state()) << seed << " + " << steps;
        }
    // The period is 2^32, so whole turns of it are no move at all.
    Random a(99), b(99);
    a.skip(std::uint64_t{1} << 32);
    EXPECT_EQ(a.state(), 99u);
    a.skip((std::uint64_t{3} << 32) + 5);
    b.skip(5);
    EXPECT_EQ(a.state(), b.state());
}

TEST(Random, DrawsGiveWhatRepeatedCallsGive)
{
    const int ranges[] = {-3, 0, 1, 2, 3, 100, 200, 255, 65535, 65536, 1 << 20, 2147483647};
    const std::size_t counts[] = {0, 1, 31, 32, 33, 47, 48, 49, 1000, 3072};
    for (const int n : ranges)
        for (const std::size_t count : counts)
            for (const std::uint32_t seed : {5u, 0xFFFFFFFFu}) {
                Random called(seed), bulk(seed);
                std::vector<int> expected(count), actual(count, -1);
                for (int& v : expected)
                    v = called(n);
                bulk.draws(n, actual.data(), count);
                ASSERT_EQ(actual, expected) << "n " << n << ", " << count << " draws";
                ASSERT_EQ(bulk.state(), called.state()) << "n " << n << ", " << count << " draws";
            }
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
