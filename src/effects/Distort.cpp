#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"
#include "gfx/Canvas.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <numbers>

namespace daubix::effects {

using app::roundHalfEven;
using detail::clampByte;
using std::numbers::pi;

namespace {

// Bilinear sample of src at a real position, wrapping around the edges as the distortions do.
void sampleWrapped(const SourceView& src, double fx, double fy, std::uint8_t* out)
{
    const int w = src.width, h = src.height;
    // Positions that are not numbers sample nothing; absurdly far ones are brought back by whole turns
    // first, which changes neither the wrapped cell nor the weights.
    if (!std::isfinite(fx) || !std::isfinite(fy))
        return;
    if (std::abs(fx) > 1e9)
        fx = std::fmod(fx, static_cast<double>(w));
    if (std::abs(fy) > 1e9)
        fy = std::fmod(fy, static_cast<double>(h));
    auto ix = static_cast<long long>(std::trunc(fx)), iy = static_cast<long long>(std::trunc(fy));
    double wx[2], wy[2];
    if (fy >= 0) {
        wy[1] = fy - static_cast<double>(iy);
        wy[0] = 1 - wy[1];
    } else {
        wy[0] = -(fy - static_cast<double>(iy));
        wy[1] = 1 - wy[0];
    }
    if (fx >= 0) {
        wx[1] = fx - static_cast<double>(ix);
        wx[0] = 1 - wx[1];
    } else {
        wx[0] = -(fx - static_cast<double>(ix));
        wx[1] = 1 - wx[0];
    }
    if (ix < 0)
        ix = w - 1 - ((-ix) % w);
    else if (ix > w - 1)
        ix = ix % w;
    if (iy < 0)
        iy = h - 1 - ((-iy) % h);
    else if (iy > h - 1)
        iy = iy % h;
    double sum[3] = {0, 0, 0};
    for (int j = 0; j < 2; ++j) {
        long long row = iy + j;
        if (row >= h)
            row = h - iy - j;
        for (int i = 0; i < 2; ++i) {
            long long col = ix + i;
            if (col >= w)
                col = w - ix - i;
            const std::uint8_t* p = src.pixel(col, row);
            for (int c = 0; c < 3; ++c)
                sum[c] += wx[i] * wy[j] * p[c];
        }
    }
    for (int c = 0; c < 3; ++c)
        out[c] = clampByte(roundHalfEven(sum[c]));
}

// Calls row(y, x0, x1, out) for each row of the window that lies within width x height of the whole
// result, with the columns x0 .. x1 - 1 (whole-result coordinates) that the window wants there and out
// at dst's pixel for x0.
template <typename Row> void forEachRow(gfx::Bitmap& dst, const ResultWindow& window, int width, int height, Row&& row)
{
    assert(window.rows.empty() || window.rows.size() == static_cast<std::size_t>(dst.height()));
    const int last = std::min(dst.height(), height - window.top);
    for (int j = std::max(0, -window.top); j < last; ++j) {
        int x0 = 0, x1 = dst.width();
        if (!window.rows.empty()) {
            x0 = std::max(x0, window.rows[static_cast<std::size_t>(j)].x0);
            x1 = std::min(x1, window.rows[static_cast<std::size_t>(j)].x1);
        }
        x0 = std::max(x0, -window.left);
        x1 = std::min(x1, width - window.left);
        if (x0 < x1)
            row(window.top + j, window.left + x0, window.left + x1, dst.scanLine(j) + static_cast<std::size_t>(x0) * 3);
    }
}

} // namespace

void TketPaintFX::Fisheye(const gfx::Bitmap& src, gfx::Bitmap& dst, double amount)
{
    Fisheye(SourceView::of(src), dst, ResultWindow::of(dst), amount);
}

void TketPaintFX::Fisheye(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, double amount)
{
    if (src.width <= 0 || src.height <= 0)
        return;
    const double xmid = src.width / 2.0, ymid = src.height / 2.0;
    const double rmax = window.fullWidth * amount;
    forEachRow(dst, window, window.fullWidth, window.fullHeight, [&](int y, int x0, int x1, std::uint8_t* out) {
        for (int x = x0; x < x1; ++x, out += 3) {
            const double dx = x - xmid, dy = y - ymid, r = std::sqrt(dx * dx + dy * dy);
            double fx = xmid, fy = ymid;
            if (r != 0) {
                const double r2 = (rmax / 2) * (1 / (1 - r / rmax) - 1);
                fx = xmid + dx * r2 / r;
                fy = ymid + dy * r2 / r;
            }
            sampleWrapped(src, fx, fy, out);
        }
    });
}

void TketPaintFX::Twist(const gfx::Bitmap& src, gfx::Bitmap& dst, int amount)
{
    Twist(SourceView::of(src), dst, ResultWindow::of(dst), amount);
}

void TketPaintFX::Twist(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, int amount)
{
    if (src.width <= 0 || src.height <= 0 || amount == 0)
        return;
    const int w = std::min(src.width, window.fullWidth), h = std::min(src.height, window.fullHeight);
    const double cx = (src.width - 1) / 2.0, cy = (src.height - 1) / 2.0;
    forEachRow(dst, window, w, h, [&](int y, int x0, int x1, std::uint8_t* out) {
        for (int x = x0; x < x1; ++x, out += 3) {
            const double dx = x - cx, dy = y - cy, r = std::sqrt(dx * dx + dy * dy);
            double fx = cx, fy = cy;
            if (r != 0) {
                double phi = 0;
                if (dx == 0)
                    phi = dy > 0 ? pi / 2 : -pi / 2;
                else
                    phi = std::atan(dy / dx) + (dx < 0 ? pi : 0);
                const double theta = phi - r / amount + pi / 2;
                fx = cx + r * std::cos(theta);
                fy = cy + r * std::sin(theta);
            }
            sampleWrapped(src, fx, fy, out);
        }
    });
}

void TketPaintFX::RotateSmooth(const gfx::Bitmap& src, gfx::Bitmap& dst, int cx, int cy, double angle)
{
    RotateSmooth(SourceView::of(src), dst, ResultWindow::of(dst), cx, cy, angle);
}

void TketPaintFX::RotateSmooth(
    const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, int cx, int cy, double angle)
{
    const int sw = src.width, sh = src.height;
    const double theta = -angle * pi / 180, s = std::sin(theta), c = std::cos(theta);
    const int ox = (window.fullWidth - sw) / 2, oy = (window.fullHeight - sh) / 2;
    forEachRow(dst, window, window.fullWidth, window.fullHeight, [&](int y, int x0, int x1, std::uint8_t* out) {
        const double Y = 2.0 * (y - cy) + 1;
        for (int x = x0; x < x1; ++x, out += 3) {
            const double X = 2.0 * (x - cx) + 1;
            const double sx = (X * c - Y * s - 1) / 2 + cx - ox, sy = (X * s + Y * c - 1) / 2 + cy - oy;
            const int ix = roundHalfEven(sx), iy = roundHalfEven(sy);
            if (ix < 0 || ix >= sw || iy < 0 || iy >= sh)
                continue;
            const int ix2 = std::min(ix + 1, sw - 1), iy2 = std::min(iy + 1, sh - 1);
            const double fx = sx - ix, fy = sy - iy;
            const std::uint8_t* p11 = src.pixel(ix, iy);
            const std::uint8_t* p21 = src.pixel(ix2, iy);
            const std::uint8_t* p12 = src.pixel(ix, iy2);
            const std::uint8_t* p22 = src.pixel(ix2, iy2);
            for (int k = 0; k < 3; ++k) {
                const double top = p11[k] + fx * (p21[k] - p11[k]);
                const double bottom = p12[k] + fx * (p22[k] - p12[k]);
                out[k] = clampByte(roundHalfEven(top + fy * (bottom - top)));
            }
        }
    });
}

void TketPaintFX::Wave(gfx::Bitmap& bmp, int amount, WaveStyle style, int inference)
{
    if (amount <= 0)
        return; // no rows to move (and no division by zero)
    const gfx::Bitmap copy = bmp;
    const int w = bmp.width(), h = bmp.height();
    const double f = (pi / 2) / amount;
    for (int y = h - 1 - 2 * amount; y >= amount; --y) {
        const std::uint8_t* in = copy.scanLine(y);
        int offset = 0;
        for (int x = 0; x < w; ++x) {
            const int target = y + amount + offset;
            if (target >= 0 && target < h)
                std::memcpy(bmp.scanLine(target) + x * 3, in + x * 3, 3);
            const double a = x * f;
            switch (style) {
            case WaveStyle::Normal:
                offset = roundHalfEven(amount * std::sin(a));
                break;
            case WaveStyle::Extra:
                offset = roundHalfEven(amount * std::sin(a) * std::cos(a));
                break;
            case WaveStyle::Inference:
                offset = roundHalfEven(amount * std::sin(a) * std::sin(inference * f * x));
                break;
            }
        }
    }
}

void TketPaintFX::Wings(const gfx::Bitmap& src, gfx::Bitmap& dst, double s, int t, WingsVariant variant)
{
    dst = src;
    if (s == 0 || t == 0)
        return;
    const int w = src.width(), h = src.height();
    auto move = [&](int x, int y) {
        const double xm = x % t, ym = y % t;
        double ex = 0, ey = 0;
        switch (variant) {
        case WingsVariant::Deep:
        case WingsVariant::Touche:
            ex = x + s * std::cos(ym / s) - s * std::sin(xm / s);
            ey = y + s * std::cos(ym / s) - s * std::sin(xm / s);
            break;
        case WingsVariant::Down:
            ex = x - s * std::sin(xm / s) - s * std::cos(ym / s);
            ey = y + s * std::cos(ym / s) + s * std::sin(xm / s);
            break;
        case WingsVariant::Up:
            ex = x + s * std::sin(xm / s) + s * std::cos(ym / s);
            ey = y - s * std::cos(ym / s) - s * std::sin(xm / s);
            break;
        case WingsVariant::Fold:
            ex = x + s * std::sin(ym / s) - s * std::cos(xm / s);
            ey = y + s * std::sin(ym / s) - s * std::cos(xm / s);
            break;
        case WingsVariant::Flyer:
            ex = x + s * std::cos(ym / s) - std::tan(xm / s) / s;
            ey = y + s * std::cos(ym / s) - std::tan(xm / s) / s;
            break;
        case WingsVariant::Flipover:
            ex = x + s * std::sin(ym / s) - std::tan(xm / s) / (s * s);
            ey = y + s * std::sin(ym / s) - std::tan(xm / s) / (s * s);
            break;
        case WingsVariant::Wavy: {
            const double offset
                = s * std::sin(ym / s) * std::cos(1.5 * ym / s) - s * std::sin(2 * xm / s) * std::cos(xm / s);
            ex = x + offset;
            ey = y + offset;
            break;
        }
        }
        const double ax = std::abs(ex), ay = std::abs(ey);
        if (!(ax < w) || !(ay < h)) // also refuses NaN and infinite targets
            return;
        const int X = roundHalfEven(ax), Y = roundHalfEven(ay);
        if (Y < h && X < w)
            std::memcpy(dst.scanLine(Y) + X * 3, src.scanLine(y) + x * 3, 3);
    };
    if (variant == WingsVariant::Touche) {
        for (int y = h - 1; y >= 0; --y)
            for (int x = w - 1; x >= 0; --x)
                move(x, y);
    } else {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                move(x, y);
    }
}

namespace {

// Stretches source rows into spans of the window's rows, picking pixels as the canvas's stretching copy
// does, since that is what decides which source pixel each destination pixel takes.
class RowStretcher {
public:
    RowStretcher(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window)
        : m_src(src)
        , m_dst(dst)
        , m_window(window)
        , m_direct(window.rows.empty() && src.liesOnBitmap())
    {
        assert(window.left >= 0 && window.top >= 0 && window.left + dst.width() <= window.fullWidth
            && window.top + dst.height() <= window.fullHeight);
    }

    // Columns from .. from + width - 1 of source row y go to columns left .. right - 1 of result row y.
    // When right < left the span is right + 1 .. left and the row is drawn mirrored, as a block
    // transfer with a negative extent draws it.
    void operator()(int y, int from, int width, int left, int right)
    {
        const int j = y - m_window.top;
        if (left == right || width <= 0 || j < 0 || j >= m_dst.height())
            return;
        const gfx::Rect source{m_src.left + from, m_src.top + y, m_src.left + from + width, m_src.top + y + 1};
        if (m_direct) {
            gfx::Canvas(m_dst).copyRect({left - m_window.left, j, right - m_window.left, j + 1}, *m_src.bitmap, source);
            return;
        }
        // Only the wanted part of the span, through a row of its own: the copy then costs what it
        // writes, and where the view reaches off its bitmap the copy writes nothing and the row's
        // white shows, as the view reads there.
        int a = std::min(left, right + 1), b = std::max(right, left + 1);
        a = std::max(a, m_window.left);
        b = std::min(b, m_window.left + m_dst.width());
        if (!m_window.rows.empty()) {
            a = std::max(a, m_window.left + m_window.rows[static_cast<std::size_t>(j)].x0);
            b = std::min(b, m_window.left + m_window.rows[static_cast<std::size_t>(j)].x1);
        }
        if (a >= b)
            return;
        gfx::Bitmap part(b - a, 1);
        gfx::Canvas(part).copyRect({left - a, 0, right - a, 1}, *m_src.bitmap, source);
        std::memcpy(m_dst.scanLine(j) + static_cast<std::size_t>(a - m_window.left) * 3, part.scanLine(0),
            static_cast<std::size_t>(b - a) * 3);
    }

    // The window's rows that lie within the first `height` rows of the result.
    int firstRow() const { return std::max(0, m_window.top); }
    int endRow(int height) const { return std::min({height, m_window.fullHeight, m_window.top + m_dst.height()}); }

private:
    const SourceView& m_src;
    gfx::Bitmap& m_dst;
    const ResultWindow& m_window;
    bool m_direct;
};

} // namespace

void TketPaintFX::Squeeze(const gfx::Bitmap& src, gfx::Bitmap& dst, SqueezeShape shape, int amount)
{
    Squeeze(SourceView::of(src), dst, ResultWindow::of(dst), shape, amount);
}

void TketPaintFX::Squeeze(
    const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, SqueezeShape shape, int amount)
{
    const int w = src.width, h = src.height;
    amount = std::min(amount, w / 2);
    const double span = h > 1 ? h - 1 : 1;
    RowStretcher stretch(src, dst, window);
    for (int y = stretch.firstRow(), end = stretch.endRow(h); y < end; ++y) {
        int l = 0, r = 0;
        switch (shape) {
        case SqueezeShape::Horizontal:
            l = amount, r = w - amount;
            break;
        case SqueezeShape::Top:
            l = roundHalfEven(amount * static_cast<double>(h - y - 1) / h), r = w - l;
            break;
        case SqueezeShape::Bottom:
            l = roundHalfEven(amount * static_cast<double>(y) / h), r = w - l;
            break;
        case SqueezeShape::Diamond:
            l = roundHalfEven(amount * std::abs(std::sin(pi * y / span))), r = w - l;
            break;
        case SqueezeShape::Waste:
            l = roundHalfEven(amount * std::abs(std::cos(pi * y / span))), r = w - l;
            break;
        case SqueezeShape::Round:
        case SqueezeShape::DoubleRound: {
            const double turns = shape == SqueezeShape::Round ? 1 : 2;
            const int m = roundHalfEven(amount * std::abs(std::cos(turns * pi * y / span)));
            l = w / 2 - m, r = w / 2 + m;
            break;
        }
        }
        stretch(y, 0, w, l, r);
    }
}

void TketPaintFX::SplitSqueeze(const gfx::Bitmap& src, gfx::Bitmap& dst, SqueezeShape shape, int amount)
{
    if (amount == 0) {
        dst = src;
        return;
    }
    SplitSqueeze(SourceView::of(src), dst, ResultWindow::of(dst), shape, amount);
}

void TketPaintFX::SplitSqueeze(
    const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, SqueezeShape shape, int amount)
{
    const int w = src.width, h = src.height, half = w / 2;
    if (amount == 0) {
        // The whole result is a copy of the source.
        forEachRow(dst, window, std::min(w, window.fullWidth), std::min(h, window.fullHeight),
            [&](int y, int x0, int x1, std::uint8_t* out) {
                for (int x = x0; x < x1; ++x, out += 3)
                    std::memcpy(out, src.pixel(x, y), 3);
            });
        return;
    }
    amount = std::min(amount, half);
    const double span = h > 1 ? h - 1 : 1;
    RowStretcher stretch(src, dst, window);
    for (int y = stretch.firstRow(), end = stretch.endRow(h); y < end; ++y) {
        const double a = pi * y / span;
        const int m = roundHalfEven(amount * std::abs(shape == SqueezeShape::Waste ? std::sin(a) : std::cos(a)));
        // A negative amount turns both spans round: the left half lands mirrored on m + 1 .. 0, the
        // right half beyond the last column.
        stretch(y, 0, half, 0, m);
        stretch(y, half, half, w - m - 1, w - 1);
    }
}

void TketPaintFX::Plasma(
    const gfx::Bitmap& src1, const gfx::Bitmap& src2, double turbulence, double scale, gfx::Bitmap& dst)
{
    scale = std::max(scale, 10.0);
    turbulence = std::max(turbulence, 5.0);
    int tx[256], ty[256];
    for (int i = 0; i < 256; ++i) {
        const double a = i / scale;
        tx[i] = roundHalfEven(-turbulence * std::sin(a));
        ty[i] = roundHalfEven(turbulence * std::cos(a));
    }
    const int w = std::min({src1.width(), src2.width(), dst.width()});
    const int h = std::min({src1.height(), src2.height(), dst.height()});
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* key = src2.scanLine(y);
        std::uint8_t* out = dst.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int b = key[x * 3];
            const int sx = x + tx[b], sy = y + ty[b];
            if (sx >= 0 && sx < src1.width() && sy >= 0 && sy < src1.height())
                std::memcpy(out + x * 3, src1.scanLine(sy) + sx * 3, 3);
        }
    }
}

} // namespace daubix::effects
