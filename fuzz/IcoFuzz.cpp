// libFuzzer target: any bytes given to the icon reader are read or refused, never a crash or a hang.

#include "io/IconCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto icon = daubix::io::decodeIcon({data, size});
    if (icon.ok()) {
        const auto& colour = icon.value().colour;
        if (colour.format() != daubix::gfx::PixelFormat::Bits24
            || icon.value().alpha.size() != static_cast<std::size_t>(colour.width()) * colour.height())
            __builtin_trap();
    }
    return 0;
}
