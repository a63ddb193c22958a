#include "io/FileWriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace daubix::io {

namespace {

std::string systemError(const std::string& what, const std::string& path)
{
    return what + " \"" + path + "\": " + std::strerror(errno);
}

// The pieces as I/O vectors, at most IOV_MAX at a time, resumed after a short transfer.
template <typename Piece, typename Transfer> bool transferAll(std::span<const Piece> pieces, Transfer&& transfer)
{
    std::size_t first = 0, skip = 0; // the piece to go on with, and how much of it is done
    while (first < pieces.size()) {
        iovec vectors[IOV_MAX];
        int count = 0;
        for (std::size_t i = first; i < pieces.size() && count < IOV_MAX; ++i, ++count) {
            const std::size_t done = i == first ? skip : 0;
            vectors[count] = {const_cast<std::uint8_t*>(pieces[i].data()) + done, pieces[i].size() - done};
        }
        const ssize_t n = transfer(vectors, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 && vectors[0].iov_len > 0)
            return false;
        auto left = static_cast<std::size_t>(std::max<ssize_t>(n, 0));
        while (first < pieces.size() && left >= pieces[first].size() - skip) {
            left -= pieces[first].size() - skip;
            skip = 0;
            ++first;
        }
        skip += left;
    }
    return true;
}

} // namespace

FileReader::FileReader(int fd, std::uint64_t size, std::string path)
    : m_fd(fd)
    , m_size(size)
    , m_path(std::move(path))
{
}

FileReader::FileReader(FileReader&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_size(other.m_size)
    , m_path(std::move(other.m_path))
{
}

FileReader::~FileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

gfx::Result<FileReader> FileReader::open(const std::string& path, std::uint64_t maxBytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return gfx::Error{systemError("Cannot open", path)};
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return gfx::Error{"\"" + path + "\" is not a regular file."};
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return gfx::Error{"\"" + path + "\" is too large."};
    }
    return FileReader(fd, static_cast<std::uint64_t>(st.st_size), path);
}

gfx::Status FileReader::read(std::uint64_t offset, std::span<const std::span<std::uint8_t>> buffers)
{
    auto position = static_cast<off_t>(offset);
    errno = 0;
    const bool whole = transferAll(buffers, [&](iovec* vectors, int count) {
        const ssize_t n = ::preadv(m_fd, vectors, count, position);
        if (n > 0)
            position += n;
        return n;
    });
    if (!whole)
        return gfx::Error{errno ? systemError("Cannot read", m_path) : "\"" + m_path + "\" is truncated."};
    return {};
}

gfx::Status FileReader::read(std::uint64_t offset, std::span<std::uint8_t> buffer)
{
    const std::span<std::uint8_t> one[] = {buffer};
    return read(offset, one);
}

gfx::Result<std::vector<std::uint8_t>> FileReader::readAll()
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(m_size));
    if (gfx::Status s = read(0, bytes); !s)
        return gfx::Error{s.error()};
    return bytes;
}

gfx::Result<std::vector<std::uint8_t>> readFile(const std::string& path, std::uint64_t maxBytes)
{
    auto file = FileReader::open(path, maxBytes);
    if (!file)
        return gfx::Error{file.error()};
    return file.value().readAll();
}

gfx::Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, const WriteFailures& texts)
{
    const std::span<const std::uint8_t> one[] = {bytes};
    return writeFileAtomically(path, one, texts);
}

gfx::Status writeFileAtomically(
    const std::string& path, std::span<const std::span<const std::uint8_t>> pieces, const WriteFailures& texts)
{
    const auto failure = [&](const std::string& text) {
        return text.empty() ? systemError("Cannot write", path) : text;
    };
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return gfx::Error{failure(texts.open)};
    errno = 0;
    const bool written = transferAll(pieces, [&](iovec* vectors, int count) { return ::writev(fd, vectors, count); });
    if (!written) {
        const std::string message = failure(texts.write);
        ::close(fd);
        ::unlink(temp.c_str());
        return gfx::Error{message};
    }
    // New files get the usual permissions rather than mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const std::string message = failure(texts.write);
        ::unlink(temp.c_str());
        return gfx::Error{message};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string message = failure(texts.open);
        ::unlink(temp.c_str());
        return gfx::Error{message};
    }
    return {};
}

} // namespace daubix::io
