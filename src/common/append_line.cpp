#include "common/append_line.h"

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::common {

bool AppendToFile(const std::string& dir, const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = std::filesystem::path(dir) / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    bool ok = sized;
    for (std::string_view rest = bytes; ok && !rest.empty();) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            rest.remove_prefix(static_cast<std::size_t>(n));
    }
    if (!ok && sized) [[maybe_unused]]
        const int ignored = ::ftruncate(fd, st.st_size);
    return ::close(fd) == 0 && ok;
}

bool AppendLineToFile(const std::string& dir, const std::string& name, std::string_view line) {
    std::string bytes(line);
    bytes += "\r\n";
    return AppendToFile(dir, name, bytes);
}

} // namespace tw::common
