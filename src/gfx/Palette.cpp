#include "gfx/Palette.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace daubix::gfx {

const std::vector<Color>& monochromePalette()
{
    static const std::vector<Color> palette{clBlack, clWhite};
    return palette;
}

const std::vector<Color>& standardPalette16()
{
    static const std::vector<Color> palette{clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver,
        clGray, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite};
    return palette;
}

const std::vector<Color>& halftonePalette256()
{
    // A 3-3-2 grid (eight levels of red and green, four of blue, red varying fastest) whose first and
    // last ten entries are the static system colours, as the classic default 8-bit colour table has it.
    static const std::vector<Color> palette = [] {
        std::vector<Color> p;
        for (int b = 0; b < 4; ++b)
            for (int g = 0; g < 8; ++g)
                for (int r = 0; r < 8; ++r)
                    p.push_back(rgb(r * 0x20, g * 0x20, b * 0x40));
        const Color first[10] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver,
            rgb(0xC0, 0xDC, 0xC0), rgb(0xA6, 0xCA, 0xF0)};
        const Color last[10] = {rgb(0xFF, 0xFB, 0xF0), rgb(0xA0, 0xA0, 0xA4), clGray, clRed, clLime, clYellow, clBlue,
            clFuchsia, clAqua, clWhite};
        std::copy(std::begin(first), std::end(first), p.begin());
        std::copy(std::begin(last), std::end(last), p.end() - 10);
        return p;
    }();
    return palette;
}

const std::vector<Color>& defaultPalette(int bitsPerPixel)
{
    static const std::vector<Color> none;
    switch (bitsPerPixel) {
    case 1:
        return monochromePalette();
    case 4:
        return standardPalette16();
    case 8:
        return halftonePalette256();
    default:
        return none;
    }
}

Color resolveColor(Color c)
{
    // The classic grey desktop scheme, by interface colour index.
    static constexpr std::array<Color, 25> kScheme{clSilver, clTeal, clNavy, clGray, clSilver, clWhite, clBlack,
        clBlack, clBlack, clWhite, clSilver, clSilver, clGray, clNavy, clWhite, clSilver, clGray, clGray, clBlack,
        clSilver, clWhite, clBlack, clSilver, clBlack, rgb(0xFF, 0xFF, 0xE1)};
    if (c == clNone)
        return clWhite;
    if (isInterfaceColor(c)) {
        const auto index = c & 0xFF;
        return index < kScheme.size() ? kScheme[index] : clBlack;
    }
    return c & 0xFFFFFF;
}

} // namespace daubix::gfx

namespace daubix::gfx {

int nearestPaletteIndex(const std::vector<Color>& palette, Color c)
{
    const int r = red(c), g = green(c), b = blue(c);
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
        const int dr = red(palette[i]) - r, dg = green(palette[i]) - g, db = blue(palette[i]) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

namespace {
constexpr int kCacheBits = 12;
constexpr std::uint64_t kValid = std::uint64_t{1} << 24;
} // namespace

NearestColorMap::NearestColorMap(const std::vector<Color>& palette)
    : m_palette(palette)
    , m_cache(std::size_t{1} << kCacheBits, 0)
{
}

int NearestColorMap::operator()(Color c)
{
    c &= 0xFFFFFF;
    const std::uint32_t slot = ((c * 2654435761u) >> (32 - kCacheBits)) & ((1u << kCacheBits) - 1);
    const std::uint64_t entry = m_cache[slot];
    if ((entry >> 8) == (c | kValid))
        return static_cast<int>(entry & 0xFF);
    const int index = nearestPaletteIndex(m_palette, c);
    m_cache[slot] = ((c | kValid) << 8) | static_cast<std::uint64_t>(index);
    return index;
}

} // namespace daubix::gfx
