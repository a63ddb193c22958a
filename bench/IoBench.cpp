// The codecs on a 4096 x 4096 photo-like picture: each in process, then whole processes side by side,
// ours (daubix-cli convert) against the program the format is usually measured by. The files go to
// $DAUBIX_BENCH_DIR (a memory-backed folder gives steadier figures), else the temporary folder.
// Peers that are not installed are reported as skipped.

#include "Processes.h"

#include "effects/Resize.h"
#include "io/BmpCodec.h"
#include "io/FileWriter.h"
#include "io/GifCodec.h"
#include "io/IconCodec.h"
#include "io/JpegCodec.h"
#include "io/Picture.h"
#include "io/PngCodec.h"
#include "io/TiffWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using daubix::gfx::Bitmap;
namespace io = daubix::io;

constexpr int kSide = 4096;

std::string folder()
{
    static const std::string dir = daubix::bench::benchFolder("daubix-io-bench");
    return dir;
}

std::string file(const std::string& name)
{
    return folder() + "/" + name;
}

// Smooth shading, some edges and a little grain: compresses like a photograph rather than like noise
// or flat colour.
Bitmap photoLike(int width, int height)
{
    Bitmap b = Bitmap::zeroed(width, height);
    std::uint32_t grain = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int g = static_cast<int>(grain >> 29) - 4;
            const double u = x / 300.0, v = y / 300.0;
            const int r = static_cast<int>(128 + 90 * std::sin(u) * std::cos(v * 0.7)) + g;
            const int gr = static_cast<int>(128 + 80 * std::sin(u * 0.5 + v)) + g;
            const int bl = ((x / 512 + y / 512) % 2 ? 200 : 60) + g;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(bl, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(gr, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
        }
    }
    return b;
}

const Bitmap& picture()
{
    static const Bitmap p = photoLike(kSide, kSide);
    return p;
}

// The JPEG preview window's picture size.
const Bitmap& fullHd()
{
    static const Bitmap p = photoLike(1920, 1080);
    return p;
}

// The inputs every benchmark reads, written once per run by our own writers.
void makeInputs()
{
    static bool made = false;
    if (made)
        return;
    made = true;
    const Bitmap& p = picture();
    (void)io::writeBmpFile(file("p.bmp"), p);
    for (const char* name : {"p.png", "p.jpg", "p.gif"})
        (void)io::writePicture(file(name), p, {}, {}, 25);
    std::string ppm = "P6\n" + std::to_string(kSide) + " " + std::to_string(kSide) + "\n255\n";
    std::vector<std::uint8_t> bytes(ppm.begin(), ppm.end());
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::uint8_t* px = p.scanLine(y) + 3 * x;
            bytes.insert(bytes.end(), {px[2], px[1], px[0]});
        }
    (void)io::writeFileAtomically(file("p.ppm"), bytes);
    (void)io::writeBmpFile(file("hd.bmp"), fullHd());
}

std::vector<std::uint8_t> bytesOf(const std::string& name)
{
    auto r = io::readFile(file(name), std::uint64_t{1} << 30);
    return r.ok() ? std::move(r.value()) : std::vector<std::uint8_t>{};
}

// ---- in process ------------------------------------------------------------------------------------

void BM_BmpRoundTrip(benchmark::State& state)
{
    makeInputs();
    for (auto _ : state) {
        auto image = io::readBmpFile(file("p.bmp"));
        benchmark::DoNotOptimize(io::writeBmpFile(file("o.bmp"), image.value()));
    }
}
BENCHMARK(BM_BmpRoundTrip)->Unit(benchmark::kMillisecond);

template <class Decode>
void decode(benchmark::State& state, const char* name, Decode decoder)
{
    makeInputs();
    const auto bytes = bytesOf(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(decoder(bytes));
}
BENCHMARK_CAPTURE(decode, jpeg, "p.jpg", io::decodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, png, "p.png", io::decodePng)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, gif, "p.gif", io::decodeGif)->Unit(benchmark::kMillisecond);

template <class Encode>
void encode(benchmark::State& state, Encode encoder)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(encoder(picture()));
}
BENCHMARK_CAPTURE(encode, jpeg_q25, [](const Bitmap& b) { return io::encodeJpeg(b, 25, false); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, png, [](const Bitmap& b) { return io::encodePng(b, std::nullopt); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, gif, [](const Bitmap& b) { return io::encodeGif(b, {}, {}); })->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(encode, tiff, io::encodeTiff)->Unit(benchmark::kMillisecond);

// Saving a 4000 x 3000 image as an icon: the square fit to 32, the icon and its 256-colour file.
void BM_IconSave(benchmark::State& state)
{
    const Bitmap big = photoLike(4000, 3000);
    for (auto _ : state)
        benchmark::DoNotOptimize(io::writePicture(file("o.ico"), big, {}, {}, 25));
}
BENCHMARK(BM_IconSave)->Unit(benchmark::kMillisecond);

// The JPEG preview window's step: the full-HD picture compressed at quality 10 in memory, the bytes
// counted and decompressed again. Compared below with cjpeg and djpeg run on the same picture.
void BM_JpegPreviewStep(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(io::jpegPreview(fullHd(), 10, false));
}
BENCHMARK(BM_JpegPreviewStep)->Unit(benchmark::kMillisecond);

// ---- whole processes -------------------------------------------------------------------------------

// The whole process, timed from start to exit, with its peak memory as a counter (MiB).
void runProcess(benchmark::State& state, const std::string& program, const std::string& arguments)
{
    makeInputs();
    daubix::bench::timeProcess(state, folder(), program, arguments);
}

const std::string kOurs = DAUBIX_CLI;
const std::string kImageMagick = "/usr/bin/convert"; // ImageMagick's, not any other convert on the path

#define DAUBIX_PROCESS(name, program, arguments)                                                           \
    BENCHMARK_CAPTURE(runProcess, name, program, arguments)->Unit(benchmark::kMillisecond)->UseRealTime()

DAUBIX_PROCESS(bmp_ours, kOurs, "convert p.bmp o.bmp");
DAUBIX_PROCESS(bmp_cp, "cp", "p.bmp o.bmp");
DAUBIX_PROCESS(open_ours, kOurs, "do --file p.bmp --out o.bmp 'File > Open...'");
DAUBIX_PROCESS(jpeg_decode_ours, kOurs, "convert p.jpg r.bmp");
DAUBIX_PROCESS(jpeg_decode_djpeg, "djpeg", "-bmp -outfile r.bmp p.jpg");
DAUBIX_PROCESS(jpeg_encode_ours, kOurs, "convert p.bmp r.jpg --quality 25");
DAUBIX_PROCESS(jpeg_encode_cjpeg, "cjpeg", "-quality 25 -outfile r.jpg p.bmp");
// The peer of the preview step: the same picture through both programs, the decoder writing PPM, its
// cheapest output. cjpeg warns that quality 10 needs its tables clamped for baseline, as ours are too.
DAUBIX_PROCESS(jpeg_preview_cjpeg_djpeg, "cjpeg",
    "-quality 10 -outfile hd.jpg hd.bmp 2>/dev/null && djpeg -outfile hd.ppm hd.jpg");
DAUBIX_PROCESS(png_encode_ours, kOurs, "convert p.bmp r.png");
DAUBIX_PROCESS(png_encode_imagemagick, kImageMagick,
    "p.bmp -define png:compression-level=6 -define png:compression-filter=5 r.png");
DAUBIX_PROCESS(png_decode_ours, kOurs, "convert p.png r.bmp");
DAUBIX_PROCESS(png_decode_imagemagick, kImageMagick, "p.png r.bmp");
DAUBIX_PROCESS(gif_encode_ours, kOurs, "convert p.bmp r.gif");
DAUBIX_PROCESS(gif_encode_imagemagick, kImageMagick, "p.bmp +dither -remap netscape: r.gif");
DAUBIX_PROCESS(gif_decode_ours, kOurs, "convert p.gif r.bmp");
DAUBIX_PROCESS(gif_decode_giftopnm, "giftopnm", "p.gif > r.ppm");
DAUBIX_PROCESS(tiff_ours, kOurs, "convert p.bmp r.tif");
DAUBIX_PROCESS(tiff_pnmtotiff, "pnmtotiff", "p.ppm > r.tif");

} // namespace

BENCHMARK_MAIN();
