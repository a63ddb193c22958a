#include "gfx/Region.h"

#include "gfx/Canvas.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace daubix::gfx;

namespace {

// The pixels a figure's brush covers on a width x height bitmap, as the canvas paints them with a clear pen.
template <typename Draw> std::vector<bool> canvasCover(int width, int height, Draw draw)
{
    Bitmap target(width, height);
    Canvas canvas(target);
    canvas.pen.style = PenStyle::Clear;
    canvas.brush.setColor(clBlack);
    draw(canvas);
    std::vector<bool> cover(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            cover[static_cast<std::size_t>(y) * width + x] = target.pixel(x, y) == clBlack;
    return cover;
}

std::vector<bool> regionCover(const Region& region, int width, int height)
{
    std::vector<bool> cover(static_cast<std::size_t>(width) * height);
    for (const RowSpan& s : region.spans())
        for (int x = s.x0; x < s.x1; ++x)
            cover[static_cast<std::size_t>(s.y) * width + x] = true;
    return cover;
}

// Spans inside the bitmap, in row order, non-empty and with a gap between neighbours on a row.
void expectWellFormed(const Region& region, int width, int height)
{
    const std::vector<RowSpan>& spans = region.spans();
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const RowSpan& s = spans[i];
        EXPECT_TRUE(s.y >= 0 && s.y < height && s.x0 >= 0 && s.x0 < s.x1 && s.x1 <= width);
        if (i > 0) {
            EXPECT_TRUE(spans[i - 1].y < s.y || spans[i - 1].x1 < s.x0);
        }
    }
}

struct Size {
    int width;
    int height;
};

} // namespace

TEST(Region, AnEllipseCoversExactlyWhatTheCanvasFills)
{
    const Size sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {7, 5}, {11, 13}, {64, 48}, {40, 3}};
    for (const Size size : sizes) {
        const int w = size.width, h = size.height;
        const Rect boxes[] = {{0, 0, w, h}, {-3, -2, w + 4, h / 2}, {w - 1, h - 1, 2, 1}, {2, 2, 2, 5}, {-50, 1, 50, 3},
            {w / 2, h / 2, w / 2 + 1, h / 2 + 1}};
        for (const Rect& box : boxes) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " box " + std::to_string(box.left) + ","
                + std::to_string(box.top) + "," + std::to_string(box.right) + "," + std::to_string(box.bottom));
            const Region region = Region::ellipse(box, w, h);
            expectWellFormed(region, w, h);
            EXPECT_EQ(regionCover(region, w, h),
                canvasCover(w, h, [&](Canvas& c) { c.ellipse(box.left, box.top, box.right, box.bottom); }));
        }
    }
}

TEST(Region, APolygonCoversExactlyWhatTheCanvasFills)
{
    const Size sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {7, 5}, {11, 13}, {64, 48}};
    for (const Size size : sizes) {
        const int w = size.width, h = size.height;
        const std::vector<std::vector<Point>> polygons = {
            {{w / 2, 0}, {w - 1, h / 2}, {w / 2, h - 1}, {0, h / 2}}, // the diamond
            {{-4, -4}, {w + 5, 2}, {1, h + 6}}, // beyond the edges
            {{w / 2, 0}, {w * 4 / 5, h - 1}, {0, h * 2 / 5}, {w - 1, h * 2 / 5}, {w / 5, h - 1}}, // a star: the
            // alternate rule leaves its middle empty
            {{1, 1}, {w - 2, 1}, {w / 2, h / 2}, {w - 2, h - 2}, {1, h - 2}}, // concave
            {{3, 3}},
        };
        for (std::size_t i = 0; i < polygons.size(); ++i) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " polygon " + std::to_string(i));
            const Region region = Region::polygon(polygons[i], w, h);
            expectWellFormed(region, w, h);
            EXPECT_EQ(regionCover(region, w, h), canvasCover(w, h, [&](Canvas& c) { c.polygon(polygons[i]); }));
        }
    }
}

TEST(Region, CopiesOnlyThePixelsInsideAndOnlyTheRowsAsked)
{
    const int w = 23, h = 17;
    const Region region = Region::ellipse({0, 0, w, h}, w, h);
    const std::vector<bool> inside = regionCover(region, w, h);
    for (const PixelFormat format : {PixelFormat::Bits8, PixelFormat::Bits24, PixelFormat::Bits32}) {
        Bitmap src = daubix::test::noise(w, h, 5);
        src.convertTo(format);
        const Bitmap blank(w, h, format);
        Bitmap whole = blank, banded = blank;
        region.copy(src, whole);
        region.copy(src, banded, 0, 6);
        region.copy(src, banded, 6, h);
        EXPECT_EQ(whole, banded);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(whole.rawPixel(x, y),
                    inside[static_cast<std::size_t>(y) * w + x] ? src.rawPixel(x, y) : blank.rawPixel(x, y));
    }
    // A smaller destination takes what falls on it; differing formats take nothing.
    const Bitmap src = daubix::test::noise(w, h, 5);
    Bitmap small(5, 4);
    region.copy(src, small);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(small.pixel(x, y), inside[static_cast<std::size_t>(y) * w + x] ? src.pixel(x, y) : clWhite);
    Bitmap other(w, h, PixelFormat::Bits8);
    region.copy(src, other);
    EXPECT_EQ(other, Bitmap(w, h, PixelFormat::Bits8));
}

TEST(Region, FillsEverythingOutsideAndOnlyTheRowsAsked)
{
    const int w = 19, h = 14;
    const Region region = Region::polygon(std::vector<Point>{{9, 0}, {18, 7}, {9, 13}, {0, 7}}, w, h);
    const std::vector<bool> inside = regionCover(region, w, h);
    for (const PixelFormat format : {PixelFormat::Bits8, PixelFormat::Bits24, PixelFormat::Bits32}) {
        const Bitmap src = daubix::test::noise(w, h, 6).converted(format);
        Bitmap whole = src, banded = src;
        region.fillOutside(whole, clRed);
        region.fillOutside(banded, clRed, -3, 5);
        region.fillOutside(banded, clRed, 5, h + 9);
        EXPECT_EQ(whole, banded);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(whole.pixel(x, y), inside[static_cast<std::size_t>(y) * w + x] ? src.pixel(x, y) : clRed);
    }
    // A region made for a smaller bitmap leaves the rest outside.
    Bitmap larger(25, 20);
    Region::ellipse({0, 0, 5, 5}, 5, 5).fillOutside(larger, clBlack);
    EXPECT_EQ(larger.pixel(2, 2), clWhite);
    EXPECT_EQ(larger.pixel(24, 2), clBlack);
    EXPECT_EQ(larger.pixel(2, 19), clBlack);
}
