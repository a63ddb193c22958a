#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <thread>
#include <vector>

namespace daubix::effects {

namespace {

void mask(gfx::Bitmap& bmp, gfx::Color color, bool keep)
{
    bmp.convertTo(gfx::PixelFormat::Bits24);
    const auto b = static_cast<std::uint8_t>(gfx::blue(color)), g = static_cast<std::uint8_t>(gfx::green(color)),
               r = static_cast<std::uint8_t>(gfx::red(color));
    for (int y = 0; y < bmp.height(); ++y) {
        std::uint8_t* p = bmp.scanLine(y);
        for (int x = 0; x < bmp.width(); ++x, p += 3) {
            const bool equal = p[0] == b && p[1] == g && p[2] == r;
            if (equal != keep)
                p[0] = p[1] = p[2] = 0;
        }
    }
    bmp.transparent = true;
    bmp.transparentColor = gfx::clBlack;
}

float boxKernel(float x)
{
    return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}
float triangleKernel(float x)
{
    const float a = std::abs(x);
    return a < 1 ? 1 - a : 0;
}
float hermiteKernel(float x)
{
    const float a = std::abs(x);
    return a < 1 ? (2 * a - 3) * a * a + 1 : 0;
}
float bellKernel(float x)
{
    const float a = std::abs(x);
    if (a < 0.5f)
        return 0.75f - a * a;
    if (a < 1.5f)
        return 0.5f * (a - 1.5f) * (a - 1.5f);
    return 0;
}
float bSplineKernel(float x)
{
    const float a = std::abs(x);
    if (a < 1)
        return a * a * a / 2 - a * a + 2.0f / 3;
    if (a < 2)
        return (2 - a) * (2 - a) * (2 - a) / 6;
    return 0;
}
float sinc(float u)
{
    if (u == 0)
        return 1;
    const float v = std::numbers::pi_v<float> * u;
    return std::sin(v) / v;
}
float lanczos3Kernel(float x)
{
    const float a = std::abs(x);
    return a < 3 ? sinc(a) * sinc(a / 3) : 0;
}
float mitchellKernel(float x)
{
    const float a = std::abs(x);
    if (a < 1)
        return (7 * a * a * a - 12 * a * a + 16.0f / 3) / 6;
    if (a < 2)
        return (-7.0f / 3 * a * a * a + 12 * a * a - 20 * a + 32.0f / 3) / 6;
    return 0;
}

struct Contributor {
    int index; // source column or row, counted from the first one the lists use
    float weight;
};

// For the destination indices first .. first + count - 1, the source indices and weights, edges
// reflected. The indices come out counted from the smallest one used, which `base` receives, so that
// a window of the result reads only the source it needs.
std::vector<std::vector<Contributor>> contributors(
    int first, int count, int srcSize, double scale, const ResampleFilter& f, float support, int& base)
{
    std::vector<std::vector<Contributor>> lists(static_cast<std::size_t>(count));
    base = srcSize;
    for (int i = first; i < first + count; ++i) {
        const double center = i / scale;
        const double width = scale >= 1 ? support : support / scale;
        const auto lo = static_cast<int>(std::floor(center - width)), hi = static_cast<int>(std::ceil(center + width));
        for (int j = lo; j <= hi; ++j) {
            const float weight = scale >= 1
                ? f.kernel(static_cast<float>(center - j))
                : f.kernel(static_cast<float>((center - j) * scale)) * static_cast<float>(scale);
            if (weight == 0)
                continue;
            int n = j;
            if (n < 0)
                n = -n;
            else if (n >= srcSize)
                n = 2 * srcSize - 1 - n;
            n = std::clamp(n, 0, srcSize - 1); // a reflection can overshoot when the source is tiny
            lists[static_cast<std::size_t>(i - first)].push_back({n, weight});
            base = std::min(base, n);
        }
    }
    for (auto& list : lists)
        for (Contributor& c : list)
            c.index -= base;
    return lists;
}

// One past the largest index the lists use (counted as they count).
int extent(const std::vector<std::vector<Contributor>>& lists)
{
    int end = 0;
    for (const auto& list : lists)
        for (const Contributor& c : list)
            end = std::max(end, c.index + 1);
    return end;
}

} // namespace

const std::array<ResampleFilter, 7>& resampleFilters()
{
    static const std::array<ResampleFilter, 7> filters{{{"Box", boxKernel, 0.5f}, {"Triangle", triangleKernel, 1.0f},
        {"Hermite", hermiteKernel, 1.0f}, {"Bell", bellKernel, 1.5f}, {"B-Spline", bSplineKernel, 2.0f},
        {"Lanczos3", lanczos3Kernel, 3.0f}, {"Mitchell", mitchellKernel, 2.0f}}};
    return filters;
}

const ResampleFilter* findResampleFilter(std::string_view name)
{
    for (const ResampleFilter& f : resampleFilters())
        if (f.name == name)
            return &f;
    return nullptr;
}

void TketPaintFX::MaskKeepColor(gfx::Bitmap& bmp, gfx::Color color)
{
    mask(bmp, color, true);
}

void TketPaintFX::MaskDropColor(gfx::Bitmap& bmp, gfx::Color color)
{
    mask(bmp, color, false);
}

void TketPaintFX::RotateQuarter(gfx::Bitmap& src, gfx::Bitmap& dst)
{
    src.convertTo(gfx::PixelFormat::Bits24);
    const int w = src.width(), h = src.height();
    detail::prepare(dst, h, w);
    // A hundred and twenty-eight source rows at a time, so that the rows read stay in cache; each destination row is
    // written front to back from the source rows taken bottom-up. Destination rows x0 .. x1 - 1 only, so
    // that two halves can run at once.
    const auto turn = [&](int x0, int x1) {
        constexpr int kTile = 128;
        const std::uint8_t* rows[kTile];
        for (int y0 = 0; y0 < h; y0 += kTile) {
            const int y1 = std::min(h, y0 + kTile), n = y1 - y0;
            for (int i = 0; i < n; ++i)
                rows[i] = src.scanLine(y1 - 1 - i);
            for (int x = x0; x < x1; ++x) {
                std::uint8_t* __restrict out = dst.scanLine(x) + static_cast<std::size_t>(h - y1) * 3;
                const std::size_t offset = static_cast<std::size_t>(x) * 3;
                // Four-byte moves: the fourth byte read is the next pixel (or padding) of the same source
                // row, and the fourth byte written is overwritten by the next pixel; the last pixel of a
                // run and of a source row move as three bytes.
                const int wide = x + 1 < w ? n - 1 : 0;
                int i = 0;
                for (; i < wide; ++i, out += 3) {
                    std::uint32_t pixel;
                    std::memcpy(&pixel, rows[i] + offset, 4);
                    std::memcpy(out, &pixel, 4);
                }
                for (; i < n; ++i, out += 3)
                    std::memcpy(out, rows[i] + offset, 3);
            }
        }
    };
    if (static_cast<std::int64_t>(w) * h < (1 << 16) || std::thread::hardware_concurrency() < 2) {
        turn(0, w);
        return;
    }
    std::thread left([&] { turn(0, w / 2); });
    turn(w / 2, w);
    left.join();
}

gfx::Status TketPaintFX::Resample(gfx::Bitmap& src, gfx::Bitmap& dst, const ResampleFilter& filter, float support)
{
    if (src.width() <= 0 || src.height() <= 0)
        return gfx::Error{"Source bitmap too small"};
    src.convertTo(gfx::PixelFormat::Bits24);
    dst.convertTo(gfx::PixelFormat::Bits24);
    return Resample(SourceView::of(src), dst, ResultWindow::of(dst), filter, support);
}

gfx::Status TketPaintFX::Resample(
    const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, const ResampleFilter& filter, float support)
{
    const int sw = src.width, sh = src.height, dw = window.fullWidth, dh = window.fullHeight;
    if (sw <= 0 || sh <= 0)
        return gfx::Error{"Source bitmap too small"};
    const double xscale = sw == 1 ? static_cast<double>(dw) / sw : (dw - 1.0) / (sw - 1.0);
    const double yscale = sh == 1 ? static_cast<double>(dh) / sh : (dh - 1.0) / (sh - 1.0);
    const int nx = std::min(dst.width(), dw - window.left), ny = std::min(dst.height(), dh - window.top);
    if (nx <= 0 || ny <= 0)
        return {};
    // Only the source columns and the rows of the horizontal pass that the window's pixels draw on.
    int col0 = 0, row0 = 0;
    const auto columns = contributors(window.left, nx, sw, xscale, filter, support, col0);
    const auto rows = contributors(window.top, ny, sh, yscale, filter, support, row0);
    const int ncols = extent(columns), nrows = extent(rows);
    gfx::Bitmap work(nx, std::max(nrows, 1));
    std::vector<std::uint8_t> line(static_cast<std::size_t>(ncols) * 3);
    const bool direct = SourceView{src.bitmap, src.left + col0, src.top + row0, ncols, nrows}.liesOnBitmap();
    for (int y = 0; y < nrows; ++y) {
        const std::uint8_t* in = nullptr;
        if (direct) {
            in = src.pixel(col0, row0 + y);
        } else {
            for (int x = 0; x < ncols; ++x)
                std::memcpy(&line[static_cast<std::size_t>(x) * 3], src.pixel(col0 + x, row0 + y), 3);
            in = line.data();
        }
        std::uint8_t* out = work.scanLine(y);
        for (int i = 0; i < nx; ++i) {
            float sum[3] = {0, 0, 0};
            for (const Contributor& c : columns[static_cast<std::size_t>(i)])
                for (int k = 0; k < 3; ++k)
                    sum[k] += c.weight * in[c.index * 3 + k];
            for (int k = 0; k < 3; ++k)
                out[i * 3 + k] = detail::clampByte(app::roundHalfEven(sum[k]));
        }
    }
    const std::size_t bytes = static_cast<std::size_t>(nx) * 3;
    std::vector<float> sum(bytes);
    for (int i = 0; i < ny; ++i) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const Contributor& c : rows[static_cast<std::size_t>(i)]) {
            const std::uint8_t* in = work.scanLine(c.index);
            for (std::size_t k = 0; k < bytes; ++k)
                sum[k] += c.weight * in[k];
        }
        std::uint8_t* out = dst.scanLine(i);
        for (std::size_t k = 0; k < bytes; ++k)
            out[k] = detail::clampByte(app::roundHalfEven(sum[k]));
    }
    return {};
}

} // namespace daubix::effects
