// Rubber bands on a 4096 x 4096 image: 1,000 moves of a rectangle or ellipse band per iteration. A move
// erases and redraws the band, so it costs what the band touches, not the image.

#include "QuietHost.h"
#include "app/Document.h"
#include "tools/ToolEngine.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

void bandMoves(benchmark::State& state, const char* mode)
{
    app::Document doc;
    doc.image = gfx::Bitmap(4096, 4096);
    doc.toolMode = mode;
    bench::QuietHost host;
    tools::ToolEngine engine(doc, host);
    engine.press({{1000, 1000}, tools::Button::Left});
    int step = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i, ++step)
            engine.move({{1200 + step % 400, 1100 + step % 300}, tools::Button::None});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

void BM_RectangleBand(benchmark::State& state)
{
    bandMoves(state, "rectangle");
}
BENCHMARK(BM_RectangleBand)->Unit(benchmark::kMillisecond);

void BM_EllipseBand(benchmark::State& state)
{
    bandMoves(state, "ellipse");
}
BENCHMARK(BM_EllipseBand)->Unit(benchmark::kMillisecond);

void BM_PressPushesOnce(benchmark::State& state)
{
    app::Document doc;
    doc.image = gfx::Bitmap(4096, 4096);
    doc.undo.resizeSlots(4096, 4096);
    bench::QuietHost host;
    tools::ToolEngine engine(doc, host);
    for (auto _ : state) {
        engine.press({{10, 10}, tools::Button::Left});
        engine.release({{10, 10}, tools::Button::Left});
    }
}
BENCHMARK(BM_PressPushesOnce)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
