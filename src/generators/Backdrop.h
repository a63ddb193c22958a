#pragma once

// Quick Backdrops: a whole picture from integer formulas of each pixel's row y and column x. Each colour
// channel has a formula (by number into backdropFormulaName) and an offset; all share the modulus m. A
// channel's value is the low byte of (formula + offset).

#include "app/Document.h"
#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <array>
#include <optional>
#include <string_view>

namespace daubix::generators {

inline constexpr int kBackdropFormulaCount = 41;
inline constexpr int kMinBackdropModulus = 16;
inline constexpr int kMaxBackdropModulus = 255;

// "Prod", "Sum", ... "DrawXor"; formula numbers outside 0 .. 40 have the empty name.
std::string_view backdropFormulaName(int formula);
// A formula by its name, ignoring case.
std::optional<int> findBackdropFormula(std::string_view name);

// The seven values in the order preset lines and apply Backdrop give them, and the range each control
// holds: formulas 0 .. 40, offsets 0 .. 255, modulus 16 .. 255.
inline constexpr std::array<std::string_view, 7> kBackdropValueNames = {"fR", "fG", "fB", "oR", "oG", "oB", "m"};
struct ValueRange {
    int lo;
    int hi;
};
constexpr ValueRange backdropValueRange(std::size_t value)
{
    return value < 3 ? ValueRange{0, kBackdropFormulaCount - 1}
        : value < 6  ? ValueRange{0, 255}
                     : ValueRange{kMinBackdropModulus, kMaxBackdropModulus};
}
std::array<int*, 7> backdropValues(app::BackdropSettings& settings);
std::array<int, 7> backdropValues(const app::BackdropSettings& settings);

gfx::Status checkBackdropSettings(const app::BackdropSettings& settings);

// Overwrites every pixel of a 24-bit bitmap with the backdrop for its size. The settings must pass
// checkBackdropSettings.
void drawBackdrop(const app::BackdropSettings& settings, gfx::Bitmap& target);
// A new 24-bit bitmap of that size with the backdrop; throws gfx::OutOfPixelMemory when it cannot be had.
gfx::Bitmap generateBackdrop(const app::BackdropSettings& settings, int width, int height);

} // namespace daubix::generators
