#include "support/TestImages.h"

#include "io/BmpCodec.h"

#include <gtest/gtest.h>
#include <iostream>

namespace daubix::test {

gfx::Bitmap noise(int width, int height, unsigned seed)
{
    gfx::Bitmap b(width, height);
    std::uint32_t s = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int i = 0; i < width * 3; ++i) {
            s = s * 1664525u + 1013904223u;
            row[i] = static_cast<std::uint8_t>(s >> 24);
        }
    }
    return b;
}

std::string fixturePath(const std::string& relativePath)
{
    return std::string(DAUBIX_TEST_DATA) + "/" + relativePath;
}

gfx::Bitmap loadFixture(const std::string& relativePath)
{
    auto image = io::readBmpFile(fixturePath(relativePath));
    if (!image) {
        ADD_FAILURE() << relativePath << ": " << image.error();
        return {};
    }
    return image.value();
}

int differingPixels(const gfx::Bitmap& a, const gfx::Bitmap& b, int left, int top, int right, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (a.pixel(x, y) == b.pixel(x, y))
                continue;
            // The first few differences, to see at once what went wrong.
            if (++count <= 6)
                std::cerr << "  (" << x << ", " << y << "): " << std::hex << a.pixel(x, y) << " vs " << b.pixel(x, y)
                          << std::dec << "\n";
        }
    return count;
}

} // namespace daubix::test

namespace daubix::gfx {

void PrintTo(const Bitmap& bitmap, std::ostream* os)
{
    *os << bitmap.width() << "x" << bitmap.height() << " " << bitmap.bitsPerPixel() << "-bit bitmap";
}

} // namespace daubix::gfx
