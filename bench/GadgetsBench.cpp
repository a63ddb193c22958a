#include "CopyFloor.h"
#include "Pictures.h"
#include "gadgets/GradText.h"
#include "gadgets/ImageOps.h"
#include "gfx/Text.h"

#include <benchmark/benchmark.h>
#include <cstring>

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

constexpr int kSize = 4096;

gfx::Bitmap pattern(int width, int height, unsigned seed)
{
    return bench::noisePicture(width, height, seed);
}

// The floor every whole-image operation is measured against.
void BM_MemcpyFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, gfx::Bitmap::zeroed(kSize, kSize));
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMillisecond);

void BM_Combine(benchmark::State& state)
{
    const gadgets::CombineItem& item = gadgets::combineItems()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(item.caption));
    gfx::Bitmap image = pattern(kSize, kSize, 1);
    const gfx::Bitmap gadget = pattern(kSize, kSize, 2);
    for (auto _ : state) {
        gadgets::combine(image, gadget, item.op);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_Combine)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

void BM_Invert(benchmark::State& state)
{
    gfx::Bitmap image = pattern(kSize, kSize, 1);
    for (auto _ : state) {
        gadgets::invertBits(image);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);

void BM_OpaqueDither(benchmark::State& state)
{
    gfx::Bitmap image = pattern(kSize, kSize, 1);
    for (auto _ : state) {
        gadgets::opaqueDither(image, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_OpaqueDither)->Arg(25)->Arg(50)->Unit(benchmark::kMillisecond);

// "Paint" of a whole-image gadget dithered 50 %: half its pixels are the key.
void BM_PaintTransparent(benchmark::State& state)
{
    gfx::Bitmap image = pattern(kSize, kSize, 1);
    gfx::Bitmap gadget = pattern(kSize, kSize, 2);
    gadgets::opaqueDither(gadget, 50);
    gfx::Canvas canvas(image);
    for (auto _ : state) {
        gadgets::paintTransparent(canvas, gadget, {0, 0}, gfx::clWhite);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}
BENCHMARK(BM_PaintTransparent)->Unit(benchmark::kMillisecond);

// "Paint Border" with a 512 x 512 gadget, opaque (0) or transparent by its bottom-left pixel (1), "All" (0)
// or "Horizontal" and "Vertical" alone (1, 2). "All" covers four strips 512 pixels deep: the bytes of 2048
// full rows; the others half of that.
constexpr int kBorderGadget = 512;
void BM_PaintBorder(benchmark::State& state)
{
    gfx::Bitmap image = pattern(kSize, kSize, 1);
    gfx::Bitmap gadget = pattern(kBorderGadget, kBorderGadget, 2);
    gadget.transparent = state.range(0) != 0;
    const auto kind = static_cast<gadgets::BorderKind>(state.range(1));
    gfx::Canvas canvas(image);
    for (auto _ : state) {
        gadgets::paintBorder(canvas, gadget, kind, std::nullopt);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    const int copies = kind == gadgets::BorderKind::All ? 32 : 16;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gadget.byteSize() * copies));
}
BENCHMARK(BM_PaintBorder)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

void BM_PaintBorderFloor(benchmark::State& state)
{
    bench::timeCopyFloor(state, gfx::Bitmap::zeroed(kSize, 4 * kBorderGadget));
}
BENCHMARK(BM_PaintBorderFloor)->Unit(benchmark::kMillisecond);

// "Glue" of a whole-image gadget to the right (0) or bottom (1) of a 4096 x 4096 image.
void BM_Glue(benchmark::State& state)
{
    const auto side = state.range(0) == 0 ? gadgets::GlueSide::Right : gadgets::GlueSide::Bottom;
    const gfx::Bitmap original = pattern(kSize, kSize, 1);
    const gfx::Bitmap gadget = pattern(kSize, kSize, 2);
    gfx::Bitmap image = original;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gadgets::glue(image, gadget, side));
        benchmark::ClobberMemory();
        state.PauseTiming();
        image = original;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Glue)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What a glue cannot do without: a fresh grown image and both pictures copied into it, one block each.
void BM_GlueFloor(benchmark::State& state)
{
    const gfx::Bitmap image = pattern(kSize, kSize, 1);
    const gfx::Bitmap gadget = pattern(kSize, kSize, 2);
    for (auto _ : state) {
        gfx::Bitmap grown = gfx::Bitmap::zeroed(kSize, 2 * kSize);
        std::memcpy(grown.scanLine(0), image.bits(), image.byteSize());
        std::memcpy(grown.scanLine(kSize), gadget.bits(), gadget.byteSize());
        benchmark::DoNotOptimize(grown.bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GlueFloor)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
