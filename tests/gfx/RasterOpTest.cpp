#include "gfx/RasterOp.h"

#include <gtest/gtest.h>

using namespace daubix::gfx;

namespace {
constexpr std::uint64_t P = 0xF0F0F0F0F0F0F0F0, S = 0xCCCCCCCCCCCCCCCC, D = 0xAAAAAAAAAAAAAAAA;
}

// With the canonical operands P = F0, S = CC, D = AA every operation yields its own truth table.
TEST(RasterOp, EveryTernaryCodeYieldsItsTruthTable)
{
    for (unsigned table = 0; table < 256; ++table) {
        const auto t = static_cast<std::uint8_t>(table);
        EXPECT_EQ(applyRop3(t, P, S, D), 0x0101010101010101u * table) << table;
    }
}

TEST(RasterOp, EveryBinaryModeYieldsItsTruthTable)
{
    for (int mode = 1; mode <= 16; ++mode)
        EXPECT_EQ(applyRop2(static_cast<PenMode>(mode), 0xC, 0xA) & 0xF, static_cast<unsigned>(mode - 1)) << mode;
}

TEST(RasterOp, NamedCodesComputeTheirFormulas)
{
    struct Case {
        Rop3 code;
        std::uint64_t (*formula)(std::uint64_t, std::uint64_t, std::uint64_t);
    };
    const Case cases[] = {
        {kSrcCopy, [](auto, auto s, auto) { return s; }},
        {kSrcPaint, [](auto, auto s, auto d) { return s | d; }},
        {kSrcAnd, [](auto, auto s, auto d) { return s & d; }},
        {kSrcInvert, [](auto, auto s, auto d) { return s ^ d; }},
        {kSrcErase, [](auto, auto s, auto d) { return s & ~d; }},
        {kNotSrcCopy, [](auto, auto s, auto) { return ~s; }},
        {kNotSrcErase, [](auto, auto s, auto d) { return ~(s | d); }},
        {kMergeCopy, [](auto p, auto s, auto) { return p & s; }},
        {kMergePaint, [](auto, auto s, auto d) { return ~s | d; }},
        {kPatCopy, [](auto p, auto, auto) { return p; }},
        {kPatPaint, [](auto p, auto s, auto d) { return p | ~s | d; }},
        {kPatInvert, [](auto p, auto, auto d) { return p ^ d; }},
        {kDstInvert, [](auto, auto, auto d) { return ~d; }},
        {kBlackness, [](auto, auto, auto) { return std::uint64_t{0}; }},
        {kWhiteness, [](auto, auto, auto) { return ~std::uint64_t{0}; }},
    };
    const std::uint64_t p = 0x0123456789ABCDEF, s = 0xFEDCBA9876543210, d = 0x0F1E2D3C4B5A6978;
    for (const Case& c : cases)
        EXPECT_EQ(applyRop3(rop3Table(c.code), p, s, d), c.formula(p, s, d)) << rop3Name(c.code);
}

TEST(RasterOp, TellsWhichOperandsACodeReads)
{
    EXPECT_FALSE(rop3UsesPattern(kSrcCopy));
    EXPECT_TRUE(rop3UsesSource(kSrcCopy));
    EXPECT_FALSE(rop3UsesDest(kSrcCopy));
    EXPECT_TRUE(rop3UsesPattern(kMergeCopy));
    EXPECT_FALSE(rop3UsesSource(kPatInvert));
    EXPECT_TRUE(rop3UsesDest(kPatInvert));
    EXPECT_FALSE(rop3UsesDest(kBlackness));
}
