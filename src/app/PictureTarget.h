#pragma once

// The windows that take a picture from the range (Range > Assign To): the Quick Button designer takes it
// as its backdrop, the bump editor as the picture it edits.

#include <cstdint>

namespace daubix::app {

enum class PictureTarget : std::uint8_t { ButtonDesigner, BumpEditor };

} // namespace daubix::app
