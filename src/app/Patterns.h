#pragma once

#include "gfx/Bitmap.h"

#include <span>

namespace daubix::app {

struct CommandRow;
struct Document;

// The pattern strip: 32 patterns of 8 x 8 side by side in a 24-bit 256 x 8 bitmap.
constexpr int kPatternCount = 32;

// A strip of simple patterns (dots, lines, checks, bricks, weaves), for a program folder without one.
gfx::Bitmap builtInPatternStrip();
// Makes a loaded picture a usable strip: 24 bits, 256 x 8 (cut or whitened).
void normalizePatternStrip(gfx::Bitmap& strip);

// A click on pattern i of the list: the list's selection becomes i, the pattern is copied into the
// pattern brush and that is given to the canvas brush.
void choosePattern(Document& doc, int index);
// Shrinks the whole image into slot i of the strip, then chooses it.
void updatePattern(Document& doc, int index);
// With a pattern brush, stretches it over the whole image to edit; otherwise nothing.
void editPattern(Document& doc);

// The pattern list's popup: Update (on the selected pattern) and Edit.
std::span<const CommandRow> patternCommandRows();

} // namespace daubix::app
