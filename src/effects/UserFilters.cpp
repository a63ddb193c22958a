#include "effects/UserFilters.h"

#include "app/Arithmetic.h"
#include "app/TextCase.h"
#include "effects/Effects_p.h"
#include "effects/TketPaintFX.h"

#include <cmath>
#include <cstdlib>

namespace daubix::effects {

namespace {

constexpr std::array<std::string_view, kUserFilterCount> kNames
    = {"And", "Or", "Xor", "ShiftLeft", "ShiftRight", "FastSweep", "SlowSweep", "Reduce", "AddRight", "AvgRight",
        "RunAvgRight", "RunAvgLeft", "EmbossRight", "EmbossLeft", "Trace", "Drip", "Add", "Multiply", "Moderate",
        "Columns", "Troop", "FadeUp", "Glas", "Mondriaan", "Grain", "UserMatrix"};

enum Filter : int {
    And,
    Or,
    Xor,
    ShiftLeft,
    ShiftRight,
    FastSweep,
    SlowSweep,
    Reduce,
    AddRight,
    AvgRight,
    RunAvgRight,
    RunAvgLeft,
    EmbossRight,
    EmbossLeft,
    Trace,
    Drip,
    Add,
    Multiply,
    Moderate,
    Columns,
    Troop,
    FadeUp,
    Glas,
    Mondriaan,
    Grain,
    UserMatrix,
};
static_assert(UserMatrix == kUserMatrixFilter && Reduce == kReduceFilter && Drip == kDripFilter);

// The previous, current and next rows of one channel: X[3 * i] is the channel's byte of pixel i. The
// three rows never overlap, which the filters tell the compiler, so that a byte written to one row is not
// read back from memory for another; values carried from one pixel to the next stay in registers.
struct Lines {
    std::uint8_t* p;
    std::uint8_t* c;
    std::uint8_t* n;
    int last; // the last pixel index, W - 1
    std::uint8_t firstByte; // byte 0 of the current row (the blue of pixel 0) before the row's filters
};

struct Constants {
    std::uint8_t v;
    std::uint8_t trace;
    std::uint8_t high, low;
    const std::uint8_t* table; // the value map of a filter that looks at nothing but the value
    app::Random* random;
};

using LineFilter = void (*)(const Lines&, const Constants&);

std::uint8_t byte(int v)
{
    return static_cast<std::uint8_t>(v);
}

// a where the condition holds, else b, without a branch: grainy pictures would mispredict most of them.
std::uint8_t select(bool condition, std::uint8_t a, std::uint8_t b)
{
    const auto mask = static_cast<std::uint8_t>(-static_cast<int>(condition));
    return static_cast<std::uint8_t>((a & mask) | (b & ~mask));
}

constexpr std::ptrdiff_t at(int i)
{
    return 3 * static_cast<std::ptrdiff_t>(i);
}

void mapped(const Lines& l, const Constants& k)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    for (int i = 0; i <= last; ++i)
        c[at(i)] = k.table[c[at(i)]];
}

void unchanged(const Lines&, const Constants&)
{
}

void fastSweep(const Lines& l, const Constants& k)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    std::uint8_t t = k.v;
    for (int i = 0; i <= last; ++i) {
        c[at(i)] = byte(c[at(i)] + t);
        t = byte(~t);
    }
}

void addRight(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    const int f = c[0];
    for (int i = 0; i < last; ++i)
        c[at(i)] = byte(c[at(i)] + c[at(i + 1)]);
    c[at(last)] = byte(c[at(last)] + f);
}

void avgRight(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    const int f = c[0];
    for (int i = 0; i < last; ++i)
        c[at(i)] = byte((c[at(i)] + c[at(i + 1)]) / 2);
    c[at(last)] = byte((f + c[at(last)]) / 2);
}

// Seeded from the row's first byte, the blue of pixel 0, whatever the channel.
void runAvgRight(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    int a = l.firstByte;
    for (int i = 0; i <= last; ++i) {
        a = (c[at(i)] + a) / 2;
        c[at(i)] = byte(a);
    }
}

void runAvgLeft(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    int a = c[at(last)];
    for (int i = last; i >= 0; --i) {
        a = (c[at(i)] + a) / 2;
        c[at(i)] = byte(a);
    }
}

// The two bytes alternate, but only over the values that are written.
void emboss(const Lines& l, std::uint8_t first, std::uint8_t second)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    bool k = true;
    for (int i = 0; i < last; ++i) {
        const std::uint8_t x = c[at(i)];
        const bool differs = x != c[at(i + 1)];
        c[at(i)] = select(differs, select(k, first, second), x);
        k = k != differs;
    }
}

void embossRight(const Lines& l, const Constants& k)
{
    emboss(l, k.high, k.low);
}

void embossLeft(const Lines& l, const Constants& k)
{
    emboss(l, k.low, k.high);
}

void trace(const Lines& l, const Constants& k)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    const std::uint8_t* __restrict n = l.n;
    const std::uint8_t written = k.trace;
    for (int i = 0; i < last; ++i) {
        const std::uint8_t x = c[at(i)];
        c[at(i)] = select((x != c[at(i + 1)]) | (x != n[at(i)]), written, x);
    }
}

void drip(const Lines& l, const Constants& k)
{
    const int last = l.last;
    if (last < 1)
        return;
    for (int r = last / 2 + 1; r > 0; --r) {
        const int x = (*k.random)(last);
        l.n[at(x)] = l.c[at(x)];
    }
}

bool near(int a, int b, int distance)
{
    return a - b < distance && b - a < distance;
}

void moderate(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    const std::uint8_t* __restrict n = l.n;
    for (int i = 0; i < last; ++i) {
        const int b = c[at(i)];
        c[at(i)] = select(near(b, c[at(i + 1)], 8) | near(b, n[at(i)], 8), byte(b + 1), byte(b));
    }
}

// What is written to C[i + 1] is the next pixel's b.
void columns(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    std::uint8_t* __restrict n = l.n;
    int b = c[0];
    for (int i = 0; i < last; ++i) {
        const int right = c[at(i + 1)];
        const bool hit = near(b, right, 4) | near(b, n[at(i)], 4);
        // A branch here: stores made always would chain each pixel to the last through memory.
        if (hit) {
            b = byte(b + 5);
            c[at(i + 1)] = n[at(i)] = n[at(i + 1)] = byte(b);
        } else {
            b = right;
        }
    }
}

void troop(const Lines& l, const Constants&)
{
    const int last = l.last;
    const std::uint8_t* __restrict c = l.c;
    std::uint8_t* __restrict n = l.n;
    for (int i = 0; i < last; ++i) {
        const std::uint8_t b = c[at(i)];
        const bool hit = (b == c[at(i + 1)]) | (b == n[at(i)]);
        n[at(i + 1)] = select(hit, byte(b + 1), n[at(i + 1)]);
    }
}

void fadeUp(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    const std::uint8_t* __restrict n = l.n;
    for (int i = 0; i < last; ++i) {
        const std::uint8_t x = c[at(i)];
        c[at(i)] = select((x != c[at(i + 1)]) & (x != n[at(i)]), n[at(i + 1)], x);
    }
}

void glas(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    const std::uint8_t* __restrict n = l.n;
    for (int i = 0; i < last; ++i)
        c[at(i)] = byte(c[at(i)] + c[at(i + 1)] / 4 + n[at(i + 1)] / 4);
}

// C[i - 1] is already the new value.
void mondriaan(const Lines& l, const Constants&)
{
    const int last = l.last;
    const std::uint8_t* __restrict p = l.p;
    std::uint8_t* __restrict c = l.c;
    const std::uint8_t* __restrict n = l.n;
    int left = c[0];
    for (int i = 1; i < last; ++i) {
        left = byte(c[at(i)] + p[at(i)] / 8 + left / 8 + c[at(i + 1)] / 8 + n[at(i)] / 8);
        c[at(i)] = byte(left);
    }
}

void grain(const Lines& l, const Constants&)
{
    const int last = l.last;
    std::uint8_t* __restrict c = l.c;
    std::uint8_t left = c[0];
    for (int i = 1; i < last; ++i) {
        left = byte(left ^ c[at(i + 1)]);
        c[at(i)] = left;
    }
}

// The nearest integer, halves to even.
int roundHalfEven(double x)
{
    const double r = std::round(x);
    if (std::abs(x - std::trunc(x)) == 0.5)
        return static_cast<int>(2 * std::round(x / 2));
    return static_cast<int>(r);
}

// The filters that look at nothing but the value they replace, as a map of values. SlowSweep is one of
// them: it adds t = 1 and turns t only where t mod v = 0, which never happens with v >= 16.
std::optional<std::array<std::uint8_t, 256>> valueMap(int filter, int v)
{
    const auto map = [](auto op) {
        std::array<std::uint8_t, 256> m{};
        for (int x = 0; x < 256; ++x)
            m[static_cast<std::size_t>(x)] = byte(op(x));
        return m;
    };
    const double f = 2.0 * v / 2555.0 + 0.9;
    switch (filter) {
    case And:
        return map([v](int x) { return x & v; });
    case Or:
        return map([v](int x) { return x | v; });
    case Xor:
        return map([v](int x) { return x ^ v; });
    case ShiftLeft:
        return map([](int x) { return x << 1; });
    case ShiftRight:
        return map([](int x) { return x >> 1; });
    case SlowSweep:
        return map([](int x) { return x + 1; });
    case Reduce:
        return map([v](int x) { return v * (x / v); });
    case Add:
        return map([v](int x) { return x + v; });
    case Multiply:
        return map([f](int x) { return roundHalfEven(x * f); });
    case UserMatrix:
        return map([](int x) { return x; });
    default:
        return std::nullopt;
    }
}

// By list index. The value maps run as "mapped"; "UserMatrix" leaves its channel alone.
constexpr std::array<LineFilter, kUserFilterCount> kLineFilters = {mapped, mapped, mapped, mapped, mapped, fastSweep,
    mapped, mapped, addRight, avgRight, runAvgRight, runAvgLeft, embossRight, embossLeft, trace, drip, mapped, mapped,
    moderate, columns, troop, fadeUp, glas, mondriaan, grain, unchanged};

// x' = (((x & a) | o) ^ e) + d byte by byte: And, Or, Xor, Add and SlowSweep (an add of 1), each with its
// own bytes per channel.
struct BitOp {
    std::uint8_t a = 255, o = 0, e = 0, d = 0;
};

std::optional<BitOp> bitOp(int filter, std::uint8_t v)
{
    switch (filter) {
    case And:
        return BitOp{v, 0, 0, 0};
    case Or:
        return BitOp{255, v, 0, 0};
    case Xor:
        return BitOp{255, 0, v, 0};
    case Add:
        return BitOp{255, 0, 0, v};
    case SlowSweep:
        return BitOp{255, 0, 0, 1};
    case UserMatrix:
        return BitOp{};
    default:
        return std::nullopt;
    }
}

// The bytes of one operation per channel laid out over 48 bytes (16 pixels), the span of whole vector
// registers that the pixel pattern repeats in.
struct BitPattern {
    alignas(16) std::uint8_t a[48], o[48], e[48], d[48];
};

void bitOpRows(std::uint8_t* row, std::size_t bytes, const BitPattern& p)
{
    std::size_t k = 0;
    for (; k + 48 <= bytes; k += 48) {
        std::uint8_t* x = row + k;
        for (int j = 0; j < 48; ++j)
            x[j] = static_cast<std::uint8_t>((((x[j] & p.a[j]) | p.o[j]) ^ p.e[j]) + p.d[j]);
    }
    for (int j = 0; k < bytes; ++k, ++j)
        row[k] = byte((((row[k] & p.a[j]) | p.o[j]) ^ p.e[j]) + p.d[j]);
}

void mappedRows(std::uint8_t* row, int width, const std::array<std::array<std::uint8_t, 256>, 3>& maps)
{
    const std::uint8_t *blue = maps[0].data(), *green = maps[1].data(), *red = maps[2].data();
    for (int i = 0; i < width; ++i, row += 3) {
        row[0] = blue[row[0]];
        row[1] = green[row[1]];
        row[2] = red[row[2]];
    }
}

// Rows y0 .. y1 - 1 of a filter that works value by value, in two halves at once when the picture is large:
// no value depends on another, so any order gives the same bytes.
template <typename RowOp> void everyRow(gfx::Bitmap& b, int y0, int y1, const RowOp& op)
{
    detail::inTwoBands(y1 - y0, std::int64_t{y1 - y0} * b.width(), [&](int first, int last) {
        for (int y = y0 + first; y < y0 + last; ++y)
            op(b.scanLine(y));
    });
}

void lineFilters(gfx::Bitmap& b, const UserFilterSettings& s, app::Random& random)
{
    const int w = b.width(), h = b.height();
    if (w == 0 || h < 3)
        return;
    const auto v = byte(s.v);
    // Storage is blue, green, red: channel c (red first) lives in byte 2 - c.
    std::array<std::optional<std::array<std::uint8_t, 256>>, 3> maps; // by byte
    std::array<std::optional<BitOp>, 3> ops; // by byte
    for (int c = 0; c < 3; ++c) {
        maps[2 - c] = valueMap(s.channels[c], s.v);
        ops[2 - c] = bitOp(s.channels[c], v);
    }
    if (ops[0] && ops[1] && ops[2]) {
        BitPattern p;
        for (int j = 0; j < 48; ++j) {
            const BitOp& op = *ops[j % 3];
            p.a[j] = op.a, p.o[j] = op.o, p.e[j] = op.e, p.d[j] = op.d;
        }
        const std::size_t bytes = static_cast<std::size_t>(w) * 3;
        everyRow(b, 1, h - 1, [&](std::uint8_t* row) { bitOpRows(row, bytes, p); });
        return;
    }
    if (maps[0] && maps[1] && maps[2]) {
        const std::array<std::array<std::uint8_t, 256>, 3> m{*maps[0], *maps[1], *maps[2]};
        everyRow(b, 1, h - 1, [&](std::uint8_t* row) { mappedRows(row, w, m); });
        return;
    }

    // Chosen once for the run, not per pixel.
    std::array<LineFilter, 3> filters{};
    std::array<Constants, 3> constants{};
    for (int c = 0; c < 3; ++c) {
        filters[c] = kLineFilters[static_cast<std::size_t>(s.channels[c])];
        constants[c] = {
            v, s.traceByte, s.embossBytes[0], s.embossBytes[1], maps[2 - c] ? maps[2 - c]->data() : nullptr, &random};
    }
    for (int y = 1; y < h - 1; ++y) {
        std::uint8_t* p = b.scanLine(y - 1);
        std::uint8_t* c = b.scanLine(y);
        std::uint8_t* n = b.scanLine(y + 1);
        for (int channel = 0; channel < 3; ++channel) {
            const int offset = 2 - channel;
            filters[channel]({p + offset, c + offset, n + offset, w - 1, c[0]}, constants[channel]);
        }
    }
}

} // namespace

std::span<const std::string_view, kUserFilterCount> userFilterNames()
{
    return kNames;
}

std::optional<int> findUserFilter(std::string_view name)
{
    for (int i = 0; i < kUserFilterCount; ++i)
        if (app::sameIgnoringCase(kNames[static_cast<std::size_t>(i)], name))
            return i;
    return std::nullopt;
}

gfx::Status checkUserFilterSettings(const UserFilterSettings& s)
{
    if (s.v < kMinFilterValue || s.v > kMaxFilterValue)
        return gfx::Error{"the filter value must lie in 16..255"};
    const auto inList = [](int i) { return i >= 0 && i < kUserFilterCount; };
    if (!inList(s.selection) || !inList(s.channels[0]) || !inList(s.channels[1]) || !inList(s.channels[2]))
        return gfx::Error{"no such user filter"};
    return {};
}

gfx::Status applyUserFilter(gfx::Bitmap& b, const UserFilterSettings& s, app::Random& random)
{
    if (gfx::Status checked = checkUserFilterSettings(s); !checked)
        return checked;
    b.convertTo(gfx::PixelFormat::Bits24);
    if (s.selection != UserMatrix) {
        lineFilters(b, s, random);
        return {};
    }
    // Convolve5x5 reads k[column * 5 + row]; the grid is held row by row.
    std::array<int, 25> k{};
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            k[static_cast<std::size_t>(column * 5 + row)] = s.matrix[static_cast<std::size_t>(row * 5 + column)];
    TketPaintFX(random).Convolve5x5(b, k);
    return {};
}

} // namespace daubix::effects
