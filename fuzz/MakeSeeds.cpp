// Writes a small starting corpus for every reader's fuzz target, made by our own writers and, for the
// metafiles, record by record: make_fuzz_seeds FOLDER creates FOLDER/png, FOLDER/jpeg, ... .

#include "../tests/io/MetafileBuilder.h"
#include "gfx/Canvas.h"
#include "io/BmpCodec.h"
#include "io/FileWriter.h"
#include "io/GifCodec.h"
#include "io/IconCodec.h"
#include "io/JpegCodec.h"
#include "io/PngCodec.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using daubix::gfx::Bitmap;
using daubix::test::Bytes;

std::filesystem::path g_root;

void save(const std::string& kind, const std::string& name, const Bytes& bytes)
{
    std::filesystem::create_directories(g_root / kind);
    if (!daubix::io::writeFileAtomically((g_root / kind / name).string(), bytes))
        std::fprintf(stderr, "cannot write %s/%s\n", kind.c_str(), name.c_str());
}

template <class R>
void save(const std::string& kind, const std::string& name, const R& result)
{
    if (result.ok())
        save(kind, name, result.value());
}

Bitmap picture(int width, int height)
{
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, daubix::gfx::rgb(x * 255 / width, y * 255 / height, (x * y) & 255));
    daubix::gfx::Canvas(b).fillRect({width / 4, height / 4, width / 2, height / 2});
    return b;
}

// An icon file holding one PNG image, as newer icons do.
Bytes pngIcon(const Bytes& png)
{
    Bytes out;
    for (const int v : {0, 1, 1})
        daubix::test::put16(out, v);
    out.insert(out.end(), {0, 0, 0, 0});
    daubix::test::put16(out, 1);
    daubix::test::put16(out, 32);
    daubix::test::put32(out, static_cast<std::int64_t>(png.size()));
    daubix::test::put32(out, 22);
    out.insert(out.end(), png.begin(), png.end());
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
        return 2;
    }
    g_root = argv[1];
    using namespace daubix::io;
    const Bitmap small = picture(7, 5), square = picture(32, 32), one = picture(1, 1);

    save("bmp", "small.bmp", encodeBmp(small));
    save("bmp", "small8.bmp", encodeBmp(small.converted(daubix::gfx::PixelFormat::Bits8)));
    save("png", "small.png", encodePng(small, std::nullopt));
    save("png", "key.png", encodePng(square, square.pixel(0, 31)));
    save("png", "one.png", encodePng(one, std::nullopt));
    save("jpeg", "colour.jpg", encodeJpeg(square, 25, false));
    save("jpeg", "grey.jpg", encodeJpeg(small, 90, true));
    save("gif", "small.gif", encodeGif(small, {}, {}));
    save("gif", "transparent.gif", encodeGif(square, {}, {.control = GifControl::BottomLeftTransparent}));
    save("ico", "16.ico", encodeIcon(makeIcon(square), 4));
    save("ico", "256.ico", encodeIcon(makeIcon(square), 8));
    if (const auto png = encodePng(square, square.pixel(0, 31)); png.ok())
        save("ico", "png.ico", pngIcon(png.value()));

    using daubix::test::Emf;
    using daubix::test::Wmf;
    save("wmf", "shapes.wmf",
        Wmf().pen(0, 3, 0x0000FF).select(0).brush(2, 0x00FF00, 3).select(1).rectangle(2, 2, 30, 20).ellipse(
                 5, 5, 40, 30).moveTo(0, 0).lineTo(60, 40).remove(0).bytes());
    save("wmf", "mapped.wmf",
        Wmf().mapMode(8).windowOrg(0, 0).windowExt(1000, 500).viewportExt(100, 50).rectangle(100, 100, 900, 400)
            .placeable(0, 0, 1000, 500, 1440));
    save("wmf", "poly.wmf",
        Wmf().record(0x0324, {4, 0, 0, 50, 0, 50, 30, 0, 30}).record(0x001E, {}).record(0x0416, {20, 40, 5, 5})
            .record(0x0538, {2, 3, 3, 0, 0, 10, 0, 0, 10, 20, 20, 30, 20, 20, 30}).record(0x0127, {0xFFFF})
            .windowExt(64, 48).bytes());
    save("emf", "shapes.emf",
        Emf().record(38, {1, 0, 2, 0, 0x0000FF}).record(37, {1}).record(43, {2, 2, 40, 30})
            .record(42, {10, 10, 60, 40}).record(27, {0, 0}).record(54, {63, 47}).pixels(64, 48));
    save("emf", "paths.emf",
        Emf().record(33, {}).record(30, {5, 5, 50, 40}).record(35, {0x3F800000, 0, 0, 0x3F800000, 0x41200000, 0})
            .record(59, {}).record(27, {0, 0}).record(54, {40, 0}).record(54, {20, 30}).record(60, {})
            .record(62, {0, 0, 64, 48}).record(34, {-1}).pixels(64, 48));
    return 0;
}
