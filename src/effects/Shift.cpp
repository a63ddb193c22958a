#include "effects/Geometry.h"
#include "effects/Geometry_p.h"

#include <cstring>
#include <vector>

namespace daubix::effects {

void shiftColumns(gfx::Bitmap& bmp, int direction)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const int w = bmp.width();
    if (w < 2 || direction == 0)
        return;
    const std::size_t moved = static_cast<std::size_t>(w - 1) * 3;
    detail::inTwoBands(bmp.height(), std::int64_t{w} * bmp.height(), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            std::uint8_t* row = bmp.scanLine(y);
            std::uint8_t pushed[3];
            if (direction < 0) {
                std::memcpy(pushed, row, 3);
                std::memmove(row, row + 3, moved);
                std::memcpy(row + moved, pushed, 3);
            } else {
                std::memcpy(pushed, row + moved, 3);
                std::memmove(row + 3, row, moved);
                std::memcpy(row, pushed, 3);
            }
        }
    });
}

// Rows are contiguous, so the shift moves the whole block by one row, in two halves on two threads. The
// row at the seam is saved first: one half would overwrite it before the other had read it.
void shiftRows(gfx::Bitmap& bmp, int direction)
{
    const int h = bmp.height();
    const std::size_t stride = bmp.stride();
    if (h < 2 || stride == 0 || direction == 0)
        return;
    const bool down = direction > 0;
    const auto row = [&](int y) { return bmp.scanLine(y); };
    // Moves `count` rows starting at row `from` to start at row `to`.
    const auto moveRows = [&](int to, int from, int count) {
        if (count > 0)
            std::memmove(row(to), row(from), static_cast<std::size_t>(count) * stride);
    };
    const int seam = h / 2;
    const std::vector<std::uint8_t> wrapped(row(down ? h - 1 : 0), row(down ? h - 1 : 0) + stride);
    const std::vector<std::uint8_t> middle(row(seam), row(seam) + stride);
    detail::inTwoBands(2, std::int64_t{bmp.width()} * h, [&](int first, int last) {
        for (int half = first; half < last; ++half) {
            if (down) {
                if (half == 0) {
                    moveRows(1, 0, seam);
                } else if (seam + 1 < h) {
                    moveRows(seam + 2, seam + 1, h - seam - 2);
                    std::memcpy(row(seam + 1), middle.data(), stride);
                }
            } else {
                if (half == 0) {
                    moveRows(0, 1, seam - 1);
                    std::memcpy(row(seam - 1), middle.data(), stride);
                } else {
                    moveRows(seam, seam + 1, h - 1 - seam);
                }
            }
        }
    });
    std::memcpy(row(down ? 0 : h - 1), wrapped.data(), stride);
}

} // namespace daubix::effects
