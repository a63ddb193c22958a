#include "CopyFloor.h"

#include "app/Document.h"
#include "generators/Backdrop.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

// The floor the whole-image generators are measured against.
void BM_MemcpyFloor(benchmark::State& state)
{
    const gfx::Bitmap image = gfx::Bitmap::zeroed(4096, 4096);
    bench::timeCopyFloor(state, image);
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

// A 4096 x 4096 backdrop: the start settings, then ProdProdSum on every channel.
void BM_Backdrop4096(benchmark::State& state)
{
    const int f = static_cast<int>(state.range(0));
    const app::BackdropSettings settings{{f, f, f}, {0, 0, 0}, 255};
    gfx::Bitmap picture = gfx::Bitmap::zeroed(4096, 4096);
    for (auto _ : state) {
        generators::drawBackdrop(settings, picture);
        benchmark::DoNotOptimize(picture.bits());
    }
}
BENCHMARK(BM_Backdrop4096)->Arg(0)->Arg(39)->Unit(benchmark::kMillisecond);

// One step of a bar in the window on a 1024 x 768 image: a new picture with the offset changed.
void BM_BackdropBarStep(benchmark::State& state)
{
    app::BackdropSettings settings{{3, 27, 39}, {0, 0, 0}, 97};
    for (auto _ : state) {
        settings.offsets[0] = (settings.offsets[0] + 1) & 255;
        benchmark::DoNotOptimize(generators::generateBackdrop(settings, 1024, 768));
    }
}
BENCHMARK(BM_BackdropBarStep)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
