// The draw table files ("Num3Data.tbl", "Num4Data.tbl"): one CR LF line per
// round, line n = round n, comma-separated fields
//   round,yyyy/mm/dd,digits,straight,box,setStraight,setBox[,mini]
// (the Mini field exists exactly when the digit text has 3 characters).
//
// Two ways to load: the sliced loader (TableLoader), which the loading dialog
// drives a few hundred lines per timer tick while it shows progress, and the
// direct whole-file path (loadTableFile) for headless callers. Both give the
// identical table, error and warning. A file is refused unless its bytes are CR
// LF lines of ASCII text: a line ended by a bare LF or CR (an editor or a
// version-control checkout converted the line ends), NUL bytes (UTF-16, binary)
// or a non-empty file without a single line end would otherwise load as an empty
// or shortened history that the next save overwrites. Bytes after the last CR LF
// that hold no line end are ignored, with a warning.
//
// Saving appends the records stored in this run, or rewrites the file
// (temporary file + rename) when a stored record corrects a round the file
// already holds; it refuses to touch a file whose bytes are no longer the ones
// loaded plus those this program wrote since. No Qt here.
#pragma once

#include "common/lottery.h"
#include "history/num_data.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::history {

// Every number of a line has at most this many digits (a 32-bit value needs
// ten), so no valid line is longer than kLongestLine characters: round, date,
// three digits and five amounts with their seven commas.
inline constexpr std::size_t kMaxNumberDigits = 10;
inline constexpr std::size_t kLongestLine = kMaxNumberDigits + 10 + 3 + 5 * kMaxNumberDigits + 7;
// A file longer than the most rounds a table holds, each on the longest line with
// its CR LF, cannot be a table; it is refused before it is read.
inline constexpr std::uint64_t kMaxTableFileBytes = std::uint64_t{DrawTable::kMaxRounds} * (kLongestLine + 2);

enum class LoadErrorKind {
    None,
    FileMissing,    // no such file
    FileUnreadable, // exists but cannot be read
    FileTooLarge,   // longer than kMaxTableFileBytes (detail holds the size)
    TooManyLines,   // more than DrawTable::kMaxRounds lines
    LineEndLf,      // line `line` ends with a bare LF
    LineEndCr,      // line `line` ends with a CR that no LF follows
    NulByte,        // line `line` holds a NUL byte (UTF-16 or binary data)
    NoLineEnd,      // a non-empty file without a single line end
    MalformedLine,  // a line that is not of the table shape (detail says what)
};

struct LoadError {
    LoadErrorKind kind = LoadErrorKind::None;
    std::string path;
    int line = 0;       // 1-based line number where the kind names a line
    std::string detail; // Japanese description of what is wrong with the line
    explicit operator bool() const { return kind != LoadErrorKind::None; }
    // One Japanese message naming the file, the line and what is wrong.
    std::string message() const;
};

// Something a loaded table does not hold as its file says, although every line
// could be read; the first such line of a file, in file order.
enum class LoadWarningKind {
    None,
    RoundMismatch,  // the round field of line `line` is `round`, not the line number
    WrongGameShape, // a 4-digit line in the Numbers3 file or a 3-digit line in the Numbers4 file
    UnendedTail,    // bytes after the last CR LF (from line `line` on) were not read
};

struct LoadWarning {
    LoadWarningKind kind = LoadWarningKind::None;
    std::string path;
    int line = 0;
    int32_t round = 0;                // the round field, for RoundMismatch
    std::optional<common::Game> game; // the file's game, for WrongGameShape
    explicit operator bool() const { return kind != LoadWarningKind::None; }
    // One Japanese sentence naming the file and the line.
    std::string message() const;
};

// Converts one line (without its CR LF). On a malformed line returns nullopt and,
// when `whatIsWrong` is given, a Japanese description of the fault.
std::optional<NumData> ParseTableLine(std::string_view line, std::string* whatIsWrong = nullptr);

// Formats a record as its table line (without CR LF), the first field being `slot`.
std::string FormatTableLine(const NumData& rec, int slot, common::Game game);

// The sliced loader of one file. Phases: ReadTableBlocks (whole, one tick),
// CountTableLines (slices until IsLoadStepDone), ParseTableLines (likewise).
// A slice takes at most the load slice of steps (a line found, or a move to the
// next block). After a failure (failed()) every phase call only reports done, so
// a caller driving the phases ends them and then reads error().
class TableLoader {
public:
    static constexpr int kBlockSize = 32000;
    static constexpr int kDefaultSlice = 200;

    // A game enables the check that every line has that game's shape; without
    // one, either shape loads without a word, as a table of unknown game. The
    // program reads blocks of kBlockSize bytes; the loader's fuzz target uses
    // blocks of a few bytes, so that every input crosses block boundaries.
    explicit TableLoader(std::string path, std::optional<common::Game> game = std::nullopt, int blockSize = kBlockSize);

    void SetLoadSlice(int n);
    void ReadTableBlocks();
    void ResetLineScan();
    void CountTableLines(); // one slice; on completion sizes the table
    void ResetLineParse();
    void ParseTableLines(); // one slice
    bool IsLoadStepDone() const { return m_blnLoadDone; }
    double LoadProgress() const { return m_loadProgress; }

    bool failed() const { return static_cast<bool>(m_error); }
    const LoadError& error() const { return m_error; }
    const LoadWarning& warning() const { return m_warning; }
    const DrawTable& table() const { return m_table; }
    DrawTable takeTable() { return std::move(m_table); }

private:
    enum class ScanStep { LineEnd, NextBlock, End, Fault };
    // One step over the blocks: the next CR LF in the current block, or the move to
    // the next block. The text passed over is appended to `text` when given. A
    // line end other than CR LF, or a NUL byte in a line, is a Fault, with the
    // error set for the line being scanned.
    ScanStep scanStep(std::string* text);
    bool nextBlockStartsWithLf() const;
    void finishCount();
    void fail(LoadError error);

    std::string m_path;
    std::optional<common::Game> m_game;
    int m_blockSize = kBlockSize;
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
    uint64_t m_fileBytes = 0;     // bytes read into the blocks
    uint64_t m_lineEndOffset = 0; // file offset just past the last CR LF counted
    bool m_blnNulInLine = false;  // a NUL byte lies in the line being counted
    LoadError m_error;
    LoadWarning m_warning;
    DrawTable m_table;
};

// Direct path: the whole file at once, the same table the sliced loader gives.
struct LoadResult {
    DrawTable table;
    LoadError error;
    LoadWarning warning;
};
// `game` as for TableLoader.
LoadResult loadTableFile(const std::string& path, std::optional<common::Game> game = std::nullopt);

struct SaveError {
    bool failed = false;
    std::string path;
    std::string detail;         // Japanese description of the failure
    bool changedOnDisk = false; // refused: the file is not the one this program loaded
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
// When the table came from a file (its stamp is known) and the file's bytes on
// disk differ from the stamp, nothing is written and the records stay unsaved
// (changedOnDisk); a file that is gone is written anew from the table.
SaveError SaveTable(DrawTable& table, common::Game game, const std::string& path);

// Test seam: when set, called after the temporary file of a rewrite is complete and
// before the rename; returning false makes the save fail there, as a crash would.
void setRewriteHookForTests(std::function<bool()> hook);

} // namespace tw::history
