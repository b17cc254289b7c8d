#include "common/file_replace.h"

#include <cerrno>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::common {

namespace {

namespace fs = std::filesystem;

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

// Creates "<target>.tmp-XXXXXX" with a name nobody holds yet. O_EXCL refuses any
// existing entry, a symbolic link included, so the new bytes can only ever land
// in a file made here.
int createTemporary(const std::string& target, mode_t mode, std::string& temp) {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand next(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".tmp-";
        for (int i = 0; i < 6; ++i)
            temp += kChars[next() % (sizeof kChars - 1)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

ReplaceResult failed(ReplaceResult::Step step, int error, const std::string& path, const std::string& temp = {}) {
    if (!temp.empty())
        ::unlink(temp.c_str());
    return {error, false, step, path};
}

} // namespace

std::string replacementTarget(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
        return path;
    // The final target of the chain of links; a dangling link gives the path it
    // names, which the replacement then creates.
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved.string();
}

ReplaceResult replaceFileContents(const std::string& path, std::string_view bytes,
                                  const std::function<bool()>& beforeRename) {
    const std::string target = replacementTarget(path);
    const fs::path targetPath(target);
    const std::string folder = targetPath.has_parent_path() ? targetPath.parent_path().string() : ".";
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;

    std::string temp;
    const int fd = createTemporary(target, 0600, temp);
    if (fd < 0)
        return failed(ReplaceResult::Step::CreateTemporary, errno, temp); // nothing was created
    const bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed)
        return failed(ReplaceResult::Step::WriteTemporary, written ? errno : writeError, temp, temp);
    if (beforeRename && !beforeRename()) {
        ::unlink(temp.c_str());
        return {0, true, ReplaceResult::Step::None, {}};
    }
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return failed(ReplaceResult::Step::Rename, errno, target, temp);
    syncFolder(folder);
    return {};
}

std::string describeFileError(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空きが足りません";
    case EACCES:
    case EPERM:
        return "書き込みが許可されていません";
    case EROFS:
        return "読み取り専用の場所です";
    case ENOENT:
    case ENOTDIR:
        return "保存先のフォルダが見つかりません";
    case EISDIR:
        return "同じ名前のフォルダがあります";
    case ELOOP:
        return "シンボリックリンクが循環しています";
    default:
        return "書き込みに失敗しました（エラー番号 " + std::to_string(error) + "）";
    }
}

} // namespace tw::common
