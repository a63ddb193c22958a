#include "io/GifPalette.h"

#include <array>
#include <string>

namespace daubix::io {

using gfx::Bitmap;
using gfx::PixelFormat;

namespace {

constexpr int kCubeMethod = 6;
constexpr int kNearestColour = 0;

// The cube is a grid, so the nearest level of each channel on its own gives the nearest colour of the
// cube. The tables hold that level's share of the entry number, for blue, green and red.
struct CubeTables {
    std::array<std::uint8_t, 256> blue{}, green{}, red{};
};

constexpr CubeTables makeCubeTables()
{
    CubeTables t;
    for (int v = 0; v < 256; ++v) {
        const int level = (v + 25) / 51; // 25 is nearer 0, 26 nearer 51: never a tie
        t.blue[v] = static_cast<std::uint8_t>(level);
        t.green[v] = static_cast<std::uint8_t>(level * 6);
        t.red[v] = static_cast<std::uint8_t>(level * 36);
    }
    return t;
}

constexpr CubeTables kCube = makeCubeTables();

IndexedPicture reduceToCube(const Bitmap& image)
{
    IndexedPicture picture{image.width(), image.height(), {}, {}};
    picture.indices.resize(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
    const int step = image.format() == PixelFormat::Bits32 ? 4 : 3;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.scanLine(y);
        std::uint8_t* out = picture.indices.data() + static_cast<std::size_t>(y) * image.width();
        for (int x = 0; x < image.width(); ++x, in += step)
            out[x] = static_cast<std::uint8_t>(kCube.blue[in[0]] + kCube.green[in[1]] + kCube.red[in[2]]);
    }
    for (int i = 0; i < 216; ++i)
        picture.palette.push_back(gfx::rgb(i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51));
    return picture;
}

} // namespace

gfx::Result<IndexedPicture> reduceForGif(const Bitmap& image, const app::GifSettings& settings)
{
    if (settings.method != kCubeMethod || settings.dither != kNearestColour)
        return gfx::Error{"The GIF colour reduction " + std::to_string(settings.method) + " with dithering "
            + std::to_string(settings.dither)
            + " is not available yet; only the 216-colour cube (6) with nearest colour (0) is."};
    if (image.format() == PixelFormat::Bits24 || image.format() == PixelFormat::Bits32)
        return reduceToCube(image);
    return reduceToCube(image.converted(PixelFormat::Bits24));
}

void dropUnusedColours(IndexedPicture& picture)
{
    std::array<bool, 256> used{};
    for (const std::uint8_t index : picture.indices)
        used[index] = true;
    std::array<std::uint8_t, 256> renumber{};
    std::vector<gfx::Color> kept;
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        if (!used[i])
            continue;
        renumber[i] = static_cast<std::uint8_t>(kept.size());
        kept.push_back(picture.palette[i]);
    }
    if (kept.size() == picture.palette.size())
        return;
    for (std::uint8_t& index : picture.indices)
        index = renumber[index];
    picture.palette = std::move(kept);
}

} // namespace daubix::io
