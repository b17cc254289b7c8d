// Replacing a whole file so that a failure never leaves the user without the old
// one: the new bytes go to a temporary file of a fresh name in the same folder
// ("<name>.tmp-XXXXXX"), which is flushed to disk and then renamed over the
// original in one step. The temporary file is created exclusively and never
// through a symbolic link, so nothing that already lies in the folder (a stale
// temporary file, a link planted under such a name) is opened or overwritten.
// When the file to replace is itself a symbolic link, its target is replaced and
// the link stays. The program's table files and selection files are replaced
// this way. Standard library and POSIX only.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tw::common {

struct ReplaceResult {
    enum class Step { None, CreateTemporary, WriteTemporary, Rename };
    int error = 0;                    // errno of the failing call, 0 on success
    bool abortedBeforeRename = false; // the beforeRename check said no
    Step step = Step::None;           // what failed
    std::string failedPath;           // the file that step was about: the temporary file, or the target
    bool ok() const { return error == 0 && !abortedBeforeRename; }
    explicit operator bool() const { return ok(); }
};

// Writes `bytes` as the new contents of `path`, keeping the old file's permission
// bits (0644 for a new file). On any failure the old file is untouched and the
// temporary file is removed. `beforeRename`, when given, is called once the
// temporary file is complete; returning false stops there, as a crash would.
ReplaceResult replaceFileContents(const std::string& path, std::string_view bytes,
                                  const std::function<bool()>& beforeRename = {});

// The file a replacement of `path` writes: `path` itself, or the file a symbolic
// link at `path` finally points to.
std::string replacementTarget(const std::string& path);

// A short Japanese description of a file error (errno value), for messages such
// as "ファイル「…」に保存できません。（…）".
std::string describeFileError(int error);

} // namespace tw::common
