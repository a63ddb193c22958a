#include "CopyFloor.h"

#include "app/Document.h"
#include "generators/Backdrop.h"
#include "generators/Texture.h"

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

// The largest, noisiest tile: 240 x 240 at noise 100, with plain and mono noise. Every setting change in
// the window makes one.
void BM_MakeTexture240(benchmark::State& state)
{
    app::Random random;
    random.seedFixed(7);
    const bool mono = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(generators::makeTexture(gfx::clOlive, 240, 100, mono, random));
}
BENCHMARK(BM_MakeTexture240)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "Use" on a 4096 x 4096 image: the 240 x 240 tile repeated over all of it, measured against the floor.
void BM_UseTexture4096(benchmark::State& state)
{
    app::Random random;
    random.seedFixed(7);
    const gfx::Bitmap tile = generators::makeTexture(gfx::clOlive, 240, 100, false, random);
    gfx::Bitmap image(4096, 4096); // white: its pages are touched before the clock starts, as the floor's are
    for (auto _ : state) {
        generators::paintTexture(image, {0, 0, 4096, 4096}, tile);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_UseTexture4096)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
