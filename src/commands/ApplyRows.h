#pragma once

// The rows of daubix-cli apply: the effects' table, then rows of the areas above the effects (files,
// printing) that take an image and numbers and may have a line to say.

#include "effects/EffectCommands.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::commands {

// What a run may reach besides the image and its arguments.
struct ApplyContext {
    app::Random& random; // the program's one generator (the noise effects, the Drip filter)
    std::string executableFolder; // where the program folder is looked for (app::resolveProgramFolder)
    std::string report; // a line for standard output, or nothing
    std::optional<gfx::Bitmap> clipboard; // the clipboard's bitmap, for the rows that read it
    std::vector<std::string> messages; // what the run told the user, in order, for standard error
};

struct ApplyRow {
    std::string_view name;
    std::string_view parameters; // as the usage text shows them
    std::size_t minArguments;
    std::size_t maxArguments;
    gfx::Status (*apply)(gfx::Bitmap& image, std::span<const std::string> arguments, ApplyContext& context);
};

std::span<const ApplyRow> applyRows();

// Runs "Name" or "Name:a,b,...": a row above, else an effect.
gfx::Status applyCall(ApplyContext& context, gfx::Bitmap& image, std::string_view call);

} // namespace daubix::commands
