#include "app/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace daubix::app {

namespace fs = std::filesystem;

namespace {

// Where the program's own data lies: in the data folder beside the executable (a build tree or a
// portable copy) or in the share folder of an installation. Empty when none is found. The executable's
// own folder is never a source: it holds the program itself.
fs::path dataSource(const fs::path& executableFolder)
{
    std::error_code error;
    for (const fs::path& candidate : {executableFolder / "data", executableFolder / ".." / "share" / "daubix"})
        if (!executableFolder.empty() && fs::exists(candidate / "patterns.bmp", error))
            return candidate;
    return {};
}

// Creates the folder and gives it every file of the program's data it lacks, never overwriting one the
// user may have changed.
void seed(const fs::path& folder, const fs::path& source)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (source.empty() || fs::equivalent(folder, source, error))
        return;
    for (const auto& entry : fs::directory_iterator(source, error))
        if (entry.is_regular_file(error) && !fs::exists(folder / entry.path().filename(), error))
            fs::copy_file(entry.path(), folder / entry.path().filename(), error);
}

} // namespace

std::string programFile(const std::string& folder, const std::string& name)
{
    return (fs::path(folder) / name).string();
}

std::string resolveProgramFolder(const std::string& executableFolder)
{
    const fs::path source = dataSource(executableFolder);
    if (const char* home = std::getenv("DAUBIX_HOME"); home && *home) {
        seed(home, source);
        return home;
    }
    std::error_code error;
    if (!executableFolder.empty() && fs::exists(fs::path(executableFolder) / "patterns.bmp", error))
        return executableFolder;
    if (!source.empty() && source == fs::path(executableFolder) / "data")
        return source.string();
    fs::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        data = xdg;
    else if (const char* user = std::getenv("HOME"); user && *user)
        data = fs::path(user) / ".local" / "share";
    else
        data = fs::temp_directory_path(error);
    const fs::path folder = data / "daubix";
    seed(folder, source);
    return folder.string();
}

} // namespace daubix::app
