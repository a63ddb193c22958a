#pragma once

#include "gfx/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daubix::io {

// Reads a whole file; files larger than maxBytes are refused before anything is read.
gfx::Result<std::vector<std::uint8_t>> readFile(const std::string& path, std::uint64_t maxBytes);

// An open regular file read in pieces, so that pixel rows can go straight where they belong.
class FileReader {
public:
    // Opens a regular file of at most maxBytes.
    static gfx::Result<FileReader> open(const std::string& path, std::uint64_t maxBytes);
    FileReader(FileReader&& other) noexcept;
    FileReader& operator=(FileReader&&) = delete;
    ~FileReader();

    std::uint64_t size() const { return m_size; }
    // Fills the buffers in order from the offset on; a file that ends first is an error.
    gfx::Status read(std::uint64_t offset, std::span<const std::span<std::uint8_t>> buffers);
    gfx::Status read(std::uint64_t offset, std::span<std::uint8_t> buffer);
    gfx::Result<std::vector<std::uint8_t>> readAll();

private:
    FileReader(int fd, std::uint64_t size, std::string path);

    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::string m_path;
};

// What a failed write says, for formats whose messages are fixed; empty texts give the system's reason.
struct WriteFailures {
    std::string open; // the file could not be created or put in place
    std::string write; // writing its bytes failed
};

// Writes to a temporary file beside the target and renames it over the target only when complete,
// so a failed save never destroys an existing file.
gfx::Status writeFileAtomically(
    const std::string& path, std::span<const std::uint8_t> bytes, const WriteFailures& texts = {});
// The same with the file's bytes given as pieces, written in order.
gfx::Status writeFileAtomically(const std::string& path, std::span<const std::span<const std::uint8_t>> pieces,
    const WriteFailures& texts = {});

} // namespace daubix::io
