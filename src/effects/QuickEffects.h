#pragma once

// The Quick Effects panel (Image > Quick > Quick Effects..., F3): a tree of effects and four scroll bars.
// Each change of a bar runs the chosen effect on an exact copy of the image and hands the picture to the
// preview window, whose "Use" draws it into the image; the panel itself never touches the image or the
// undo ring. The panel's state lives in doc.quickEffects for the whole run, and a window only shows it:
//   tree selection       quickEffectTree()[state.entry] (-1: none)
//   EBar                 state.barMin .. state.barMax at state.e
//   extrabar ("turb")    1 .. 300 at state.x
//   cxbar, cybar         0 .. state.cxMax at state.cx, 0 .. state.cyMax at state.cy
// Events and the calls they make (a returned picture goes to the preview window; with none the window
// follows doc.preview, which stays as it was unless memory ran out):
//   the panel opened     openEffectsPanel(doc, host)
//   a click in the tree  clickEffectEntry(doc, host, entry)
//   the keys move it     selectEffectEntry(doc, entry)
//   a bar moved          moveEffectBar(doc, host, bar, value)

#include "gfx/Bitmap.h"

#include <optional>
#include <span>
#include <string_view>

namespace daubix::app {
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::effects {

inline constexpr int kQuickEffectCount = 56;
inline constexpr int kExtraBarMin = 1;
inline constexpr int kExtraBarMax = 300;

// The bars' positions as an effect reads them: E the main bar, X the "turb" bar, (CX, CY) the centre.
struct QuickEffectBars {
    int e = 0;
    int x = 1;
    int cx = 0;
    int cy = 0;
};

// Row n of the effect table: its place in the tree ("Blur > Gaussian Blur") and EBar's range and the
// position it takes when the effect is chosen.
struct QuickEffectRow {
    std::string_view path;
    int barMax = 0;
    int barMin = 0;
    int barPosition = 0;
};
std::span<const QuickEffectRow> quickEffectRows();

// The tree as the panel shows it, in order: each group before its entries. A group carries -1 as its
// effect number, except "Ripple" and "Texturize", which carry 0 and so run "Contrast".
struct QuickEffectEntry {
    std::string_view caption;
    int number = -1;
    int parent = -1; // the group's index in the tree; -1 at the top level
};
std::span<const QuickEffectEntry> quickEffectTree();
// The entry by its tree path ("Wings > Deep", "Ripple"), ignoring case; nothing when there is none.
std::optional<int> findEffectEntry(std::string_view path);

// The bars as they are when row n runs: "Plasma" moves a "turb" below 10 up to 10.
QuickEffectBars settledBars(int n, QuickEffectBars bars);

// Runs row n on the exact stroke-start copy: the range becomes (0, 0, W - 1, H - 1), the range buffer an
// exact 24-bit copy of the image, and the effect runs on it or from it into a new picture. Returns the
// picture, or nothing when the row has none to give ("Blend" without a clipboard picture of the image's
// size). The range buffer keeps the result of the rows that draw in place and of "Shear", and the copy
// for the others. The image stays as it is. The returned picture is meant to replace the preview's: the
// memory of doc.preview.picture goes into it. Running out of memory says so and gives nothing, closing the
// preview when its picture was already given up.
std::optional<gfx::Bitmap> quickEffectPreview(app::Document& doc, app::Host& host, int n, QuickEffectBars bars);

// The panel's events; each preview is as above.
enum class EffectBar : std::uint8_t { E, Extra, CX, CY };
// The centre bars reach to the image's width and height and stand at their halves. When an effect is
// chosen and the centre moved, it previews once with the new centre.
std::optional<gfx::Bitmap> openEffectsPanel(app::Document& doc, app::Host& host);
// A group entry (-1) only selects; an effect sets EBar's range and position from its row and previews.
std::optional<gfx::Bitmap> clickEffectEntry(app::Document& doc, app::Host& host, int entry);
// The selection moved without a click (the keys): the bars stay, and their next move runs this entry.
void selectEffectEntry(app::Document& doc, int entry);
// The bar takes the value, held within its range; then the chosen effect previews.
std::optional<gfx::Bitmap> moveEffectBar(app::Document& doc, app::Host& host, EffectBar bar, int value);

} // namespace daubix::effects
