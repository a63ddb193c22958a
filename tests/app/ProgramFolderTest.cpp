#include "app/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace daubix;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::string read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

// A fresh program folder gets every file of the program's data, not only the patterns, and a file the
// user already has stays as it is.
TEST(ProgramFolder, SeedsAFreshHomeWithEveryDataFileAndKeepsExistingOnes)
{
    const fs::path root = fs::temp_directory_path() / ("daubix-folder-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path program = root / "bin", home = root / "home";
    fs::create_directories(program / "data");
    fs::create_directories(home);
    write(program / "daubix", "the program");
    write(program / "data" / "patterns.bmp", "strip");
    write(program / "data" / "Daubix.html", "help");
    write(home / "patterns.bmp", "mine");
    ::setenv("DAUBIX_HOME", home.c_str(), 1);
    EXPECT_EQ(app::resolveProgramFolder(program.string()), home.string());
    EXPECT_EQ(read(home / "Daubix.html"), "help");
    EXPECT_EQ(read(home / "patterns.bmp"), "mine");
    EXPECT_FALSE(fs::exists(home / "daubix")); // the program is not data

    // A build tree uses its data folder as it is.
    ::unsetenv("DAUBIX_HOME");
    EXPECT_EQ(app::resolveProgramFolder(program.string()), (program / "data").string());

    // Without DAUBIX_HOME an installed program seeds the user's data folder from its share folder.
    ::unsetenv("DAUBIX_HOME");
    const fs::path installed = root / "usr" / "bin", share = root / "usr" / "share" / "daubix";
    fs::create_directories(installed);
    fs::create_directories(share);
    write(share / "patterns.bmp", "strip");
    write(share / "Daubix.html", "help");
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    EXPECT_EQ(app::resolveProgramFolder(installed.string()), (root / "data" / "daubix").string());
    EXPECT_EQ(read(root / "data" / "daubix" / "Daubix.html"), "help");
    ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(root);
}
