#include "effects/Geometry.h"
#include "effects/Geometry_p.h"
#include "gfx/Region.h"

namespace daubix::effects {

namespace {

// Each row is written once, the image inside the region and white outside, so the result needs no
// painting first.
gfx::Bitmap clippedTo(const gfx::Bitmap& image, const gfx::Region& region)
{
    gfx::Bitmap storage;
    const gfx::Bitmap& s = detail::as24(image, storage);
    gfx::Bitmap out = gfx::Bitmap::zeroed(s.width(), s.height());
    detail::inTwoBands(out.height(), std::int64_t{out.width()} * out.height(), [&](int first, int last) {
        region.copy(s, out, first, last);
        region.fillOutside(out, gfx::clWhite, first, last);
    });
    return out;
}

} // namespace

gfx::Bitmap clippedToEllipse(const gfx::Bitmap& image)
{
    const int w = image.width(), h = image.height();
    return clippedTo(image, gfx::Region::ellipse({0, 0, w, h}, w, h));
}

gfx::Bitmap clippedToDiamond(const gfx::Bitmap& image)
{
    const int w = image.width(), h = image.height();
    const gfx::Point diamond[] = {{w / 2, 0}, {w - 1, h / 2}, {w / 2, h - 1}, {0, h / 2}};
    return clippedTo(image, gfx::Region::polygon(diamond, w, h));
}

} // namespace daubix::effects
