#include "app/Arithmetic.h"

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
