// Effects on a 4096 x 4096 24-bit image, beside a plain copy of the same bytes (the floor).

#include "app/Arithmetic.h"
#include "app/Command.h"
#include "app/Document.h"
#include "app/Preview.h"
#include "effects/EffectMenu.h"
#include "effects/QuickEffects.h"
#include "effects/TketPaintFX.h"

#include "CopyFloor.h"
#include "QuietHost.h"

#include <algorithm>
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

// The Image menu's effect commands and the toolbar's effects, each on a fresh copy of a picture like a
// photograph (smooth gradients under fine noise): colour reduction and Trace cost what they cost on such
// pictures, not on random bytes. Only the command is timed, without its undo step.
gfx::Bitmap photo()
{
    gfx::Bitmap b(kSide, kSide);
    std::uint32_t s = 7;
    for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int x = 0; x < kSide; ++x) {
            const double u = x / 700.0, v = y / 500.0;
            const double waves[3] = {std::sin(u + 2 * v), std::sin(3 * u - v + 1), std::cos(u * v + 2)};
            for (int c = 0; c < 3; ++c) {
                s = s * 1664525u + 1013904223u;
                const int noise = static_cast<int>(s >> 28) - 8;
                row[x * 3 + c]
                    = static_cast<std::uint8_t>(std::clamp(128 + static_cast<int>(110 * waves[c]) + noise, 0, 255));
            }
        }
    }
    return b;
}

void runMenuCommand(benchmark::State& state, const app::CommandRow& row)
{
    static const gfx::Bitmap source = photo();
    app::Document doc;
    doc.shapes.blocksCount = 8;
    doc.range = {100, 100, kSide - 100, kSide - 100}; // for Trace Range
    bench::QuietHost host;
    app::CommandContext ctx{doc, host};
    for (auto _ : state) {
        state.PauseTiming();
        doc.image = source;
        state.ResumeTiming();
        row.run(ctx, row);
        benchmark::ClobberMemory();
    }
}

const bool kMenuCommandsRegistered = [] {
    for (const app::CommandRow& row : effects::effectCommandRows()) {
        if (!row.changesImage || row.path == "btnturn")
            continue;
        std::string name = "BM_EffectMenu";
        for (std::string_view rest = row.path; !rest.empty();) {
            const auto cut = rest.find(" > ");
            name += '/';
            for (const char c : rest.substr(0, cut))
                if (c != '&')
                    name += c == ' ' ? '_' : c;
            rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 3);
        }
        benchmark::RegisterBenchmark(name.c_str(), [&row](benchmark::State& state) {
            runMenuCommand(state, row);
        })->Unit(benchmark::kMillisecond);
    }
    return true;
}();

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
