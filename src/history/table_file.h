// The draw table files ("Num3Data.tbl", "Num4Data.tbl"): one CR LF line per
// round, line n = round n, comma-separated fields
//   round,yyyy/mm/dd,digits,straight,box,setStraight,setBox[,mini]
// (the Mini field exists exactly when the digit text has 3 characters).
//
// Two ways to load: the sliced loader (TableLoader), which the loading dialog
// drives a few hundred lines per timer tick while it shows progress, and the
// direct whole-file path (loadTableFile) for headless callers. Both give the
// identical table. Saving appends the records stored in this run, or rewrites
// the file (temporary file + rename) when a stored record corrects a round the
// file already holds. No Qt here.
#pragma once

#include "history/num_data.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::history {

enum class LoadErrorKind {
    None,
    FileMissing,      // no such file
    FileUnreadable,   // exists but cannot be read
    TooManyLines,     // more than DrawTable::kMaxRounds lines
    MalformedLine,    // a line that is not of the table shape (detail says what)
};

struct LoadError {
    LoadErrorKind kind = LoadErrorKind::None;
    std::string path;
    int line = 0;            // 1-based line number for MalformedLine
    std::string detail;      // Japanese description of what is wrong with the line
    explicit operator bool() const { return kind != LoadErrorKind::None; }
    // One Japanese message naming the file, the line and what is wrong.
    std::string message() const;
};

// Converts one line (without its CR LF). On a malformed line returns nullopt and,
// when `whatIsWrong` is given, a Japanese description of the fault.
std::optional<NumData> ParseTableLine(std::string_view line, std::string* whatIsWrong = nullptr);

// Formats a record as its table line (without CR LF), the first field being `slot`.
std::string FormatTableLine(const NumData& rec, int slot, int game);

// The sliced loader of one file. Phases: ReadTableBlocks (whole, one tick),
// CountTableLines (slices until IsLoadStepDone), ParseTableLines (likewise).
// A slice takes at most the load slice of steps (a line found, or a move to the
// next block). After a failure (failed()) every phase call only reports done, so
// a caller driving the phases ends them and then reads error().
class TableLoader {
public:
    static constexpr int kBlockSize = 32000;
    static constexpr int kDefaultSlice = 200;

    explicit TableLoader(std::string path);

    void SetLoadSlice(int n);
    void ReadTableBlocks();
    void ResetLineScan();
    void CountTableLines();     // one slice; on completion sizes the table
    void ResetLineParse();
    void ParseTableLines();     // one slice
    bool IsLoadStepDone() const { return m_blnLoadDone; }
    double LoadProgress() const { return m_loadProgress; }

    bool failed() const { return static_cast<bool>(m_error); }
    const LoadError& error() const { return m_error; }
    const DrawTable& table() const { return m_table; }
    DrawTable takeTable() { return std::move(m_table); }

private:
    enum class ScanStep { LineEnd, NextBlock, End };
    // One step over the blocks: the next CR LF in the current block, or the move to
    // the next block. The text passed over is appended to `text` when given.
    ScanStep scanStep(std::string* text);
    bool nextBlockStartsWithLf() const;
    void finishCount();
    void fail(LoadError error);

    std::string m_path;
    std::vector<std::string> m_strLoadBlock;
    int m_intBlockCount = 0;
    int m_intBlockIndex = 0;
    int m_intBlockPos = 1;
    std::string m_strCarry;
    int m_intLineCount = 0;
    int m_intLoadSlot = 1;
    int m_intLoadSlice = kDefaultSlice;
    bool m_blnLoadDone = false;
    double m_loadProgress = 0;
    LoadError m_error;
    DrawTable m_table;
};

// Direct path: the whole file at once, the same table the sliced loader gives.
struct LoadResult {
    DrawTable table;
    LoadError error;
};
LoadResult loadTableFile(const std::string& path);

struct SaveError {
    bool failed = false;
    std::string path;
    std::string detail;      // Japanese description of the failure
    explicit operator bool() const { return failed; }
    std::string message() const;
};

// Writes the unsaved records of `table` to its file, clears their flags and sets
// savedCount. Appends their lines in slot order; when any unsaved record is a round
// the file already holds (a correction), or the file no longer ends after its last
// round's CR LF, rewrites the whole file instead (rounds 1..count, to a temporary
// file in the same folder, flushed, renamed over the original). With nothing
// unsaved the file is not touched. On a failed append the lines written before
// the failure stay (and are marked saved); a failed rewrite leaves the old file.
SaveError SaveTable(DrawTable& table, int game, const std::string& path);

// Test seam: when set, called after the temporary file of a rewrite is complete and
// before the rename; returning false makes the save fail there, as a crash would.
void setRewriteHookForTests(std::function<bool()> hook);

} // namespace tw::history
