// The geometric transforms at the sizes they are compared at: the whirl, the globe and the flip on a
// 2000 x 1500 image, the others on 4096 x 4096, beside a plain copy of the large image (the floor).
// Functions that return a new bitmap pay for making it, as the commands do.

#include "app/Tables.h"
#include "effects/Geometry.h"

#include "CopyFloor.h"
#include "Pictures.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace daubix;

namespace {

gfx::Bitmap picture(int width, int height)
{
    return bench::noisePicture(width, height);
}

const gfx::Bitmap& large()
{
    static const gfx::Bitmap b = picture(4096, 4096);
    return b;
}

const gfx::Bitmap& medium()
{
    static const gfx::Bitmap b = picture(2000, 1500);
    return b;
}

void BM_MemcpyFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, large());
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

void BM_Whirl(benchmark::State& state)
{
    const app::Tables tables;
    const gfx::Bitmap& src = medium();
    const auto kind = static_cast<effects::WhirlKind>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(effects::whirl(src, {src.width() / 2, src.height() / 2}, kind, tables));
}
BENCHMARK(BM_Whirl)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);

using ProjectionFn = gfx::Bitmap (*)(const gfx::Bitmap&, const effects::Projection&);

void BM_Project(benchmark::State& state, ProjectionFn project, const gfx::Bitmap& (*source)())
{
    const effects::Projection p{0.75, state.range(0) != 0, state.range(1) != 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(project(source(), p));
}
BENCHMARK_CAPTURE(BM_Project, Globe, effects::globe, medium)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->ArgNames({"retain", "sinus"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Project, CylinderHorizontal, effects::cylinderHorizontal, large)
    ->ArgsProduct({{0, 1}, {1}})
    ->ArgNames({"retain", "sinus"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Project, CylinderVertical, effects::cylinderVertical, large)
    ->ArgsProduct({{0, 1}, {1}})
    ->ArgNames({"retain", "sinus"})
    ->Unit(benchmark::kMillisecond);

// The in-place transforms work on one copy over and over: each leaves it as valid an input as the first.
gfx::Bitmap& work()
{
    static gfx::Bitmap b = large();
    return b;
}

void BM_MirrorHalf(benchmark::State& state)
{
    const auto half = static_cast<effects::MirrorHalf>(state.range(0));
    for (auto _ : state)
        effects::mirrorHalf(work(), half);
}
BENCHMARK(BM_MirrorHalf)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_MirrorQuadTopLeft(benchmark::State& state)
{
    for (auto _ : state)
        effects::mirrorQuadTopLeft(work());
}
BENCHMARK(BM_MirrorQuadTopLeft)->Unit(benchmark::kMillisecond);

void BM_MirrorWedge(benchmark::State& state)
{
    for (auto _ : state)
        effects::mirrorWedge(work());
}
BENCHMARK(BM_MirrorWedge)->Unit(benchmark::kMillisecond);

void BM_ShiftColumns(benchmark::State& state)
{
    for (auto _ : state)
        effects::shiftColumns(work(), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ShiftColumns)->Arg(-1)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ShiftRows(benchmark::State& state)
{
    for (auto _ : state)
        effects::shiftRows(work(), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ShiftRows)->Arg(-1)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ClipToEllipse(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(effects::clippedToEllipse(large()));
}
BENCHMARK(BM_ClipToEllipse)->Unit(benchmark::kMillisecond);

void BM_ClipToDiamond(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(effects::clippedToDiamond(large()));
}
BENCHMARK(BM_ClipToDiamond)->Unit(benchmark::kMillisecond);

void BM_FlipToHalftone(benchmark::State& state)
{
    const bool horizontal = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(effects::flipToHalftone(medium(), horizontal));
}
BENCHMARK(BM_FlipToHalftone)->Arg(1)->Arg(0)->ArgName("horizontal")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
