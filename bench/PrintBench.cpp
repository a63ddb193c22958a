// The print preview of a 4096 x 4096 image on a 4960 x 7016 printable area (A4 at 600 dots per inch),
// beside a plain copy of the image's bytes (the floor the preview must stay well under: it shows only
// a fifth of the page and never copies the image).

#include "app/Print.h"
#include "gfx/Canvas.h"

#include "CopyFloor.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace daubix;

namespace {

constexpr int kSide = 4096;
constexpr int kPageWidth = 4960;
constexpr int kPageHeight = 7016;

gfx::Bitmap striped(gfx::PixelFormat format)
{
    gfx::Bitmap image(kSide, kSide);
    for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = image.scanLine(y);
        for (int i = 0; i < kSide * 3; ++i)
            row[i] = static_cast<std::uint8_t>(i * 7 + y);
    }
    return image.converted(format);
}

void BM_MemcpyFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, gfx::Bitmap(kSide, kSide));
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

// Argument: the scale (2 is where Print starts).
void BM_PrintPreview(benchmark::State& state)
{
    const gfx::Bitmap image = striped(gfx::PixelFormat::Bits24);
    const int scale = static_cast<int>(state.range(0));
    for (auto _ : state) {
        gfx::Bitmap preview = app::printPreview(image, kPageWidth, kPageHeight, scale);
        benchmark::DoNotOptimize(preview.bits());
    }
}
BENCHMARK(BM_PrintPreview)->Arg(1)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

// A palette image, as GIF and BMP files often open.
void BM_PrintPreview8Bit(benchmark::State& state)
{
    const gfx::Bitmap image = striped(gfx::PixelFormat::Bits8);
    for (auto _ : state) {
        gfx::Bitmap preview = app::printPreview(image, kPageWidth, kPageHeight, 2);
        benchmark::DoNotOptimize(preview.bits());
    }
}
BENCHMARK(BM_PrintPreview8Bit)->Unit(benchmark::kMillisecond);

// The canvas's general stretch doing the same, for comparison.
void BM_CanvasStretch(benchmark::State& state)
{
    const gfx::Bitmap image = striped(gfx::PixelFormat::Bits24);
    const app::PrintBox box = app::printPreviewRect(kSide, kSide, 2);
    for (auto _ : state) {
        gfx::Bitmap preview(kPageWidth / app::kPreviewDivisor, kPageHeight / app::kPreviewDivisor);
        gfx::Canvas canvas(preview);
        canvas.stretchDraw({static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                               static_cast<int>(box.bottom)},
            image);
        benchmark::DoNotOptimize(preview.bits());
    }
}
BENCHMARK(BM_CanvasStretch)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
