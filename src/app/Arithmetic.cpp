#include "app/Arithmetic.h"
#include "app/VectorClones.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace daubix::app {

int roundHalfEvenSlow(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int>::min();
    const double floor = std::floor(v);
    const double fraction = v - floor;
    auto r = static_cast<std::int64_t>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && (r & 1) != 0))
        ++r;
    return static_cast<int>(r);
}

namespace {

// A number of the generator's steps as one step x -> mul * x + add (mod 2^32).
struct Jump {
    std::uint32_t mul = 1;
    std::uint32_t add = 0;
};

// Composing x -> a x + c with itself gives a^2 x + (a + 1) c, so squaring covers each bit of steps.
constexpr Jump jumpOf(std::uint64_t steps, std::uint32_t multiplier, std::uint32_t increment)
{
    Jump total;
    Jump power{multiplier, increment};
    for (; steps != 0; steps >>= 1) {
        if (steps & 1)
            total = {total.mul * power.mul, total.add * power.mul + power.add};
        power = {power.mul * power.mul, power.add * (power.mul + 1)};
    }
    return total;
}

// Each step waits for the one before it, a multiply and an add; this many generators side by side, each
// stepping over the others' draws, keep the multiplier busy and fill whole vectors.
constexpr std::size_t kLanes = 16;

// Fills out with the draws after state start, kLanes at a time, as long as whole rounds fit; returns how
// many it drew. high(state) is a draw's value.
template <typename High> std::size_t inLanes(std::uint32_t start, int* out, std::size_t count, High high)
{
    constexpr Jump kLaneJump = jumpOf(kLanes, Random::kMultiplier, Random::kIncrement);
    std::uint32_t lane[kLanes]; // lane j holds the state of draw i + j
    for (std::uint32_t& state : lane)
        state = start = start * Random::kMultiplier + Random::kIncrement;
    std::size_t i = 0;
    // Unrolled, these short loops would become scalar code; left as loops, they become vector code.
    for (; i + kLanes <= count; i += kLanes) {
#pragma GCC unroll 0
        for (std::size_t j = 0; j < kLanes; ++j)
            out[i + j] = high(lane[j]);
#pragma GCC unroll 0
        for (std::size_t j = 0; j < kLanes; ++j)
            lane[j] = lane[j] * kLaneJump.mul + kLaneJump.add;
    }
    return i;
}

} // namespace

void Random::skip(std::uint64_t steps)
{
    const Jump jump = jumpOf(steps, kMultiplier, kIncrement);
    m_seed = m_seed * jump.mul + jump.add;
}

DAUBIX_VECTOR_CLONES void Random::draws(int n, int* out, std::size_t count)
{
    if (n <= 0) {
        std::fill_n(out, count, 0);
        skip(count);
        return;
    }
    std::size_t done = 0;
    if (count >= 2 * kLanes) {
        const auto range = static_cast<std::uint32_t>(n);
        if (range <= 0xFFFF) {
            // (state * range) >> 32 from the state's two halves: with range below 2^16 nothing passes
            // 32 bits, and vectors of 32-bit lanes have no high-half multiply of their own.
            done = inLanes(m_seed, out, count, [range](std::uint32_t state) {
                return static_cast<int>(((state >> 16) * range + (((state & 0xFFFF) * range) >> 16)) >> 16);
            });
        } else {
            done = inLanes(m_seed, out, count,
                [range](std::uint32_t state) { return static_cast<int>((std::uint64_t{state} * range) >> 32); });
        }
        skip(done);
    }
    for (std::size_t i = done; i < count; ++i)
        out[i] = (*this)(n);
}

Random::Random()
{
    seedFromClock();
}

void Random::seedFromClock()
{
    if (m_fixedClock) {
        m_seed = *m_fixedClock;
        return;
    }
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count()
        ^ std::chrono::system_clock::now().time_since_epoch().count();
    m_seed = static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

} // namespace daubix::app
