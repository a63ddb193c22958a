#pragma once

#include <cstdint>

namespace daubix::gfx {

// A colour as the design stores it: 0x00BBGGRR, red in the low byte. Values with the top bit set name
// an interface colour (0x80000000 + index); clNone means "no colour".
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int red(Color c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int green(Color c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blue(Color c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
// Channel by channel, halves rounded down.
constexpr Color average(Color a, Color b)
{
    return rgb((red(a) + red(b)) / 2, (green(a) + green(b)) / 2, (blue(a) + blue(b)) / 2);
}

constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clGreen = 0x008000;
constexpr Color clOlive = 0x008080;
constexpr Color clNavy = 0x800000;
constexpr Color clPurple = 0x800080;
constexpr Color clTeal = 0x808000;
constexpr Color clGray = 0x808080;
constexpr Color clSilver = 0xC0C0C0;
constexpr Color clRed = 0x0000FF;
constexpr Color clLime = 0x00FF00;
constexpr Color clYellow = 0x00FFFF;
constexpr Color clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF;
constexpr Color clAqua = 0xFFFF00;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clNone = 0x1FFFFFFF;
constexpr Color kInterfaceColorBase = 0x80000000;

constexpr bool isInterfaceColor(Color c)
{
    return (c & 0x80000000u) != 0;
}

// The colour an interface colour stands for on this desktop (a classic grey scheme); plain colours
// come back unchanged, clNone becomes white.
Color resolveColor(Color c);

} // namespace daubix::gfx
