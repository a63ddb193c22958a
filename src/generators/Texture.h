#pragma once

// The texture window (Image > Quick > Quick Texture...): a small square tile of grainy, bumpy surface in
// one colour, shown repeated over a panel of the image's size; "Use" tiles the image with it. The panel's
// settings and its tile live in doc.texture for the whole run, and a window only shows them:
//   noisebar    noiseAmount (the bar 0 .. 100)
//   texsize     textureSize (the bar 8 .. 240; the setter takes 4 .. 240)
//   mononoise   noiseMonoChrome
//   tex         the tile, repeated from the panel's top-left corner
// Events and the calls they make:
//   the window created    createTexturePanel(doc)
//   a bar moved           setNoiseAmount, setTextureSize
//   the box clicked       setNoiseMonoChrome
//   "Color", "Use"        the rows of textureWindowRows(), through app::runCommand ("Use" is one undo step);
//                         the window asks for the colour itself, under its own cursor, then calls
//                         setTextureColor
// Every change of a setting remakes the tile, which reseeds the program's generator from the clock.

#include "app/Arithmetic.h"
#include "gfx/Bitmap.h"
#include "gfx/Geometry.h"

#include <span>

namespace daubix::app {
struct CommandRow;
struct Document;
class Host;
} // namespace daubix::app

namespace daubix::generators {

inline constexpr int kMinTextureSize = 4;
inline constexpr int kMaxTextureSize = 240;
inline constexpr int kMaxNoiseAmount = 100;

// The tile's colour arithmetic, channel by channel; colours are plain 0x00BBGGRR values.
// p % of a and the rest of b, each share truncated: blend(99, 99, 50) is 98. p is held within 0 .. 100.
gfx::Color blend(gfx::Color a, gfx::Color b, int p);
// The bevel colours: the colour blended 36 % over a tint towards white, and 52 % over 82 % of itself.
gfx::Color light(gfx::Color c);
gfx::Color dark(gfx::Color c);
// Three draws, red first. Plain noise moves each channel by up to half the amount either way (mirrored
// at 0); mono noise only brightens, in proportion to the channel. Amounts beyond +-100 count as 100.
gfx::Color noisy(gfx::Color c, int amount, bool mono, app::Random& random);
// Two draws: a place 0 .. n; the ends 0 and n are each half as likely as any place between.
int randpos(int n, app::Random& random);

// A size x size tile of the colour (interface colours and clNone resolved first) with grain and
// max(1, count div 80) bumps, count = (noise + size div 4) * size. It reseeds the generator from the
// clock first, so that a fixed clock (Random::seedFixed) makes the same tile every time. The setters keep
// size within 4 .. 240 and noise within 0 .. 100.
gfx::Bitmap makeTexture(gfx::Color colour, int size, int noise, bool mono, app::Random& random);

// Tiles the area with the tile as a pattern brush whose origin is the area's top-left corner; what lies
// outside the target is left alone. An empty tile paints nothing.
void paintTexture(gfx::Bitmap& target, const gfx::Rect& area, const gfx::Bitmap& tile);

// The window is created: the panel makes its first tile. Once there, the tile stays until a setting
// changes, so a later call does nothing.
void createTexturePanel(app::Document& doc);

// The setters. A value equal to the current one does nothing; one out of range is replaced, saying so;
// a value that changes the setting remakes the tile.
void setTextureColor(app::Document& doc, gfx::Color color);
// 3 or less: "Minimum Texture Size of\r  4 has been substituted"; above 240: "Maximum Texture Size of\r
// 240 has been substituted" (with two blanks after the carriage return, as both messages have).
void setTextureSize(app::Document& doc, app::Host& host, int size);
// The amount without its sign; above 100: "Maximum Noise Amount of\r  100 has been substituted".
void setNoiseAmount(app::Document& doc, app::Host& host, int amount);
void setNoiseMonoChrome(app::Document& doc, bool mono);

// "Use": the panel, sized to the image, painted onto it at (0, 0), so the tile covers the whole image.
void useTexture(app::Document& doc, app::Host& host);

// The window's buttons: "TTextureF > gocolor" (the host's colour dialog sets the colour) and
// "TTextureF > goUse" (useTexture, given one undo step by app::runCommand).
std::span<const app::CommandRow> textureWindowRows();

} // namespace daubix::generators
