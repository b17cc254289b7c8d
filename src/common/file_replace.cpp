#include "common/file_replace.h"

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::common {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing already written.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

ReplaceResult failed(int error, const std::string& temp) {
    ::unlink(temp.c_str());
    return {error, false};
}

} // namespace

ReplaceResult replaceFileContents(const std::string& path, std::string_view bytes,
                                  const std::function<bool()>& beforeRename) {
    const std::filesystem::path target(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    const std::string temp = path + ".tmp";
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;

    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return {errno, false};   // nothing was created
    const bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed)
        return failed(written ? errno : writeError, temp);
    if (beforeRename && !beforeRename()) {
        ::unlink(temp.c_str());
        return {0, true};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return failed(errno, temp);
    syncFolder(folder);
    return {};
}

} // namespace tw::common
