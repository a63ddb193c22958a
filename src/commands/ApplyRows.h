#pragma once

// The rows of daubix-cli apply: the effects' table, then rows of the areas above the effects (files,
// printing) that take an image and numbers and may have a line to say.

#include "effects/EffectCommands.h"

#include <span>
#include <string>
#include <string_view>

namespace daubix::commands {

struct ApplyRow {
    std::string_view name;
    std::string_view parameters; // as the usage text shows them
    std::size_t minArguments;
    std::size_t maxArguments;
    // report: a line for standard output, or nothing
    gfx::Status (*apply)(gfx::Bitmap& image, std::span<const std::string> arguments, std::string& report);
};

std::span<const ApplyRow> applyRows();

// Runs "Name" or "Name:a,b,...": a row above, else an effect.
gfx::Status applyCall(effects::TketPaintFX& fx, gfx::Bitmap& image, std::string_view call, std::string& report);

} // namespace daubix::commands
