// libFuzzer target for the metafile reader, built twice (wmf_fuzz, emf_fuzz) so that each format keeps
// its own corpus: any bytes are parsed or refused, and whatever parses replays.

#include "io/Metafile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto parsed = daubix::io::parseMetafile({data, size});
    if (!parsed.ok())
        return 0;
    const auto [width, height] = daubix::io::metafileSize(parsed.value());
    if (width < 1 || height < 1)
        __builtin_trap();
    // Large pictures replay onto a small target: the records still run, clipped, without the fuzzer
    // spending its time clearing memory.
    const bool small = std::int64_t{width} * height <= 512 * 512;
    daubix::gfx::Bitmap target(small ? width : 64, small ? height : 64);
    daubix::io::replayMetafile(parsed.value(), target);
    return 0;
}
