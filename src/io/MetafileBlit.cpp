#include "io/BmpCodec.h"
#include "io/MetafileParse_p.h"
#include "io/MetafileReplay_p.h"

namespace daubix::io::detail {

namespace {

// Bitmaps larger than this are not decoded for a block transfer: a few bytes of run-length data can
// name a huge picture, and no drawing needs one this size.
constexpr std::int64_t kMaxBlitPixels = std::int64_t{1} << 25;

} // namespace

void Player::patBlt(Values v)
{
    prepare();
    const gfx::Point a = pixelOf(v[0], v[1]);
    const gfx::Point b = pixelOf(static_cast<double>(v[0]) + v[2], static_cast<double>(v[1]) + v[3]);
    const gfx::Rect box = gfx::Rect{a.x, a.y, b.x, b.y}.normalized();
    m_canvas.stretchBlt(box.left, box.top, static_cast<int>(box.width()), static_cast<int>(box.height()), nullptr, 0, 0,
        0, 0, static_cast<gfx::Rop3>(v[4]));
}

// The destination keeps its orientation on the page (a mapping that turns y upward mirrors the picture,
// as it does for the classic player). A source counted from the bottom row, as bottom-up bitmaps count
// in STRETCHDIB, is turned to count from the top.
void Player::dibBlt(Values v)
{
    const auto dib = std::span(m_file.dibs).subspan(static_cast<std::size_t>(v[9]), static_cast<std::size_t>(v[10]));
    const Bytes header(dib);
    if (!header.has(0, 16))
        return;
    const bool core = header.u32(0) == 12;
    const std::int64_t width = core ? header.u16(4) : header.i32(4);
    const std::int64_t height = core ? header.u16(6) : header.i32(8);
    if (std::abs(width) * std::abs(height) > kMaxBlitPixels)
        return;
    const gfx::Result<gfx::Bitmap> source = decodeDib(dib);
    if (!source)
        return;
    prepare();
    std::int64_t sy = v[5];
    if (v[11] && height > 0)
        sy = height - sy - v[7];
    const gfx::Point a = pixelOf(v[0], v[1]);
    const gfx::Point b = pixelOf(static_cast<double>(v[0]) + v[2], static_cast<double>(v[1]) + v[3]);
    const auto clampInt
        = [](std::int64_t x) { return static_cast<int>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX)); };
    const gfx::Rect from{v[4], clampInt(sy), clampInt(std::int64_t{v[4]} + v[6]), clampInt(sy + v[7])};
    m_canvas.copyMode = static_cast<gfx::Rop3>(v[8]);
    m_canvas.copyRect({a.x, a.y, b.x, b.y}, source.value(), from);
}

} // namespace daubix::io::detail
