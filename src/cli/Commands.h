#pragma once

// The commands of daubix-cli and the reporting they share. Each returns the process exit status:
// 0 on success, 1 on a reported failure, 2 on a usage error.

#include "app/FileFormats.h"
#include "gfx/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace daubix::cli {

int usageError(const std::string& message);
int fail(const std::string& message);
// The folder of the running program, where the program folder is looked for; empty when unknown.
std::string executableFolder();

// Files are read and written by their extension; the format options start off.
constexpr app::FormatOptions kPlainOptions{.gifTransparent = false, .iconStretch = false, .pngTransparent = false};
int refuseOutputType(const std::string& out);
// The picture of a file (metafiles and icons over a white 256 x 256 image); a message and nothing when
// it cannot be read.
std::optional<gfx::Bitmap> readImage(const std::string& path, const app::FormatOptions& options = kPlainOptions);
// The image a run starts from: the file when one is named, else white of the size given.
std::optional<gfx::Bitmap> startingImage(const std::string& in, int width, int height);
// Writes by the name's extension; the exit status.
int writeImage(const std::string& path, const gfx::Bitmap& image, const app::FormatOptions& options = kPlainOptions,
    int quality = 25);
// Whole numbers with nothing around them; sizes as WIDTHxHEIGHT within the image size limit.
bool parseInt(const std::string& text, int& value);
bool parseSeed(const std::string& text, std::uint32_t& seed);
bool parseSize(const std::string& text, int& width, int& height);

int runScript(const std::vector<std::string>& args);
int doSteps(const std::vector<std::string>& args);

} // namespace daubix::cli
