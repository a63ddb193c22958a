#pragma once

#include "gfx/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Helpers for tests that check a codec against another program run on the same file.
namespace daubix::test {

// A fresh folder in the system's temporary folder, removed with everything in it by the destructor.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string path(const std::string& name) const { return (m_path / name).string(); }
    // The same path quoted for a shell command line.
    std::string word(const std::string& name) const { return "'" + path(name) + "'"; }

private:
    std::filesystem::path m_path;
};

// Whether the program can be run (a name found on PATH, or an absolute path).
bool haveProgram(const std::string& program);
// Runs a shell command line with its output thrown away; true when it exits with 0.
bool runQuietly(const std::string& commandLine);

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, std::span<const std::uint8_t> bytes);
// The same for text files.
std::string readText(const std::string& path);
void writeText(const std::string& path, std::string_view text);

// Reads a binary PPM (P6) or PGM (P5) of maxval 255 as a 24-bit bitmap, grey as R = G = B. Anything else
// gives an empty bitmap.
gfx::Bitmap readPnm(const std::string& path);
// Writes a 24-bit bitmap as a binary PPM.
void writePpm(const std::string& path, const gfx::Bitmap& image);

// A smooth picture with some grain and sharp edges, more like a photograph than noise is.
gfx::Bitmap photoLike(int width, int height);

} // namespace daubix::test
