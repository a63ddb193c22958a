#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace daubix::app {
class Random;
}

namespace daubix::effects {

enum class Channel : std::uint8_t { Red, Green, Blue };
enum class WaveStyle : std::uint8_t { Normal, Extra, Inference };
enum class WingsVariant : std::uint8_t { Deep, Down, Up, Fold, Touche, Flyer, Flipover, Wavy };
enum class SqueezeShape : std::uint8_t { Horizontal, Top, Bottom, Diamond, Waste, Round, DoubleRound };

// A resampling kernel: its name, the function and how far from the centre it reaches.
struct ResampleFilter {
    std::string_view name;
    float (*kernel)(float x);
    float support;
};
// Box, Triangle, Hermite, Bell, B-Spline, Lanczos3, Mitchell, in that order.
const std::array<ResampleFilter, 7>& resampleFilters();
const ResampleFilter* findResampleFilter(std::string_view name);

// A picture read through a window onto a 24-bit bitmap: pixel (x, y) of the width x height picture is
// pixel (left + x, top + y) of the bitmap, and white where that lies off the bitmap. The effect brushes
// read the square about their centre from the stroke-start copy this way, however far it reaches.
struct SourceView {
    const gfx::Bitmap* bitmap = nullptr;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    static SourceView of(const gfx::Bitmap& bmp) { return {&bmp, 0, 0, bmp.width(), bmp.height()}; }
    // The three bytes of pixel (x, y), for any x and y.
    const std::uint8_t* pixel(std::int64_t x, std::int64_t y) const
    {
        static constexpr std::uint8_t kWhite[3] = {255, 255, 255};
        const std::int64_t bx = x + left, by = y + top;
        if (bx < 0 || by < 0 || bx >= bitmap->width() || by >= bitmap->height())
            return kWhite;
        return bitmap->scanLine(static_cast<int>(by)) + bx * 3;
    }
    bool liesOnBitmap() const
    {
        return left >= 0 && top >= 0 && std::int64_t{left} + width <= bitmap->width()
            && std::int64_t{top} + height <= bitmap->height();
    }
};

// Columns x0 .. x1 - 1 of one row.
struct ColumnSpan {
    int x0 = 0;
    int x1 = 0;
};

// The part of a result that an operation computes. The whole result is fullWidth x fullHeight; dst holds
// the part whose top-left pixel is (left, top) of it, and dst's size is the part's, which must lie
// within the whole. When rows is not empty it has one span per dst row (in dst's columns) and only those
// pixels are wanted: the others may keep what dst held or take the result. Every pixel computed is the
// byte the whole-result operation gives it, so a brush whose square reaches far beyond the image pays
// only for what lands on it.
struct ResultWindow {
    int fullWidth = 0;
    int fullHeight = 0;
    int left = 0;
    int top = 0;
    std::span<const ColumnSpan> rows;

    static ResultWindow of(const gfx::Bitmap& dst) { return {dst.width(), dst.height(), 0, 0, {}}; }
};

// The pixel effects. Stateless but for the program's one random generator, which the noise and ripple
// effects draw from. Every operation works on 24-bit rows; those documented as setting 24 bits convert
// their bitmaps first, the others expect the caller to have done so. Parameters are used as given
// except for the limits each operation states.
class TketPaintFX {
public:
    explicit TketPaintFX(app::Random& random)
        : m_random(random)
    {
    }

    // Tone, per channel.
    void Contrast(gfx::Bitmap& bmp, int amount);
    void Brightness(gfx::Bitmap& bmp, int amount);
    void Darken(gfx::Bitmap& bmp, int amount); // sets 24 bits
    void Saturation(gfx::Bitmap& bmp, int amount);
    void NoiseColor(gfx::Bitmap& bmp, int amount);
    void NoiseMono(gfx::Bitmap& bmp, int amount);
    // The tested channel becomes 255 inside lo < v < hi and 0 outside; the others become 0.
    void ChannelBand(gfx::Bitmap& bmp, Channel channel, int lo, int hi);
    // As ChannelBand, leaving the other two channels alone.
    void ChannelBandKeep(gfx::Bitmap& bmp, Channel channel, int lo, int hi);
    void Solarize(gfx::Bitmap& src, gfx::Bitmap& dst, int threshold); // sets 24 bits on both
    void Posterize(gfx::Bitmap& src, gfx::Bitmap& dst, int step); // sets 24 bits on both
    void Blend(gfx::Bitmap& srcA, gfx::Bitmap& srcB, double t, gfx::Bitmap& dst); // sets 24 bits on all

    // Neighbourhoods.
    void AntiAliasArea(gfx::Bitmap& bmp, int x1, int y1, int x2, int y2); // sets 24 bits
    void AntiAlias(gfx::Bitmap& bmp);
    void SplitBlur(gfx::Bitmap& bmp, int distance);
    void GaussianBlur(gfx::Bitmap& bmp, int passes);
    void Emboss(gfx::Bitmap& bmp);
    void Mosaic(gfx::Bitmap& bmp, int size);
    // k[a * 5 + b] weighs the pixel a - 2 columns and b - 2 rows away; edges repeat the border pixels.
    void Convolve5x5(gfx::Bitmap& bmp, const std::array<int, 25>& k);

    // Displacements.
    void Fisheye(const gfx::Bitmap& src, gfx::Bitmap& dst, double amount);
    void Twist(const gfx::Bitmap& src, gfx::Bitmap& dst, int amount);
    void RotateSmooth(const gfx::Bitmap& src, gfx::Bitmap& dst, int cx, int cy, double angle);
    void Wave(gfx::Bitmap& bmp, int amount, WaveStyle style, int inference);
    void Wings(const gfx::Bitmap& src, gfx::Bitmap& dst, double scale, int turbulence, WingsVariant variant);
    // Each row is stretched into a span of dst's row; a span given right to left (when the amount is
    // negative) is drawn mirrored, as a block transfer with a negative extent is.
    void Squeeze(const gfx::Bitmap& src, gfx::Bitmap& dst, SqueezeShape shape, int amount);
    void SplitSqueeze(const gfx::Bitmap& src, gfx::Bitmap& dst, SqueezeShape shape, int amount);
    void Plasma(const gfx::Bitmap& src1, const gfx::Bitmap& src2, double turbulence, double scale, gfx::Bitmap& dst);

    // Generated patterns, ripples and tiles.
    void Fractal(gfx::Bitmap& bmp, int maxIter, double left, double top, double right, double bottom,
        bool mandelbrot); // sets 24 bits
    void Triangles(gfx::Bitmap& bmp, int amount); // sets 24 bits
    void RippleTooth(gfx::Bitmap& bmp, int amount); // sets 24 bits
    void RippleRandom(gfx::Bitmap& bmp, int amount); // sets 24 bits; reseeds the generator
    void TextureTile(gfx::Bitmap& bmp, int size);
    void TextureOverlap(gfx::Bitmap& bmp, int size);
    void Map(gfx::Bitmap& bmp, int amount); // sets 24 bits
    void Seam(gfx::Bitmap& bmp, int size); // sets 24 bits
    void Buttonize(gfx::Bitmap& bmp, int size, int amount); // sets 24 bits

    // Masks, quarter turn and resampling.
    void MaskKeepColor(gfx::Bitmap& bmp, gfx::Color color); // sets 24 bits
    void MaskDropColor(gfx::Bitmap& bmp, gfx::Color color); // sets 24 bits
    // A quarter turn clockwise: src(x, y) goes to dst(H - 1 - y, x).
    void RotateQuarter(gfx::Bitmap& src, gfx::Bitmap& dst); // sets 24 bits on both
    // Scales src to dst's size with the kernel, in two separable passes.
    gfx::Status Resample(gfx::Bitmap& src, gfx::Bitmap& dst, const ResampleFilter& filter, float support);

    // The same displacements and resampling for a window of the result (dst 24 bits), reading a view.
    // Resample computes the window's whole rectangle whatever its rows say.
    void Fisheye(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, double amount);
    void Twist(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, int amount);
    void RotateSmooth(
        const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, int cx, int cy, double angle);
    void Squeeze(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, SqueezeShape shape, int amount);
    void SplitSqueeze(
        const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window, SqueezeShape shape, int amount);
    gfx::Status Resample(const SourceView& src, gfx::Bitmap& dst, const ResultWindow& window,
        const ResampleFilter& filter, float support);

private:
    app::Random& m_random;
};

} // namespace daubix::effects
