// Writing a table back to its file, each time the user stores a round and again
// at exit for whatever is still unsaved. New rounds are appended; anything else
// that would break "line n holds round n" (a corrected round, a file that lost
// its lines or ends in the middle of a line) makes the whole file be rewritten
// through a temporary file in the same folder, flushed to disk and renamed over
// the original, so a failure never leaves a half-written table in place.
//
// Before either, the file on disk is compared with the stamp of the bytes the
// table was loaded from plus those written since: a file changed by anyone else
// is neither appended to nor replaced, and the records stay unsaved in memory
// for another try. Uses POSIX file calls because the standard library cannot
// flush to disk.
#include "history/table_file.h"

#include "common/file_replace.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::history {

namespace {

std::function<bool()>& rewriteHook() {
    static std::function<bool()> hook;
    return hook;
}

std::string describeErrno(int e) {
    return common::describeFileError(e);
}

// What failed in a replacement, naming the file that failed when it is not the
// table file itself (the temporary file beside it, or the target of a link).
std::string describeReplaceFailure(const common::ReplaceResult& r, const std::string& path) {
    const std::string reason = describeErrno(r.error);
    const std::string name = std::filesystem::path(r.failedPath).filename().string();
    switch (r.step) {
    case common::ReplaceResult::Step::CreateTemporary:
        return "一時ファイル「" + name + "」を作れません：" + reason;
    case common::ReplaceResult::Step::WriteTemporary:
        return "一時ファイル「" + name + "」に書き込めません：" + reason;
    case common::ReplaceResult::Step::Rename:
        if (r.failedPath != path)
            return "リンク先のファイル「" + r.failedPath + "」を置き換えられません：" + reason;
        return reason;
    case common::ReplaceResult::Step::None:
        break;
    }
    return reason;
}

SaveError saveError(const std::string& path, std::string detail) {
    return {true, path, std::move(detail)};
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::vector<int> unsavedSlots(const DrawTable& table) {
    std::vector<int> slots;
    for (int i = 1; i <= table.count; ++i)
        if (table.record(i).blnUnsaved)
            slots.push_back(i);
    return slots;
}

bool endsWithLineEnd(int fd, off_t size) {
    char tail[2] = {};
    return size >= 2 && ::pread(fd, tail, 2, size - 2) == 2 && tail[0] == '\r' && tail[1] == '\n';
}

// Appending keeps line n = round n only when the unsaved records are exactly the
// rounds after the file's last one, and the file still ends where its last line
// ends (a missing or empty file only when it held no rounds).
bool canAppend(const DrawTable& table, const std::vector<int>& unsaved, const std::string& path) {
    if (unsaved.front() != table.savedCount + 1 || std::ssize(unsaved) != table.count - table.savedCount)
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return table.savedCount == 0; // appending creates it, or reports why it cannot
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 &&
                    (st.st_size == 0 ? table.savedCount == 0 : table.savedCount > 0 && endsWithLineEnd(fd, st.st_size));
    ::close(fd);
    return ok;
}

void markSaved(DrawTable& table, int slot) {
    table.records[static_cast<std::size_t>(slot)].blnUnsaved = false;
    table.savedCount = static_cast<int16_t>(slot);
}

// Appends line by line so that the lines written before a failure stay and are
// marked saved (and stamped); a line cut short by the failure is cut off again.
SaveError appendRecords(DrawTable& table, common::Game game, const std::string& path, const std::vector<int>& unsaved) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return saveError(path, describeErrno(errno));
    struct stat st {};
    off_t written = ::fstat(fd, &st) == 0 ? st.st_size : 0;
    for (const int slot : unsaved) {
        const std::string line = FormatTableLine(table.record(slot), slot, game) + "\r\n";
        if (!writeAll(fd, line)) {
            const int e = errno;
            [[maybe_unused]] const int ignored = ::ftruncate(fd, written);
            ::close(fd);
            return saveError(path, describeErrno(e));
        }
        written += static_cast<off_t>(line.size());
        markSaved(table, slot);
        if (table.fileStamp.known)
            table.fileStamp.extend(line);
    }
    const bool ok = ::fsync(fd) == 0;
    const int e = errno;
    if (::close(fd) != 0 || !ok)
        return saveError(path, describeErrno(ok ? errno : e));
    return {};
}

std::string tableText(const DrawTable& table, common::Game game) {
    std::string text;
    text.reserve(static_cast<std::size_t>(table.count) * 48);
    for (int i = 1; i <= table.count; ++i)
        text += FormatTableLine(table.record(i), i, game) + "\r\n";
    return text;
}

SaveError rewriteFile(DrawTable& table, common::Game game, const std::string& path) {
    const std::string text = tableText(table, game);
    const common::ReplaceResult replaced = common::replaceFileContents(path, text, rewriteHook());
    if (replaced.abortedBeforeRename)
        return saveError(path, "ファイルを置き換える前に中断しました");
    if (!replaced.ok())
        return saveError(path, describeReplaceFailure(replaced, path));
    for (int i = 1; i <= table.count; ++i)
        markSaved(table, i);
    table.fileStamp = stampOf(text);
    return {};
}

// A table loaded from a file may only write to that file as it left it.
SaveError checkUnchanged(const DrawTable& table, const std::string& path) {
    if (!table.fileStamp.known)
        return {};
    const DiskStamp disk = stampOnDisk(path);
    if (!disk.exists)
        return {}; // gone: written anew from the table, which loses nothing
    if (disk.error != 0)
        return saveError(path, "ファイルを確かめられません（" + describeErrno(disk.error) + "）");
    if (disk.stamp.sameBytes(table.fileStamp))
        return {};
    SaveError error = saveError(path, "読み込んだ後にほかのプログラムで変更されています。上書きせず、"
                                      "入力したデータはこのプログラムの中に残してあります");
    error.changedOnDisk = true;
    return error;
}

} // namespace

SaveError SaveTable(DrawTable& table, common::Game game, const std::string& path) {
    const std::vector<int> unsaved = unsavedSlots(table);
    if (unsaved.empty())
        return {};
    if (SaveError changed = checkUnchanged(table, path))
        return changed;
    if (canAppend(table, unsaved, path))
        return appendRecords(table, game, path, unsaved);
    return rewriteFile(table, game, path);
}

void setRewriteHookForTests(std::function<bool()> hook) {
    rewriteHook() = std::move(hook);
}

} // namespace tw::history
