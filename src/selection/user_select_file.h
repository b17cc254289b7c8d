// The user selection file: the confirmed selection of one round, one file per
// game in the working folder. Line 1 holds the round, the following lines the
// entries, twenty to a line joined by ",", every line ended by CR LF. What an
// entry means is the selection model's business; this module only stores and
// splits strings. Standard library only.
#pragma once

#include "common/file_replace.h"
#include "common/lottery.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tw::selection {

// "NUMBERS３ユーザー選出.dat" or "NUMBERS４ユーザー選出.dat" (UTF-8, full-width digit).
std::string userSelectFileName(common::Game game);

// Writes the file for one game in folder `dir`. The new content goes to a
// temporary file in the same folder that is then renamed over the old file, so
// a failure at any point leaves the previous selection as it was. The result is
// false on any error (EOVERFLOW when there are more entries than a 16-bit count
// holds) and says which file failed; nothing is shown here.
common::ReplaceResult WriteUserSelectFile(const std::string& dir, common::Game game, int16_t round,
                                          const std::vector<std::string>& entries);

// Test seam: when set, called once the new selection file is complete and before
// it replaces the old one; returning false stops there, as a crash would.
void setUserSelectReplaceHookForTests(std::function<bool()> hook);

struct UserSelectRead {
    bool ok = false;                  // the file exists, is readable and holds `round`
    std::vector<std::string> entries; // non-empty fields in order of appearance
};

// Reads the file for one game. A missing or unreadable file, a first line that is
// not a number, and a file of another round all give ok = false and no entries.
// Both CR LF and bare LF line ends are accepted; a last line without its line end
// (a truncated file) is still read. At most 32767 entries are returned.
UserSelectRead ReadUserSelectFile(const std::string& dir, common::Game game, int16_t round);

} // namespace tw::selection
