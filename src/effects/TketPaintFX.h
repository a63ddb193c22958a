#pragma once

#include "gfx/Bitmap.h"
#include "gfx/Result.h"

#include <array>
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

private:
    app::Random& m_random;
};

} // namespace daubix::effects
