#include "app/Tables.h"
#include "effects/Geometry.h"
#include "effects/Geometry_p.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace daubix::effects {

using detail::roundHalfEven64;

namespace {

// Every kind's table index is a function of the rounded distance o that is either constant from o = 180
// on or periodic with a period dividing 900 (10, 20, 25, 45, 90), so 901 keys cover every distance.
constexpr std::int64_t kKeys = 901;

bool periodic(WhirlKind kind)
{
    return kind >= WhirlKind::Ripple10;
}

std::int64_t keyOf(WhirlKind kind, std::int64_t o)
{
    if (o < kKeys)
        return o;
    return periodic(kind) ? o % 900 : 900;
}

// The degree sine table's index for the rounded distance o (o >= 0), clamped to 0 .. 180.
int turnIndex(WhirlKind kind, std::int64_t o)
{
    std::int64_t h = 0;
    switch (kind) {
    case WhirlKind::In:
        h = 180 - o;
        break;
    case WhirlKind::Out:
        h = o + 90;
        break;
    case WhirlKind::Center:
        h = 2 * o + 90;
        break;
    case WhirlKind::Double:
        h = 180 - 2 * o;
        break;
    case WhirlKind::Wave10:
        h = o + 90 + o % 10;
        break;
    case WhirlKind::Wave20:
        h = o + 90 + o % 20;
        break;
    case WhirlKind::Ripple10:
        h = 90 + o % 10;
        break;
    case WhirlKind::Ripple20:
        h = 90 + o % 20;
        break;
    case WhirlKind::Band90:
        h = o % 90;
        break;
    case WhirlKind::Band45:
        h = o % 45;
        break;
    case WhirlKind::Band25:
        h = o % 25;
        break;
    case WhirlKind::Revert:
        h = (o / 45) % 2 == 1 ? 45 - o % 45 : o % 45;
        break;
    }
    return static_cast<int>(std::clamp<std::int64_t>(h, 0, 180));
}

struct Turn {
    double cos;
    double sin;
    int index; // into the degree sine table, whose extended values settle near-halves
};

} // namespace

// The table's values are extended precision and so is the rotation they define. Doing it in double is
// exact except where a coordinate lies within the two precisions' difference of a half, which the
// tolerance below catches with a wide margin; those few pixels are turned again in extended precision.
gfx::Bitmap whirl(const gfx::Bitmap& src, gfx::Point centre, WhirlKind kind, const app::Tables& tables)
{
    gfx::Bitmap storage;
    const gfx::Bitmap& s = detail::as24(src, storage);
    const int w = s.width(), h = s.height();
    // Every pixel is written below, its source's or white, so the result needs no painting first.
    gfx::Bitmap out = gfx::Bitmap::zeroed(w, h);
    if (out.isEmpty())
        return out;
    std::array<Turn, kKeys> turns;
    for (std::int64_t key = 0; key < kKeys; ++key) {
        const int index = turnIndex(kind, key);
        const app::Tables::SinCos& t = tables.degreeSine[static_cast<std::size_t>(index)];
        turns[static_cast<std::size_t>(key)] = {static_cast<double>(t.cos), static_cast<double>(t.sin), index};
    }
    const std::int64_t cx = centre.x, cy = centre.y;
    const double scale = 180.0 / w;
    // Double and extended results differ by less than (|dx| + |dy|) * 2^-50; the tolerance allows 64 times that.
    const std::int64_t reach
        = std::max(std::abs(cx), std::abs(w - 1 - cx)) + std::max(std::abs(cy), std::abs(h - 1 - cy));
    const double tolerance = static_cast<double>(reach + 1) * 0x1p-44;
    const auto nearHalf = [tolerance](double v, std::int64_t rounded) {
        return 0.5 - std::abs(v - static_cast<double>(rounded)) < tolerance;
    };
    detail::inTwoBands(h, std::int64_t{w} * h, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            std::uint8_t* o = out.scanLine(y);
            const std::int64_t dy = y - cy;
            const double dyd = static_cast<double>(dy), dy2 = dyd * dyd;
            for (int x = 0; x < w; ++x, o += 3) {
                const std::int64_t dx = x - cx;
                const double dxd = static_cast<double>(dx);
                const double d = std::sqrt(dxd * dxd + dy2) * scale;
                const Turn& t = turns[static_cast<std::size_t>(keyOf(kind, roundHalfEven64(d)))];
                const double vx = dxd * t.cos - dyd * t.sin, vy = dxd * t.sin + dyd * t.cos;
                std::int64_t rx = roundHalfEven64(vx), ry = roundHalfEven64(vy);
                if (nearHalf(vx, rx) || nearHalf(vy, ry)) [[unlikely]] {
                    const app::Tables::SinCos& e = tables.degreeSine[static_cast<std::size_t>(t.index)];
                    const long double ex = static_cast<long double>(dx), ey = static_cast<long double>(dy);
                    rx = static_cast<std::int64_t>(std::nearbyint(ex * e.cos - ey * e.sin));
                    ry = static_cast<std::int64_t>(std::nearbyint(ex * e.sin + ey * e.cos));
                }
                const std::int64_t sx = rx + cx, sy = ry + cy;
                if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                    std::memcpy(o, s.scanLine(static_cast<int>(sy)) + sx * 3, 3);
                else
                    std::memset(o, 0xFF, 3);
            }
        }
    });
    return out;
}

} // namespace daubix::effects
