#pragma once

#include "gfx/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

// Reads a whole file; files larger than maxBytes are refused before anything is read.
gfx::Result<std::vector<std::uint8_t>> readFile(const std::string& path, std::uint64_t maxBytes);

// Writes to a temporary file beside the target and renames it over the target only when complete,
// so a failed save never destroys an existing file.
gfx::Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace daubix::io
