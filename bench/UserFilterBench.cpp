// The Filters window's preview step in process at 1920 x 1080 (the copy of the image, the filter and
// the picture handed to the preview window), then two whole processes beside vips on a 4096 x 4096
// plasma: daubix-cli apply against the vips operation, each less its own tool's plain copy. The files go
// to $DAUBIX_BENCH_DIR (a memory-backed folder gives steadier figures), else the temporary folder.

#include "Processes.h"

#include "app/Document.h"
#include "effects/UserFilterCommands.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace daubix;

namespace {

// Smooth shading with a little grain, so that the filters that compare neighbours take both ways.
gfx::Bitmap picture(int width, int height)
{
    gfx::Bitmap b = gfx::Bitmap::zeroed(width, height);
    std::uint32_t grain = 7;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.scanLine(y);
        for (int x = 0; x < width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int g = static_cast<int>(grain >> 30);
            row[3 * x] = static_cast<std::uint8_t>(128 + 100 * std::sin(x / 200.0) + g);
            row[3 * x + 1] = static_cast<std::uint8_t>(128 + 100 * std::cos(y / 150.0) + g);
            row[3 * x + 2] = static_cast<std::uint8_t>((x / 64 + y / 64) % 2 ? 200 + g : 40 + g);
        }
    }
    return b;
}

void previewStep(benchmark::State& state, int filter)
{
    app::Document doc;
    doc.image = picture(1920, 1080);
    doc.random.seed(1);
    doc.userFilter.channels = {filter, filter, filter};
    doc.userFilter.selection = filter;
    doc.userFilter.v = 100;
    if (filter == effects::kUserMatrixFilter) // a kernel that does not separate
        doc.userFilter.cells = {"1", "2", "-1", "0", "3", "0", "-2", "4", "1", "-1", "2", "1", "5", "0", "1", "-1", "0",
            "3", "2", "1", "1", "4", "0", "-1", "2"};
    for (auto _ : state) {
        auto shown = effects::previewUserFilter(doc);
        if (!shown) {
            state.SkipWithError(shown.error().c_str());
            return;
        }
        benchmark::DoNotOptimize(shown.value().bits());
    }
}

const bool kPreviewStepsRegistered = [] {
    for (int f = 0; f < effects::kUserFilterCount; ++f)
        benchmark::RegisterBenchmark(
            ("BM_PreviewStep1080p/" + std::string(effects::userFilterNames()[static_cast<std::size_t>(f)])).c_str(),
            previewStep, f)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

std::string folder()
{
    static const std::string dir = bench::benchFolder("daubix-filter-bench");
    return dir;
}

// The same non-separable kernel for both programs, its scale the sum of its weights (27), as ours divides.
constexpr const char* kKernelRows[] = {"1 2 -1 0 3", "0 -2 4 1 -1", "2 1 5 0 1", "-1 0 3 2 1", "1 4 0 -1 2"};

bool run(const std::string& line)
{
    return std::system(("cd '" + folder() + "' && " + line + " >/dev/null 2>&1").c_str()) == 0;
}

// The input the figures are quoted for: ImageMagick's plasma with seed 7, as a BMP for us and a PPM for vips.
bool makeInputs()
{
    static const bool made = [] {
        std::ofstream mat(folder() + "/k.mat");
        mat << "5 5 27 0\n";
        for (const char* row : kKernelRows)
            mat << row << "\n";
        mat.close();
        const std::string magick = "/usr/bin/convert";
        return std::filesystem::exists(folder() + "/p.ppm")
            || (run(magick + " -seed 7 -size 4096x4096 plasma: -type truecolor BMP3:p.bmp")
                && run(magick + " p.bmp p.ppm"));
    }();
    return made;
}

double secondsOf(const std::string& line, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = ok && run(line);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::ranges::sort(v);
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string kernelArgument()
{
    std::string out;
    for (const char* row : kKernelRows) {
        if (!out.empty())
            out += ',';
        for (const char* c = row; *c; ++c)
            out += *c == ' ' ? ',' : *c;
    }
    return out;
}

// Each iteration runs our copy, our operation, the peer's copy and the peer's operation, alternated, so
// that a disturbance of the machine falls on both. Reported: the median op time of each (the operation's
// median less its copy's median) and ours as a share of the peer's; the iteration time is ours.
void versusVips(benchmark::State& state, const std::string& ours, const std::string& theirs)
{
    if (!makeInputs() || std::system("command -v vips >/dev/null 2>&1") != 0) {
        state.SkipWithError("vips or ImageMagick's convert is not installed");
        return;
    }
    const std::string cli = DAUBIX_CLI;
    std::vector<double> ourCopy, ourOp, vipsCopy, vipsOp;
    bool ok = true;
    for (auto _ : state) {
        ourCopy.push_back(secondsOf(cli + " convert p.bmp o.bmp", ok));
        ourOp.push_back(secondsOf(cli + " apply " + ours + " p.bmp o.bmp", ok));
        vipsCopy.push_back(secondsOf("vips copy p.ppm o.ppm", ok));
        vipsOp.push_back(secondsOf("vips " + theirs, ok));
        state.SetIterationTime(ourOp.back());
        if (!ok) {
            state.SkipWithError("a process failed");
            return;
        }
    }
    const double ourMs = (median(ourOp) - median(ourCopy)) * 1e3;
    const double vipsMs = (median(vipsOp) - median(vipsCopy)) * 1e3;
    state.counters["ours_op_ms"] = ourMs;
    state.counters["vips_op_ms"] = vipsMs;
    state.counters["ours_copy_ms"] = median(ourCopy) * 1e3;
    state.counters["vips_copy_ms"] = median(vipsCopy) * 1e3;
    state.counters["ratio"] = vipsMs > 0 ? ourMs / vipsMs : 0;
}

BENCHMARK_CAPTURE(versusVips, and_240, "QuickFilter:And,And,And,240", "boolean_const p.ppm o.ppm and 240")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(versusVips, matrix, "UserMatrix:" + kernelArgument(), "conv p.ppm o.ppm k.mat --precision integer")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
