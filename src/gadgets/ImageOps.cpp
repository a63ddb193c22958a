#include "gadgets/ImageOps.h"

#include "app/VectorClones.h"
#include "gfx/Palette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <tmmintrin.h>
#define DAUBIX_KEYED_SSSE3 1
#endif

namespace daubix::gadgets {

namespace {

using Byte = std::uint8_t;

// The picture as 24 bits without a copy when it already is.
const gfx::Bitmap& as24(const gfx::Bitmap& picture, gfx::Bitmap& scratch)
{
    if (picture.format() == gfx::PixelFormat::Bits24)
        return picture;
    scratch = picture.converted(gfx::PixelFormat::Bits24);
    return scratch;
}

// floor((a + b) / 2) without leaving eight bits, so the loops stay byte-wide for the vectoriser.
inline Byte halfSum(Byte a, Byte b)
{
    return static_cast<Byte>((a & b) + ((a ^ b) >> 1));
}

template <typename Op> DAUBIX_VECTOR_CLONES void combineRow(Byte* __restrict w, const Byte* __restrict g, int n, Op op)
{
    for (int i = 0; i < n; ++i)
        w[i] = op(w[i], g[i]);
}

template <typename Op> void combineRows(gfx::Bitmap& image, const gfx::Bitmap& gadget, Op op)
{
    const int n = image.width() * 3;
    for (int y = 0; y < image.height(); ++y)
        combineRow(image.scanLine(y), gadget.scanLine(y), n, op);
}

void combine24(gfx::Bitmap& image, const gfx::Bitmap& gadget, CombineOp op)
{
    switch (op) {
    case CombineOp::Average:
        return combineRows(image, gadget, [](Byte w, Byte g) { return halfSum(w, g); });
    case CombineOp::Exclude:
        return combineRows(image, gadget, [](Byte w, Byte g) { return w == g ? Byte{255} : halfSum(w, g); });
    case CombineOp::Intersect:
        return combineRows(image, gadget, [](Byte w, Byte g) { return w == g ? w : Byte{255}; });
    case CombineOp::Add:
        return combineRows(image, gadget, [](Byte w, Byte g) { return static_cast<Byte>(w + g); });
    case CombineOp::Sub:
        return combineRows(image, gadget, [](Byte w, Byte g) { return static_cast<Byte>(w - g); });
    case CombineOp::And:
        return combineRows(image, gadget, [](Byte w, Byte g) { return static_cast<Byte>(w & g); });
    case CombineOp::Or:
        return combineRows(image, gadget, [](Byte w, Byte g) { return static_cast<Byte>(w | g); });
    case CombineOp::Xor:
        return combineRows(image, gadget, [](Byte w, Byte g) { return static_cast<Byte>(w ^ g); });
    case CombineOp::NotXor:
        return combineRows(image, gadget, [](Byte w, Byte g) { return static_cast<Byte>(w ^ ~g); });
    }
}

DAUBIX_VECTOR_CLONES void orRow(Byte* __restrict p, const Byte* __restrict mask, int n)
{
    for (int i = 0; i < n; ++i)
        p[i] |= mask[i];
}

DAUBIX_VECTOR_CLONES void invertRow(Byte* p, int n)
{
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<Byte>(~p[i]);
}

// A copy into a fresh image that nothing reads soon: streaming stores skip reading each destination line
// before writing it, which rows of a few kilobytes otherwise pay for and one block copy does not.
void streamCopy(Byte* d, const Byte* s, std::size_t n)
{
    if (n == 0)
        return; // a picture 0 wide has no pixel memory to point into
#if defined(__SSE2__)
    const std::size_t head = std::min(n, (16 - reinterpret_cast<std::uintptr_t>(d) % 16) % 16);
    std::memcpy(d, s, head);
    std::size_t i = head;
    for (; i + 16 <= n; i += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    std::memcpy(d + i, s + i, n - i);
#else
    std::memcpy(d, s, n);
#endif
}

void endStreaming()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// Branch-free, so a key that comes and goes from pixel to pixel (a dithered picture) costs nothing extra.
DAUBIX_VECTOR_CLONES void keyedRow(Byte* __restrict d, const Byte* __restrict s, int n, Byte kb, Byte kg, Byte kr)
{
    for (int i = 0; i < n; ++i) {
        const Byte* p = s + i * 3;
        Byte* q = d + i * 3;
        const bool skip = (p[0] == kb) & (p[1] == kg) & (p[2] == kr);
        q[0] = skip ? q[0] : p[0];
        q[1] = skip ? q[1] : p[1];
        q[2] = skip ? q[2] : p[2];
    }
}

#ifdef DAUBIX_KEYED_SSSE3
// Five pixels a step: the three bytes of each compared with the key at once, the verdict of each pixel
// spread back over its bytes by a shuffle. The loop above spends most of its time pulling the three
// channels apart and back together.
__attribute__((target("ssse3"))) void keyedRowSsse3(Byte* d, const Byte* s, int n, Byte kb, Byte kg, Byte kr)
{
    const auto b = static_cast<char>(kb), g = static_cast<char>(kg), r = static_cast<char>(kr);
    const __m128i key = _mm_setr_epi8(b, g, r, b, g, r, b, g, r, b, g, r, b, g, r, 0);
    const __m128i spread = _mm_setr_epi8(0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, -128);
    // The sixteenth byte belongs to the next pixel: it is written back as it was.
    const __m128i keepLast = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1);
    // Each step reads one byte past its five pixels, so the last few go by the loop above.
    const int steps = n >= 6 ? (n - 6) / 5 + 1 : 0;
    // The next step's destination is read before this step's store: read after it, the load would
    // overlap the store's last byte and stall waiting for it.
    __m128i dv = steps > 0 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(d)) : _mm_setzero_si128();
    for (int k = 0; k < steps; ++k) {
        Byte* q = d + 15 * k;
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 15 * k));
        const __m128i eq = _mm_cmpeq_epi8(sv, key);
        const __m128i all = _mm_and_si128(eq, _mm_and_si128(_mm_srli_si128(eq, 1), _mm_srli_si128(eq, 2)));
        const __m128i skip = _mm_or_si128(_mm_shuffle_epi8(all, spread), keepLast);
        const __m128i out = _mm_or_si128(_mm_and_si128(skip, dv), _mm_andnot_si128(skip, sv));
        if (k + 1 < steps)
            dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 15));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), out);
    }
    const int i = steps * 5;
    keyedRow(d + 3 * i, s + 3 * i, n - i, kb, kg, kr);
}
#endif

// The canvas's transparent draw for the common case of two 24-bit pictures and no clip region, which
// "Paint" meets on every image-sized gadget: the canvas gathers and masks each row pixel by pixel.
bool drawKeyed24(gfx::Canvas& canvas, const gfx::Bitmap& gadget, std::int64_t x, std::int64_t y, gfx::Color key)
{
    gfx::Bitmap& image = canvas.bitmap();
    if (canvas.clip() || image.format() != gfx::PixelFormat::Bits24 || gadget.format() != gfx::PixelFormat::Bits24
        || key > 0xFFFFFF)
        return false;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0),
                       x1 = std::min<std::int64_t>(x + gadget.width(), image.width());
    const std::int64_t y0 = std::max<std::int64_t>(y, 0),
                       y1 = std::min<std::int64_t>(y + gadget.height(), image.height());
    if (x0 >= x1 || y0 >= y1)
        return true;
    const auto kb = static_cast<Byte>(gfx::blue(key)), kg = static_cast<Byte>(gfx::green(key));
    const auto kr = static_cast<Byte>(gfx::red(key));
    auto copyRow = keyedRow;
#ifdef DAUBIX_KEYED_SSSE3
    static const bool hasSsse3 = __builtin_cpu_supports("ssse3");
    if (hasSsse3)
        copyRow = keyedRowSsse3;
#endif
    for (std::int64_t row = y0; row < y1; ++row)
        copyRow(image.scanLine(static_cast<int>(row)) + x0 * 3,
            gadget.scanLine(static_cast<int>(row - y)) + (x0 - x) * 3, static_cast<int>(x1 - x0), kb, kg, kr);
    return true;
}

// Draws the picture with its current transparency: the key set first, so the canvas skips it.
void drawPicture(gfx::Canvas& canvas, gfx::Bitmap& gadget, std::int64_t x, std::int64_t y, gfx::Color key)
{
    if (gadget.transparent) {
        gadget.transparentColor = key;
        if (drawKeyed24(canvas, gadget, x, y, key))
            return;
    }
    canvas.draw(static_cast<int>(x), static_cast<int>(y), gadget);
}

constexpr std::array kCombineItems = {
    CombineItem{"&Average", CombineOp::Average},
    CombineItem{"&Exclude", CombineOp::Exclude},
    CombineItem{"&Intersect", CombineOp::Intersect},
    CombineItem{"Add", CombineOp::Add},
    CombineItem{"&And", CombineOp::And},
    CombineItem{"&Not Xor", CombineOp::NotXor},
    CombineItem{"&Or", CombineOp::Or},
    CombineItem{"&Sub", CombineOp::Sub},
    CombineItem{"&Xor", CombineOp::Xor},
};

constexpr std::array kSpecialItems = {
    SpecialItem{"MergeCopy", gfx::kMergeCopy},
    SpecialItem{"MergePaint", gfx::kMergePaint},
    SpecialItem{"NotSrcCopy", gfx::kNotSrcCopy},
    SpecialItem{"NotSrcErase", gfx::kNotSrcErase},
    SpecialItem{"SrcAnd", gfx::kSrcAnd},
    SpecialItem{"SrcErase", gfx::kSrcErase},
    SpecialItem{"SrcInvert", gfx::kSrcInvert},
    SpecialItem{"SrcPaint", gfx::kSrcPaint},
};

} // namespace

gfx::Color transparentKey(const gfx::Bitmap& picture, std::optional<gfx::Color> fixedKey)
{
    return fixedKey ? *fixedKey : picture.pixel(0, picture.height() - 1);
}

gfx::Bitmap loadDrawing(const gfx::Bitmap& image)
{
    gfx::Bitmap copy = image.converted(gfx::PixelFormat::Bits24);
    copy.transparent = false;
    copy.transparentColor = gfx::clWhite;
    return copy;
}

gfx::Result<gfx::Bitmap> loadRange(const gfx::Bitmap& image, gfx::Rect range)
{
    const gfx::Rect r = range.normalized();
    if (r.isEmpty())
        return gfx::Error{"no selection"};
    if (!gfx::Bitmap::isSaneSize(r.width(), r.height()))
        return gfx::Error{"Image too large"};
    const int w = static_cast<int>(r.width()), h = static_cast<int>(r.height());
    gfx::Bitmap picture(w, h);
    gfx::Canvas canvas(picture);
    canvas.stretchBlt(0, 0, w, h, &image, r.left, r.top, w, h, gfx::kSrcCopy);
    return picture;
}

gfx::Bitmap loadBlocks(const gfx::Bitmap& image, int blocks)
{
    blocks = std::max(blocks, 0);
    gfx::Bitmap picture(blocks, blocks);
    gfx::Canvas canvas(picture);
    // A block transfer, not a draw: the image's own transparency must not leave holes.
    canvas.stretchBlt(0, 0, blocks, blocks, &image, 0, 0, image.width(), image.height(), gfx::kSrcCopy);
    picture.convertTo(gfx::PixelFormat::Bits4);
    return picture;
}

std::span<const CombineItem> combineItems()
{
    return kCombineItems;
}

bool combine(gfx::Bitmap& image, const gfx::Bitmap& gadget, CombineOp op)
{
    if (image.width() != gadget.width() || image.height() != gadget.height())
        return false;
    image.convertTo(gfx::PixelFormat::Bits24);
    gfx::Bitmap scratch;
    combine24(image, as24(gadget, scratch), op);
    return true;
}

gfx::Result<bool> glue(gfx::Bitmap& image, const gfx::Bitmap& gadget, GlueSide side)
{
    const bool right = side == GlueSide::Right;
    if (right ? image.height() != gadget.height() : image.width() != gadget.width())
        return false;
    const std::int64_t width = right ? std::int64_t{image.width()} + gadget.width() : image.width();
    const std::int64_t height = right ? image.height() : std::int64_t{image.height()} + gadget.height();
    if (!gfx::Bitmap::isSaneSize(width, height))
        return gfx::Error{"Image too large"};
    const int stripX = right ? image.width() : 0, stripY = right ? 0 : image.height();
    // Every pixel is copied below, so the grown image needs no white first.
    gfx::Bitmap grown = gfx::Bitmap::zeroed(static_cast<int>(width), static_cast<int>(height), image.format());
    grown.setPalette(image.palette());
    grown.transparent = image.transparent;
    grown.transparentColor = image.transparentColor;
    if (image.format() == gfx::PixelFormat::Bits24 && gadget.format() == gfx::PixelFormat::Bits24) {
        const std::size_t imageBytes = static_cast<std::size_t>(image.width()) * 3;
        const std::size_t gadgetBytes = static_cast<std::size_t>(gadget.width()) * 3;
        if (right) {
            for (int y = 0; y < image.height(); ++y) {
                streamCopy(grown.scanLine(y), image.scanLine(y), imageBytes);
                streamCopy(grown.scanLine(y) + imageBytes, gadget.scanLine(y), gadgetBytes);
            }
            endStreaming();
        } else if (!grown.isEmpty()) {
            // Equal widths give equal strides: each picture is one block of rows.
            if (image.byteSize() > 0)
                std::memcpy(grown.scanLine(0), image.bits(), image.byteSize());
            if (gadget.byteSize() > 0)
                std::memcpy(grown.scanLine(stripY), gadget.bits(), gadget.byteSize());
        }
    } else {
        gfx::Canvas canvas(grown);
        canvas.stretchBlt(
            0, 0, image.width(), image.height(), &image, 0, 0, image.width(), image.height(), gfx::kSrcCopy);
        canvas.stretchBlt(stripX, stripY, gadget.width(), gadget.height(), &gadget, 0, 0, gadget.width(),
            gadget.height(), gfx::kSrcCopy);
    }
    image = std::move(grown);
    return true;
}

bool exchange(gfx::Bitmap& image, gfx::Bitmap& gadget)
{
    if (image.width() != gadget.width() || image.height() != gadget.height())
        return false;
    std::swap(image, gadget);
    std::swap(image.transparent, gadget.transparent);
    std::swap(image.transparentColor, gadget.transparentColor);
    return true;
}

void paintBorder(gfx::Canvas& canvas, gfx::Bitmap& gadget, BorderKind kind, std::optional<gfx::Color> fixedKey)
{
    const std::int64_t w = gadget.width(), h = gadget.height();
    if (w == 0 || h == 0)
        return;
    const std::int64_t imageW = canvas.bitmap().width(), imageH = canvas.bitmap().height();
    const gfx::Color key = transparentKey(gadget, fixedKey);
    if (kind != BorderKind::Vertical) {
        for (std::int64_t x = 0; x < imageW; x += w) {
            drawPicture(canvas, gadget, x, 0, key);
            drawPicture(canvas, gadget, x, imageH - h, key);
        }
    }
    if (kind != BorderKind::Horizontal) {
        for (std::int64_t y = 0; y < imageH; y += h) {
            drawPicture(canvas, gadget, 0, y, key);
            drawPicture(canvas, gadget, imageW - w, y, key);
        }
    }
}

void paintTransparent(gfx::Canvas& canvas, gfx::Bitmap& gadget, gfx::Point at, std::optional<gfx::Color> fixedKey)
{
    gadget.transparent = true;
    drawPicture(canvas, gadget, at.x, at.y, transparentKey(gadget, fixedKey));
}

std::span<const SpecialItem> specialItems()
{
    return kSpecialItems;
}

std::optional<gfx::Rop3> specialRop(std::string_view caption)
{
    for (const SpecialItem& item : kSpecialItems)
        if (item.caption == caption)
            return item.rop;
    return std::nullopt;
}

void paintSpecial(gfx::Canvas& canvas, const gfx::Bitmap& gadget, gfx::Point at, gfx::Rop3 rop)
{
    canvas.stretchBlt(at.x, at.y, gadget.width(), gadget.height(), &gadget, 0, 0, gadget.width(), gadget.height(), rop);
}

void invertBits(gfx::Bitmap& picture)
{
    if (picture.format() == gfx::PixelFormat::Bits32) {
        for (int y = 0; y < picture.height(); ++y) {
            Byte* p = picture.scanLine(y);
            for (int x = 0; x < picture.width(); ++x, p += 4) {
                p[0] = static_cast<Byte>(~p[0]);
                p[1] = static_cast<Byte>(~p[1]);
                p[2] = static_cast<Byte>(~p[2]);
            }
        }
        return;
    }
    const std::size_t bitsPerRow = static_cast<std::size_t>(picture.width()) * picture.bitsPerPixel();
    const int fullBytes = static_cast<int>(bitsPerRow / 8);
    const int restBits = static_cast<int>(bitsPerRow % 8);
    // The last byte of a 1- or 4-bit row may hold padding bits after its pixels.
    const auto restMask = static_cast<Byte>(0xFF << (8 - restBits));
    for (int y = 0; y < picture.height(); ++y) {
        Byte* p = picture.scanLine(y);
        invertRow(p, fullBytes);
        if (restBits)
            p[fullBytes] ^= restMask;
    }
}

void opaqueDither(gfx::Bitmap& picture, int percent)
{
    picture.transparent = false;
    // Converting keeps the colours; a palette dropped in place would leave every index black.
    picture.convertTo(gfx::PixelFormat::Bits24);
    const int n = picture.width() * 3;
    // Whitening is OR with all ones, so each row is one pass with the mask of its parity.
    std::array<std::vector<Byte>, 2> masks{
        std::vector<Byte>(static_cast<std::size_t>(n)), std::vector<Byte>(static_cast<std::size_t>(n))};
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool white = percent == 25 ? (row == 1 || x % 2 == 0) : (x + row) % 2 == 0;
            std::fill_n(masks[static_cast<std::size_t>(row)].begin() + x * 3, 3, white ? Byte{0xFF} : Byte{0});
        }
    }
    for (int y = 0; y < picture.height(); ++y)
        orRow(picture.scanLine(y), masks[static_cast<std::size_t>(y & 1)].data(), n);
    picture.transparentColor = gfx::clWhite;
    picture.transparent = true;
}

std::optional<gfx::Color> captureTransparentColor(gfx::Bitmap& gadget, const gfx::Bitmap& image, gfx::Point grab)
{
    if (!gfx::isIndexed(image.format())) {
        gadget.convertTo(image.format());
    } else if (gadget.format() != image.format() || gadget.palette() != image.palette()) {
        gfx::Bitmap mapped = gfx::Bitmap::zeroed(gadget.width(), gadget.height(), image.format());
        mapped.setPalette(image.palette());
        gfx::NearestColorMap nearest(mapped.palette());
        for (int y = 0; y < gadget.height(); ++y)
            for (int x = 0; x < gadget.width(); ++x)
                mapped.setRawPixel(x, y, static_cast<std::uint32_t>(nearest(gadget.pixel(x, y))));
        mapped.transparentColor = gadget.transparentColor;
        gadget = std::move(mapped);
    }
    gadget.transparent = true;
    const gfx::Color key = gadget.pixel(grab.x, grab.y);
    if (key == gfx::clNone)
        return std::nullopt;
    gadget.transparentColor = key;
    return key;
}

} // namespace daubix::gadgets
