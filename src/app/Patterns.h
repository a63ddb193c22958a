#pragma once

#include "gfx/Bitmap.h"

namespace daubix::app {

struct Document;

// The pattern strip: 32 patterns of 8 x 8 side by side in a 24-bit 256 x 8 bitmap.
constexpr int kPatternCount = 32;

// A strip of simple patterns (dots, lines, checks, bricks, weaves), for a program folder without one.
gfx::Bitmap builtInPatternStrip();
// Makes a loaded picture a usable strip: 24 bits, 256 x 8 (cut or whitened).
void normalizePatternStrip(gfx::Bitmap& strip);

// Copies pattern i into the pattern brush and gives that to the canvas brush.
void choosePattern(Document& doc, int index);
// Shrinks the whole image into slot i of the strip, then chooses it.
void updatePattern(Document& doc, int index);
// With a pattern brush, stretches it over the whole image to edit; otherwise nothing.
void editPattern(Document& doc);

} // namespace daubix::app
