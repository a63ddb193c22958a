// The turtle interpreter without drawing: tokens per second through nested loops of calculator words and
// variables, and the cost of a procedure call wherever its definition stands in a long script. Then the
// editor's highlighter over a long script, beside a plain copy of the script's bytes (the floor).

#include "gfx/Canvas.h"
#include "script/Highlighter.h"
#include "script/TzoTurtle.h"

#include <benchmark/benchmark.h>
#include <cstring>

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

// 20,000 lines, about 600 KB, of the words, literals, comments and strings that scripts are made of; a
// comment opened on one line closes on a later one now and then.
const std::string& longScript()
{
    static const std::string text = [] {
        const char* const lines[] = {"{ a star at the mark }", "pos %d 45 pencolor clRed down",
            "do 36 go %d right 170 loop", "[ square do 4 go =loop right 90 loop ]", "textsize 14 textout \"Script %d\"",
            "=posx %d .gt if turnback", "{ the frame:", "brushcolor $00FF80 rectangle 40 %d }",
            "10 in size size 2 * in size %d", "penmode 4 textcolor clBtnFace text \"%d\""};
        std::string out;
        char line[96];
        for (int i = 0; i < 20'000; ++i) {
            std::snprintf(line, sizeof line, lines[i % std::size(lines)], i % 997);
            out += line;
            out += '\n';
        }
        return out;
    }();
    return text;
}

void BM_MemcpyFloor(benchmark::State& state)
{
    const std::string& script = longScript();
    std::vector<char> target(script.size());
    for (auto _ : state) {
        std::memcpy(target.data(), script.data(), script.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMicrosecond);

// Every line through the classifier with the shipped settings, as the editor does when a script is loaded;
// the lines are UTF-16, as the editor holds them.
void BM_HighlightScript(benchmark::State& state)
{
    const script::HighlighterSettings settings = script::loadHighlighterSettings(DAUBIX_DATA "/DaubixScript.ini");
    if (settings.keywords.empty()) {
        state.SkipWithError("the shipped highlighter settings were not found");
        return;
    }
    const script::Highlighter highlighter(settings);
    const std::string& script = longScript();
    const std::u16string text(script.begin(), script.end());
    std::vector<std::u16string_view> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find(u'\n', at);
        lines.emplace_back(text.data() + at, end - at);
    }
    std::vector<script::TokenRun> runs;
    std::size_t runCount = 0;
    for (auto _ : state) {
        int lineState = -1;
        for (const std::u16string_view line : lines) {
            lineState = highlighter.classifyLine(line, lineState, runs);
            runCount += runs.size();
        }
        benchmark::DoNotOptimize(lineState);
    }
    benchmark::DoNotOptimize(runCount);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["bytes"] = static_cast<double>(script.size());
}
BENCHMARK(BM_HighlightScript)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
