// The Range menu's fills on a 4096 x 4096 image, beside a plain copy of its bytes (the floor): tiles and
// borders from small ranges, and logic, masks and transitions over the whole image.

#include "CopyFloor.h"
#include "Pictures.h"

#include "app/Document.h"
#include "effects/RangeFills.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

constexpr int kSide = 4096;

void BM_RangeFillsFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, bench::noisePicture(kSide, kSide));
}
BENCHMARK(BM_RangeFillsFloor)->Unit(benchmark::kMillisecond);

app::Document& document()
{
    static app::Document doc;
    if (doc.image.width() != kSide)
        doc.image = bench::noisePicture(kSide, kSide);
    return doc;
}

// Tile All (0), Tile Diagonal (1) and Border All (2) from a square range of the given side.
void BM_RangeRepeat(benchmark::State& state)
{
    app::Document& doc = document();
    const int side = static_cast<int>(state.range(1));
    for (auto _ : state) {
        doc.range = {5, 5, 5 + side - 1, 5 + side - 1};
        switch (state.range(0)) {
        case 0: effects::rangeTile(doc, effects::RangeTile::All); break;
        case 1: effects::rangeTile(doc, effects::RangeTile::Diagonal); break;
        default: effects::rangeBorder(doc, effects::RangeBorder::All); break;
        }
        benchmark::DoNotOptimize(doc.image.bits());
    }
}
BENCHMARK(BM_RangeRepeat)->ArgsProduct({{0, 1, 2}, {1, 7, 100}})->Unit(benchmark::kMillisecond);

// Logic And (0), the oval mask (1) and the horizontal (2) and elliptical (3) transitions over the whole image.
void BM_RangeWhole(benchmark::State& state)
{
    app::Document& doc = document();
    for (auto _ : state) {
        doc.range = {0, 0, kSide, kSide};
        switch (state.range(0)) {
        case 0: effects::rangeLogic(doc, effects::RangeLogic::And, gfx::rgb(0, 128, 0)); break;
        case 1: effects::rangeMask(doc, effects::RangeMask::Oval); break;
        case 2: effects::rangeTransition(doc, effects::Transition::Horizontal); break;
        default: effects::rangeTransition(doc, effects::Transition::Elliptical); break;
        }
        benchmark::DoNotOptimize(doc.image.bits());
    }
}
BENCHMARK(BM_RangeWhole)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
