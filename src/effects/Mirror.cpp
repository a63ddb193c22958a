#include "effects/Geometry.h"
#include "effects/Geometry_p.h"

#include <algorithm>
#include <cstring>

namespace daubix::effects {

namespace {

// Pixels 0 .. count - 1 of the row written, in reverse order, to the pixels that end at `last`:
// pixel last - i = pixel i. A pixel that would be written onto itself is skipped. Pixels move as 4-byte
// words reaching one byte back, whose spare byte the next pixel written overwrites; the first (which
// would read before the row) and the last (which would write into a pixel that stays) move as 3 bytes.
void mirrorRun(std::uint8_t* row, int count, int last)
{
    const int n = std::min(count, (last + 1) / 2); // pixels before the middle of 0 .. last
    const std::uint8_t* from = row;
    std::uint8_t* to = row + static_cast<std::size_t>(last) * 3;
    for (int i = 0; i < n; ++i, from += 3, to -= 3) {
        if (i == 0 || i == n - 1)
            std::memcpy(to, from, 3);
        else
            std::memcpy(to - 1, from - 1, 4);
    }
}

// The right half of the row mirrored onto the left: pixel x = pixel W - 1 - x. Pixels move as 4-byte
// words whose spare byte the next pixel written overwrites; the first (which would read past the row)
// and the last (which would write into a pixel that stays) move as 3 bytes.
void mirrorRowLeft(std::uint8_t* row, int width)
{
    const int n = width / 2;
    const std::uint8_t* from = row + static_cast<std::size_t>(width - 1) * 3;
    std::uint8_t* to = row;
    for (int i = 0; i < n; ++i, from -= 3, to += 3) {
        if (i == 0 || i == n - 1)
            std::memcpy(to, from, 3);
        else
            std::memcpy(to, from, 4);
    }
}

} // namespace

void mirrorHalf(gfx::Bitmap& bmp, MirrorHalf half)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int w = bmp.width(), h = bmp.height();
    const std::size_t bytes = static_cast<std::size_t>(w) * 3;
    switch (half) {
    case MirrorHalf::Down:
    case MirrorHalf::Up:
        // Row r and row H - 1 - r for r < H div 2: the copies touch disjoint rows, so halves of that
        // range run at once.
        detail::inTwoBands(h / 2, std::int64_t{w} * h, [&](int first, int last) {
            for (int r = first; r < last; ++r) {
                const int top = r, bottom = h - 1 - r;
                if (half == MirrorHalf::Down)
                    std::memcpy(bmp.scanLine(bottom), bmp.scanLine(top), bytes);
                else
                    std::memcpy(bmp.scanLine(top), bmp.scanLine(bottom), bytes);
            }
        });
        return;
    case MirrorHalf::Left:
    case MirrorHalf::Right:
        detail::inTwoBands(h, std::int64_t{w} * h, [&](int first, int last) {
            for (int y = first; y < last; ++y)
                if (half == MirrorHalf::Right)
                    mirrorRun(bmp.scanLine(y), w, w - 1);
                else
                    mirrorRowLeft(bmp.scanLine(y), w);
        });
        return;
    }
}

// Each top-half row is mirrored onto its own right half and then copied whole onto its bottom-half
// partner: the same pixels the quadrant rule writes, since no pixel it reads is one it writes.
void mirrorQuadTopLeft(gfx::Bitmap& bmp)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int w = bmp.width(), h = bmp.height();
    const std::size_t bytes = static_cast<std::size_t>(w) * 3;
    detail::inTwoBands((h + 1) / 2, std::int64_t{w} * h, [&](int first, int last) {
        for (int r = first; r < last; ++r) {
            mirrorRun(bmp.scanLine(r), w, w - 1);
            if (h - 1 - r != r)
                std::memcpy(bmp.scanLine(h - 1 - r), bmp.scanLine(r), bytes);
        }
    });
}

void mirrorWedge(gfx::Bitmap& bmp)
{
    if (bmp.width() != bmp.height())
        return;
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int n = bmp.width();
    detail::inTwoBands(n, std::int64_t{n} * n, [&](int first, int last) {
        for (int r = first; r < last; ++r) {
            const int count = r <= (n - 1) / 2 ? r + 1 : n - r;
            mirrorRun(bmp.scanLine(r), count, n - 1);
        }
    });
}

} // namespace daubix::effects
