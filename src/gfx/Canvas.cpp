#include "gfx/Canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace daubix::gfx {

void Brush::setColor(Color c)
{
    m_color = c;
    if (m_style == BrushStyle::Clear)
        m_style = BrushStyle::Solid;
}

void Brush::setStyle(BrushStyle s)
{
    m_style = s;
    m_pattern.reset();
}

void Brush::setPattern(std::optional<Bitmap> pattern)
{
    if (pattern && pattern->isEmpty())
        pattern.reset();
    m_pattern = std::move(pattern);
}

namespace {

// Hatch lines of the classic 8 x 8 hatch cells, anchored at the bitmap's origin.
bool isHatchPixel(BrushStyle style, int x, int y)
{
    const int hx = x & 7, hy = y & 7;
    switch (style) {
    case BrushStyle::Horizontal:
        return hy == 3;
    case BrushStyle::Vertical:
        return hx == 4;
    case BrushStyle::FDiagonal:
        return hx == hy;
    case BrushStyle::BDiagonal:
        return hx + hy == 7;
    case BrushStyle::Cross:
        return hy == 3 || hx == 4;
    case BrushStyle::DiagCross:
        return hx == hy || hx + hy == 7;
    default:
        return false;
    }
}

int wrap(int v, int n)
{
    const int m = v % n;
    return m < 0 ? m + n : m;
}

} // namespace

std::optional<Color> Brush::colorAt(int x, int y) const
{
    if (m_pattern)
        return m_pattern->pixel(wrap(x, m_pattern->width()), wrap(y, m_pattern->height()));
    switch (m_style) {
    case BrushStyle::Solid:
        return m_color;
    case BrushStyle::Clear:
        return std::nullopt;
    default:
        if (isHatchPixel(m_style, x, y))
            return m_color;
        return std::nullopt;
    }
}

namespace {

enum class BlitKind { Rop, Transparent, BrushKey };

// One axis of a block transfer after normalising negative extents: destination start and extent,
// source start and extent, and whether the axis is mirrored.
struct Axis {
    std::int64_t dst = 0, dstExtent = 0, src = 0, srcExtent = 0;
    bool mirror = false;
};

Axis makeAxis(std::int64_t d, std::int64_t dw, std::int64_t s, std::int64_t sw)
{
    Axis a{d, dw, s, sw, false};
    if (a.dstExtent < 0) {
        a.dst += a.dstExtent + 1;
        a.dstExtent = -a.dstExtent;
        a.mirror = !a.mirror;
    }
    if (a.srcExtent < 0) {
        a.src += a.srcExtent + 1;
        a.srcExtent = -a.srcExtent;
        a.mirror = !a.mirror;
    }
    return a;
}

// Source index for each visible destination index lo .. hi-1; -1 where it falls outside the source
// bitmap. Source pixels are picked, not blended, stepping as the classic interface's stretch does: an
// enlargement starts half a source pixel minus one unit into the first pixel; a reduction of columns
// keeps the last source column, one of rows the first row. A mirrored axis counts from its far end.
std::vector<int> indexMap(const Axis& a, int lo, int hi, int srcLimit, bool columns)
{
    const __int128 s = a.srcExtent, d = a.dstExtent;
    __int128 offset = 0;
    if (s > d)
        offset = columns ? s - 1 - d / 2 : d / 2;
    else if (s < d)
        offset = s / 2 - 1;
    std::vector<int> map(static_cast<std::size_t>(std::max(hi - lo, 0)));
    for (int i = lo; i < hi; ++i) {
        const __int128 m = a.mirror ? a.dst + d - 1 - i : i - a.dst;
        __int128 k = s == d ? m : (m * s + offset) / d;
        k = a.src + std::clamp<__int128>(k, 0, s - 1);
        map[static_cast<std::size_t>(i - lo)] = (k >= 0 && k < srcLimit) ? static_cast<int>(k) : -1;
    }
    return map;
}

struct Blit {
    Bitmap& dst;
    const Bitmap* src;
    const Brush& brush;
    BlitKind kind;
    Rop3 rop;
    Color key;
    std::optional<Color> hatchGap = std::nullopt; // where a hatched brush has no line
    const ClipRegion* clip = nullptr;
};

// Any destination format: pixel by pixel on stored values, so that on palette bitmaps the raster
// operation works on indices. Also the plain reference that the 24-bit path must agree with.
void blitPerPixel(const Blit& b, int x0, int x1, int y0, int y1, const int* cols, const int* rows)
{
    const std::uint8_t table = rop3Table(b.rop);
    const bool usesP = rop3UsesPattern(b.rop);
    const bool sameFormat = b.src && b.src->format() == b.dst.format() && b.src->palette() == b.dst.palette();
    const std::uint32_t mask = b.dst.bitsPerPixel() >= 24 ? 0xFFFFFFu : ((1u << b.dst.bitsPerPixel()) - 1);
    const std::uint32_t brushRaw = b.dst.rawFromColor(b.brush.color());
    for (int y = y0; y < y1; ++y) {
        const int sy = b.src ? rows[static_cast<std::size_t>(y - y0)] : 0;
        if (sy < 0)
            continue;
        for (int x = x0; x < x1; ++x) {
            const int sx = b.src ? cols[static_cast<std::size_t>(x - x0)] : 0;
            if (sx < 0)
                continue;
            std::uint32_t s = 0;
            Color sColor = 0;
            if (b.src) {
                const std::uint32_t raw = b.src->rawPixel(sx, sy);
                sColor = b.src->colorFromRaw(raw);
                s = sameFormat ? raw : b.dst.rawFromColor(sColor);
            }
            std::uint32_t out = 0;
            if (b.kind == BlitKind::Transparent) {
                if (sColor == b.key)
                    continue;
                out = s;
            } else if (b.kind == BlitKind::BrushKey && sColor == b.key) {
                const auto p = b.brush.colorAt(x, y);
                if (!p)
                    continue;
                out = *p == b.brush.color() ? brushRaw : b.dst.rawFromColor(*p);
            } else if (b.kind == BlitKind::BrushKey) {
                out = s;
            } else {
                std::uint32_t p = 0;
                if (usesP) {
                    auto pc = b.brush.colorAt(x, y);
                    if (!pc)
                        pc = b.hatchGap;
                    if (!pc)
                        continue;
                    p = *pc == b.brush.color() ? brushRaw : b.dst.rawFromColor(*pc);
                }
                out = static_cast<std::uint32_t>(applyRop3(table, p, s, b.dst.rawPixel(x, y)));
            }
            b.dst.setRawPixel(x, y, out & mask);
        }
    }
}

void putColor(std::uint8_t* p, Color c)
{
    p[0] = static_cast<std::uint8_t>(blue(c));
    p[1] = static_cast<std::uint8_t>(green(c));
    p[2] = static_cast<std::uint8_t>(red(c));
}

Color getColor(const std::uint8_t* p)
{
    return rgb(p[2], p[1], p[0]);
}

// out = rop(p, s, d) over n bytes, eight at a time.
template <typename Op>
void ropBytes(
    Op op, const std::uint8_t* p, const std::uint8_t* s, const std::uint8_t* d, std::uint8_t* out, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t pw, sw, dw;
        std::memcpy(&pw, p + i, 8);
        std::memcpy(&sw, s + i, 8);
        std::memcpy(&dw, d + i, 8);
        const std::uint64_t r = op(pw, sw, dw);
        std::memcpy(out + i, &r, 8);
    }
    for (; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(op(p[i], s[i], d[i]));
}

void ropRow(std::uint8_t table, const std::uint8_t* p, const std::uint8_t* s, const std::uint8_t* d, std::uint8_t* out,
    std::size_t n)
{
    using W = std::uint64_t;
    switch (table) {
    case 0xCC:
        std::memcpy(out, s, n);
        return;
    case 0xF0:
        std::memcpy(out, p, n);
        return;
    case 0x33:
        return ropBytes([](W, W s, W) { return ~s; }, p, s, d, out, n);
    case 0x88:
        return ropBytes([](W, W s, W d) { return s & d; }, p, s, d, out, n);
    case 0xEE:
        return ropBytes([](W, W s, W d) { return s | d; }, p, s, d, out, n);
    case 0x66:
        return ropBytes([](W, W s, W d) { return s ^ d; }, p, s, d, out, n);
    case 0x44:
        return ropBytes([](W, W s, W d) { return s & ~d; }, p, s, d, out, n);
    case 0x11:
        return ropBytes([](W, W s, W d) { return ~(s | d); }, p, s, d, out, n);
    case 0xC0:
        return ropBytes([](W p, W s, W) { return p & s; }, p, s, d, out, n);
    case 0xBB:
        return ropBytes([](W, W s, W d) { return ~s | d; }, p, s, d, out, n);
    case 0x5A:
        return ropBytes([](W p, W, W d) { return p ^ d; }, p, s, d, out, n);
    case 0x55:
        return ropBytes([](W, W, W d) { return ~d; }, p, s, d, out, n);
    case 0x00:
        std::memset(out, 0, n);
        return;
    case 0xFF:
        std::memset(out, 0xFF, n);
        return;
    default:
        return ropBytes([table](W p, W s, W d) { return applyRop3(table, p, s, d); }, p, s, d, out, n);
    }
}

// A 24-bit destination: one row at a time. The source and brush pixels of the row are gathered into
// byte rows, the raster operation runs over whole words, and a mask keeps the pixels that must stay.
void blit24(const Blit& b, int x0, int x1, int y0, int y1, const int* cols, const int* rows)
{
    const std::size_t n = static_cast<std::size_t>(x1 - x0);
    const std::uint8_t table = rop3Table(b.rop);
    const bool usesP = b.kind == BlitKind::BrushKey || (b.kind == BlitKind::Rop && rop3UsesPattern(b.rop));
    const bool usesS = b.src && (b.kind != BlitKind::Rop || rop3UsesSource(b.rop));
    // Operands a code does not read stay zero; the word loop still loads them.
    std::vector<std::uint8_t> sRow(n * 3), pRow(n * 3), outRow(n * 3);
    std::vector<std::uint8_t> keep(n);
    const bool solidBrush = !b.brush.pattern() && b.brush.style() == BrushStyle::Solid;
    if (usesP && solidBrush) {
        for (std::size_t i = 0; i < n; ++i)
            putColor(&pRow[i * 3], b.brush.color());
    }
    const bool srcIs24 = b.src && b.src->format() == PixelFormat::Bits24;
    // An unstretched, unmirrored copy from inside the source reads each row as one run of bytes; as a
    // source copy it goes straight into the destination.
    const bool contiguous = srcIs24 && n > 0 && cols[0] >= 0 && cols[n - 1] == cols[0] + static_cast<int>(n - 1)
        && std::adjacent_find(cols, cols + n, [](int a, int b) { return b != a + 1; }) == cols + n;
    const bool straight = contiguous && b.kind == BlitKind::Rop && table == 0xCC;
    for (int y = y0; y < y1; ++y) {
        const int sy = b.src ? rows[static_cast<std::size_t>(y - y0)] : 0;
        if (sy < 0)
            continue;
        std::uint8_t* d = b.dst.scanLine(y) + static_cast<std::size_t>(x0) * 3;
        if (straight) {
            std::memcpy(d, b.src->scanLine(sy) + static_cast<std::size_t>(cols[0]) * 3, n * 3);
            continue;
        }
        bool keepAll = true;
        std::fill(keep.begin(), keep.end(), 1);
        if (b.src) {
            for (std::size_t i = 0; i < n; ++i) {
                if (cols[i] < 0) {
                    keep[i] = 0;
                    keepAll = false;
                }
            }
        }
        if (usesS && contiguous) {
            std::memcpy(sRow.data(), b.src->scanLine(sy) + static_cast<std::size_t>(cols[0]) * 3, n * 3);
        } else if (usesS) {
            const std::uint8_t* srcRow = b.src->scanLine(sy);
            for (std::size_t i = 0; i < n; ++i) {
                if (!keep[i])
                    continue;
                if (srcIs24)
                    std::memcpy(&sRow[i * 3], srcRow + cols[i] * 3, 3);
                else
                    putColor(&sRow[i * 3], b.src->pixel(cols[i], sy));
            }
        }
        if (usesP && !solidBrush) {
            for (std::size_t i = 0; i < n; ++i) {
                const auto c = b.brush.colorAt(x0 + static_cast<int>(i), y);
                if (c) {
                    putColor(&pRow[i * 3], *c);
                } else if (b.kind == BlitKind::Rop && b.hatchGap) {
                    putColor(&pRow[i * 3], *b.hatchGap);
                } else if (b.kind == BlitKind::Rop) {
                    keep[i] = 0;
                    keepAll = false;
                } else {
                    pRow[i * 3] = pRow[i * 3 + 1] = pRow[i * 3 + 2] = 0;
                }
            }
        }
        if (b.kind == BlitKind::Rop) {
            ropRow(table, pRow.data(), sRow.data(), d, outRow.data(), n * 3);
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                if (!keep[i])
                    continue;
                const bool isKey = getColor(&sRow[i * 3]) == b.key;
                if (b.kind == BlitKind::Transparent && isKey) {
                    keep[i] = 0;
                    keepAll = false;
                    continue;
                }
                if (b.kind == BlitKind::BrushKey && isKey) {
                    if (!b.brush.colorAt(x0 + static_cast<int>(i), y)) {
                        keep[i] = 0;
                        keepAll = false;
                        continue;
                    }
                    std::memcpy(&outRow[i * 3], &pRow[i * 3], 3);
                    continue;
                }
                std::memcpy(&outRow[i * 3], &sRow[i * 3], 3);
            }
        }
        if (keepAll) {
            std::memcpy(d, outRow.data(), n * 3);
            continue;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (keep[i])
                std::memcpy(d + i * 3, &outRow[i * 3], 3);
        }
    }
}

void runBlit(Blit b, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t sx, std::int64_t sy,
    std::int64_t sw, std::int64_t sh)
{
    if (!b.src) {
        sx = 0, sy = 0, sw = w, sh = h;
    }
    const Axis ax = makeAxis(x, w, sx, sw);
    const Axis ay = makeAxis(y, h, sy, sh);
    if (ax.dstExtent == 0 || ay.dstExtent == 0 || ax.srcExtent == 0 || ay.srcExtent == 0)
        return;
    const int x0 = static_cast<int>(std::clamp<std::int64_t>(ax.dst, 0, b.dst.width()));
    const int x1 = static_cast<int>(std::clamp<std::int64_t>(ax.dst + ax.dstExtent, 0, b.dst.width()));
    const int y0 = static_cast<int>(std::clamp<std::int64_t>(ay.dst, 0, b.dst.height()));
    const int y1 = static_cast<int>(std::clamp<std::int64_t>(ay.dst + ay.dstExtent, 0, b.dst.height()));
    if (x0 >= x1 || y0 >= y1)
        return;
    std::vector<int> cols, rows;
    // Copying within one bitmap reads from a snapshot, so overlapping boxes copy what was there before.
    std::optional<Bitmap> snapshot;
    if (b.src) {
        if (b.src == &b.dst) {
            snapshot = b.dst;
            b.src = &*snapshot;
        }
        cols = indexMap(ax, x0, x1, b.src->width(), true);
        rows = indexMap(ay, y0, y1, b.src->height(), false);
    }
    const auto part = [&](int left, int right, int top, int bottom) {
        const int* c = b.src ? cols.data() + (left - x0) : nullptr;
        const int* r = b.src ? rows.data() + (top - y0) : nullptr;
        if (b.dst.format() == PixelFormat::Bits24)
            blit24(b, left, right, top, bottom, c, r);
        else
            blitPerPixel(b, left, right, top, bottom, c, r);
    };
    if (!b.clip) {
        part(x0, x1, y0, y1);
        return;
    }
    b.clip->forEachRect({x0, y0, x1, y1}, [&](const Rect& r) { part(r.left, r.right, r.top, r.bottom); });
}

} // namespace

void Canvas::stretchBlt(int x, int y, int w, int h, const Bitmap* src, int sx, int sy, int sw, int sh, Rop3 rop)
{
    runBlit(
        {*m_target, src, brush, BlitKind::Rop, rop, 0, hatchBackground(), clipPointer()}, x, y, w, h, sx, sy, sw, sh);
}

void Canvas::fillRect(const Rect& box)
{
    const Rect r = box.normalized();
    const std::int64_t w = std::int64_t{r.right} - r.left, h = std::int64_t{r.bottom} - r.top;
    runBlit({*m_target, nullptr, brush, BlitKind::Rop, kPatCopy, 0, hatchBackground(), clipPointer()}, r.left, r.top, w,
        h, 0, 0, 0, 0);
}

void Canvas::draw(int x, int y, const Bitmap& src)
{
    stretchDraw(
        {x, y, static_cast<int>(std::int64_t{x} + src.width()), static_cast<int>(std::int64_t{y} + src.height())}, src);
}

void Canvas::stretchDraw(const Rect& box, const Bitmap& src)
{
    const std::int64_t w = std::int64_t{box.right} - box.left, h = std::int64_t{box.bottom} - box.top;
    if (src.transparent) {
        runBlit({*m_target, &src, brush, BlitKind::Transparent, kSrcCopy, src.transparentColor, std::nullopt,
                    clipPointer()},
            box.left, box.top, w, h, 0, 0, src.width(), src.height());
        return;
    }
    runBlit({*m_target, &src, brush, BlitKind::Rop, copyMode, 0, hatchBackground(), clipPointer()}, box.left, box.top,
        w, h, 0, 0, src.width(), src.height());
}

void Canvas::copyRect(const Rect& dest, const Bitmap& src, const Rect& srcBox)
{
    runBlit({*m_target, &src, brush, BlitKind::Rop, copyMode, 0, hatchBackground(), clipPointer()}, dest.left, dest.top,
        std::int64_t{dest.right} - dest.left, std::int64_t{dest.bottom} - dest.top, srcBox.left, srcBox.top,
        std::int64_t{srcBox.right} - srcBox.left, std::int64_t{srcBox.bottom} - srcBox.top);
}

void Canvas::brushCopy(const Rect& dest, const Bitmap& src, const Rect& srcBox, Color color)
{
    runBlit({*m_target, &src, brush, BlitKind::BrushKey, kSrcCopy, color & 0xFFFFFF, std::nullopt, clipPointer()},
        dest.left, dest.top, std::int64_t{dest.right} - dest.left, std::int64_t{dest.bottom} - dest.top, srcBox.left,
        srcBox.top, std::int64_t{srcBox.right} - srcBox.left, std::int64_t{srcBox.bottom} - srcBox.top);
}

} // namespace daubix::gfx
