#include "io/PresetFile.h"

#include "app/PresetLines.h"
#include "io/FileWriter.h"

#include <filesystem>

namespace daubix::io {

gfx::Result<std::vector<std::string>> readPresetFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error)
        return std::vector<std::string>{};
    auto bytes = readFile(path, kMaxPresetFileBytes);
    if (!bytes)
        return gfx::Error{bytes.error()};
    const auto& b = bytes.value();
    return app::splitPresetLines({reinterpret_cast<const char*>(b.data()), b.size()});
}

gfx::Status writePresetFile(const std::string& path, std::span<const std::string> lines)
{
    const std::string text = app::presetFileText(lines);
    return writeFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace daubix::io
