#pragma once

#include "gfx/Canvas.h"
#include "gfx/TextLayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace daubix::gadgets {

enum class TGradientStyle : std::uint8_t { gsHorizontal, gsVertical, gsRectangle, gsVertCenter, gsHorizCenter };
enum class TJustification : std::uint8_t { jLeft, jCenter, jRight };

// The class's own default font: Times New Roman 18 points, bold italic.
gfx::Font gradTextDefaultFont();

// A gradient-text control: word-wrapped lines whose glyphs are filled with a colour gradient. It sizes
// itself to its text, measured with wrapping in its width.
struct TGradText {
    gfx::Color beginColor = 0x00FFFF;
    gfx::Color endColor = 0x0000FF;
    TGradientStyle gradientStyle = TGradientStyle::gsVertical;
    std::vector<std::string> lines{"GradText"};
    TJustification justification = TJustification::jCenter;
    gfx::Font font = gradTextDefaultFont();
    gfx::Point position; // top-left in the working image
    int width = 75;
    int height = 25;
};

// The three gradient texts as the program starts them: Times New Roman 30 pixels high, bold italic.
TGradText gradTextGadget();

// The lines joined by CR characters, as the control keeps its text.
std::string gradTextString(const TGradText& text);
// "Caption...": a non-empty answer replaces the lines, split at line breaks. Returns whether it did.
bool setGradTextCaption(TGradText& text, std::string_view answer);
// A width from resizing; never below 1, so that wrapping always has room for a word per line.
void setGradTextWidth(TGradText& text, int width);
void swapGradColors(TGradText& text);

enum class GradPreset : std::uint8_t { Silver, BlueMetallic, GreenMetalic };
void applyGradPreset(TGradText& text, GradPreset preset);

// Fills the whole 24-bit bitmap with the style's gradient from begin to end: per channel
// begin + i * (end - begin) / scale, truncated toward zero.
void fillGradient(gfx::Bitmap& bitmap, TGradientStyle style, gfx::Color begin, gfx::Color end);

// Wraps the text in the control's width and gives the control the measured size.
gfx::TextLayout measureGradText(TGradText& text);
// What the control shows, after measuring: a 24-bit bitmap of its size where the glyph pixels carry
// the gradient and every other pixel is white; its transparent colour is white.
gfx::Bitmap gradTextAppearance(TGradText& text);

// "Paint": the appearance drawn into the canvas's bitmap at the control's position, white left out.
void paintGradText(gfx::Canvas& canvas, TGradText& text);

enum class LightedPaint : std::uint8_t { SilverRight, SilverLeft, GoldRight, GoldLeft };
// "Paint Lighted": the font becomes bold (and stays so); a light copy (black to silver or gold, vertical
// centre) is painted 2 pixels to the right or left, then the text itself at its position.
void paintGradTextLighted(gfx::Canvas& canvas, TGradText& text, LightedPaint kind);

} // namespace daubix::gadgets
