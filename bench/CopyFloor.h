#pragma once

// The floor a whole-image operation is measured against: one plain copy of the image's bytes.

#include "gfx/Bitmap.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace daubix::bench {

inline void timeCopyFloor(benchmark::State& state, const gfx::Bitmap& image)
{
    std::vector<std::uint8_t> target(image.byteSize());
    for (auto _ : state) {
        std::memcpy(target.data(), image.bits(), image.byteSize());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.byteSize()));
}

} // namespace daubix::bench
