#include "effects/Geometry.h"
#include "effects/Geometry_p.h"
#include "gfx/HalftoneMap.h"

namespace daubix::effects {

// The flip and the reduction to the halftone palette in one pass: each result row is read once from its
// source row, so the flipped 24-bit copy that the command describes never needs to exist.
gfx::Bitmap flipToHalftone(const gfx::Bitmap& src, bool horizontal)
{
    gfx::Bitmap storage;
    const gfx::Bitmap& s = detail::as24(src, storage);
    const int w = s.width(), h = s.height();
    gfx::Bitmap out = gfx::Bitmap::zeroed(w, h, gfx::PixelFormat::Bits8); // every pixel is written below
    const gfx::HalftoneMap& nearest = gfx::HalftoneMap::instance();
    detail::inTwoBands(h, std::int64_t{w} * h, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            std::uint8_t* o = out.scanLine(y);
            if (horizontal) {
                const std::uint8_t* in = s.scanLine(y) + static_cast<std::size_t>(w) * 3;
                for (int x = 0; x < w; ++x) {
                    in -= 3;
                    o[x] = nearest(in[2], in[1], in[0]);
                }
            } else {
                const std::uint8_t* in = s.scanLine(h - 1 - y);
                for (int x = 0; x < w; ++x, in += 3)
                    o[x] = nearest(in[2], in[1], in[0]);
            }
        }
    });
    return out;
}

} // namespace daubix::effects
