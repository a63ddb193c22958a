#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"
#include "gfx/Canvas.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace daubix::effects {

using app::roundHalfEven;
using detail::clampByte;
using std::numbers::pi;

namespace {

// Bilinear sample of src at a real position, wrapping around the edges as the distortions do.
void sampleWrapped(const gfx::Bitmap& src, double fx, double fy, std::uint8_t* out)
{
    const int w = src.width(), h = src.height();
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
        const std::uint8_t* line = src.scanLine(static_cast<int>(row));
        for (int i = 0; i < 2; ++i) {
            long long col = ix + i;
            if (col >= w)
                col = w - ix - i;
            const std::uint8_t* p = line + col * 3;
            for (int c = 0; c < 3; ++c)
                sum[c] += wx[i] * wy[j] * p[c];
        }
    }
    for (int c = 0; c < 3; ++c)
        out[c] = clampByte(roundHalfEven(sum[c]));
}

} // namespace

void TketPaintFX::Fisheye(const gfx::Bitmap& src, gfx::Bitmap& dst, double amount)
{
    if (src.isEmpty())
        return;
    const double xmid = src.width() / 2.0, ymid = src.height() / 2.0;
    const double rmax = dst.width() * amount;
    for (int y = 0; y < dst.height(); ++y) {
        std::uint8_t* out = dst.scanLine(y);
        for (int x = 0; x < dst.width(); ++x) {
            const double dx = x - xmid, dy = y - ymid, r = std::sqrt(dx * dx + dy * dy);
            double fx = xmid, fy = ymid;
            if (r != 0) {
                const double r2 = (rmax / 2) * (1 / (1 - r / rmax) - 1);
                fx = xmid + dx * r2 / r;
                fy = ymid + dy * r2 / r;
            }
            sampleWrapped(src, fx, fy, out + x * 3);
        }
    }
}

void TketPaintFX::Twist(const gfx::Bitmap& src, gfx::Bitmap& dst, int amount)
{
    const int w = std::min(src.width(), dst.width()), h = std::min(src.height(), dst.height());
    if (src.isEmpty() || amount == 0)
        return;
    const double cx = (src.width() - 1) / 2.0, cy = (src.height() - 1) / 2.0;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = dst.scanLine(y);
        for (int x = 0; x < w; ++x) {
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
            sampleWrapped(src, fx, fy, out + x * 3);
        }
    }
}

void TketPaintFX::RotateSmooth(const gfx::Bitmap& src, gfx::Bitmap& dst, int cx, int cy, double angle)
{
    const int sw = src.width(), sh = src.height();
    const double theta = -angle * pi / 180, s = std::sin(theta), c = std::cos(theta);
    const int ox = (dst.width() - sw) / 2, oy = (dst.height() - sh) / 2;
    for (int y = 0; y < dst.height(); ++y) {
        std::uint8_t* out = dst.scanLine(y);
        const double Y = 2.0 * (y - cy) + 1;
        for (int x = 0; x < dst.width(); ++x) {
            const double X = 2.0 * (x - cx) + 1;
            const double sx = (X * c - Y * s - 1) / 2 + cx - ox, sy = (X * s + Y * c - 1) / 2 + cy - oy;
            const int ix = roundHalfEven(sx), iy = roundHalfEven(sy);
            if (ix < 0 || ix >= sw || iy < 0 || iy >= sh)
                continue;
            const int ix2 = std::min(ix + 1, sw - 1), iy2 = std::min(iy + 1, sh - 1);
            const double fx = sx - ix, fy = sy - iy;
            const std::uint8_t* r1 = src.scanLine(iy);
            const std::uint8_t* r2 = src.scanLine(iy2);
            for (int k = 0; k < 3; ++k) {
                const double top = r1[ix * 3 + k] + fx * (r1[ix2 * 3 + k] - r1[ix * 3 + k]);
                const double bottom = r2[ix * 3 + k] + fx * (r2[ix2 * 3 + k] - r2[ix * 3 + k]);
                out[x * 3 + k] = clampByte(roundHalfEven(top + fy * (bottom - top)));
            }
        }
    }
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

// Stretches one source row into columns left .. right-1 of a destination row, picking pixels.
void stretchRow(const gfx::Bitmap& src, int srcY, int srcX, int srcW, gfx::Bitmap& dst, int dstY, int left, int right)
{
    if (right <= left || srcW <= 0)
        return;
    gfx::Canvas canvas(dst);
    canvas.copyRect({left, dstY, right, dstY + 1}, src, {srcX, srcY, srcX + srcW, srcY + 1});
}

} // namespace

void TketPaintFX::Squeeze(const gfx::Bitmap& src, gfx::Bitmap& dst, SqueezeShape shape, int amount)
{
    const int w = src.width(), h = src.height();
    amount = std::min(amount, w / 2);
    const double span = h > 1 ? h - 1 : 1;
    for (int y = 0; y < h; ++y) {
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
        stretchRow(src, y, 0, w, dst, y, l, r);
    }
}

void TketPaintFX::SplitSqueeze(const gfx::Bitmap& src, gfx::Bitmap& dst, SqueezeShape shape, int amount)
{
    if (amount == 0) {
        dst = src;
        return;
    }
    const int w = src.width(), h = src.height(), half = w / 2;
    amount = std::min(amount, half);
    const double span = h > 1 ? h - 1 : 1;
    for (int y = 0; y < h; ++y) {
        const double a = pi * y / span;
        const int m = roundHalfEven(amount * std::abs(shape == SqueezeShape::Waste ? std::sin(a) : std::cos(a)));
        stretchRow(src, y, 0, half, dst, y, 0, m);
        stretchRow(src, y, half, half, dst, y, w - m - 1, w - 1);
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
