#pragma once

#include "gfx/Bitmap.h"

#include <ostream>
#include <string>

namespace daubix::test {

// A 24-bit image whose every pixel differs from its neighbours, seeded so that runs repeat.
gfx::Bitmap noise(int width, int height, unsigned seed);
// Fixture files under tests/; a missing or unreadable fixture fails the calling test.
gfx::Bitmap loadFixture(const std::string& relativePath);
std::string fixturePath(const std::string& relativePath);
// Counts the pixels (as colours) that differ inside the box.
int differingPixels(const gfx::Bitmap& a, const gfx::Bitmap& b, int left, int top, int right, int bottom);

} // namespace daubix::test

namespace daubix::gfx {
// How test failures show a bitmap: its size and format, not its bytes.
void PrintTo(const Bitmap& bitmap, std::ostream* os);
} // namespace daubix::gfx
