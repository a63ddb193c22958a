#include "app/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace daubix::app {

namespace fs = std::filesystem;

std::string programFile(const std::string& folder, const std::string& name)
{
    return (fs::path(folder) / name).string();
}

std::string resolveProgramFolder(const std::string& executableFolder)
{
    if (const char* home = std::getenv("DAUBIX_HOME"); home && *home)
        return home;
    std::error_code error;
    if (!executableFolder.empty() && fs::exists(fs::path(executableFolder) / "patterns.bmp", error))
        return executableFolder;
    fs::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        data = xdg;
    else if (const char* user = std::getenv("HOME"); user && *user)
        data = fs::path(user) / ".local" / "share";
    else
        data = fs::temp_directory_path(error);
    const fs::path folder = data / "daubix";
    fs::create_directories(folder, error);
    // Seed the new folder from the program's own data, file by file, never overwriting.
    const fs::path source = fs::path(executableFolder) / "data";
    if (fs::is_directory(source, error))
        for (const auto& entry : fs::directory_iterator(source, error))
            if (entry.is_regular_file(error) && !fs::exists(folder / entry.path().filename(), error))
                fs::copy_file(entry.path(), folder / entry.path().filename(), error);
    return folder.string();
}

} // namespace daubix::app
