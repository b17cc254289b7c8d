// Which folder the program works in, and the per-user data folder's first fill.
// The choice is a pure function over a few facts that start-up gathers (the
// command line, the environment, what the current directory holds), so every
// rule can be checked without touching a disk. Standard library only: the window
// layer finds the per-user folder and the installed sample files and asks the
// file system whether a folder is writable.
//
// The rules, first match wins:
//   1. `--workdir DIR` on the command line: DIR.
//   2. The environment variable TALLOWIND_WORKDIR, when set and not empty.
//   3. `--user-data` (what the desktop entry passes): the per-user data folder.
//   4. The current directory, when it is usable: it holds Num3Data.tbl or
//      Num4Data.tbl and the program may write there (saving entered draws
//      appends to the tables and the selection files are replaced in the folder).
//   5. Otherwise the per-user data folder. A writable folder without tables does
//      not count as usable: the loader cannot start without them, and the program
//      does not leave copies of the samples in whatever folder it was started
//      from (a terminal's home folder, say).
// A relative DIR in rules 1 and 2 is taken from the current directory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tw::app {

inline constexpr const char* kWorkdirEnvVar = "TALLOWIND_WORKDIR";

struct FolderFacts {
    std::filesystem::path optionDir;   // --workdir; empty when not given
    std::filesystem::path envDir;      // TALLOWIND_WORKDIR; empty when unset or empty
    bool userDataRequested = false;    // --user-data
    std::filesystem::path currentDir;  // the process's current directory; empty when unknown
    bool currentHoldsTables = false;   // Num3Data.tbl or Num4Data.tbl is there
    bool currentWritable = false;      // files may be created in it
    std::filesystem::path userDataDir; // the per-user data folder; empty when the platform has none
};

enum class FolderSource { Option, Environment, Current, UserData };

struct FolderChoice {
    std::filesystem::path dir;
    FolderSource source = FolderSource::Current;
};

FolderChoice chooseWorkingFolder(const FolderFacts& facts);

// True when `dir` holds at least one of the two table files.
bool holdsTableFile(const std::filesystem::path& dir);

// What preparing the per-user folder did.
struct UserFolderResult {
    enum class Status {
        Ready,     // the tables were there already; at most the clip was added
        Filled,    // the folder got the sample tables now: the first start with it
        NoSamples, // the tables are missing and no sample folder holds both
        Failed,    // a folder or a copy could not be made
    };
    Status status = Status::Ready;
    std::string detail;              // the path and system message of a failure
    std::vector<std::string> copied; // file names copied in, in copy order
};

// Makes `dir` and, when neither table file is in it, copies both sample tables
// from `sampleDir` (empty = none found); the clip is copied whenever it is
// missing. A table the user still has is never replaced, and one table alone is
// not completed from the samples: a single missing table is the loader's to
// report. Each copy goes to a temporary name first and is renamed into place, so
// an interrupted copy never leaves a shortened table that would load as a
// shorter history.
UserFolderResult prepareUserDataFolder(const std::filesystem::path& dir, const std::filesystem::path& sampleDir);

// True when `dir` holds both sample tables.
bool isSampleFolder(const std::filesystem::path& dir);

} // namespace tw::app
