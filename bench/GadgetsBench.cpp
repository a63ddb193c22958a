#include "gadgets/GradText.h"
#include "gfx/Text.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

gadgets::TGradText benchText()
{
    gadgets::TGradText text = gadgets::gradTextGadget();
    text.lines = {"Gradient text across", "three lines of thirty", "pixels, rectangle style"};
    text.gradientStyle = gadgets::TGradientStyle::gsRectangle;
    text.justification = gadgets::TJustification::jCenter;
    text.width = 600;
    return text;
}

// The whole appearance: wrap and measure, the mask, the gradient and the composite.
void BM_GradTextRectangle(benchmark::State& state)
{
    for (auto _ : state) {
        gadgets::TGradText text = benchText(); // measuring shrinks the width, so each run starts afresh
        gfx::Bitmap look = gadgets::gradTextAppearance(text);
        benchmark::DoNotOptimize(look.bits());
    }
}
BENCHMARK(BM_GradTextRectangle)->Unit(benchmark::kMicrosecond);

// The rectangle gradient alone over the full 600 x 200.
void BM_RectangleGradient600x200(benchmark::State& state)
{
    gfx::Bitmap target = gfx::Bitmap::zeroed(600, 200);
    for (auto _ : state) {
        gadgets::fillGradient(target, gadgets::TGradientStyle::gsRectangle, 0x00FFFF, 0x0000FF);
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_RectangleGradient600x200)->Unit(benchmark::kMicrosecond);

// The floor the above is held to: one plain fill of 600 x 200 and one drawing of each line.
void BM_FillAndDrawTextFloor(benchmark::State& state)
{
    const gadgets::TGradText text = benchText();
    gfx::Bitmap target(600, 200);
    for (auto _ : state) {
        target.fill(gfx::clSilver);
        int y = 0;
        for (const std::string& line : text.lines) {
            gfx::drawText(target, text.font, 0, y, line, std::nullopt);
            y += 34;
        }
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_FillAndDrawTextFloor)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
