#include "generators/Texture.h"

#include "app/Command.h"
#include "app/Document.h"
#include "app/Host.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace daubix::generators {

namespace {

constexpr const char* kMinSizeMessage = "Minimum Texture Size of\r  4 has been substituted";
constexpr const char* kMaxSizeMessage = "Maximum Texture Size of\r  240 has been substituted";
constexpr const char* kMaxNoiseMessage = "Maximum Noise Amount of\r  100 has been substituted";

// In 64 bits, so that the most negative int has a size too.
std::int64_t magnitude(int v)
{
    const std::int64_t wide = v;
    return wide < 0 ? -wide : wide;
}

// The tile's pixels by their place. Bumps at the edge and the grain's last column and row reach one
// pixel beyond the tile; those writes are skipped, but their random draws were made all the same.
class TileWriter {
public:
    explicit TileWriter(gfx::Bitmap& tile)
        : m_tile(tile)
        , m_size(static_cast<unsigned>(tile.width()))
    {
    }
    void put(int x, int y, gfx::Color c)
    {
        if (static_cast<unsigned>(x) >= m_size || static_cast<unsigned>(y) >= m_size)
            return;
        std::uint8_t* p = m_tile.scanLine(y) + 3 * static_cast<std::size_t>(x);
        p[0] = static_cast<std::uint8_t>(gfx::blue(c));
        p[1] = static_cast<std::uint8_t>(gfx::green(c));
        p[2] = static_cast<std::uint8_t>(gfx::red(c));
    }

private:
    gfx::Bitmap& m_tile;
    unsigned m_size;
};

// The tile from the panel's settings; a new tile gets a new revision, for the views that show it.
void remakeTile(app::Document& doc)
{
    app::TextureState& t = doc.texture;
    t.tile = makeTexture(t.color, t.textureSize, t.noiseAmount, t.noiseMonoChrome, doc.random);
    ++t.revision;
}

// The panel as the 24-bit image's rows: the first tile-height rows are built from the tile's rows, each
// doubled along itself, and every later row is a copy of the row one tile higher.
void tileRows24(gfx::Bitmap& target, const gfx::Rect& clip, int phaseX, int phaseY, const gfx::Bitmap& tile)
{
    const int tileW = tile.width(), tileH = tile.height();
    const auto rowBytes = static_cast<std::size_t>(clip.width()) * 3;
    const auto tileBytes = static_cast<std::size_t>(tileW) * 3;
    const auto left = static_cast<std::size_t>(clip.left) * 3;
    const int rows = static_cast<int>(clip.height());
    for (int j = 0; j < rows; ++j) {
        std::uint8_t* out = target.scanLine(clip.top + j) + left;
        if (j >= tileH) {
            std::memcpy(out, target.scanLine(clip.top + j - tileH) + left, rowBytes);
            continue;
        }
        const std::uint8_t* in = tile.scanLine((phaseY + j) % tileH);
        // The rest of the tile's row from the phase, then whole rows of the tile.
        const std::size_t head = std::min(rowBytes, tileBytes - static_cast<std::size_t>(phaseX) * 3);
        std::memcpy(out, in + static_cast<std::size_t>(phaseX) * 3, head);
        if (head == rowBytes)
            continue;
        std::size_t done = head + std::min(tileBytes, rowBytes - head);
        std::memcpy(out + head, in, done - head);
        while (done < rowBytes) {
            // What lies from head on repeats with the tile's width, so it can be copied onto its own end.
            const std::size_t chunk = std::min(done - head, rowBytes - done);
            std::memcpy(out + done, out + head, chunk);
            done += chunk;
        }
    }
}

// Other pixel formats take each tile colour as the format stores it (the nearest palette entry).
void tilePixels(gfx::Bitmap& target, const gfx::Rect& clip, int phaseX, int phaseY, const gfx::Bitmap& tile)
{
    const int tileW = tile.width(), tileH = tile.height();
    std::vector<std::uint32_t> raw(static_cast<std::size_t>(tileW) * static_cast<std::size_t>(tileH));
    for (int y = 0; y < tileH; ++y)
        for (int x = 0; x < tileW; ++x)
            raw[static_cast<std::size_t>(y * tileW + x)] = target.rawFromColor(tile.pixel(x, y));
    for (int y = clip.top; y < clip.bottom; ++y) {
        const std::uint32_t* row = raw.data() + static_cast<std::size_t>((phaseY + y - clip.top) % tileH) * tileW;
        int tx = phaseX;
        for (int x = clip.left; x < clip.right; ++x) {
            target.setRawPixel(x, y, row[tx]);
            if (++tx == tileW)
                tx = 0;
        }
    }
}

void chooseColorRow(app::CommandContext& c, const app::CommandRow&)
{
    if (const std::optional<gfx::Color> chosen = c.host.chooseColor(c.doc.texture.color))
        setTextureColor(c.doc, *chosen);
}

void useRow(app::CommandContext& c, const app::CommandRow&)
{
    useTexture(c.doc, c.host);
}

constexpr app::CommandRow kRows[] = {
    {.path = "TTextureF > gocolor", .run = chooseColorRow},
    {.path = "TTextureF > goUse", .run = useRow, .changesImage = true},
};

} // namespace

gfx::Color blend(gfx::Color a, gfx::Color b, int p)
{
    p = std::clamp(p, 0, 100);
    const auto mix = [p](int x, int y) { return p * x / 100 + (100 - p) * y / 100; };
    return gfx::rgb(mix(gfx::red(a), gfx::red(b)), mix(gfx::green(a), gfx::green(b)), mix(gfx::blue(a), gfx::blue(b)));
}

gfx::Color light(gfx::Color c)
{
    const int r = gfx::red(c), g = gfx::green(c), b = gfx::blue(c);
    const int s = (r + g + b) / 3 + 510;
    return blend(c, gfx::rgb((r + s) >> 2, (g + s) >> 2, (b + s) >> 2), 36);
}

gfx::Color dark(gfx::Color c)
{
    // Trunc(0.82 v) in whole numbers: a floating 0.82 lies a little below the true value, and in doubles
    // 0.82 * 150 truncates to 122.
    const auto scaled = [](int v) { return 82 * v / 100; };
    return blend(c, gfx::rgb(scaled(gfx::red(c)), scaled(gfx::green(c)), scaled(gfx::blue(c))), 52);
}

gfx::Color noisy(gfx::Color c, int amount, bool mono, app::Random& random)
{
    const int a = static_cast<int>(std::min<std::int64_t>(magnitude(amount), kMaxNoiseAmount)), half = a / 2;
    const auto channel = [&](int v) {
        // With k = v / 256, Trunc(a k) and Trunc(half k) are whole-number quotients.
        const int moved = mono ? v + random(a * v / 256 - half * v / 256) : std::abs(v + random(a) - half);
        return std::min(moved, 255);
    };
    const int r = channel(gfx::red(c));
    const int g = channel(gfx::green(c));
    const int b = channel(gfx::blue(c));
    return gfx::rgb(r, g, b);
}

int randpos(int n, app::Random& random)
{
    const int r = random(n);
    return random(2) > 0 ? r : std::abs(n - r);
}

gfx::Bitmap makeTexture(gfx::Color colour, int size, int noise, bool mono, app::Random& random)
{
    const std::int64_t count = (std::int64_t{noise} + size / 4) * size;
    const gfx::Color base = gfx::resolveColor(colour);
    const gfx::Color lit = light(base), shaded = dark(base);
    random.seedFromClock();
    gfx::Bitmap tile = gfx::Bitmap::zeroed(size, size);
    tile.fill(base);
    TileWriter w(tile);

    // Grain: every other column up to and including size, with rows 2 or 3 apart.
    for (int x = 0; x <= size; x += 2)
        for (int y = 0; y <= size; y += random(2) + 2)
            w.put(x, y, noisy(base, noise, mono, random));

    const int bumpNoise = noise / 4;
    const auto bump = [&](int x, int y) {
        const gfx::Color v = noisy(base, bumpNoise, mono, random);
        w.put(x, y, v);
        w.put(x + 1, y, blend(v, shaded, 36));
        w.put(x - 1, y, blend(v, lit, 36));
        w.put(x, y + 1, blend(v, shaded, 36));
        w.put(x, y - 1, blend(v, lit, 36));
        return v;
    };
    const auto corners = [&](int x, int y, gfx::Color v) {
        w.put(x - 1, y - 1, blend(v, lit, 52));
        w.put(x - 1, y + 1, blend(v, base, 36));
        w.put(x + 1, y + 1, blend(v, shaded, 52));
        w.put(x + 1, y - 1, blend(v, base, 36));
    };
    const std::int64_t repetitions = std::max<std::int64_t>(1, count / 80);
    for (std::int64_t i = 0; i < repetitions; ++i) {
        // Declarations run in order: the coordinates are drawn exactly where they stand.
        const int c = randpos(size, random), d = randpos(size, random);
        const int m = randpos(size, random), o = randpos(size, random);
        bump(c, d);
        corners(m, o, bump(m, o));
        const int e = randpos(size, random), f = randpos(size, random);
        corners(e, f, bump(e, f));
        const int p = randpos(size, random), q = randpos(size, random);
        const int y = randpos(size, random), z = randpos(size, random);
        bump(p, q);
        w.put(y, z, noisy(base, bumpNoise, mono, random));
    }
    return tile;
}

void paintTexture(gfx::Bitmap& target, const gfx::Rect& area, const gfx::Bitmap& tile)
{
    const gfx::Rect clip = area.intersected({0, 0, target.width(), target.height()});
    if (clip.isEmpty() || tile.isEmpty())
        return;
    // Where the clipped area starts within the pattern, which starts at the area's corner.
    const auto phase = [](std::int64_t offset, int period) { return static_cast<int>(offset % period); };
    const int phaseX = phase(std::int64_t{clip.left} - area.left, tile.width());
    const int phaseY = phase(std::int64_t{clip.top} - area.top, tile.height());
    if (target.format() == gfx::PixelFormat::Bits24 && tile.format() == gfx::PixelFormat::Bits24)
        tileRows24(target, clip, phaseX, phaseY, tile);
    else
        tilePixels(target, clip, phaseX, phaseY, tile);
}

void createTexturePanel(app::Document& doc)
{
    if (doc.texture.tile.isEmpty())
        remakeTile(doc);
}

void setTextureColor(app::Document& doc, gfx::Color color)
{
    if (color == doc.texture.color)
        return;
    doc.texture.color = color;
    remakeTile(doc);
}

void setTextureSize(app::Document& doc, app::Host& host, int size)
{
    app::TextureState& t = doc.texture;
    if (size == t.textureSize)
        return;
    if (size < kMinTextureSize) {
        host.showMessage(kMinSizeMessage);
        size = kMinTextureSize;
    } else if (size > kMaxTextureSize) {
        host.showMessage(kMaxSizeMessage);
        size = kMaxTextureSize;
    }
    if (size == t.textureSize)
        return;
    t.textureSize = size;
    remakeTile(doc);
}

void setNoiseAmount(app::Document& doc, app::Host& host, int amount)
{
    app::TextureState& t = doc.texture;
    if (amount == t.noiseAmount)
        return;
    std::int64_t level = magnitude(amount);
    if (level > kMaxNoiseAmount) {
        host.showMessage(kMaxNoiseMessage);
        level = kMaxNoiseAmount;
    }
    if (level == t.noiseAmount)
        return;
    t.noiseAmount = static_cast<int>(level);
    remakeTile(doc);
}

void setNoiseMonoChrome(app::Document& doc, bool mono)
{
    if (mono == doc.texture.noiseMonoChrome)
        return;
    doc.texture.noiseMonoChrome = mono;
    remakeTile(doc);
}

void useTexture(app::Document& doc, app::Host& host)
{
    createTexturePanel(doc);
    const gfx::Rect whole{0, 0, doc.image.width(), doc.image.height()};
    paintTexture(doc.image, whole, doc.texture.tile);
    host.repaint(whole);
}

std::span<const app::CommandRow> textureWindowRows()
{
    return kRows;
}

} // namespace daubix::generators
