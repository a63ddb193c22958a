#include "gfx/Text.h"
#include "io/MetafileTestSupport.h"

#include <bit>
#include <chrono>
#include <limits>

using namespace daubix;
using namespace daubix::test;
using gfx::Canvas;

namespace {

// A WMF sized 40 x 30 whose records end with the given bytes instead of the end record.
Bytes wmfEndingWith(const Bytes& tail)
{
    Bytes file = Wmf().windowExt(40, 30).bytes();
    file.resize(file.size() - 6);
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
}

Bytes wmfRecord(std::int64_t words, int function, std::initializer_list<int> params)
{
    Bytes r;
    put32(r, words);
    put16(r, function);
    for (const int p : params)
        put16(r, p);
    return r;
}

// An EMF of 40 x 30 pixels whose records end with the given bytes instead of the end record.
Bytes emfEndingWith(const Bytes& tail)
{
    Bytes file = Emf().pixels(40, 30);
    file.resize(file.size() - 20);
    file.insert(file.end(), tail.begin(), tail.end());
    return file;
}

Bytes emfRecord(int type, std::int64_t size, std::initializer_list<std::int64_t> values)
{
    Bytes r;
    put32(r, type);
    put32(r, size);
    for (const std::int64_t v : values)
        put32(r, v);
    return r;
}

struct Refusal {
    const char* name;
    Bytes file;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const Refusal& r)
{
    return out << r.name;
}

std::string damaged(const std::string& what)
{
    return "The metafile is damaged (" + what + ").";
}

std::vector<Refusal> refusals()
{
    Bytes manyRecords = Wmf().windowExt(40, 30).bytes();
    manyRecords.resize(manyRecords.size() - 6);
    for (int i = 0; i <= 1'000'000; ++i)
        for (const std::uint8_t b : {3, 0, 0, 0, 0x1E, 0})
            manyRecords.push_back(b);
    Bytes badDib = emfStretchDib({0, 0, 10, 10}, {0, 0, 1, 1}, dib24({{0}}));
    badDib[56 - 8] = 0xF0; // offBitsSrc far past the record
    return {
        {"WmfRecordOfSizeZero", wmfEndingWith(wmfRecord(0, 0x041B, {1, 2, 3, 4})), damaged("a record has the size 0")},
        {"WmfRecordShorterThanItsHeader", wmfEndingWith(wmfRecord(2, 0x041B, {1, 2, 3, 4})),
            damaged("a record is smaller than its header")},
        {"WmfRecordPastTheEnd", wmfEndingWith(wmfRecord(100, 0x041B, {1, 2, 3, 4})),
            damaged("a record runs past the end of the file")},
        {"WmfHeaderCutShort",
            [] {
                Bytes b = Wmf().placeable(0, 0, 10, 10, 96);
                b.resize(32);
                return b;
            }(),
            damaged("the header is cut short")},
        {"WmfRectangleWithTooFewNumbers", wmfEndingWith(wmfRecord(5, 0x041B, {1, 2})),
            damaged("a RECTANGLE record is too short for its numbers")},
        {"WmfPolygonCountPastItsRecord", wmfEndingWith(wmfRecord(8, 0x0324, {100, 1, 1, 5, 5})),
            damaged("the points of a POLYGON record run past its end")},
        {"WmfPolyPolygonCountsPastItsRecord", wmfEndingWith(wmfRecord(6, 0x0538, {60000, 3, 3})),
            damaged("the counts of a POLYPOLYGON record run past its end")},
        {"WmfPolyPolygonPointsPastItsRecord", wmfEndingWith(wmfRecord(8, 0x0538, {1, 300, 1, 1, 5})),
            damaged("the points of a POLYPOLYGON record run past its end")},
        {"WmfTextPastItsRecord", wmfEndingWith(wmfRecord(6, 0x0521, {40, 0x4241, 0})),
            damaged("the text of a TEXTOUT record runs past its end")},
        {"WmfMoreThanAMillionRecords", manyRecords, damaged("more than a million records")},
        {"EmfRecordSmallerThan8", emfEndingWith(emfRecord(43, 4, {1, 2, 3, 4})),
            damaged("a record is smaller than 8 bytes")},
        {"EmfRecordSizeNotAMultipleOf4", emfEndingWith(emfRecord(43, 26, {1, 2, 3, 4, 5})),
            damaged("a record's size is not a multiple of 4")},
        {"EmfRecordPastTheEnd", emfEndingWith(emfRecord(43, 4000, {1, 2, 3, 4})),
            damaged("a record runs past the end of the file")},
        {"EmfRecordTooShortForItsNumbers", emfEndingWith(emfRecord(43, 16, {1, 2})),
            damaged("a RECTANGLE record is too short for its numbers")},
        {"EmfPolygonCountPastItsRecord", emfEndingWith(emfRecord(86, 32, {0, 0, 0, 0, 0x40000000, 0})),
            damaged("the points of a POLYGON16 record run past its end")},
        {"EmfPolyPolygonCountsPastItsRecord", emfEndingWith(emfRecord(8, 40, {0, 0, 0, 0, 0xFFFFFFFF, 3, 3, 0})),
            damaged("the counts of a POLYPOLYGON record run past its end")},
        {"EmfPolyPolygonCountsBeyondItsPoints", emfEndingWith(emfRecord(8, 48, {0, 0, 0, 0, 1, 1, 5, 1, 1, 2})),
            damaged("the points of a POLYPOLYGON record run past its end")},
        {"EmfTextPastItsRecord",
            emfEndingWith(emfRecord(84, 80, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0xFFFFFFFF, 76, 0, 0, 0, 0, 0, 0, 0})),
            damaged("the text of an EXTTEXTOUTW record runs past its end")},
        {"EmfBitmapPastItsRecord", emfEndingWith([&] {
             Bytes r;
             put32(r, 81);
             put32(r, 8 + static_cast<std::int64_t>(badDib.size()));
             r.insert(r.end(), badDib.begin(), badDib.end());
             return r;
         }()),
            damaged("the bitmap of a STRETCHDIBITS record lies past its end")},
        {"EmfClipRegionRectanglesPastItsRecord",
            emfEndingWith(emfRecord(75, 56, {40, 5, 32, 1, 1000, 16, 0, 0, 0, 0, 1, 1})),
            damaged("the rectangles of an EXTSELECTCLIPRGN record run past its end")},
    };
}

class HostileFile : public ::testing::TestWithParam<Refusal> { };

} // namespace

TEST_P(HostileFile, IsRefusedNamingWhatIsWrong)
{
    EXPECT_EQ(refusal(GetParam().file), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Metafile, HostileFile, ::testing::ValuesIn(refusals()),
    [](const auto& info) { return std::string(info.param.name); });

// Records that make no sense where they stand are skipped: the rest of the picture is as if they were
// not there.
TEST(MetafileSkips, BadObjectIndicesZeroExtentsAndBadTransforms)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto bits = [](float f) { return static_cast<std::int64_t>(std::bit_cast<std::uint32_t>(f)); };
    const Bytes emf = Emf()
                          .record(37, {57})
                          .record(37, {0x80000063})
                          .record(40, {-1})
                          .record(17, {8})
                          .record(9, {0, 10})
                          .record(11, {5, 0})
                          .record(32, {1, 0, 1, 1})
                          .record(35, {bits(nan), 0, 0, bits(1), 0, 0})
                          .record(35, {bits(1e30f), 0, 0, bits(1e30f), 0, 0})
                          .record(35, {0, 0, 0, 0, bits(5), bits(5)})
                          .record(36, {bits(1), 0, 0, bits(1), bits(1e20f), 0, 3})
                          .record(43, {2, 3, 30, 20})
                          .pixels(40, 30);
    EXPECT_EQ(replayed(emf), drawn(40, 30, [](Canvas& c) { c.rectangle(2, 3, 30, 20); }));
    const Bytes wmf = Wmf()
                          .windowExt(40, 30)
                          .select(3)
                          .remove(-1)
                          .mapMode(8)
                          .windowExt(0, 30)
                          .viewportExt(40, 0)
                          .record(0x0410, {0, 1, 1, 1})
                          .rectangle(2, 3, 30, 20)
                          .bytes();
    EXPECT_EQ(replayed(wmf), drawn(40, 30, [](Canvas& c) { c.rectangle(2, 3, 30, 20); }));
}

TEST(MetafileSkips, ASaveBeyondTheTwoHundredFiftySixthIsNotKept)
{
    Wmf wmf;
    wmf.windowExt(40, 30).pen(0, 1, gfx::clRed).pen(0, 1, gfx::clBlue);
    for (int i = 0; i < 256; ++i)
        wmf.record(0x001E, {});
    wmf.select(0).record(0x001E, {}).select(1).record(0x0127, {-1}).moveTo(0, 10).lineTo(40, 10);
    // Had the last save been kept, the pen would come back red.
    EXPECT_EQ(replayed(wmf.bytes()), drawn(40, 30, [](Canvas& c) { c.moveTo(0, 10), c.lineTo(40, 10); }));
}

TEST(MetafileLimits, CoordinatesFarOutsideAreClampedAndStayCheap)
{
    auto bits = [](float f) { return static_cast<std::int64_t>(std::bit_cast<std::uint32_t>(f)); };
    const auto start = std::chrono::steady_clock::now();
    const Bytes emf = Emf()
                          .record(37, {0x80000004})
                          .record(35, {bits(1e6f), 0, 0, bits(1e6f), 0, 0})
                          .record(43, {-2147483647, -2147483647, 2147483647, 2147483647})
                          .record(42, {-2147483647, -2147483647, 2147483647, 2147483647})
                          .raw(4, emfPoints({{-2147483647, 5}, {2147483647, 7}, {3, -2147483647}}, false))
                          .pixels(40, 30);
    gfx::Bitmap black(40, 30);
    black.fill(gfx::clBlack);
    EXPECT_EQ(replayed(emf), black);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(MetafileLimits, PenWidthsAndFontHeightsStopAtTwiceTheDiagonal)
{
    // The picture's diagonal is 50 pixels: pens and fonts stop at 100.
    const Bytes pen = Emf()
                          .record(38, {1, 0, 2147483647, 0, gfx::clRed})
                          .record(37, {1})
                          .record(27, {0, 0})
                          .record(54, {10, 0})
                          .pixels(40, 30);
    EXPECT_EQ(replayed(pen), drawn(40, 30, [](Canvas& c) {
        c.pen = {gfx::clRed, 100};
        c.moveTo(0, 0), c.lineTo(10, 0);
    }));
    const Bytes font = Emf()
                           .raw(82, emfFont(1, std::numeric_limits<int>::min(), 400, u"Arial"))
                           .record(37, {1})
                           .raw(84, emfText(0, -60, u"W"))
                           .pixels(40, 30);
    EXPECT_EQ(replayed(font), drawn(40, 30, [](Canvas& c) {
        c.font.emHeight = 100;
        c.textOut(0, -60, "W");
    }));
}

TEST(MetafileLimits, AHugeBitmapForATransferIsSkipped)
{
    // Run-length data of a few bytes naming a bitmap of 2^28 pixels.
    Bytes dib;
    for (const std::int64_t v : {40, 16384, 16384})
        put32(dib, v);
    put16(dib, 1);
    put16(dib, 8);
    put32(dib, 1); // RLE8
    for (int i = 0; i < 5; ++i)
        put32(dib, 0);
    for (int i = 0; i < 256; ++i)
        put32(dib, 0);
    for (const std::uint8_t b : {0, 1})
        dib.push_back(b);
    dib.resize((dib.size() + 3) / 4 * 4);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(replayed(Emf().raw(81, emfStretchDib({0, 0, 40, 30}, {0, 0, 16384, 16384}, dib)).pixels(40, 30)),
        gfx::Bitmap(40, 30));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}
