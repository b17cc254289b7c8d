// Replacing a whole file so that a failure never leaves the user without the old
// one: the new bytes go to a temporary file in the same folder ("<name>.tmp"),
// which is flushed to disk and then renamed over the original in one step. The
// program's table files and selection files are replaced this way.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tw::common {

struct ReplaceResult {
    int error = 0;                      // errno of the failing call, 0 on success
    bool abortedBeforeRename = false;   // the beforeRename check said no
    bool ok() const { return error == 0 && !abortedBeforeRename; }
};

// Writes `bytes` as the new contents of `path`, keeping the old file's permission
// bits (0644 for a new file). On any failure the old file is untouched and the
// temporary file is removed. `beforeRename`, when given, is called once the
// temporary file is complete; returning false stops there, as a crash would.
ReplaceResult replaceFileContents(const std::string& path, std::string_view bytes,
                                  const std::function<bool()>& beforeRename = {});

} // namespace tw::common
