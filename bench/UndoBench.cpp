// PushImage and Undo on a 4096 x 4096 24-bit image, beside a plain copy of the same bytes (the floor).

#include "app/UndoRing.h"

#include "CopyFloor.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace daubix;

namespace {

constexpr int kSide = 4096;

void BM_MemcpyFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, gfx::Bitmap(kSide, kSide));
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

// Steady state: every slot already holds an image of this size, as after the first ten presses.
void BM_PushImage(benchmark::State& state)
{
    const gfx::Bitmap image(kSide, kSide);
    app::UndoRing ring;
    ring.resizeSlots(kSide, kSide);
    for (auto _ : state) {
        ring.push(image);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_PushImage)->Unit(benchmark::kMillisecond);

void BM_Undo(benchmark::State& state)
{
    gfx::Bitmap image(kSide, kSide);
    app::UndoRing ring;
    ring.resizeSlots(kSide, kSide);
    for (auto _ : state) {
        ring.undo(image);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
