#include "app/Arithmetic.h"
#include "effects/Geometry.h"
#include "effects/Geometry_p.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <thread>
#include <vector>

namespace daubix::effects {

using app::roundHalfEven;

namespace {

// The result before any source pixel lands: the source itself, or white.
gfx::Bitmap startOf(const gfx::Bitmap& s, const Projection& p)
{
    return p.retainBorders ? s : gfx::Bitmap(s.width(), s.height());
}

// For the offsets d = index - centre over 0 .. count - 1, the place centre + round(d f) each one lands on
// by the cylinders' rule (f = |sin(d k) factor| or |cos(d k) factor|), and for each place the smallest
// index landing there (-1 where none does): the source processed from the far end, later writes winning.
std::vector<int> cylinderWinners(int count, const Projection& p)
{
    const int centre = count / 2;
    const double k = std::numbers::pi / 2 / centre;
    std::vector<int> winner(static_cast<std::size_t>(count), -1);
    for (int i = count - 1; i >= 0; --i) {
        const int d = i - centre;
        const double f = std::abs((p.sinus ? std::sin(d * k) : std::cos(d * k)) * p.factor);
        const std::int64_t place = std::int64_t{centre} + roundHalfEven(d * f);
        if (place >= 0 && place < count)
            winner[static_cast<std::size_t>(place)] = i;
    }
    return winner;
}

bool hasRadius(const gfx::Bitmap& s, int size, const Projection& p)
{
    return !s.isEmpty() && size / 2 > 0 && std::isfinite(p.factor);
}

// Lands the globe's source rows last - 1 down to first, each from right to left, through
// put(x, y, tx, ty) for the source pixel (x, y) landing on (tx, ty). A pixel at distance e <= R from the
// centre moves back towards it by the share f = sin(e k) (or cos) of its offsets; e, f and the rounded
// offsets depend only on |dx| and |dy|, and round(-v) = -round(v), so each row computes them once for
// both halves. Stops and returns false as soon as put refuses.
template <typename Put> bool landGlobeRows(const gfx::Bitmap& s, int first, int last, const Projection& p, Put&& put)
{
    const int w = s.width(), cx = w / 2, cy = s.height() / 2, radius = w / 2;
    const double k = std::numbers::pi / 2 / radius * p.factor;
    std::vector<int> moveX(static_cast<std::size_t>(radius) + 1), moveY(moveX.size());
    for (int y = last - 1; y >= first; --y) {
        const int dy = y - cy, b = std::abs(dy);
        const double dy2 = static_cast<double>(dy) * dy;
        int reach = 0; // the offsets |dx| < reach lie within the radius
        for (; reach <= radius; ++reach) {
            const double e = std::sqrt(static_cast<double>(reach) * reach + dy2);
            if (!(e <= radius))
                break;
            const double f = p.sinus ? std::sin(e * k) : std::cos(e * k);
            moveX[static_cast<std::size_t>(reach)] = roundHalfEven(reach * f);
            moveY[static_cast<std::size_t>(reach)] = roundHalfEven(b * f);
        }
        const int signY = dy < 0 ? -1 : 1;
        for (int x = std::min(w - 1, cx + reach - 1); x >= std::max(0, cx - reach + 1); --x) {
            const int dx = x - cx, a = std::abs(dx);
            const int tx = x - (dx < 0 ? -moveX[static_cast<std::size_t>(a)] : moveX[static_cast<std::size_t>(a)]);
            const int ty = y - signY * moveY[static_cast<std::size_t>(a)];
            if (!put(x, y, tx, ty))
                return false;
        }
    }
    return true;
}

} // namespace

gfx::Bitmap cylinderHorizontal(const gfx::Bitmap& src, const Projection& p)
{
    gfx::Bitmap storage;
    const gfx::Bitmap& s = detail::as24(src, storage);
    if (!hasRadius(s, s.height(), p))
        return s;
    const std::vector<int> winner = cylinderWinners(s.height(), p);
    // Every row is written below, so the result needs no painting first.
    gfx::Bitmap out = gfx::Bitmap::zeroed(s.width(), s.height());
    const std::size_t bytes = static_cast<std::size_t>(s.width()) * 3;
    detail::inTwoBands(s.height(), std::int64_t{s.width()} * s.height(), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const int from = winner[static_cast<std::size_t>(y)];
            if (from >= 0 || p.retainBorders)
                std::memcpy(out.scanLine(y), s.scanLine(from >= 0 ? from : y), bytes);
            else
                std::memset(out.scanLine(y), 0xFF, bytes);
        }
    });
    return out;
}

gfx::Bitmap cylinderVertical(const gfx::Bitmap& src, const Projection& p)
{
    gfx::Bitmap storage;
    const gfx::Bitmap& s = detail::as24(src, storage);
    if (!hasRadius(s, s.width(), p))
        return s;
    const int w = s.width();
    const std::vector<int> winner = cylinderWinners(w, p);
    // Every row takes the same columns, so where each result column comes from is listed once: runs of
    // neighbouring columns that take other columns' pixels, and spans that nothing lands on, which turn
    // white or keep their own pixels. Within a run pixels move as 4-byte words whose spare byte the next
    // pixel overwrites; the last of a run moves as 3 bytes, and so does a pixel read from the last column,
    // whose spare byte lies past it.
    struct Run {
        int first; // into `from`
        int count;
        int to; // byte offset of the run's first result pixel
    };
    struct Columns {
        int x0;
        int x1;
        bool keep; // else white
    };
    std::vector<Run> runs;
    std::vector<int> from; // byte offsets of the source pixels, run after run
    std::vector<Columns> untouched;
    for (int x = 0; x < w; ++x) {
        const int source = winner[static_cast<std::size_t>(x)];
        if (source < 0 || source == x) {
            const bool keep = source == x || p.retainBorders;
            if (untouched.empty() || untouched.back().x1 != x || untouched.back().keep != keep)
                untouched.push_back({x, x, keep});
            ++untouched.back().x1;
            continue;
        }
        const bool joins
            = !runs.empty() && runs.back().to + runs.back().count * 3 == x * 3 && from.back() != (w - 1) * 3;
        if (!joins)
            runs.push_back({static_cast<int>(from.size()), 0, x * 3});
        ++runs.back().count;
        from.push_back(source * 3);
    }
    // Every pixel is written below, so the result needs no painting first.
    gfx::Bitmap out = gfx::Bitmap::zeroed(w, s.height());
    detail::inTwoBands(s.height(), std::int64_t{w} * s.height(), [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* in = s.scanLine(y);
            std::uint8_t* row = out.scanLine(y);
            for (const Run& r : runs) {
                const int* f = from.data() + r.first;
                std::uint8_t* o = row + r.to;
                for (int i = 0; i + 1 < r.count; ++i, o += 3)
                    std::memcpy(o, in + f[i], 4);
                std::memcpy(o, in + f[r.count - 1], 3);
            }
            for (const Columns& c : untouched) {
                const std::size_t at = static_cast<std::size_t>(c.x0) * 3;
                const std::size_t bytes = static_cast<std::size_t>(c.x1 - c.x0) * 3;
                if (c.keep)
                    std::memcpy(row + at, in + at, bytes);
                else
                    std::memset(row + at, 0xFF, bytes);
            }
        }
    });
    return out;
}

// With 0 <= factor <= 1 the share f lies in 0 .. 1, so a pixel lands between itself and the centre: rows
// above the middle row land on rows up to it, the others on rows from it down. The two halves run at
// once; the only row both write is the middle one, where the upper half's landings come later in the
// serial order and win, so the upper half keeps them aside and lays them over at the end.
gfx::Bitmap globe(const gfx::Bitmap& src, const Projection& p)
{
    gfx::Bitmap storage;
    const gfx::Bitmap& s = detail::as24(src, storage);
    if (!hasRadius(s, s.width(), p))
        return s;
    const int w = s.width(), h = s.height(), cy = h / 2;
    gfx::Bitmap out = startOf(s, p);
    const auto land = [&](int x, int y, int tx, int ty) {
        if (tx >= 0 && tx < w && ty >= 0 && ty < h)
            std::memcpy(out.scanLine(ty) + static_cast<std::size_t>(tx) * 3,
                s.scanLine(y) + static_cast<std::size_t>(x) * 3, 3);
        return true;
    };
    const bool split = p.factor >= 0 && p.factor <= 1 && cy > 0 && std::int64_t{w} * h >= (std::int64_t{1} << 16)
        && std::thread::hardware_concurrency() >= 2;
    if (!split) {
        landGlobeRows(s, 0, h, p, land);
        return out;
    }
    std::vector<std::uint8_t> middle(static_cast<std::size_t>(w) * 3), landed(static_cast<std::size_t>(w));
    bool upperKept = true;
    std::thread upper([&] {
        upperKept = landGlobeRows(s, 0, cy, p, [&](int x, int y, int tx, int ty) {
            if (tx < 0 || tx >= w || ty < 0 || ty > cy)
                return false;
            std::uint8_t* to = ty == cy ? middle.data() + static_cast<std::size_t>(tx) * 3
                                        : out.scanLine(ty) + static_cast<std::size_t>(tx) * 3;
            std::memcpy(to, s.scanLine(y) + static_cast<std::size_t>(x) * 3, 3);
            if (ty == cy)
                landed[static_cast<std::size_t>(tx)] = 1;
            return true;
        });
    });
    const bool lowerKept = landGlobeRows(s, cy, h, p,
        [&](int x, int y, int tx, int ty) { return ty >= cy && ty < h && tx >= 0 && tx < w && land(x, y, tx, ty); });
    upper.join();
    if (!upperKept || !lowerKept) {
        // Not reachable with such factors; should rounding ever say otherwise, the serial order decides.
        out = startOf(s, p);
        landGlobeRows(s, 0, h, p, land);
        return out;
    }
    std::uint8_t* row = out.scanLine(cy);
    for (int x = 0; x < w; ++x)
        if (landed[static_cast<std::size_t>(x)])
            std::memcpy(row + static_cast<std::size_t>(x) * 3, middle.data() + static_cast<std::size_t>(x) * 3, 3);
    return out;
}

} // namespace daubix::effects
