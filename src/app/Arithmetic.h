#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

namespace daubix::app {

// Round to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Saturates at the int range.
int roundHalfEvenSlow(double v);
inline int roundHalfEven(double v)
{
    // Adding and taking away 1.5 * 2^52 leaves v rounded to an integer by the floating-point unit's
    // rounding, which is to nearest with halves to even (the program never changes it); pixel loops
    // call this per value, so it stays inline.
    if (v > -1e9 && v < 1e9) {
        constexpr double kShift = 6755399441055744.0;
        return static_cast<int>((v + kShift) - kShift);
    }
    return roundHalfEvenSlow(v);
}

// Division and remainder truncating toward zero, total over all inputs: a zero divisor gives 0 and
// the most negative value divided by -1 wraps to itself, as two's complement arithmetic does.
constexpr std::int32_t divTrunc(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        return 0;
    if (b == -1)
        return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a));
    return a / b;
}
constexpr std::int32_t modTrunc(std::int32_t a, std::int32_t b)
{
    if (b == 0 || b == -1)
        return 0;
    return a % b;
}

// The program's single pseudo-random generator: a 32-bit linear congruential generator. Random(n) is
// uniform in 0 .. n-1 and Random(0) (or a negative n) is 0. Seeded from the clock unless a test seeds it.
class Random {
public:
    // Each call steps seed = seed * kMultiplier + kIncrement (mod 2^32) first.
    static constexpr std::uint32_t kMultiplier = 134775813u;
    static constexpr std::uint32_t kIncrement = 1u;

    Random();
    explicit Random(std::uint32_t seed)
        : m_seed(seed)
    {
    }
    void seed(std::uint32_t seed) { m_seed = seed; }
    // A new seed from the clock, or the one that seedFixed set.
    void seedFromClock();
    // Runs that must repeat (a test, a command line with a seed): the seed, which every later reseed from
    // the clock takes too.
    void seedFixed(std::uint32_t seed)
    {
        m_seed = seed;
        m_fixedClock = seed;
    }
    std::uint32_t state() const { return m_seed; }

    int operator()(int n)
    {
        next();
        if (n <= 0)
            return 0;
        return static_cast<int>((static_cast<std::uint64_t>(m_seed) * static_cast<std::uint32_t>(n)) >> 32);
    }
    // Uniform in [0, 1).
    double real()
    {
        next();
        return m_seed / 4294967296.0;
    }
    // Leaves the generator where that many calls would, in time logarithmic in steps: a second thread
    // starts its share of a long run of draws from here.
    void skip(std::uint64_t steps);
    // out[i] = the i-th of count calls of (*this)(n), leaving the state those calls leave, many times faster.
    void draws(int n, int* out, std::size_t count);

private:
    void next() { m_seed = m_seed * kMultiplier + kIncrement; }
    std::uint32_t m_seed = 0;
    std::optional<std::uint32_t> m_fixedClock;
};

} // namespace daubix::app
