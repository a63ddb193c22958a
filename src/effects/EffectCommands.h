#pragma once

#include "effects/TketPaintFX.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace daubix::effects {

// An effect that needs nothing but numbers, applied to a whole image: one row per effect, read by
// daubix-cli apply and the tests alike.
struct EffectCommand {
    std::string_view name;
    std::string_view parameters; // as the usage text shows them
    std::size_t minArguments;
    std::size_t maxArguments;
    gfx::Status (*apply)(TketPaintFX& fx, gfx::Bitmap& image, std::span<const std::string> arguments);
};

std::span<const EffectCommand> effectCommands();
const EffectCommand* findEffectCommand(std::string_view name);

// "Name" or "Name:a,b,..." taken apart.
struct Call {
    std::string_view name;
    std::vector<std::string> arguments;
};
Call parseCall(std::string_view call);
// A message with the usage ("use Name:parameters") when the call has too few or too many arguments.
gfx::Status checkArgumentCount(const Call& call, std::string_view parameters, std::size_t min, std::size_t max);

// Runs "Name" or "Name:a,b,..." on the image (made 24 bits first); a wrong name or argument gives a message.
gfx::Status applyEffect(TketPaintFX& fx, gfx::Bitmap& image, std::string_view call);

} // namespace daubix::effects
