// The turtle interpreter without drawing: tokens per second through nested loops of calculator words and
// variables, and the cost of a procedure call wherever its definition stands in a long script. Then the
// editor's highlighter over a long script, beside a plain copy of the script's bytes (the floor).

#include "Processes.h"
#include "QuietHost.h"

#include "app/Document.h"
#include "commands/ScriptCommands.h"
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

// The same through the window's binding: the cancellation asked every few thousand steps, the pump
// itself a stub.
void NestedLoopsBound(benchmark::State& state)
{
    app::Document doc;
    doc.image = gfx::Bitmap(64, 64);
    bench::QuietHost host;
    script::TzoTurtle turtle;
    commands::bindTurtle(turtle, doc.canvas, doc, host, commands::scriptSession(doc));
    for (auto _ : state)
        if (const script::RunResult result
            = turtle.Run("0 in s do 1000 do 1000 s 3 + 2 * 7 / in s loop loop s drop");
            result.status != "ready") {
            state.SkipWithError(result.status.c_str());
            return;
        }
}
BENCHMARK(NestedLoopsBound)->Unit(benchmark::kMillisecond);

// A host whose repaint copies a 1024 x 768 view out of the image, as the window's does.
class ViewHost : public bench::QuietHost {
public:
    explicit ViewHost(const gfx::Bitmap& image)
        : m_image(image)
    {
    }
    void repaint(const gfx::Rect&) override
    {
        const std::size_t row = 1024 * 3;
        for (int y = 0; y < 768; ++y)
            std::memcpy(m_view.data() + static_cast<std::size_t>(y) * row, m_image.scanLine(y), row);
        benchmark::ClobberMemory();
    }

private:
    const gfx::Bitmap& m_image;
    std::vector<std::uint8_t> m_view = std::vector<std::uint8_t>(1024 * 768 * 3);
};

// Text drawn in a loop on 1024 x 1024, with the repaints that make it visible during the run (1), or none.
void TextLoop(benchmark::State& state)
{
    app::Document doc;
    doc.image = gfx::Bitmap(1024, 1024);
    ViewHost host(doc.image);
    script::TzoTurtle turtle;
    commands::bindTurtle(turtle, doc.canvas, doc, host, commands::scriptSession(doc));
    if (state.range(0) == 0)
        turtle.OnRepaintRequest = nullptr;
    for (auto _ : state) {
        turtle.Position = {512, 512};
        if (const script::RunResult result = turtle.Run("down do 2000 text \"Daubix\" go 3 right 7 loop");
            result.status != "ready") {
            state.SkipWithError(result.status.c_str());
            return;
        }
    }
}
BENCHMARK(TextLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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

// ---- whole processes -------------------------------------------------------------------------------

std::string folder()
{
    static const std::string dir = bench::benchFolder("daubix-script-bench");
    return dir;
}

// A script's backdrop request on 4096 x 4096 against apply drawing the same preset.
void runProcess(benchmark::State& state, const std::string& program, const std::string& arguments)
{
    static const bool made = [] {
        const std::string preset = "grey=0,0,0,0,0,0,255\n", script = "background \"GREY\"";
        const auto write = [](const std::string& path, const std::string& text) {
            return io::writeFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()})
                .ok();
        };
        return write(folder() + "/DaubixQB.txt", preset) && write(folder() + "/grey.dxs", script)
            && std::system(("'" + std::string(DAUBIX_CLI) + "' do --size 4096x4096 --out '" + folder() + "/in.bmp'")
                               .c_str())
            == 0;
    }();
    if (!made) {
        state.SkipWithError("cannot write the inputs");
        return;
    }
    bench::timeProcess(state, folder(), program, arguments);
}

const std::string kOurs = DAUBIX_CLI;
BENCHMARK_CAPTURE(runProcess, background_run, "env", "DAUBIX_HOME=. " + kOurs + " run grey.dxs --in in.bmp --out out.bmp")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(runProcess, backdrop_apply, kOurs, "apply Backdrop:0,0,0,0,0,0,255 in.bmp out.bmp")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
