// The turtle interpreter without drawing: tokens per second through nested loops of calculator words and
// variables, and the cost of a procedure call wherever its definition stands in a long script.

#include "gfx/Canvas.h"
#include "script/TzoTurtle.h"

#include <benchmark/benchmark.h>

using namespace daubix;

namespace {

void runScript(benchmark::State& state, const std::string& text, double tokensPerRun)
{
    gfx::Bitmap image(64, 64);
    gfx::Canvas canvas(image);
    script::TzoTurtle turtle;
    turtle.Canvas = &canvas;
    for (auto _ : state) {
        const script::RunResult result = turtle.Run(text);
        if (result.status != "ready") {
            state.SkipWithError(result.status.c_str());
            return;
        }
        benchmark::DoNotOptimize(turtle.numberStack());
    }
    state.counters["tokens/s"]
        = benchmark::Counter(tokensPerRun * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Ten tokens per inner pass ("s 3 + 2 * 7 / in s loop"), a million passes: ten million tokens.
void NestedLoops(benchmark::State& state)
{
    runScript(state, "0 in s do 1000 do 1000 s 3 + 2 * 7 / in s loop loop s drop", 10'000'000 + 3'000 + 9);
}
BENCHMARK(NestedLoops)->Unit(benchmark::kMillisecond);

// Calls of a procedure with a megabyte of comment between the call and the definition, or none; five
// tokens per call ("p 1 drop ] loop"). Runs of one call give the cost of preparing the text, so the
// difference per call shows what a call costs.
void ProcedureCall(benchmark::State& state)
{
    const bool far = state.range(0) != 0;
    const auto calls = state.range(1);
    const std::string padding = far ? "{ " + std::string(1 << 20, 'x') + " }" : "";
    runScript(state, "do " + std::to_string(calls) + " p loop " + padding + " [ p 1 drop ]",
        5.0 * static_cast<double>(calls) + 3);
}
BENCHMARK(ProcedureCall)->ArgsProduct({{0, 1}, {1, 100'000}})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
