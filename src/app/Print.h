#pragma once

#include "gfx/Bitmap.h"

#include <cstdint>

namespace daubix::app {

// Printing places the image at a fixed margin from the printable area's top-left, enlarged by a whole
// scale; the preview shows the printable area at a fifth of its size. Sizes in printer pixels can pass
// the int range, so they are computed in 64 bits.
constexpr int kPrintMargin = 10; // printer pixels, and preview pixels in the preview
constexpr int kPreviewDivisor = 5;
// "+" stops doubling before the printed image would pass this many printer pixels a side.
constexpr std::int64_t kMaxPrintExtent = std::int64_t{1} << 24;

// A box with right and bottom exclusive.
struct PrintBox {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const PrintBox&, const PrintBox&) = default;
};

// Where the printed image goes on the printable area: (10, 10)-(10 + W*s, 10 + H*s).
PrintBox printRect(std::int64_t width, std::int64_t height, std::int64_t scale);
// Where the preview shows it: (10, 10)-(10 + W*s div 5, 10 + H*s div 5).
PrintBox printPreviewRect(std::int64_t width, std::int64_t height, std::int64_t scale);

// "+": the scale doubled, or kept when the image would then pass kMaxPrintExtent on either side.
int enlargedPrintScale(int scale, int width, int height);
// "-": the scale halved, never below 1.
int reducedPrintScale(int scale);

// The preview of a printable area of pageWidth x pageHeight printer pixels: a white 24-bit bitmap of
// (pageWidth div 5) x (pageHeight div 5) with the image stretched into printPreviewRect, source pixels
// picked exactly as gfx::Canvas::stretchDraw picks them. Only the visible part is computed, so the cost
// follows the preview's size whatever the image's size or the scale. A page under 5 pixels a side, or a
// preview larger than a bitmap may be, gives an empty bitmap.
gfx::Bitmap printPreview(const gfx::Bitmap& image, int pageWidth, int pageHeight, int scale);

} // namespace daubix::app
