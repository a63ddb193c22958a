#include "effects/ImageEffects.h"

#include "app/Arithmetic.h"
#include "effects/Effects_p.h"
#include "gfx/Palette.h"
#include "support/TestImages.h"

#include <array>
#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace daubix;
using gfx::Bitmap;
using gfx::PixelFormat;

namespace {

// An 8-bit picture from rows of indices.
Bitmap indices(std::initializer_list<std::initializer_list<int>> rows)
{
    Bitmap p(static_cast<int>(rows.begin()->size()), static_cast<int>(rows.size()), PixelFormat::Bits8);
    int y = 0;
    for (const auto& row : rows) {
        int x = 0;
        for (const int v : row)
            p.scanLine(y)[x++] = static_cast<std::uint8_t>(v);
        ++y;
    }
    return p;
}

// Indices drawn from the first `colours` entries, so that neighbours often match and the remembered index
// often comes round again.
Bitmap fewColours(int w, int h, int colours, unsigned seed)
{
    Bitmap p(w, h, PixelFormat::Bits8);
    app::Random random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.scanLine(y)[x] = static_cast<std::uint8_t>(random(colours));
    return p;
}

// Trace as written: passes, sweeps, the first-boundary flag and the remembered index, marking as it goes.
void plainTrace(const Bitmap& p, Bitmap& q, std::uint8_t c, int intensity)
{
    const auto P = [&](int x, int y) { return p.scanLine(y)[x]; };
    const auto mark = [&](int x, int y) {
        std::uint8_t* px = q.scanLine(y) + x * 3;
        px[0] = px[1] = px[2] = c;
    };
    bool flag = false;
    int a = -1;
    const auto compare = [&](int x, int y, int nx, int ny) {
        if (P(nx, ny) == P(x, y))
            return;
        if (!flag) {
            flag = true;
            a = P(nx, ny);
            mark(x, y);
        } else if (P(x, y) != a) {
            mark(x, y);
        } else {
            mark(nx, ny);
        }
    };
    const int w = p.width(), h = p.height();
    for (int pass = 1; pass <= intensity; ++pass) {
        for (int y = 0; y <= h - 2; ++y)
            for (int x = 0; x <= w - 3; ++x) {
                compare(x, y, x + 1, y);
                compare(x, y, x, y + 1);
            }
        if (pass < 2)
            continue;
        for (int y = h - 1; y >= 1; --y)
            for (int x = w - 1; x >= 2; --x) {
                compare(x, y, x - 1, y);
                compare(x, y, x, y - 1);
            }
    }
}

// The positions of q (a white picture before the trace) that hold the trace colour 0.
std::vector<std::pair<int, int>> marked(const Bitmap& q)
{
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < q.height(); ++y)
        for (int x = 0; x < q.width(); ++x)
            if (q.pixel(x, y) == gfx::clBlack)
                out.emplace_back(x, y);
    return out;
}

Bitmap tracedWhite(const Bitmap& p, int intensity)
{
    Bitmap q(p.width(), p.height());
    effects::trace(p, q, 0, intensity);
    return q;
}

using Marks = std::vector<std::pair<int, int>>;

} // namespace

TEST(Grayscale, RoundsTheExactSumForEveryColour)
{
    // All 2^24 colours, one per pixel. The sum is s / 100 exactly; s / 100.0 is a correctly rounded
    // division, so it is exact at the halves (x.5 is a double) and far from a half elsewhere.
    Bitmap b(4096, 4096);
    for (int y = 0; y < 4096; ++y) {
        std::uint8_t* p = b.scanLine(y);
        for (int x = 0; x < 4096; ++x, p += 3) {
            const int colour = y * 4096 + x;
            p[0] = static_cast<std::uint8_t>(colour >> 16);
            p[1] = static_cast<std::uint8_t>(colour >> 8);
            p[2] = static_cast<std::uint8_t>(colour);
        }
    }
    effects::grayscale(b);
    int wrong = 0;
    for (int y = 0; y < 4096; ++y) {
        const std::uint8_t* p = b.scanLine(y);
        for (int x = 0; x < 4096; ++x, p += 3) {
            const int colour = y * 4096 + x, r = colour & 255, g = (colour >> 8) & 255, bl = colour >> 16;
            const int expected = app::roundHalfEven((30 * r + 59 * g + 11 * bl) / 100.0);
            if (p[0] != expected || p[1] != expected || p[2] != expected) {
                if (++wrong <= 5)
                    ADD_FAILURE() << "rgb(" << r << ", " << g << ", " << bl << ") gave " << int{p[0]} << ", not "
                                  << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Grayscale, RoundsExactHalvesToEven)
{
    struct Case {
        int r, g, b, grey;
    };
    const Case cases[] = {
        {1, 0, 20, 2}, // 2.5
        {0, 0, 50, 6}, // 5.5
        {85, 0, 0, 26}, // 25.5
        {0, 45, 45, 32}, // 31.5, which 0.3 R + 0.59 G + 0.11 B in doubles gives as 31.499999999999996
        {0, 5, 5, 4}, // 3.5
        {255, 255, 255, 255}, {1, 1, 1, 1}, // 0.9999999999999999
    };
    for (const Case& c : cases) {
        Bitmap b(3, 1);
        b.setPixel(1, 0, gfx::rgb(c.r, c.g, c.b));
        effects::grayscale(b);
        EXPECT_EQ(b.pixel(1, 0), gfx::rgb(c.grey, c.grey, c.grey)) << c.r << " " << c.g << " " << c.b;
        EXPECT_EQ(b.pixel(0, 0), gfx::clWhite);
    }
}

TEST(Spray, MovesPixelsOnlyWithinTheirColumnAndDrawsThreeNumbersAPixel)
{
    const Bitmap original = test::noise(23, 31, 5);
    Bitmap b = original;
    app::Random random(77);
    effects::spray(b, random);
    EXPECT_NE(b, original);
    for (int x = 0; x < b.width(); ++x) {
        std::vector<gfx::Color> column;
        for (int y = 0; y < b.height(); ++y)
            column.push_back(original.pixel(x, y));
        for (int y = 0; y < b.height(); ++y)
            EXPECT_NE(std::find(column.begin(), column.end(), b.pixel(x, y)), column.end()) << x << "," << y;
    }
    app::Random drawn(77);
    for (int i = 0; i < 3 * 23 * 31; ++i)
        drawn(2);
    EXPECT_EQ(random.state(), drawn.state());

    // The plain loop: columns outer, rows inner, r then the column's draw then the row's, the pixel
    // (sx, sy) copied to (sx, y) of the same picture.
    Bitmap plain = original;
    app::Random again(77);
    for (int x = 0; x < plain.width(); ++x)
        for (int y = 0; y < plain.height(); ++y) {
            const int r = again(30);
            const int sx = x + r - again(2 * r);
            const int sy = y + r - again(2 * r);
            if (sx >= 0 && sx < plain.width() && sy >= 0 && sy < plain.height())
                plain.setPixel(sx, y, plain.pixel(sx, sy));
        }
    EXPECT_EQ(b, plain);
}

// A band that runs out of memory reaches the caller, whichever thread it ran on, after both are done.
TEST(Bands, AFailingBandReachesTheCaller)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one band only on one core";
    for (const int failing : {0, 1}) {
        std::atomic<int> finished{0};
        const auto run = [&] {
            effects::detail::inTwoBands(100, 1 << 20, [&](int y0, int) {
                if ((y0 == 0) == (failing == 0))
                    throw std::bad_alloc();
                ++finished;
            });
        };
        EXPECT_THROW(run(), std::bad_alloc) << failing;
        EXPECT_EQ(finished, 1) << failing;
    }
}

TEST(Colors, PermutesAsTheTableSaysAndMatchesAPlainConversion)
{
    // New blue, green, red from the old pixel, each as its byte offset (0 blue, 1 green, 2 red).
    const std::pair<effects::ChannelOrder, std::array<int, 3>> table[] = {
        {effects::ChannelOrder::RollRGB, {1, 2, 0}}, // green, red, blue
        {effects::ChannelOrder::SwapRG, {1, 0, 2}}, // green, blue, red
        {effects::ChannelOrder::SwapGB, {0, 2, 1}}, // blue, red, green
        {effects::ChannelOrder::SwapRB, {2, 1, 0}}, // red, green, blue
    };
    for (const Bitmap& a : {test::noise(37, 11, 1), test::noise(1, 1, 2), test::noise(64, 64, 3)}) {
        for (const auto& [order, from] : table) {
            Bitmap b = a;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x)
                    for (int k = 0; k < 3; ++k)
                        b.scanLine(y)[x * 3 + k] = a.scanLine(y)[x * 3 + from[static_cast<std::size_t>(k)]];
            b.convertTo(PixelFormat::Bits8);
            const Bitmap fast = effects::permutedTo8Bits(a, order);
            EXPECT_EQ(fast.format(), PixelFormat::Bits8);
            EXPECT_EQ(fast.palette(), gfx::halftonePalette256());
            EXPECT_EQ(fast, b) << static_cast<int>(order) << " on " << a.width() << "x" << a.height();
        }
    }
}

TEST(Colors, TheReductionIsTheConversionsOwn)
{
    // A smooth picture reaches the halftone cells that keep several candidates, noise the others.
    Bitmap smooth(97, 61);
    for (int y = 0; y < smooth.height(); ++y)
        for (int x = 0; x < smooth.width(); ++x)
            smooth.setPixel(x, y, gfx::rgb(x * 255 / 96, y * 255 / 60, (x * y) % 256));
    for (const Bitmap& a : {smooth, test::noise(129, 67, 4), test::noise(1, 1, 5)})
        EXPECT_EQ(effects::reducedTo8Bits(a), a.converted(PixelFormat::Bits8)) << a.width() << "x" << a.height();
}

TEST(Shadow, EachDirectionMatchesItsLoopOrder)
{
    struct Direction {
        effects::ShadowDirection direction;
        int dx, dy; // where the neighbour lies
        bool rowsDown, columnsRight;
    };
    const Direction table[] = {
        {effects::ShadowDirection::UpLeft, 4, 4, true, true},
        {effects::ShadowDirection::UpRight, -4, 4, true, false},
        {effects::ShadowDirection::DownLeft, 4, -4, false, true},
        {effects::ShadowDirection::DownRight, -4, -4, false, false},
    };
    for (const auto& d : table) {
        for (const auto& [w, h] : {std::pair{13, 9}, std::pair{5, 5}, std::pair{4, 9}, std::pair{9, 4}, {64, 31}}) {
            // Values in a narrow band, so that u < v and u + 1 both matter.
            Bitmap start = test::noise(w, h, static_cast<unsigned>(w * h));
            for (int y = 0; y < h; ++y)
                for (int i = 0; i < w * 3; ++i)
                    start.scanLine(y)[i] = static_cast<std::uint8_t>(100 + start.scanLine(y)[i] % 4);
            Bitmap plain = start;
            const int rowFirst = d.rowsDown ? 0 : h - 1, rowLast = d.rowsDown ? h - 5 : 4;
            const int colFirst = d.columnsRight ? 0 : w - 1, colLast = d.columnsRight ? w - 5 : 4;
            const int rowStep = d.rowsDown ? 1 : -1, colStep = d.columnsRight ? 1 : -1;
            if (w >= 5 && h >= 5)
                for (int y = rowFirst; y != rowLast + rowStep; y += rowStep)
                    for (int x = colFirst; x != colLast + colStep; x += colStep)
                        for (int k = 0; k < 3; ++k) {
                            std::uint8_t& v = plain.scanLine(y)[x * 3 + k];
                            const std::uint8_t u = plain.scanLine(y + d.dy)[(x + d.dx) * 3 + k];
                            if (u < v)
                                v = static_cast<std::uint8_t>(u + 1);
                        }
            Bitmap fast = start;
            effects::shadow(fast, d.direction);
            EXPECT_EQ(fast, plain) << static_cast<int>(d.direction) << " on " << w << "x" << h;
        }
    }
}

TEST(InvertBytes, ComplementsThePixelBytesAndKeepsThePaddingZero)
{
    for (const PixelFormat format : {PixelFormat::Bits24, PixelFormat::Bits8, PixelFormat::Bits4, PixelFormat::Bits1}) {
        for (const int w : {1, 3, 5, 7, 13}) {
            const Bitmap start = test::noise(w, 3, static_cast<unsigned>(w)).converted(format);
            Bitmap b = start;
            effects::invertBytes(b);
            const int bits = w * b.bitsPerPixel();
            for (int y = 0; y < 3; ++y) {
                if (format == PixelFormat::Bits24) {
                    // The first w of the row's 3w bytes.
                    for (int i = 0; i < 3 * w; ++i)
                        EXPECT_EQ(b.scanLine(y)[i], i < w ? 255 - start.scanLine(y)[i] : start.scanLine(y)[i]) << i;
                } else {
                    // Every index: all the bits of the row's pixels lie in its first w bytes.
                    for (int x = 0; x < w; ++x)
                        EXPECT_EQ(b.rawPixel(x, y), start.rawPixel(x, y) ^ ((1u << b.bitsPerPixel()) - 1)) << x;
                }
                const std::uint8_t* row = b.scanLine(y);
                if (bits % 8 != 0) {
                    EXPECT_EQ(row[bits / 8] & (0xFF >> (bits % 8)), 0) << "bits past the last pixel";
                }
                for (std::size_t i = static_cast<std::size_t>((bits + 7) / 8); i < b.stride(); ++i)
                    EXPECT_EQ(row[i], 0) << "padding byte " << i << " of a " << w << " x " << bits / w << "-bit row";
            }
        }
    }
}

TEST(InvertBytes, TouchesOnlyTheFirstWBytesOf24BitRows)
{
    Bitmap b(7, 2);
    b.setPixel(2, 0, gfx::rgb(10, 20, 30));
    effects::invertBytes(b);
    // Bytes 0..6: pixels 0 and 1 and the blue of pixel 2.
    EXPECT_EQ(b.pixel(0, 0), gfx::clBlack);
    EXPECT_EQ(b.pixel(1, 1), gfx::clBlack);
    EXPECT_EQ(b.pixel(2, 0), gfx::rgb(10, 20, 255 - 30));
    EXPECT_EQ(b.pixel(2, 1), gfx::rgb(255, 255, 0));
    EXPECT_EQ(b.pixel(3, 0), gfx::clWhite);
}

TEST(Trace, MarksTheSideTheFirstBoundaryChose)
{
    // The first boundary remembers the index right of it (1) and marks its left side; every later pixel
    // of index 1 marks its differing neighbour instead, so the column of 1s is outlined on both sides.
    const Bitmap p = indices({{0, 1, 0, 0, 0}, {0, 1, 0, 0, 0}});
    EXPECT_EQ(marked(tracedWhite(p, 1)), (Marks{{0, 0}, {2, 0}}));
}

TEST(Trace, KeepsTheRememberedIndexIntoTheBackwardSweep)
{
    // Pass 1 remembers index 1 at (1, 0) -> (2, 0). In the backward sweep of pass 2, (2, 1) holds that
    // index, so its left neighbour (1, 1) is marked rather than itself.
    const Bitmap p = indices({{0, 0, 1, 1}, {0, 0, 1, 1}});
    EXPECT_EQ(marked(tracedWhite(p, 1)), (Marks{{1, 0}}));
    EXPECT_EQ(marked(tracedWhite(p, 2)), (Marks{{1, 0}, {1, 1}}));
    EXPECT_EQ(marked(tracedWhite(p, 15)), (Marks{{1, 0}, {1, 1}}));
}

TEST(Trace, FindsTheFirstBoundaryInTheBackwardSweepWhenTheForwardOneHasNone)
{
    // The forward sweep never reaches the last row or the last two columns; the only boundary is there.
    const Bitmap p = indices({{4, 4, 4, 4}, {4, 4, 4, 9}});
    EXPECT_TRUE(marked(tracedWhite(p, 1)).empty());
    EXPECT_EQ(marked(tracedWhite(p, 2)), (Marks{{3, 1}}));
}

TEST(Trace, MatchesThePlainSweepsOnRandomPictures)
{
    for (const auto& [w, h] : {std::pair{3, 2}, std::pair{4, 3}, std::pair{7, 5}, std::pair{64, 33}, {200, 3}}) {
        for (const int colours : {2, 3, 16}) {
            const Bitmap p = fewColours(w, h, colours, static_cast<unsigned>(w * 31 + h * 7 + colours));
            for (const int intensity : {1, 2, 3, 15}) {
                const Bitmap start = test::noise(w, h, static_cast<unsigned>(intensity));
                Bitmap plain = start, fast = start;
                plainTrace(p, plain, 77, intensity);
                effects::trace(p, fast, 77, intensity);
                EXPECT_EQ(fast, plain) << w << "x" << h << ", " << colours << " colours, intensity " << intensity;
            }
        }
    }
}

TEST(Trace, LeavesPicturesSmallerThanItsNeighbourhoodAlone)
{
    for (const auto& [w, h] : {std::pair{2, 5}, std::pair{5, 1}, std::pair{1, 1}}) {
        const Bitmap p = fewColours(w, h, 2, 1);
        const Bitmap start = test::noise(w, h, 9);
        Bitmap q = start;
        effects::trace(p, q, 0, 2);
        EXPECT_EQ(q, start) << w << "x" << h;
    }
}
