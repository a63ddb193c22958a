#include "effects/Resize.h"

#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "gfx/Canvas.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace daubix::effects {

namespace {

constexpr std::uint32_t kOne = 32768; // 1.0 in the resampler's 15-bit fixed point

// Per destination column: the byte offsets of the source columns c and c + 1 (the last column
// repeating, as the last row does) and the weight fx of the right one.
struct Column {
    std::uint32_t left;
    std::uint32_t right;
    std::uint32_t fx;
};

void bilinearRows(const gfx::Bitmap& src, gfx::Bitmap& dst, const std::vector<Column>& columns, std::int64_t ys,
    int firstRow, int lastRow)
{
    const int hs = src.height(), wd = dst.width();
    for (int j = firstRow; j < lastRow; ++j) {
        const std::int64_t sy = j * ys;
        const int r0 = static_cast<int>(sy >> 15);
        const int r1 = std::min(r0 + 1, hs - 1);
        const auto fy = static_cast<std::uint32_t>(sy & (kOne - 1));
        const std::uint32_t gy = kOne - fy;
        const std::uint8_t* __restrict top = src.scanLine(r0);
        const std::uint8_t* __restrict bottom = src.scanLine(r1);
        std::uint8_t* __restrict out = dst.scanLine(j);
        for (int i = 0; i < wd; ++i, out += 3) {
            const Column& c = columns[static_cast<std::size_t>(i)];
            const std::uint32_t wTR = (c.fx * gy) >> 15, wTL = gy - wTR;
            const std::uint32_t wBR = (c.fx * fy) >> 15, wBL = fy - wBR;
            const std::uint8_t* tl = top + c.left;
            const std::uint8_t* tr = top + c.right;
            const std::uint8_t* bl = bottom + c.left;
            const std::uint8_t* br = bottom + c.right;
            for (int k = 0; k < 3; ++k)
                out[k] = static_cast<std::uint8_t>((tl[k] * wTL + tr[k] * wTR + bl[k] * wBL + br[k] * wBR) >> 15);
        }
    }
}

} // namespace

void bilinear(const gfx::Bitmap& src, gfx::Bitmap& dst)
{
    const int ws = src.width(), hs = src.height(), wd = dst.width(), hd = dst.height();
    if (ws <= 0 || hs <= 0 || wd <= 0 || hd <= 0 || src.format() != gfx::PixelFormat::Bits24
        || dst.format() != gfx::PixelFormat::Bits24)
        return;
    // In 64 bits: (W - 1) * 32768 and the index products pass 2^31 for wide pictures.
    const std::int64_t xs = (std::int64_t{ws - 1} * kOne) / wd;
    const std::int64_t ys = (std::int64_t{hs - 1} * kOne) / hd;
    std::vector<Column> columns(static_cast<std::size_t>(wd));
    for (int i = 0; i < wd; ++i) {
        const std::int64_t sx = i * xs;
        const auto c = static_cast<std::uint32_t>(sx >> 15);
        columns[static_cast<std::size_t>(i)]
            = {c * 3, std::min<std::uint32_t>(c + 1, static_cast<std::uint32_t>(ws - 1)) * 3,
                static_cast<std::uint32_t>(sx & (kOne - 1))};
    }
    // Rows are independent: two halves at once when there is enough to share.
    detail::inTwoBands(
        hd, std::int64_t{wd} * hd, [&](int first, int last) { bilinearRows(src, dst, columns, ys, first, last); });
}

Size smartSize(int width, int height, SmartMode mode, int size)
{
    const long double q = static_cast<long double>(height) / width;
    const auto rounded = [](long double v) {
        return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::nearbyint(std::min(v, 1e18L))));
    };
    if (mode == SmartMode::Square)
        mode = q == 1 ? SmartMode::Square : q > 1 ? SmartMode::Height : SmartMode::Width;
    switch (mode) {
    case SmartMode::Width:
        return {size, rounded(size * q)};
    case SmartMode::Height:
        return {rounded(size / q), size};
    case SmartMode::Square:
        break;
    }
    return {size, size};
}

std::optional<gfx::Bitmap> smartResize(const gfx::Bitmap& src, SmartMode mode, int size)
{
    if (src.isEmpty() || size < 1)
        return std::nullopt;
    const Size d = smartSize(src.width(), src.height(), mode, size);
    if (!gfx::Bitmap::isSaneSize(d.width, d.height)
        || (mode == SmartMode::Square && !gfx::Bitmap::isSaneSize(size, size)))
        return std::nullopt;
    gfx::Bitmap out(static_cast<int>(d.width), static_cast<int>(d.height));
    bilinear(src, out);
    // A square's short side is filled out with white, the picture at the top-left.
    if (mode == SmartMode::Square)
        out.setSize(size, size);
    return out;
}

gfx::Bitmap stretched(const gfx::Bitmap& src, int width, int height)
{
    gfx::Bitmap out(width, height);
    gfx::Canvas(out).stretchDraw({0, 0, width, height}, src);
    return out;
}

} // namespace daubix::effects
