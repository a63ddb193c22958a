// One move of each colour brush and each effect brush at radius 100 on a 4096 x 4096 image. The press
// (undo push and stroke-start copy) happens once, outside the timing; a move touches only its square.

#include "QuietHost.h"
#include "app/Document.h"
#include "tools/ToolEngine.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

void brushMove(benchmark::State& state, const char* mode, bool effect)
{
    app::Document doc;
    doc.image = gfx::Bitmap(4096, 4096);
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x)
            doc.image.scanLine(y)[x * 3] = static_cast<std::uint8_t>(x ^ y);
    doc.toolMode = mode;
    doc.canvas.pen.width = 100; // the colour brushes' radius
    bench::QuietHost host;
    tools::ToolEngine engine(doc, host);
    const gfx::Point centre{2000, 2000};
    engine.press({centre, tools::Button::Left});
    int i = 0;
    for (auto _ : state) {
        // Effect brushes: the pointer 100 from the centre, turning round it; colour brushes: along a line.
        const int step = i++ % 64;
        const gfx::Point p = effect ? gfx::Point{centre.x + (step % 2 ? 100 : 0), centre.y + (step % 2 ? 0 : 100)}
                                    : gfx::Point{centre.x + step * 10, centre.y};
        engine.move({p, tools::Button::None});
    }
}

} // namespace

#define COLOUR_BRUSH(name) BENCHMARK_CAPTURE(brushMove, name, #name, false)->Unit(benchmark::kMillisecond)
#define EFFECT_BRUSH(name) BENCHMARK_CAPTURE(brushMove, name, #name, true)->Unit(benchmark::kMillisecond)

COLOUR_BRUSH(bluebrush);
COLOUR_BRUSH(greenbrush);
COLOUR_BRUSH(redbrush);
COLOUR_BRUSH(notbluebrush);
COLOUR_BRUSH(notgreenbrush);
COLOUR_BRUSH(notredbrush);
COLOUR_BRUSH(halfbluebrush);
COLOUR_BRUSH(halfgreenbrush);
COLOUR_BRUSH(halfredbrush);
COLOUR_BRUSH(darkerbrush);
COLOUR_BRUSH(lighterbrush);
COLOUR_BRUSH(graybrush);
COLOUR_BRUSH(rollmixbrush);
COLOUR_BRUSH(smoothbrush);
EFFECT_BRUSH(brightnessbrush);
EFFECT_BRUSH(contrastbrush);
EFFECT_BRUSH(saturationbrush);
EFFECT_BRUSH(fisheyebrush);
EFFECT_BRUSH(fisheyefixbrush);
EFFECT_BRUSH(twistbrush);
EFFECT_BRUSH(rotatebrush);
EFFECT_BRUSH(rimplebrush);

BENCHMARK_MAIN();
