#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace daubix::gfx {

// The entry of halftonePalette256() nearest to a colour, exactly as nearestPaletteIndex picks it
// (squared RGB distance, the first of equals), mostly by one look-up. The colour cube is cut into cells
// of 16 levels a side whose walls lie where the palette's 3-3-2 grid changes its nearest level, so that
// most cells have one possible answer; the other cells keep the few entries that can win inside them.
class HalftoneMap {
public:
    // Built on first use, in a few milliseconds; safe to share between threads.
    static const HalftoneMap& instance();

    std::uint8_t operator()(int r, int g, int b) const
    {
        const std::uint16_t cell = m_cells[static_cast<std::size_t>(cellOf(r, g, b))];
        return cell < 256 ? static_cast<std::uint8_t>(cell) : nearestAmong(cell - 256, r, g, b);
    }

private:
    HalftoneMap();
    // Level v falls in cell (v + 15) div 16: cell 0 is level 0 alone, cell c > 0 holds 16c - 15 .. 16c.
    static int cellOf(int r, int g, int b) { return (((r + 15) >> 4) * 17 + ((g + 15) >> 4)) * 17 + ((b + 15) >> 4); }
    std::uint8_t nearestAmong(int list, int r, int g, int b) const;

    std::vector<std::uint16_t> m_cells; // the answer below 256, else 256 + where the cell's list starts
    std::vector<std::uint8_t> m_lists; // per list: the count, then the entries in increasing order
};

} // namespace daubix::gfx
