// The bilinear resampler of the size commands: a scroll-box move (1024 x 768 to 1280 x 960) and the size
// spin on a 4096 x 4096 image (up to 5120, down to 2867).

#include "effects/Resize.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

gfx::Bitmap noise(int w, int h)
{
    gfx::Bitmap b(w, h);
    std::uint32_t s = 7;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int i = 0; i < w * 3; ++i) {
            s = s * 1664525u + 1013904223u;
            row[i] = static_cast<std::uint8_t>(s >> 24);
        }
    }
    return b;
}

void BM_BilinearScrollBoxMove(benchmark::State& state)
{
    const gfx::Bitmap src = noise(1024, 768);
    gfx::Bitmap dst(1280, 960);
    for (auto _ : state) {
        effects::bilinear(src, dst);
        benchmark::DoNotOptimize(dst.bits());
    }
}
BENCHMARK(BM_BilinearScrollBoxMove)->Unit(benchmark::kMillisecond);

void BM_BilinearSizeSpin(benchmark::State& state)
{
    static const gfx::Bitmap src = noise(4096, 4096);
    const int side = static_cast<int>(state.range(0));
    gfx::Bitmap dst(side, side);
    for (auto _ : state) {
        effects::bilinear(src, dst);
        benchmark::DoNotOptimize(dst.bits());
    }
}
BENCHMARK(BM_BilinearSizeSpin)->Arg(5120)->Arg(2867)->Unit(benchmark::kMillisecond);

} // namespace
