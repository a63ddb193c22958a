// libFuzzer target: any bytes given to the JPEG reader are read or refused, never a crash or a hang.

#include "io/JpegCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto image = daubix::io::decodeJpeg({data, size});
    // Large pictures are only read: writing them again would spend the fuzzer's time on compression.
    if (image.ok() && !image.value().isEmpty()
        && std::int64_t{image.value().width()} * image.value().height() <= (1 << 20)) {
        // Our writer takes whatever the reader gives, and reads back at the same size.
        const auto bytes = daubix::io::encodeJpeg(image.value(), 25, false);
        if (!bytes.ok())
            __builtin_trap();
        const auto again = daubix::io::decodeJpeg(bytes.value());
        if (!again.ok() || again.value().width() != image.value().width()
            || again.value().height() != image.value().height())
            __builtin_trap();
    }
    return 0;
}
