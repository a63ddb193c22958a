#pragma once

#include "gadgets/TextStyles.h"
#include "gfx/Canvas.h"

#include <optional>
#include <string_view>

namespace daubix::gadgets {

enum class ButtonShape : std::uint8_t { Rect, Oval, Rounded };
// The tags of the "Paint Style" radio items.
using ButtonFace = app::ButtonPaintStyle;

// The shared button state that painting reads.
struct ButtonPaintOptions {
    ButtonFace face = ButtonFace::Silver;
    gfx::Color coloredFace = gfx::clSilver; // the colour the Colored style's dialog gave
    bool border = true;
    TextStyle textStyle = TextStyle::Normal;
    gfx::Color highlight = gfx::clWhite;
    gfx::Color shadow = gfx::clGray;
    gfx::Color ovalHighlight = gfx::clWhite;
    gfx::Color ovalShadow = gfx::clGray;
    int ovalPenWidth = 1; // 1 to 4
};

// Paints a button with the bounds (right and bottom exclusive), its caption centred in its font and the
// button text style. The canvas keeps the button's font and a clear brush; the pen colour and width and
// the brush colour are restored, which makes the brush solid again. Returns the range rectangle the
// Select option takes: the bounds plus one on the right and bottom.
gfx::Rect paintButton(gfx::Canvas& canvas, ButtonShape shape, const gfx::Rect& bounds, std::string_view caption,
    const gfx::Font& font, const ButtonPaintOptions& options);

struct ButtonSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ButtonSize&, const ButtonSize&) = default;
};

// "&Autosize Button": the caption's extent in the button's font, plus 10 each way.
ButtonSize autosizeButton(const gfx::Font& font, std::string_view caption);

struct AutosizedText {
    gfx::Font font; // the button's font at the size chosen, in points
    ButtonSize size;
};
// "Autosize Text": the largest size from 71 points down whose caption is less than the button's width
// and height minus 10 each; nothing (the button stays as it is) when only 5 points or less would fit.
std::optional<AutosizedText> autosizeText(const gfx::Font& font, std::string_view caption, ButtonSize button);

} // namespace daubix::gadgets
