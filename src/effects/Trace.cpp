// Trace: outlines between the colour regions of an 8-bit picture, drawn into a 24-bit one.
//
// The sweeps compare each pixel with two neighbours; at a boundary the first one ever met decides which
// side is marked from then on: a pixel whose index differs from the index remembered there is marked
// itself, otherwise its differing neighbour is. The picture compared is never written and marking only
// sets pixels to one colour, so the marks do not depend on the order they are made in, and a pass after
// the second repeats what the first two marked. What remains of the order is which boundary comes first,
// so that is found first; then every row gathers its marks from the comparisons that reach it.

#include "effects/Effects_p.h"
#include "effects/ImageEffects.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace daubix::effects {

namespace {

// The remembered index: the neighbour at the first differing comparison in sweep order.
std::optional<std::uint8_t> firstBoundary(const gfx::Bitmap& p, bool backward)
{
    const int w = p.width(), h = p.height();
    for (int y = 0; y <= h - 2; ++y) {
        const std::uint8_t* row = p.scanLine(y);
        const std::uint8_t* below = p.scanLine(y + 1);
        for (int x = 0; x <= w - 3; ++x) {
            if (row[x + 1] != row[x])
                return row[x + 1];
            if (below[x] != row[x])
                return below[x];
        }
    }
    if (!backward)
        return std::nullopt;
    for (int y = h - 1; y >= 1; --y) {
        const std::uint8_t* row = p.scanLine(y);
        const std::uint8_t* above = p.scanLine(y - 1);
        for (int x = w - 1; x >= 2; --x) {
            if (row[x - 1] != row[x])
                return row[x - 1];
            if (above[x] != row[x])
                return above[x];
        }
    }
    return std::nullopt;
}

// The comparisons of one sweep along a row, against the neighbour in the row at step (+1 forward, -1
// backward) and the one in the other row: each pixel x in [x0, x1) marks itself, or the neighbour in
// the row, in m.
void sweepAlong(const std::uint8_t* __restrict row, const std::uint8_t* __restrict other, std::uint8_t a, int x0,
    int x1, int step, std::uint8_t* __restrict m)
{
    // Bitwise rather than short-circuit operators, so that the loops run as vector code.
    for (int x = x0; x < x1; ++x) {
        const std::uint8_t v = row[x];
        m[x] |= static_cast<std::uint8_t>((v != a) & ((row[x + step] != v) | (other[x] != v)));
    }
    for (int x = x0; x < x1; ++x) {
        const std::uint8_t v = row[x];
        m[x + step] |= static_cast<std::uint8_t>((v == a) & (row[x + step] != v));
    }
}

// The marks that a sweep along the other row puts into this one: where the other row holds the
// remembered index and this row differs, for x in [x0, x1).
void sweepAcross(const std::uint8_t* __restrict row, const std::uint8_t* __restrict other, std::uint8_t a, int x0,
    int x1, std::uint8_t* __restrict m)
{
    for (int x = x0; x < x1; ++x)
        m[x] |= static_cast<std::uint8_t>((other[x] == a) & (row[x] != other[x]));
}

} // namespace

void trace(const gfx::Bitmap& p, gfx::Bitmap& q, std::uint8_t c, int intensity)
{
    const int w = p.width(), h = p.height();
    if (w < 3 || h < 2 || intensity < 1)
        return;
    const bool backward = intensity >= 2;
    const std::optional<std::uint8_t> boundary = firstBoundary(p, backward);
    if (!boundary)
        return;
    const std::uint8_t a = *boundary;
    detail::inTwoBands(h, std::int64_t{w} * h, [&](int y0, int y1) {
        std::vector<std::uint8_t> marks(static_cast<std::size_t>(w));
        std::uint8_t* m = marks.data();
        for (int y = y0; y < y1; ++y) {
            std::fill(marks.begin(), marks.end(), 0);
            const std::uint8_t* row = p.scanLine(y);
            const std::uint8_t* above = y >= 1 ? p.scanLine(y - 1) : nullptr;
            const std::uint8_t* below = y <= h - 2 ? p.scanLine(y + 1) : nullptr;
            // Forward: rows 0 .. H-2, columns 0 .. W-3, against the right and the lower neighbour.
            if (below)
                sweepAlong(row, below, a, 0, w - 2, 1, m);
            if (above)
                sweepAcross(row, above, a, 0, w - 2, m);
            // Backward: rows H-1 .. 1, columns W-1 .. 2, against the left and the upper neighbour.
            if (backward && above)
                sweepAlong(row, above, a, 2, w, -1, m);
            if (backward && below)
                sweepAcross(row, below, a, 2, w, m);
            // Without a branch per pixel: boundaries are too frequent and irregular to predict.
            std::uint8_t* __restrict out = q.scanLine(y);
            for (int x = 0; x < w; ++x) {
                const auto mark = static_cast<std::uint8_t>(-m[x]);
                for (int k = 0; k < 3; ++k)
                    out[x * 3 + k] = static_cast<std::uint8_t>((out[x * 3 + k] & ~mark) | (c & mark));
            }
        }
    });
}

} // namespace daubix::effects
