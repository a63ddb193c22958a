#pragma once

// Reading and writing the windows' preset files (see app/PresetLines.h for their lines).

#include "gfx/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

inline constexpr std::uint64_t kMaxPresetFileBytes = std::uint64_t{1} << 20;

// The lines of a preset file in the file's order; a missing file has none. A file larger than 1 MiB or
// unreadable gives a message.
gfx::Result<std::vector<std::string>> readPresetFile(const std::string& path);
// Rewrites the whole file through a temporary one, so that a failure leaves the old file as it was.
gfx::Status writePresetFile(const std::string& path, std::span<const std::string> lines);

} // namespace daubix::io
