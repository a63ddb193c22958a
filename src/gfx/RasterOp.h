#pragma once

#include <cstdint>

namespace daubix::gfx {

// The 16 binary raster operations of a pen, numbered as the classic interface numbers them (1..16).
// P is the pen colour, D the pixel already there.
enum class PenMode : std::uint8_t {
    Black = 1, // 0
    NotMerge, // not (P or D)
    MaskNotPen, // D and not P
    NotCopy, // not P
    MaskPenNot, // P and not D
    Not, // not D
    Xor, // P xor D
    NotMask, // not (P and D)
    Mask, // P and D
    NotXor, // not (P xor D)
    Nop, // D
    MergeNotPen, // D or not P
    Copy, // P
    MergePenNot, // P or not D
    Merge, // P or D
    White, // all ones
};

// Applies a binary raster operation bitwise: bit i of the truth table (mode - 1) is the result for
// the pen bit and destination bit (P << 1) | D.
constexpr std::uint32_t applyRop2(PenMode mode, std::uint32_t pen, std::uint32_t dest)
{
    const unsigned table = static_cast<unsigned>(mode) - 1;
    std::uint32_t r = 0;
    if (table & 1)
        r |= ~pen & ~dest;
    if (table & 2)
        r |= ~pen & dest;
    if (table & 4)
        r |= pen & ~dest;
    if (table & 8)
        r |= pen & dest;
    return r;
}

// A ternary raster operation as the full 32-bit code of the classic interface (0x00CC0020 for a source
// copy); only bits 16..23, the truth table, decide the result. Bit i of the table is the result for the
// brush (pattern) bit, source bit and destination bit (P << 2) | (S << 1) | D.
using Rop3 = std::uint32_t;

constexpr Rop3 kSrcCopy = 0x00CC0020;
constexpr Rop3 kSrcPaint = 0x00EE0086;
constexpr Rop3 kSrcAnd = 0x008800C6;
constexpr Rop3 kSrcInvert = 0x00660046;
constexpr Rop3 kSrcErase = 0x00440328;
constexpr Rop3 kNotSrcCopy = 0x00330008;
constexpr Rop3 kNotSrcErase = 0x001100A6;
constexpr Rop3 kMergeCopy = 0x00C000CA;
constexpr Rop3 kMergePaint = 0x00BB0226;
constexpr Rop3 kPatCopy = 0x00F00021;
constexpr Rop3 kPatPaint = 0x00FB0A09;
constexpr Rop3 kPatInvert = 0x005A0049;
constexpr Rop3 kDstInvert = 0x00550009;
constexpr Rop3 kBlackness = 0x00000042;
constexpr Rop3 kWhiteness = 0x00FF0062;

constexpr std::uint8_t rop3Table(Rop3 rop)
{
    return static_cast<std::uint8_t>(rop >> 16);
}
constexpr bool rop3UsesPattern(Rop3 rop)
{
    return (rop3Table(rop) >> 4) != (rop3Table(rop) & 0x0F);
}
constexpr bool rop3UsesSource(Rop3 rop)
{
    const unsigned t = rop3Table(rop);
    return ((t >> 2) & 0x33) != (t & 0x33);
}
constexpr bool rop3UsesDest(Rop3 rop)
{
    const unsigned t = rop3Table(rop);
    return ((t >> 1) & 0x55) != (t & 0x55);
}

// The raster operation evaluated bitwise over whole words.
constexpr std::uint64_t applyRop3(std::uint8_t table, std::uint64_t p, std::uint64_t s, std::uint64_t d)
{
    std::uint64_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (table & (1 << i))
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

// A text name of the classic interface ("SRCCOPY", "PATINVERT", ...) for the named codes, else nullptr.
const char* rop3Name(Rop3 rop);

} // namespace daubix::gfx
