#include "generators/Backdrop.h"

#include "app/Arithmetic.h"
#include "app/TextCase.h"
#include "app/VectorClones.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace daubix::generators {

namespace {

constexpr std::array<std::string_view, kBackdropFormulaCount> kNames = {"Prod", "Sum", "Sub", "Xor", "And", "OutAnd",
    "InAnd", "OutXor", "InXor", "OutMod", "InMod", "ProdXor", "SumXor", "SubXor", "ProdAnd", "SumAnd", "SubAnd",
    "Inner", "Outer", "OutRed", "InRed", "OutGreen", "InGreen", "Outblue", "InBlue", "InModOut", "OutModIn",
    "OutModIn2", "ModMod", "ModModXor", "Mod3", "ModModSub", "ModModAdd", "ModModAnd", "ModModOr", "Xor3", "XOr3Mod",
    "SubXorSum", "SubProdSum", "ProdProdSum", "DrawXor"};

// The formulas work on 32-bit integers and only their low byte counts. Products and sums that may pass
// 2^31 are taken as unsigned, which wraps and keeps the low byte; remainders are taken on signed values,
// truncating toward zero as the formulas ask.
using I = std::int32_t;
using U = std::uint32_t;

struct Row {
    I y;
    I m;
    U oR, oG, oB;
};

// How a formula's row repeats: in x with period m (or 1 when it does not depend on x), and whether the
// whole row repeats m rows further down.
struct Repeats {
    bool xByModulus = false;
    bool xConstant = false;
    bool yByModulus = false;
};

Repeats repeatsOf(int f)
{
    switch (f) {
    case 0: case 1: case 9: case 28: case 29: case 30: case 31: case 32: case 33: case 34:
        return {.xByModulus = true, .yByModulus = true};
    case 6: case 8: case 17: case 20: case 22: case 24:
        return {.xConstant = true};
    case 10:
        return {.xConstant = true, .yByModulus = true};
    case 5: case 7: case 18: case 19: case 21: case 23:
        return {.yByModulus = true}; // x alone: every row is the same
    default:
        return {};
    }
}

template <typename F> DAUBIX_VECTOR_CLONES void eachColumn(std::uint8_t* out, I width, F f)
{
    for (I x = 0; x < width; ++x)
        out[x] = static_cast<std::uint8_t>(f(x));
}

// The low bytes of formula f for columns 0 .. width - 1 of row r.y.
void formulaRow(int f, const Row& r, std::uint8_t* out, I width)
{
    const I y = r.y, m = r.m;
    switch (f) {
    case 0: { // Prod: (y x) mod m, stepping by y mod m rather than dividing per pixel
        const I step = y % m;
        I v = 0;
        for (I x = 0; x < width; ++x) {
            out[x] = static_cast<std::uint8_t>(v);
            v += step;
            v -= v >= m ? m : 0;
        }
        return;
    }
    case 1: { // Sum
        I v = y % m;
        for (I x = 0; x < width; ++x) {
            out[x] = static_cast<std::uint8_t>(v);
            v = v + 1 == m ? 0 : v + 1;
        }
        return;
    }
    case 2: return eachColumn(out, width, [=](I x) { return (x - y) % m; });
    case 3: return eachColumn(out, width, [=](I x) { return (y ^ x) % m; });
    case 4: return eachColumn(out, width, [=](I x) { return (y & x) % m; });
    case 5: return eachColumn(out, width, [=](I x) { return x & m; });
    case 6: return eachColumn(out, width, [=](I) { return y & m; });
    case 7: return eachColumn(out, width, [=](I x) { return x ^ m; });
    case 8: return eachColumn(out, width, [=](I) { return y ^ m; });
    case 9: return eachColumn(out, width, [=](I x) { return x % m; });
    case 10: return eachColumn(out, width, [=](I) { return y % m; });
    case 11: return eachColumn(out, width, [=](I x) { return U(y) * U(x) ^ U(m); });
    case 12: return eachColumn(out, width, [=](I x) { return (y + x) ^ m; });
    case 13: return eachColumn(out, width, [=](I x) { return (x - y) ^ m; });
    case 14: return eachColumn(out, width, [=](I x) { return U(y) * U(x) & U(m); });
    case 15: return eachColumn(out, width, [=](I x) { return (y + x) & m; });
    case 16: return eachColumn(out, width, [=](I x) { return (x - y) & m; });
    case 17: return eachColumn(out, width, [=](I) { return y; });
    case 18: return eachColumn(out, width, [=](I x) { return x; });
    case 19: return eachColumn(out, width, [=](I x) { return U(x) * r.oR; });
    case 20: return eachColumn(out, width, [=](I) { return U(y) * r.oR; });
    case 21: return eachColumn(out, width, [=](I x) { return U(x) * r.oG; });
    case 22: return eachColumn(out, width, [=](I) { return U(y) * r.oG; });
    case 23: return eachColumn(out, width, [=](I x) { return U(x) * r.oB; });
    case 24: return eachColumn(out, width, [=](I) { return U(y) * r.oB; });
    case 25: return eachColumn(out, width, [=](I x) { return x < m ? y % m : y % x; });
    case 26: return eachColumn(out, width, [=](I x) { return y < m ? x % m : x % y; });
    case 27: return eachColumn(out, width, [=](I x) { return x % (y + 2) % (y + x + 2); });
    case 28: return eachColumn(out, width, [=](I x) { return (x % m) * (y % m); });
    case 29: return eachColumn(out, width, [=](I x) { return (x % m) ^ (y % m); });
    case 30: return eachColumn(out, width, [=](I x) { return x % m % (y % m + 1); });
    case 31: return eachColumn(out, width, [=](I x) { return x % m - y % m; });
    case 32: return eachColumn(out, width, [=](I x) { return x % m + y % m; });
    case 33: return eachColumn(out, width, [=](I x) { return (x % m) & (y % m); });
    case 34: return eachColumn(out, width, [=](I x) { return (x % m) | (y % m); });
    case 35: return eachColumn(out, width, [=](I x) { return y ^ x ^ m; });
    case 36: return eachColumn(out, width, [=](I x) { return x ^ (y % m) ^ (y % m); });
    case 37: return eachColumn(out, width, [=](I x) { return (x - y) ^ (y + x); });
    case 38: return eachColumn(out, width, [=](I x) { return (U(x) - U(y)) * (U(y) + U(x)); });
    case 39: return eachColumn(out, width, [=](I x) { return U(y) * U(x) * (U(y) + U(x)); });
    case 40: return eachColumn(out, width, [=](I x) { return (x - m) ^ (y + m); });
    default: std::memset(out, 0, static_cast<std::size_t>(width)); return;
    }
}

// One formula's row: computed once for a period and repeated, or column by column.
void channelRow(int f, const Repeats& repeats, const Row& r, std::uint8_t* out, I width)
{
    const I period = repeats.xConstant ? 1 : repeats.xByModulus ? r.m : width;
    const I computed = std::min(period, width);
    formulaRow(f, r, out, computed);
    for (I done = computed; done < width;) {
        const I n = std::min(done, width - done);
        std::memcpy(out + done, out, static_cast<std::size_t>(n));
        done += n;
    }
}

DAUBIX_VECTOR_CLONES void interleave(std::uint8_t* p, const std::uint8_t* red, const std::uint8_t* green,
    const std::uint8_t* blue, std::uint8_t oR, std::uint8_t oG, std::uint8_t oB, I width)
{
    for (I x = 0; x < width; ++x) {
        p[3 * x] = static_cast<std::uint8_t>(blue[x] + oB);
        p[3 * x + 1] = static_cast<std::uint8_t>(green[x] + oG);
        p[3 * x + 2] = static_cast<std::uint8_t>(red[x] + oR);
    }
}

} // namespace

std::string_view backdropFormulaName(int formula)
{
    return formula >= 0 && formula < kBackdropFormulaCount ? kNames[static_cast<std::size_t>(formula)]
                                                             : std::string_view();
}

std::optional<int> findBackdropFormula(std::string_view name)
{
    for (int f = 0; f < kBackdropFormulaCount; ++f)
        if (app::sameIgnoringCase(kNames[static_cast<std::size_t>(f)], name))
            return f;
    return std::nullopt;
}

std::array<int*, 7> backdropValues(app::BackdropSettings& s)
{
    return {&s.formulas[0], &s.formulas[1], &s.formulas[2], &s.offsets[0], &s.offsets[1], &s.offsets[2], &s.modulus};
}

std::array<int, 7> backdropValues(const app::BackdropSettings& s)
{
    return {s.formulas[0], s.formulas[1], s.formulas[2], s.offsets[0], s.offsets[1], s.offsets[2], s.modulus};
}

gfx::Status checkBackdropSettings(const app::BackdropSettings& s)
{
    const std::array<int, 7> values = backdropValues(s);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (const ValueRange r = backdropValueRange(i); values[i] < r.lo || values[i] > r.hi)
            return gfx::Error{"the backdrop value " + std::string(kBackdropValueNames[i]) + " must be a number from "
                + std::to_string(r.lo) + " to " + std::to_string(r.hi) + ", not " + std::to_string(values[i])};
    return {};
}

void drawBackdrop(const app::BackdropSettings& s, gfx::Bitmap& target)
{
    const I width = target.width(), height = target.height();
    if (width == 0 || height == 0)
        return;
    const Row base{0, s.modulus, U(s.offsets[0]), U(s.offsets[1]), U(s.offsets[2])};
    // Channels with the same formula share its row; one buffer per distinct formula.
    std::array<int, 3> slot{};
    std::array<int, 3> formulas{};
    std::array<Repeats, 3> repeats{};
    int distinct = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        const auto same = std::find(formulas.begin(), formulas.begin() + distinct, s.formulas[c]);
        slot[c] = static_cast<int>(same - formulas.begin());
        if (slot[c] == distinct) {
            formulas[static_cast<std::size_t>(distinct)] = s.formulas[c];
            repeats[static_cast<std::size_t>(distinct)] = repeatsOf(s.formulas[c]);
            ++distinct;
        }
    }
    const bool rowsRepeat = std::all_of(
        repeats.begin(), repeats.begin() + distinct, [](const Repeats& r) { return r.yByModulus; });
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(distinct) * static_cast<std::size_t>(width));
    const auto rowOf = [&](std::size_t c) { return rows.data() + static_cast<std::size_t>(slot[c]) * width; };
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (I y = 0; y < height; ++y) {
        if (rowsRepeat && y >= s.modulus) {
            std::memcpy(target.scanLine(y), target.scanLine(y - s.modulus), rowBytes);
            continue;
        }
        Row r = base;
        r.y = y;
        for (int d = 0; d < distinct; ++d)
            channelRow(formulas[static_cast<std::size_t>(d)], repeats[static_cast<std::size_t>(d)], r,
                rows.data() + static_cast<std::size_t>(d) * width, width);
        interleave(target.scanLine(y), rowOf(0), rowOf(1), rowOf(2), static_cast<std::uint8_t>(s.offsets[0]),
            static_cast<std::uint8_t>(s.offsets[1]), static_cast<std::uint8_t>(s.offsets[2]), width);
    }
}

gfx::Bitmap generateBackdrop(const app::BackdropSettings& settings, int width, int height)
{
    gfx::Bitmap picture = gfx::Bitmap::zeroed(width, height);
    drawBackdrop(settings, picture);
    return picture;
}

} // namespace daubix::generators
