#pragma once

#include "gfx/Bitmap.h"

#include <string>

namespace daubix::test {

// Replays a drawing command file (size, pen, brush, rop2, moveto, lineto, rectangle, ellipse, ...) on our
// Canvas, so that a test can compare the picture with one drawn by the classic interface from the same
// file. Commands our canvas has no equivalent for (explicit background modes and colours, brush origins,
// clip rectangles, ...) are skipped and named in notes; the caller leaves their area out.
gfx::Bitmap runGdiScript(const std::string& path, std::string& notes);

} // namespace daubix::test
