// Turtle scripts from the fuzzer on a small image: whatever the text says, the run ends with a status
// and never crashes. Long runs are cut by the host's cancel query, as a user's would be.

#include "gfx/Canvas.h"
#include "script/TzoTurtle.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    daubix::gfx::Bitmap image(64, 48);
    daubix::gfx::Canvas canvas(image);
    daubix::script::TzoTurtle turtle;
    turtle.Canvas = &canvas;
    turtle.OnRequestImageSize = [&](daubix::gfx::Rect& r) { r = {0, 0, image.width() - 1, image.height() - 1}; };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    turtle.Cancelled = [deadline] { return std::chrono::steady_clock::now() > deadline; };
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const daubix::script::RunResult result = turtle.Run(text);
    // A reported position lies within the text or just past it.
    if (result.position < 0 || result.position > static_cast<int>(size) + 1)
        __builtin_trap();
    return 0;
}
