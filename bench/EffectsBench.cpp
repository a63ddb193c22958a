// Effects on a 4096 x 4096 24-bit image, beside a plain copy of the same bytes (the floor).

#include "app/Arithmetic.h"
#include "app/Document.h"
#include "app/Preview.h"
#include "effects/QuickEffects.h"
#include "effects/TketPaintFX.h"

#include "CopyFloor.h"
#include "QuietHost.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace daubix;

namespace {

constexpr int kSide = 4096;

gfx::Bitmap picture()
{
    gfx::Bitmap b(kSide, kSide);
    std::uint32_t s = 1;
    for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int i = 0; i < kSide * 3; ++i) {
            s = s * 1664525u + 1013904223u;
            row[i] = static_cast<std::uint8_t>(s >> 24);
        }
    }
    return b;
}

const gfx::Bitmap& source()
{
    static const gfx::Bitmap b = picture();
    return b;
}

void BM_MemcpyFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, source());
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

// Each iteration works on a fresh copy, as the commands do; the copy is timed apart and not counted.
template <typename Op> void runOnCopy(benchmark::State& state, Op op)
{
    app::Random random(1);
    effects::TketPaintFX fx(random);
    gfx::Bitmap image = source();
    for (auto _ : state) {
        state.PauseTiming();
        image = source();
        state.ResumeTiming();
        op(fx, image);
        benchmark::ClobberMemory();
    }
}

void BM_Convolve5x5(benchmark::State& state)
{
    const std::array<int, 25> k{1, 2, 3, 2, 1, 2, 4, 6, 4, 2, 3, 6, 9, 6, 3, 2, 4, 6, 4, 2, 1, 2, 3, 2, 1};
    runOnCopy(state, [&](effects::TketPaintFX& fx, gfx::Bitmap& b) { fx.Convolve5x5(b, k); });
}
BENCHMARK(BM_Convolve5x5)->Unit(benchmark::kMillisecond);

void BM_GaussianBlurOnePass(benchmark::State& state)
{
    runOnCopy(state, [](effects::TketPaintFX& fx, gfx::Bitmap& b) { fx.GaussianBlur(b, 0); });
}
BENCHMARK(BM_GaussianBlurOnePass)->Unit(benchmark::kMillisecond);

// Every kernel at the two scales the command line is timed with; the sizes are those the Resample command
// gives a 4096-pixel side.
const bool kResampleRegistered = [] {
    for (const effects::ResampleFilter& f : effects::resampleFilters())
        for (const double scale : {0.7, 1.25}) {
            const std::string name = "BM_Resample/" + std::string(f.name) + (scale < 1 ? "/0.7" : "/1.25");
            benchmark::RegisterBenchmark(name.c_str(), [&f, scale](benchmark::State& state) {
                const int side = static_cast<int>(std::round(kSide * scale));
                gfx::Bitmap dst(side, side);
                runOnCopy(
                    state, [&](effects::TketPaintFX& fx, gfx::Bitmap& b) { (void)fx.Resample(b, dst, f, f.support); });
            })->Unit(benchmark::kMillisecond);
        }
    return true;
}();

void BM_RotateQuarter(benchmark::State& state)
{
    gfx::Bitmap dst(kSide, kSide);
    runOnCopy(state, [&](effects::TketPaintFX& fx, gfx::Bitmap& b) { fx.RotateQuarter(b, dst); });
}
BENCHMARK(BM_RotateQuarter)->Unit(benchmark::kMillisecond);

void BM_Mosaic8(benchmark::State& state)
{
    runOnCopy(state, [](effects::TketPaintFX& fx, gfx::Bitmap& b) { fx.Mosaic(b, 8); });
}
BENCHMARK(BM_Mosaic8)->Unit(benchmark::kMillisecond);

void BM_Emboss(benchmark::State& state)
{
    runOnCopy(state, [](effects::TketPaintFX& fx, gfx::Bitmap& b) { fx.Emboss(b); });
}
BENCHMARK(BM_Emboss)->Unit(benchmark::kMillisecond);

// The Quick Effects panel's preview of effect n, from the exact copy of the image to the picture moved
// into the preview window: what one move of a bar costs.
void BM_QuickEffectPreview(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    app::Document doc;
    doc.image = source();
    doc.random.seed(1);
    bench::QuietHost host;
    const effects::QuickEffectRow& row = effects::quickEffectRows()[static_cast<std::size_t>(n)];
    const effects::QuickEffectBars bars{(row.barMin + row.barMax) / 2, 40, kSide / 2, kSide / 2};
    for (auto _ : state) {
        std::optional<gfx::Bitmap> picture = effects::quickEffectPreview(doc, host, n, bars);
        app::showPicture(doc, std::move(*picture));
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(row.path));
}
BENCHMARK(BM_QuickEffectPreview)
    ->Unit(benchmark::kMillisecond)
    ->DenseRange(0, 2)
    ->DenseRange(5, 6)
    ->DenseRange(25, 31)
    ->DenseRange(53, 54);

} // namespace

BENCHMARK_MAIN();
