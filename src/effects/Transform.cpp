#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <numbers>
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
        // A result one pixel across has scale 0 and centre 0 / 0: every weight of a NaN is 0, so nothing
        // contributes, and the bounds below would not be numbers.
        if (std::isnan(center))
            continue;
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

// roundToBytes rounds sums below this exactly. Every kernel of the table lies within -1 .. 1 and is 0
// from 3 on, so a list has at most 6 weights of at most 1, or when reducing at most 6 / scale + 1 weights
// of at most the scale: its sums stay below 7 * 255.
[[maybe_unused]] constexpr float kExactSums = 1 << 22;

[[maybe_unused]] float largestSum(const std::vector<std::vector<Contributor>>& lists)
{
    float most = 0;
    for (const auto& list : lists) {
        float sum = 0;
        for (const Contributor& c : list)
            sum += std::abs(c.weight) * 255;
        most = std::max(most, sum);
    }
    return most;
}

using Floats8 = float __attribute__((vector_size(32)));
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

// The horizontal pass makes this many rows at once, one per lane.
constexpr int kLanes = 8;

// Sums to bytes, rounded halves to even and clamped. Adding and taking away 1.5 * 2^23 rounds in the
// floating-point unit, to nearest with halves to even, which is exact while |sum| < 2^22 (see
// kExactSums). The conversions are plain loops, which the compiler turns into whole-vector instructions
// for every target.
__attribute__((target_clones("avx2", "default"))) void roundToBytes(
    std::uint8_t* __restrict out, const float* __restrict sums, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k) {
        const auto v = static_cast<int>((sums[k] + 12582912.0f) - 12582912.0f);
        out[k] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }
}

__attribute__((target_clones("avx2", "default"))) void widen(
    float* __restrict out, const std::uint8_t* __restrict in, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        out[k] = in[k];
}

// One step of turning eight rows of sixteen bytes: the vectors whose indices differ in `bit` are
// interleaved byte by byte, the first halves' mix staying at the lower index.
inline void interleave(Bytes16 (&v)[8], int bit)
{
    for (int i = 0; i < 8; ++i)
        if ((i & bit) == 0) {
            const Bytes16 a = v[i], b = v[i | bit];
            v[i] = __builtin_shufflevector(a, b, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
            v[i | bit] = __builtin_shufflevector(a, b, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
        }
}

// The eight rows' values side by side: out[b * 8 + r] = rows[r][b]. Three interleaving steps turn
// sixteen bytes of eight rows into sixteen groups of eight.
__attribute__((target_clones("avx2", "default"))) void turnIn(
    std::uint8_t* __restrict out, const std::uint8_t* const* rows, std::size_t bytes)
{
    std::size_t b = 0;
    for (; b + 16 <= bytes; b += 16) {
        Bytes16 v[8];
        for (int r = 0; r < 8; ++r)
            std::memcpy(&v[r], rows[r] + b, 16);
        interleave(v, 4);
        interleave(v, 2);
        interleave(v, 1);
        std::memcpy(out + b * 8, v, sizeof v);
    }
    for (; b < bytes; ++b)
        for (int r = 0; r < 8; ++r)
            out[b * 8 + r] = rows[r][b];
}

// The inverse turn, into the first `count` rows: rows[r][b] = in[b * 8 + r]. Four interleaving steps
// bring the sixteen groups of eight back to eight rows of sixteen, row r landing at index r0 r2 r1.
__attribute__((target_clones("avx2", "default"))) void turnOut(
    std::uint8_t* const* rows, int count, const std::uint8_t* __restrict in, std::size_t bytes)
{
    std::size_t b = 0;
    for (; b + 16 <= bytes; b += 16) {
        Bytes16 v[8];
        std::memcpy(v, in + b * 8, sizeof v);
        interleave(v, 4);
        interleave(v, 2);
        interleave(v, 1);
        interleave(v, 4);
        for (int r = 0; r < count; ++r)
            std::memcpy(rows[r] + b, &v[(r & 1) << 2 | (r >> 1 & 1) | (r >> 2 & 1) << 1], 16);
    }
    for (; b < bytes; ++b)
        for (int r = 0; r < count; ++r)
            rows[r][b] = in[b * 8 + r];
}

// The contributor lists across, all of one length so that the loop over them runs the same for every
// pixel: shorter lists end in taps of weight 0, which add +0 to a sum and leave its rounding alone. The
// pixels go in pieces small enough that the source columns they read stay in the nearest cache.
struct Taps {
    struct Piece {
        int first, end; // destination pixels
        int col0, col1; // the source columns they read
    };
    int count = 0;
    std::vector<std::size_t> offsets; // per pixel and tap: the source pixel's first lane in its piece's turned rows
    std::vector<float> weights;
    std::vector<Piece> pieces;
};

Taps acrossTaps(const std::vector<std::vector<Contributor>>& lists)
{
    constexpr int kPiece = 256;
    Taps taps;
    for (const auto& list : lists)
        taps.count = std::max(taps.count, static_cast<int>(list.size()));
    const auto count = static_cast<std::size_t>(taps.count);
    taps.offsets.assign(lists.size() * count, 0);
    taps.weights.assign(taps.offsets.size(), 0.0f);
    const int pixels = static_cast<int>(lists.size());
    for (int first = 0; first < pixels; first += kPiece) {
        Taps::Piece piece{first, std::min(pixels, first + kPiece), INT32_MAX, 0};
        for (int i = piece.first; i < piece.end; ++i)
            for (const Contributor& c : lists[static_cast<std::size_t>(i)]) {
                piece.col0 = std::min(piece.col0, c.index);
                piece.col1 = std::max(piece.col1, c.index + 1);
            }
        piece.col0 = std::min(piece.col0, piece.col1);
        for (int i = piece.first; i < piece.end; ++i) {
            const auto& list = lists[static_cast<std::size_t>(i)];
            for (std::size_t t = 0; t < list.size(); ++t) {
                const std::size_t at = static_cast<std::size_t>(i) * count + t;
                taps.offsets[at] = static_cast<std::size_t>(list[t].index - piece.col0) * 3 * kLanes;
                taps.weights[at] = list[t].weight;
            }
        }
        taps.pieces.push_back(piece);
    }
    return taps;
}

// Eight-lane vectors go by reference: the default target has no registers that wide to pass them in.
inline void addProduct(Floats8& sum, float weight, const float* p)
{
    Floats8 v;
    std::memcpy(&v, p, sizeof v);
    sum += weight * v;
}

// The horizontal pass for eight turned rows: each pixel's three channels summed in eight lanes at once,
// every lane in the order of the contributor list, as one row alone would be. The sums come out turned,
// eight per value.
__attribute__((target_clones("avx2", "default"))) void sumAcross(float* __restrict out, const float* __restrict turned,
    const std::size_t* offsets, const float* weights, int count, int pixels)
{
    for (int i = 0; i < pixels; ++i, offsets += count, weights += count) {
        Floats8 sums[3] = {};
        for (int t = 0; t < count; ++t) {
            const float* in = turned + offsets[t];
            addProduct(sums[0], weights[t], in);
            addProduct(sums[1], weights[t], in + kLanes);
            addProduct(sums[2], weights[t], in + 2 * kLanes);
        }
        std::memcpy(out + static_cast<std::size_t>(i) * 3 * kLanes, sums, sizeof sums);
    }
}

// One tap of the vertical pass over n values. A function of its own, so that the compiler vectorises it
// alone rather than fusing the taps into one loop that it cannot.
__attribute__((target_clones("avx2", "default"))) void addRow(
    float* __restrict sums, const std::uint8_t* __restrict in, float weight, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        sums[k] += weight * in[k];
}

// The rows of the horizontal pass that one band of destination rows reads, made eight at a time (the
// eight that share an index but for its last three bits) and kept in a ring of slots. The ring holds
// more rows than any destination row reads plus two blocks, so that making the block of one contributor
// never overwrites another contributor of the same destination row.
class AcrossRows {
public:
    AcrossRows(const SourceView& src, int col0, int row0, int ncols, int nrows, const Taps& taps, int nx, int span)
        : m_src(src)
        , m_col0(col0)
        , m_row0(row0)
        , m_nrows(nrows)
        , m_taps(taps)
        , m_rowBytes(static_cast<std::size_t>(nx) * 3)
        , m_slots(std::min(span + 2 * kLanes, nrows))
        , m_direct(SourceView{src.bitmap, src.left + col0, src.top + row0, ncols, nrows}.liesOnBitmap())
        , m_ring(static_cast<std::size_t>(m_slots) * m_rowBytes)
        , m_tags(static_cast<std::size_t>(m_slots), -1)
    {
        int widest = 0;
        for (const Taps::Piece& piece : taps.pieces) {
            widest = std::max(widest, piece.col1 - piece.col0);
            m_most = std::max(m_most, piece.end - piece.first);
        }
        m_bytes.resize(static_cast<std::size_t>(std::max(widest, m_most)) * 3 * kLanes);
        m_turned.resize(static_cast<std::size_t>(widest) * 3 * kLanes);
        m_sums.resize(static_cast<std::size_t>(m_most) * 3 * kLanes);
        if (!m_direct)
            m_lines.resize(static_cast<std::size_t>(widest) * 3 * kLanes);
    }

    // Row n (0 .. nrows - 1) of the horizontal pass.
    const std::uint8_t* row(int n)
    {
        const int slot = n % m_slots;
        if (m_tags[static_cast<std::size_t>(slot)] != n)
            make(n - n % kLanes);
        return &m_ring[static_cast<std::size_t>(slot) * m_rowBytes];
    }

private:
    void make(int first)
    {
        const int count = std::min(kLanes, m_nrows - first);
        int source[kLanes];
        std::uint8_t* out[kLanes];
        for (int r = 0; r < kLanes; ++r) {
            source[r] = first + std::min(r, count - 1); // spare lanes repeat the last row
            const int slot = source[r] % m_slots;
            m_tags[static_cast<std::size_t>(slot)] = source[r];
            out[r] = &m_ring[static_cast<std::size_t>(slot) * m_rowBytes];
        }
        for (const Taps::Piece& piece : m_taps.pieces) {
            const int ncols = piece.col1 - piece.col0;
            const std::size_t bytes = static_cast<std::size_t>(ncols) * 3;
            const std::uint8_t* in[kLanes];
            for (int r = 0; r < kLanes; ++r) {
                const int x0 = m_col0 + piece.col0, y = m_row0 + source[r];
                if (m_direct) {
                    in[r] = m_src.pixel(x0, y);
                    continue;
                }
                std::uint8_t* line = m_lines.data() + static_cast<std::size_t>(r) * bytes;
                for (int x = 0; x < ncols; ++x)
                    std::memcpy(line + static_cast<std::size_t>(x) * 3, m_src.pixel(x0 + x, y), 3);
                in[r] = line;
            }
            turnIn(m_bytes.data(), in, bytes);
            widen(m_turned.data(), m_bytes.data(), bytes * kLanes);
            const int pixels = piece.end - piece.first;
            const std::size_t at = static_cast<std::size_t>(piece.first) * static_cast<std::size_t>(m_taps.count);
            sumAcross(m_sums.data(), m_turned.data(), m_taps.offsets.data() + at, m_taps.weights.data() + at,
                m_taps.count, pixels);
            const std::size_t values = static_cast<std::size_t>(pixels) * 3;
            roundToBytes(m_bytes.data(), m_sums.data(), values * kLanes);
            std::uint8_t* part[kLanes];
            for (int r = 0; r < kLanes; ++r)
                part[r] = out[r] + static_cast<std::size_t>(piece.first) * 3;
            turnOut(part, count, m_bytes.data(), values);
        }
    }

    const SourceView& m_src;
    int m_col0, m_row0, m_nrows;
    const Taps& m_taps;
    std::size_t m_rowBytes;
    int m_slots;
    bool m_direct;
    int m_most = 0;
    std::vector<std::uint8_t> m_bytes;
    std::vector<float> m_turned;
    std::vector<float> m_sums;
    std::vector<std::uint8_t> m_lines;
    std::vector<std::uint8_t> m_ring;
    std::vector<int> m_tags;
};

// The most rows one list reaches over, from its smallest index to its largest.
int span(const std::vector<std::vector<Contributor>>& lists)
{
    int most = 0;
    for (const auto& list : lists) {
        if (list.empty())
            continue;
        const auto [lo, hi] = std::minmax_element(
            list.begin(), list.end(), [](const Contributor& a, const Contributor& b) { return a.index < b.index; });
        most = std::max(most, hi->index - lo->index + 1);
    }
    return most;
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
    detail::inTwoBands(w, static_cast<std::int64_t>(w) * h, turn);
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
    assert(largestSum(columns) < kExactSums && largestSum(rows) < kExactSums);
    const int ncols = extent(columns), nrows = extent(rows), reach = span(rows);
    const Taps across = acrossTaps(columns);
    const std::size_t bytes = static_cast<std::size_t>(nx) * 3;
    constexpr std::size_t kStrip = 2048;

    // Destination rows i0 .. i1 - 1, with the rows of the horizontal pass they read made as they are
    // first needed; a band makes its own, so two bands can run at once.
    const auto band = [&](int i0, int i1) {
        AcrossRows work(src, col0, row0, ncols, nrows, across, nx, reach);
        std::vector<const std::uint8_t*> in;
        std::vector<float> weights;
        std::vector<float> sums(std::min(kStrip, bytes));
        for (int i = i0; i < i1; ++i) {
            const auto& list = rows[static_cast<std::size_t>(i)];
            in.clear();
            weights.clear();
            for (const Contributor& c : list) {
                in.push_back(work.row(c.index));
                weights.push_back(c.weight);
            }
            // A strip at a time, so that its sums stay in the nearest cache over all the taps.
            std::uint8_t* out = dst.scanLine(i);
            for (std::size_t from = 0; from < bytes; from += kStrip) {
                const std::size_t n = std::min(kStrip, bytes - from);
                std::fill_n(sums.begin(), n, 0.0f);
                for (std::size_t t = 0; t < list.size(); ++t)
                    addRow(sums.data(), in[t] + from, weights[t], n);
                roundToBytes(out + from, sums.data(), n);
            }
        }
    };
    // Each pixel sums many taps, so half as many pixels as the plain loops need are worth a second thread.
    detail::inTwoBands(ny, static_cast<std::int64_t>(nx) * ny * 2, band);
    return {};
}

} // namespace daubix::effects
