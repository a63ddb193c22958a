// libFuzzer target: any bytes given to the BMP reader are read or refused, never a crash or a hang.

#include "io/BmpCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto image = daubix::io::decodeBmp({data, size});
    if (image.ok()) {
        // A decoded image must survive being written and read back.
        const auto again = daubix::io::decodeBmp(daubix::io::encodeBmp(image.value()));
        if (!again.ok() || !(again.value() == image.value()))
            __builtin_trap();
    }
    return 0;
}
