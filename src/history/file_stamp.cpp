#include "history/file_stamp.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tw::history {

void FileStamp::extend(std::string_view bytes) {
    constexpr uint64_t kPrime = 1099511628211ull;
    uint64_t h = hash;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= kPrime;
    }
    hash = h;
    size += bytes.size();
    known = true;
}

FileStamp stampOf(std::string_view bytes) {
    FileStamp stamp;
    stamp.extend(bytes);
    return stamp;
}

DiskStamp stampOnDisk(const std::string& path) {
    DiskStamp result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            result.exists = true;
            result.error = errno;
        }
        return result;
    }
    result.exists = true;
    result.stamp.known = true;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = errno;
            break;
        }
        if (n == 0)
            break;
        result.stamp.extend(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    ::close(fd);
    return result;
}

} // namespace tw::history
