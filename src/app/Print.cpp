#include "app/Print.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace daubix::app {

PrintBox printRect(std::int64_t width, std::int64_t height, std::int64_t scale)
{
    return {kPrintMargin, kPrintMargin, kPrintMargin + width * scale, kPrintMargin + height * scale};
}

PrintBox printPreviewRect(std::int64_t width, std::int64_t height, std::int64_t scale)
{
    return {kPrintMargin, kPrintMargin, kPrintMargin + width * scale / kPreviewDivisor,
        kPrintMargin + height * scale / kPreviewDivisor};
}

int enlargedPrintScale(int scale, int width, int height)
{
    const std::int64_t doubled = std::int64_t{scale} * 2;
    const std::int64_t side = std::max({width, height, 1});
    return side * doubled > kMaxPrintExtent ? scale : static_cast<int>(doubled);
}

int reducedPrintScale(int scale)
{
    return std::max(scale / 2, 1);
}

namespace {

// The source index picked for each visible destination index lo .. hi-1 of an axis that starts at the
// margin and stretches srcExtent pixels over dstExtent: the rule of the canvas's stretch (an enlargement
// starts half a source pixel minus one unit in; a reduction keeps the last column and the first row).
// With lo, hi within the int range and extents below 2^62, no product passes 2^63.
std::vector<int> pickedIndices(std::int64_t dstExtent, std::int64_t srcExtent, int lo, int hi, bool columns)
{
    const std::int64_t s = srcExtent, d = dstExtent;
    std::int64_t offset = 0;
    if (s > d)
        offset = columns ? s - 1 - d / 2 : d / 2;
    else if (s < d)
        offset = s / 2 - 1;
    std::vector<int> picked(static_cast<std::size_t>(hi - lo));
    for (int i = lo; i < hi; ++i) {
        const std::int64_t m = i - kPrintMargin;
        const std::int64_t k = s == d ? m : (m * s + offset) / d;
        picked[static_cast<std::size_t>(i - lo)] = static_cast<int>(std::clamp<std::int64_t>(k, 0, s - 1));
    }
    return picked;
}

template <int Bits> std::uint32_t indexAt(const std::uint8_t* row, int x)
{
    if constexpr (Bits == 8)
        return row[x];
    else if constexpr (Bits == 4)
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    else
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
}

// Blue, green, red of each palette index; indices past the palette read as black.
std::array<std::array<std::uint8_t, 3>, 256> paletteBytes(const gfx::Bitmap& image)
{
    std::array<std::array<std::uint8_t, 3>, 256> bytes{};
    const std::vector<gfx::Color>& palette = image.palette();
    for (std::size_t i = 0; i < palette.size() && i < bytes.size(); ++i)
        bytes[i] = {static_cast<std::uint8_t>(gfx::blue(palette[i])), static_cast<std::uint8_t>(gfx::green(palette[i])),
            static_cast<std::uint8_t>(gfx::red(palette[i]))};
    return bytes;
}

// Writes one preview row segment from the picked columns of one source row.
template <int Bits>
void pickRow(const std::uint8_t* src, const std::vector<int>& cols, std::uint8_t* out,
    const std::array<std::array<std::uint8_t, 3>, 256>& palette)
{
    for (const int x : cols) {
        if constexpr (Bits == 24 || Bits == 32) {
            const std::uint8_t* p = src + static_cast<std::size_t>(x) * (Bits / 8);
            out[0] = p[0], out[1] = p[1], out[2] = p[2];
        } else {
            std::memcpy(out, palette[indexAt<Bits>(src, x)].data(), 3);
        }
        out += 3;
    }
}

template <int Bits>
void pickRows(const gfx::Bitmap& image, gfx::Bitmap& preview, const std::vector<int>& cols,
    const std::vector<int>& rows, int x0, int y0)
{
    const auto palette = Bits <= 8 ? paletteBytes(image) : std::array<std::array<std::uint8_t, 3>, 256>{};
    const std::size_t offset = static_cast<std::size_t>(x0) * 3, bytes = cols.size() * 3;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::uint8_t* out = preview.scanLine(y0 + static_cast<int>(i)) + offset;
        // An enlargement repeats source rows: the row above already holds the picked pixels.
        if (i > 0 && rows[i] == rows[i - 1])
            std::memcpy(out, out - preview.stride(), bytes);
        else
            pickRow<Bits>(image.scanLine(rows[i]), cols, out, palette);
    }
}

} // namespace

gfx::Bitmap printPreview(const gfx::Bitmap& image, int pageWidth, int pageHeight, int scale)
{
    gfx::Bitmap preview(pageWidth / kPreviewDivisor, pageHeight / kPreviewDivisor);
    if (preview.isEmpty() || image.isEmpty() || scale < 1)
        return preview;
    const PrintBox box = printPreviewRect(image.width(), image.height(), scale);
    const auto visible = [](std::int64_t from, std::int64_t to, int side) {
        return std::pair{static_cast<int>(std::clamp<std::int64_t>(from, 0, side)),
            static_cast<int>(std::clamp<std::int64_t>(to, 0, side))};
    };
    const auto [x0, x1] = visible(box.left, box.right, preview.width());
    const auto [y0, y1] = visible(box.top, box.bottom, preview.height());
    if (x0 >= x1 || y0 >= y1)
        return preview;
    const std::vector<int> cols = pickedIndices(box.right - box.left, image.width(), x0, x1, true);
    const std::vector<int> rows = pickedIndices(box.bottom - box.top, image.height(), y0, y1, false);
    switch (image.format()) {
    case gfx::PixelFormat::Bits1:
        pickRows<1>(image, preview, cols, rows, x0, y0);
        break;
    case gfx::PixelFormat::Bits4:
        pickRows<4>(image, preview, cols, rows, x0, y0);
        break;
    case gfx::PixelFormat::Bits8:
        pickRows<8>(image, preview, cols, rows, x0, y0);
        break;
    case gfx::PixelFormat::Bits24:
        pickRows<24>(image, preview, cols, rows, x0, y0);
        break;
    case gfx::PixelFormat::Bits32:
        pickRows<32>(image, preview, cols, rows, x0, y0);
        break;
    }
    return preview;
}

} // namespace daubix::app
