#pragma once

// Whole processes timed side by side: ours (daubix-cli) and the programs a task is usually measured by.
// The files go to $DAUBIX_BENCH_DIR (a memory-backed folder gives steadier figures), else the temporary
// folder. Peers that are not installed are reported as skipped.

#include "io/FileWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace daubix::bench {

// A folder of its own for one benchmark program, made once.
inline std::string benchFolder(const std::string& name)
{
    const char* env = std::getenv("DAUBIX_BENCH_DIR");
    std::filesystem::path p = env && *env ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
    p /= name;
    std::filesystem::create_directories(p);
    return p.string();
}

// Runs a shell command line; its peak resident memory in KiB (0 when it cannot be measured), or -1 when
// the command failed. The peak comes from GNU time when it is installed: a child forked from this
// process would start out with this process's high-water mark, pictures and all.
inline long runOnce(const std::string& line, const std::string& folder)
{
    static const bool timed = std::filesystem::exists("/usr/bin/time");
    if (!timed)
        return std::system(line.c_str()) == 0 ? 0 : -1;
    const std::string report = folder + "/peak.txt";
    setenv("DAUBIX_BENCH_LINE", line.c_str(), 1);
    const std::string wrapped = "/usr/bin/time -f %M -o '" + report + "' sh -c \"$DAUBIX_BENCH_LINE\"";
    if (std::system(wrapped.c_str()) != 0)
        return -1;
    const auto bytes = io::readFile(report, 64);
    return bytes.ok() ? std::atol(std::string(bytes.value().begin(), bytes.value().end()).c_str()) : 0;
}

// The whole process run in the folder, timed from start to exit, with its peak memory as a counter (MiB).
inline void timeProcess(
    benchmark::State& state, const std::string& folder, const std::string& program, const std::string& arguments)
{
    if (program.front() == '/' ? !std::filesystem::exists(program)
                               : std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) != 0) {
        state.SkipWithError((program + " is not installed").c_str());
        return;
    }
    const std::string line = "cd '" + folder + "' && " + program + " " + arguments + " >/dev/null 2>&1";
    long peak = 0;
    for (auto _ : state) {
        const long kib = runOnce(line, folder);
        if (kib < 0) {
            state.SkipWithError(("failed: " + line).c_str());
            return;
        }
        peak = std::max(peak, kib);
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
}

} // namespace daubix::bench
