#include "io/FileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace daubix::io {

namespace {
std::string systemError(const std::string& what, const std::string& path)
{
    return what + " \"" + path + "\": " + std::strerror(errno);
}
} // namespace

gfx::Result<std::vector<std::uint8_t>> readFile(const std::string& path, std::uint64_t maxBytes)
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
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const std::string message = systemError("Cannot read", path);
            ::close(fd);
            return gfx::Error{message};
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return bytes;
}

gfx::Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return gfx::Error{systemError("Cannot write", path)};
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const std::string message = systemError("Cannot write", path);
            ::close(fd);
            ::unlink(temp.c_str());
            return gfx::Error{message};
        }
        done += static_cast<std::size_t>(n);
    }
    // New files get the usual permissions rather than mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const std::string message = systemError("Cannot write", path);
        ::unlink(temp.c_str());
        return gfx::Error{message};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string message = systemError("Cannot write", path);
        ::unlink(temp.c_str());
        return gfx::Error{message};
    }
    return {};
}

} // namespace daubix::io
