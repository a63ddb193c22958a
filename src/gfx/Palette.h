#pragma once

#include "gfx/Color.h"

#include <cstdint>
#include <vector>

namespace daubix::gfx {

// Black and white, for 1-bit bitmaps.
const std::vector<Color>& monochromePalette();
// The 16 standard colours in their classic order (black, maroon, ..., silver, gray, red, ..., white).
const std::vector<Color>& standardPalette16();
// 256 colours: the 20 static system colours around a 3-3-2 colour grid.
const std::vector<Color>& halftonePalette256();
const std::vector<Color>& defaultPalette(int bitsPerPixel);

// Index of the entry closest to c: squared RGB distance, the first of equal distances.
int nearestPaletteIndex(const std::vector<Color>& palette, Color c);

// nearestPaletteIndex with a small direct-mapped cache, for converting whole images whose colours repeat.
class NearestColorMap {
public:
    explicit NearestColorMap(const std::vector<Color>& palette);
    int operator()(Color c);

private:
    const std::vector<Color>& m_palette;
    std::vector<std::uint64_t> m_cache; // (colour | valid bit) << 8 | index
};

} // namespace daubix::gfx
