#include "io/DeviceContext.h"

#include <cmath>

namespace daubix::io::detail {

namespace {

// Beyond these a transform is taken as garbage: any real picture fits with room to spare.
constexpr double kMaxScale = 1e6;
constexpr double kMaxOffset = 1e12;

} // namespace

Affine Affine::then(const Affine& b) const
{
    return {m11 * b.m11 + m12 * b.m21, m11 * b.m12 + m12 * b.m22, m21 * b.m11 + m22 * b.m21, m21 * b.m12 + m22 * b.m22,
        dx * b.m11 + dy * b.m21 + b.dx, dx * b.m12 + dy * b.m22 + b.dy};
}

std::optional<Affine> Affine::inverted() const
{
    const double det = determinant();
    if (det == 0 || !std::isfinite(det))
        return std::nullopt;
    const Affine inv{
        m22 / det, -m12 / det, -m21 / det, m11 / det, (m21 * dy - m22 * dx) / det, (m12 * dx - m11 * dy) / det};
    return inv;
}

bool Affine::isSane() const
{
    for (const double v : {m11, m12, m21, m22})
        if (!std::isfinite(v) || std::abs(v) > kMaxScale)
            return false;
    for (const double v : {dx, dy})
        if (!std::isfinite(v) || std::abs(v) > kMaxOffset)
            return false;
    const double det = determinant();
    return det != 0 && std::isfinite(det);
}

DcState::DcState(const MetafileStart& start)
    : mapMode(start.mapMode)
    , windowOrg{start.windowOrgX, start.windowOrgY}
    , windowExt{start.windowExtX, start.windowExtY}
    , viewportOrg{start.viewportOrgX, start.viewportOrgY}
    , viewportExt{start.viewportExtX, start.viewportExtY}
{
}

// The fixed map modes measure logical units in millimetres on the device and count y upward; the two
// free ones take the window and viewport extents, the isotropic one with equal scales on both axes.
Affine DcState::transform(const MetafileStart& start) const
{
    double sx = 1, sy = 1;
    constexpr double kInchMm = 25.4;
    double unitMm = 0; // millimetres per logical unit, for the fixed modes
    switch (mapMode) {
    case 2:
        unitMm = 0.1;
        break; // MM_LOMETRIC
    case 3:
        unitMm = 0.01;
        break; // MM_HIMETRIC
    case 4:
        unitMm = kInchMm / 100;
        break; // MM_LOENGLISH
    case 5:
        unitMm = kInchMm / 1000;
        break; // MM_HIENGLISH
    case 6:
        unitMm = kInchMm / 1440;
        break; // MM_TWIPS
    case 7: // MM_ISOTROPIC
    case 8: // MM_ANISOTROPIC
        sx = viewportExt.x / windowExt.x;
        sy = viewportExt.y / windowExt.y;
        if (mapMode == 7) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        break;
    default:
        break; // MM_TEXT: one unit, one device pixel
    }
    if (unitMm > 0) {
        sx = unitMm * start.pixelsPerMmX;
        sy = -unitMm * start.pixelsPerMmY;
    }
    const Affine page{sx, 0, 0, sy, viewportOrg.x - windowOrg.x * sx, viewportOrg.y - windowOrg.y * sy};
    const Affine device{start.deviceScaleX, 0, 0, start.deviceScaleY, -start.deviceOriginX * start.deviceScaleX,
        -start.deviceOriginY * start.deviceScaleY};
    return world.then(page).then(device);
}

} // namespace daubix::io::detail
