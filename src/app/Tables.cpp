#include "app/Tables.h"

#include "app/Arithmetic.h"

#include <cmath>
#include <numbers>

namespace daubix::app {

Tables::Tables()
{
    for (int i = 0; i < 256; ++i)
        sineRamp[static_cast<std::size_t>(i)]
            = static_cast<std::uint8_t>(roundHalfEven(255.0 * std::sin(i / 255.0 * std::numbers::pi / 2)));
    for (int k = 0; k <= 180; ++k) {
        const long double a = (k - 90) * std::numbers::pi_v<long double> / 180.0L;
        degreeSine[static_cast<std::size_t>(k)] = {std::sin(a), std::cos(a)};
    }
}

} // namespace daubix::app
