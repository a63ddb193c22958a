// libFuzzer target: any bytes given to the PNG reader are read or refused, never a crash or a hang.

#include "io/PngCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto image = daubix::io::decodePng({data, size});
    // Large pictures are only read: writing them again would spend the fuzzer's time on compression.
    if (image.ok() && !image.value().isEmpty()
        && std::int64_t{image.value().width()} * image.value().height() <= (1 << 20)) {
        // Our writer takes whatever the reader gives, and reads back unchanged.
        const auto bytes = daubix::io::encodePng(image.value(), std::nullopt);
        if (!bytes.ok())
            __builtin_trap();
        const auto again = daubix::io::decodePng(bytes.value());
        if (!again.ok() || !(again.value() == image.value()))
            __builtin_trap();
    }
    return 0;
}
