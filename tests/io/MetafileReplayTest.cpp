#include "io/MetafileTestSupport.h"
#include "support/TestImages.h"

using namespace daubix;
using namespace daubix::test;
using gfx::Canvas;
using gfx::Point;

namespace {

// A small file of one record family, and the same figures drawn on the canvas directly.
struct FamilyCase {
    std::string name;
    Bytes file;
    std::function<void(Canvas&)> draw;
};

std::ostream& operator<<(std::ostream& out, const FamilyCase& c)
{
    return out << c.name;
}

constexpr int kW = 64, kH = 48;
const std::vector<Point> kStar{{32, 2}, {50, 44}, {4, 16}, {60, 16}, {14, 44}};

gfx::Brush solid(gfx::Color c)
{
    gfx::Brush b;
    b.setColor(c);
    return b;
}

std::vector<FamilyCase> wmfCases()
{
    std::vector<FamilyCase> cases;
    cases.push_back({"WmfLines", Wmf().windowExt(kW, kH).moveTo(3, 4).lineTo(60, 40).lineTo(10, 44).bytes(),
        [](Canvas& c) { c.moveTo(3, 4), c.lineTo(60, 40), c.lineTo(10, 44); }});
    cases.push_back({"WmfPolylineWithAWidePen",
        Wmf()
            .windowExt(kW, kH)
            .pen(0, 5, gfx::clRed)
            .select(0)
            .raw(0x0325, wmfPoints({{4, 4}, {40, 30}, {60, 5}}))
            .bytes(),
        [](Canvas& c) {
            c.pen = {gfx::clRed, 5};
            c.polyline(std::vector<Point>{{4, 4}, {40, 30}, {60, 5}});
        }});
    cases.push_back({"WmfPolygonWinding",
        Wmf()
            .windowExt(kW, kH)
            .record(0x0106, {2})
            .brush(0, gfx::clBlue, 0)
            .select(0)
            .raw(0x0324, wmfPoints({kStar[0], kStar[1], kStar[2], kStar[3], kStar[4]}))
            .bytes(),
        [](Canvas& c) {
            c.fillRule = gfx::FillRule::Winding;
            c.brush = solid(gfx::clBlue);
            c.polygon(kStar);
        }});
    Bytes polyPolygon;
    for (const int v : {2, 3, 5, 5, 5, 25, 5, 5, 25, 30, 20, 20, 20, 60, 20, 60, 40, 20, 40})
        put16(polyPolygon, v);
    cases.push_back({"WmfPolyPolygon", Wmf().windowExt(kW, kH).raw(0x0538, polyPolygon).bytes(),
        [](Canvas& c) {
            const std::vector<Point> points{{5, 5}, {25, 5}, {5, 25}, {30, 20}, {20, 20}, {60, 20}, {60, 40}, {20, 40}};
            c.polyPolygon(points, std::vector<int>{3, 5});
        }});
    cases.push_back({"WmfBoxesWithAnOpaqueHatch",
        Wmf()
            .windowExt(kW, kH)
            .brush(2, gfx::clGreen, 4)
            .select(0)
            .record32(0x0201, gfx::clYellow, {})
            .rectangle(2, 2, 30, 20)
            .record(0x061C, {9, 12, 44, 60, 4, 34})
            .ellipse(4, 24, 40, 46)
            .bytes(),
        [](Canvas& c) {
            c.brush.setColor(gfx::clGreen);
            c.brush.setStyle(gfx::BrushStyle::Cross);
            c.backgroundColor = gfx::clYellow;
            c.rectangle(2, 2, 30, 20);
            c.roundRect(34, 4, 60, 44, 12, 9);
            c.ellipse(4, 24, 40, 46);
        }});
    cases.push_back({"WmfArcChordPie",
        Wmf()
            .windowExt(kW, kH)
            .record(0x0817, {0, 30, 25, 60, 45, 55, 5, 5})
            .record(0x0830, {40, 0, 0, 0, 45, 30, 5, 5})
            .record(0x081A, {40, 0, 0, 64, 47, 62, 25, 35})
            .bytes(),
        [](Canvas& c) {
            c.arc(5, 5, 55, 45, 60, 25, 30, 0);
            c.chord(5, 5, 30, 45, 0, 0, 0, 40);
            c.pie(35, 25, 62, 47, 64, 0, 0, 40);
        }});
    cases.push_back({"WmfDashedPenOverTransparentGaps",
        Wmf().windowExt(kW, kH).record(0x0102, {1}).pen(1, 1, gfx::clRed).select(0).rectangle(3, 3, 60, 44).bytes(),
        [](Canvas& c) {
            c.backgroundMode = gfx::BackgroundMode::Transparent;
            c.pen = {gfx::clRed, 1, gfx::PenStyle::Dash};
            c.rectangle(3, 3, 60, 44);
        }});
    cases.push_back({"WmfXorPen",
        Wmf().windowExt(kW, kH).record(0x0104, {7}).rectangle(5, 5, 40, 30).rectangle(20, 15, 60, 44).bytes(),
        [](Canvas& c) {
            c.pen.mode = gfx::PenMode::Xor;
            c.rectangle(5, 5, 40, 30);
            c.rectangle(20, 15, 60, 44);
        }});
    cases.push_back({"WmfPixelAndPatternFill",
        Wmf()
            .windowExt(kW, kH)
            .record32(0x041F, gfx::clRed, {7, 9})
            .brush(0, gfx::clTeal, 0)
            .select(0)
            .record32(0x061D, 0x005A0049, {20, 30, 10, 12})
            .bytes(),
        [](Canvas& c) {
            c.setPixel(9, 7, gfx::clRed);
            c.brush = solid(gfx::clTeal);
            c.stretchBlt(12, 10, 30, 20, nullptr, 0, 0, 0, 0, gfx::kPatInvert);
        }});
    Bytes patternBrush;
    put16(patternBrush, 5);
    put16(patternBrush, 0);
    const Bytes tile = dib24({{gfx::clRed, gfx::clWhite, gfx::clBlue}, {gfx::clBlack, gfx::clLime, gfx::clRed}});
    patternBrush.insert(patternBrush.end(), tile.begin(), tile.end());
    cases.push_back({"WmfDibPatternBrush",
        Wmf().windowExt(kW, kH).raw(0x0142, patternBrush).select(0).ellipse(3, 3, 60, 44).bytes(), [tile](Canvas& c) {
            c.brush.setPattern(io::decodeDib(tile).value());
            c.ellipse(3, 3, 60, 44);
        }});
    return cases;
}

std::vector<FamilyCase> emfCases()
{
    std::vector<FamilyCase> cases;
    cases.push_back({"EmfBeziersInBothSizes",
        Emf()
            .raw(85, emfPoints({{2, 2}, {30, 2}, {2, 40}, {40, 40}}, true))
            .record(27, {40, 40})
            .raw(88, emfPoints({{60, 40}, {60, 2}, {50, 2}}, true))
            .raw(6, emfPoints({{20, 20}, {10, 30}}, false))
            .pixels(kW, kH),
        [](Canvas& c) {
            c.polyBezier(std::vector<Point>{{2, 2}, {30, 2}, {2, 40}, {40, 40}});
            c.polyBezier(std::vector<Point>{{40, 40}, {60, 40}, {60, 2}, {50, 2}});
            c.polyline(std::vector<Point>{{50, 2}, {20, 20}, {10, 30}});
        }});
    Bytes polyPolygon(16, 0);
    for (const int v : {2, 7, 3, 4, 5, 5, 25, 5, 5, 25, 20, 20, 60, 20, 60, 40, 20, 40})
        put32(polyPolygon, v);
    cases.push_back({"EmfPolygonsIn32Bits",
        Emf().raw(3, emfPoints({{30, 1}, {60, 40}, {2, 30}}, false)).record(19, {2}).raw(8, polyPolygon).pixels(kW, kH),
        [](Canvas& c) {
            c.polygon(std::vector<Point>{{30, 1}, {60, 40}, {2, 30}});
            c.fillRule = gfx::FillRule::Winding;
            c.polyPolygon(std::vector<Point>{{5, 5}, {25, 5}, {5, 25}, {20, 20}, {60, 20}, {60, 40}, {20, 40}},
                std::vector<int>{3, 4});
        }});
    cases.push_back({"EmfStockObjects",
        Emf()
            .record(37, {0x80000002})
            .record(37, {0x80000008})
            .record(43, {2, 2, 30, 30})
            .record(37, {0x80000005})
            .record(37, {0x80000007})
            .record(42, {20, 10, 60, 44})
            .pixels(kW, kH),
        [](Canvas& c) {
            c.brush = solid(gfx::clGray);
            c.pen.style = gfx::PenStyle::Clear;
            c.rectangle(2, 2, 30, 30);
            c.brush.setStyle(gfx::BrushStyle::Clear);
            c.pen.style = gfx::PenStyle::Solid;
            c.ellipse(20, 10, 60, 44);
        }});
    cases.push_back({"EmfObjectsCreatedSelectedAndDeleted",
        Emf()
            .record(38, {1, 0, 3, 0, gfx::clRed})
            .record(39, {2, 2, gfx::clNavy, 3})
            .record(37, {1})
            .record(37, {2})
            .record(40, {1})
            .record(37, {1})
            .record(45, {4, 4, 60, 44, 60, 4, 4, 44})
            .record(46, {8, 8, 56, 40, 60, 24, 4, 24})
            .pixels(kW, kH),
        [](Canvas& c) {
            c.pen = {gfx::clRed, 3};
            c.brush.setColor(gfx::clNavy);
            c.brush.setStyle(gfx::BrushStyle::BDiagonal);
            c.arc(4, 4, 60, 44, 60, 4, 4, 44);
            c.chord(8, 8, 56, 40, 60, 24, 4, 24);
        }});
    cases.push_back({"EmfPathFilledAndStroked",
        Emf()
            .record(59, {})
            .record(27, {5, 5})
            .record(54, {60, 10})
            .record(54, {30, 44})
            .record(61, {})
            .record(60, {})
            .record(63, {0, 0, 0, 0})
            .pixels(kW, kH),
        [](Canvas& c) {
            const std::vector<Point> points{{5, 5}, {60, 10}, {30, 44}};
            c.pen.style = gfx::PenStyle::Clear;
            c.polyPolygon(points, std::vector<int>{3});
            c.pen.style = gfx::PenStyle::Solid;
            c.polyline(std::vector<Point>{{5, 5}, {60, 10}, {30, 44}, {5, 5}});
        }});
    cases.push_back({"EmfTextInItsFontAndColours",
        Emf()
            .raw(82, emfFont(1, -18, 700, u"Arial"))
            .record(37, {1})
            .record(24, {gfx::clMaroon})
            .record(25, {gfx::clAqua})
            .raw(84, emfText(4, 10, u"Daubix"))
            .record(18, {1})
            .raw(84, emfText(4, 28, u"x\u00e9"))
            .pixels(kW, kH),
        [](Canvas& c) {
            c.font.emHeight = 18;
            c.font.bold = true;
            c.font.color = gfx::clMaroon;
            c.backgroundColor = gfx::clAqua;
            c.textOut(4, 10, "Daubix");
            c.backgroundMode = gfx::BackgroundMode::Transparent;
            c.textOut(4, 28, "x\xc3\xa9");
        }});
    const Bytes picture = dib24({{gfx::clRed, gfx::clLime}, {gfx::clBlue, gfx::clYellow}});
    cases.push_back({"EmfStretchedDibAndPatternFill",
        Emf()
            .raw(81, emfStretchDib({10, 10, 30, 40}, {0, 0, 2, 2}, picture))
            .raw(81, emfStretchDib({40, 4, 60, 14}, {0, 0, 2, 1}, picture, 0x00660046))
            .record(76, {0, 0, 0, 0, 44, 30, 10, 10, 0x00550009, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0})
            .pixels(kW, kH),
        [picture](Canvas& c) {
            const gfx::Bitmap source = io::decodeDib(picture).value();
            c.copyRect({10, 10, 30, 40}, source, {0, 0, 2, 2});
            c.copyMode = gfx::kSrcInvert;
            // The bottom row of the bitmap: counted from the bottom in the file.
            c.copyRect({40, 4, 60, 14}, source, {0, 1, 2, 2});
            c.stretchBlt(44, 30, 10, 10, nullptr, 0, 0, 0, 0, gfx::kDstInvert);
        }});
    return cases;
}

class RecordFamily : public ::testing::TestWithParam<FamilyCase> { };

} // namespace

TEST_P(RecordFamily, DrawsWhatTheCanvasDrawsForTheSameFigures)
{
    const FamilyCase& c = GetParam();
    const gfx::Bitmap ours = replayed(c.file);
    const gfx::Bitmap expected = drawn(kW, kH, c.draw);
    ASSERT_EQ(ours.width(), kW);
    ASSERT_EQ(ours.height(), kH);
    EXPECT_NE(expected, gfx::Bitmap(kW, kH)) << "the case draws nothing";
    EXPECT_EQ(differingPixels(ours, expected, 0, 0, kW, kH), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Wmf, RecordFamily, ::testing::ValuesIn(wmfCases()), [](const auto& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(
    Emf, RecordFamily, ::testing::ValuesIn(emfCases()), [](const auto& info) { return info.param.name; });
