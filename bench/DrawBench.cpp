// Drawing on a 4096 x 4096 24-bit image: flood fill beside a plain loop filling the same bytes, a filled
// ellipse over the whole image, and random one-pixel lines.

#include "gfx/Canvas.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace daubix;

namespace {

constexpr int kSide = 4096;

void BM_PlainFillLoop(benchmark::State& state)
{
    gfx::Bitmap image(kSide, kSide);
    std::uint8_t value = 0;
    for (auto _ : state) {
        ++value;
        for (int y = 0; y < kSide; ++y) {
            std::uint8_t* row = image.scanLine(y);
            for (int i = 0; i < kSide * 3; i += 3)
                row[i] = value, row[i + 1] = 0x20, row[i + 2] = 0x40;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainFillLoop)->Unit(benchmark::kMillisecond);

void BM_FloodFillUniform(benchmark::State& state)
{
    gfx::Bitmap image(kSide, kSide);
    gfx::Canvas canvas(image);
    gfx::Color current = gfx::clWhite;
    for (auto _ : state) {
        const gfx::Color next = current == gfx::clWhite ? gfx::clBlue : gfx::clWhite;
        canvas.brush.setColor(next);
        canvas.floodFill(kSide / 2, kSide / 2, current, gfx::Canvas::FillStyle::Surface);
        current = next;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FloodFillUniform)->Unit(benchmark::kMillisecond);

void BM_FilledEllipse(benchmark::State& state)
{
    gfx::Bitmap image(kSide, kSide);
    gfx::Canvas canvas(image);
    canvas.brush.setColor(gfx::clRed);
    for (auto _ : state) {
        canvas.ellipse(0, 0, kSide, kSide);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FilledEllipse)->Unit(benchmark::kMillisecond);

// 10,000 lines with random ends on the image per iteration.
void BM_RandomLines(benchmark::State& state)
{
    gfx::Bitmap image(kSide, kSide);
    gfx::Canvas canvas(image);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, kSide - 1);
    std::vector<gfx::Point> ends(20000);
    for (gfx::Point& p : ends)
        p = {coordinate(random), coordinate(random)};
    for (auto _ : state) {
        for (std::size_t i = 0; i < ends.size(); i += 2) {
            canvas.moveTo(ends[i].x, ends[i].y);
            canvas.lineTo(ends[i + 1].x, ends[i + 1].y);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_RandomLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
