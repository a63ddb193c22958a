#include "effects/Geometry.h"
#include "gfx/Canvas.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>
#include <string>

using namespace daubix;
using gfx::Bitmap;
using gfx::PixelFormat;

namespace {

// The command's steps on the canvas: the shape filled on a white bitmap marks what the region keeps.
Bitmap plainClip(const Bitmap& image, bool ellipse)
{
    const int w = image.width(), h = image.height();
    Bitmap mask(w, h);
    gfx::Canvas canvas(mask);
    canvas.pen.style = gfx::PenStyle::Clear;
    canvas.brush.setColor(gfx::clBlack);
    if (ellipse) {
        canvas.ellipse(0, 0, w, h);
    } else {
        const gfx::Point diamond[] = {{w / 2, 0}, {w - 1, h / 2}, {w / 2, h - 1}, {0, h / 2}};
        canvas.polygon(diamond);
    }
    Bitmap out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (mask.pixel(x, y) == gfx::clBlack)
                out.setPixel(x, y, image.pixel(x, y));
    return out;
}

} // namespace

TEST(Clip, EllipseAndDiamondKeepTheImageWhereTheCanvasFillsTheShape)
{
    struct Size {
        int width;
        int height;
    };
    const Size sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 3}, {7, 5}, {11, 13}, {64, 48}, {301, 260}};
    for (const PixelFormat format :
        {PixelFormat::Bits24, PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits32})
        for (const Size size : sizes) {
            if (format != PixelFormat::Bits24 && size.width > 100)
                continue;
            const Bitmap image = test::noise(size.width, size.height, 41).converted(format);
            for (const bool ellipse : {true, false}) {
                SCOPED_TRACE(std::to_string(static_cast<int>(format)) + " bits " + std::to_string(size.width) + "x"
                    + std::to_string(size.height) + (ellipse ? " ellipse" : " diamond"));
                const Bitmap got = ellipse ? effects::clippedToEllipse(image) : effects::clippedToDiamond(image);
                EXPECT_EQ(got.format(), PixelFormat::Bits24);
                EXPECT_EQ(got, plainClip(image, ellipse));
            }
        }
}

TEST(Clip, CornersTurnWhiteAndTheMiddleStays)
{
    const Bitmap image = test::noise(20, 14, 42);
    for (const Bitmap& got : {effects::clippedToEllipse(image), effects::clippedToDiamond(image)}) {
        EXPECT_EQ(got.pixel(0, 0), gfx::clWhite);
        EXPECT_EQ(got.pixel(19, 13), gfx::clWhite);
        EXPECT_EQ(got.pixel(10, 7), image.pixel(10, 7));
    }
}
