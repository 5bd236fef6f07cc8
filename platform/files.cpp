#include "platform/files.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

std::optional<std::string> readWholeFile(const std::string& path, bool* missing) {
    if (missing) *missing = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (missing) *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    std::string bytes;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

} // namespace platform
