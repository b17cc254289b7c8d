// Bringing a history up to date from imported rows, in two steps: a plan that
// says, row by row, what the import would do to the stored table (add, correct,
// leave, refuse, and what looks odd), and the application of a confirmed plan
// to the table and its file.
//
// The rules the plan follows:
// - A row for a stored round with the same values leaves it unchanged; with other
//   values it is a correction, applied only when corrections are accepted. Prizes
//   the row does not give keep their stored amounts.
// - New rounds continue the table without gaps (line n is round n): the first new
//   round that cannot be added, or that is missing, stops all later ones.
// - A new round without prizes is added with 0 amounts only when allowed.
// - A round repeated in the file is refused (all its rows when they disagree).
// - Warnings never stop a row: dates not increasing, a weekend date, a date other
//   than the other game's for the same round, Box or Set prizes on a number whose
//   digits are all equal, Set prizes off their usual relation to Straight and Box,
//   Box not below Straight.
// Nothing is written before applyImport. No Qt.
#pragma once

#include "common/lottery.h"
#include "history/draw_import.h"
#include "history/num_data.h"
#include "history/table_file.h"

#include <optional>
#include <string>
#include <vector>

namespace tw::history {

enum class ImportOutcome {
    Added,              // a new round
    AddedWithoutPrizes, // a new round without (all) prizes, stored with 0 for those missing
    Unchanged,          // a stored round with the same values
    Corrected,          // a stored round with other values, to be replaced
    CorrectionSkipped,  // the same, but corrections are not accepted
    Refused,            // not imported; PlannedRow::refusal says why
};

enum class WarningCode {
    DateNotAfterPrevious, // the date is not after the previous round's
    DateNotBeforeNext,    // the date is not before the next stored round's
    WeekendDate,          // a Saturday or Sunday
    OtherGameDate,        // the other game's stored round of the same number has another date
    BoxSetOnAllEqual,     // Box or Set prizes on a number such as 777, which is not sold as Box or Set
    SetStraightRelation,  // Set-Straight more than 100 yen from (Straight + Box) / 2, rounded down to 100
    SetBoxRelation,       // Set-Box more than 100 yen from Box / 2, rounded down to 100
    BoxNotBelowStraight,  // Box paid at least as much as Straight
};

struct ImportWarning {
    WarningCode code = WarningCode::WeekendDate;
    int32_t otherRound = 0; // DateNotAfterPrevious / DateNotBeforeNext / OtherGameDate: the round compared with
    double otherDate = 0;   // its date
    int32_t expected = 0;   // SetStraightRelation / SetBoxRelation: the usual amount
    bool operator==(const ImportWarning&) const = default;
};

// A Japanese sentence for the preview and the summary.
std::string warningText(const ImportWarning& warning, const NumData& record, common::Game game);
// A stable English key for machine-readable output ("weekend_date", ...).
const char* warningKey(WarningCode code);

struct ImportOptions {
    bool acceptCorrections = false;
    bool allowMissingPrizes = false;
};

struct PlannedRow {
    int line = 0;      // where the row is in the file (ImportRow::line)
    int32_t round = 0; // 0 when the file's round could not be read
    ImportOutcome outcome = ImportOutcome::Refused;
    bool prizesMissing = false; // the file gives not all prizes of the game
    NumData stored;             // the stored record of the round (all zero for a new round)
    NumData incoming;           // the record as the import stores it (or would, for a skipped correction)
    std::optional<Refusal> refusal;
    std::vector<ImportWarning> warnings;
};

// One field a correction changes, as texts for the preview: "2026/08/21", "286", "100,100".
struct FieldChange {
    DrawField field = DrawField::Date;
    std::string before;
    std::string after;
};
std::vector<FieldChange> changedFields(const PlannedRow& row, common::Game game);
// A field of a record as the preview shows it (the amounts grouped by thousands).
std::string fieldText(const NumData& record, DrawField field, common::Game game);

struct ImportCounts {
    int added = 0; // including those without prizes
    int addedWithoutPrizes = 0;
    int corrected = 0;
    int correctionsSkipped = 0;
    int unchanged = 0;
    int refused = 0;
    int warned = 0; // rows with at least one warning
};

struct ImportPlan {
    common::Game game = common::Game::Numbers3;
    ImportOptions options;
    ImportFormat format = ImportFormat::Csv;
    TextEncoding encoding = TextEncoding::Utf8;
    ImportError error;                       // the file could not be read; then there are no rows
    std::vector<std::string> ignoredColumns; // CSV header names that name no field
    std::vector<PlannedRow> rows;            // by round; rows without a readable round last, in file order
    int countBefore = 0;                     // rounds stored before the import
    int countAfter = 0;                      // rounds stored after it
    ImportCounts counts;

    bool changesTable() const { return counts.added + counts.corrected > 0; }
};

// Compares the rows read from a file with `table`, the stored history of `game`.
// `otherGame`, when given, is the other game's table, for the date check.
ImportPlan planImport(const ImportFile& file, common::Game game, const DrawTable& table, const DrawTable* otherGame,
                      const ImportOptions& options);
// Reads the file and plans in one call.
ImportPlan planImportFile(const std::string& path, common::Game game, const DrawTable& table,
                          const DrawTable* otherGame, const ImportOptions& options,
                          ImportFormat format = ImportFormat::Auto);

// A one-line Japanese summary of the plan's counts.
std::string planSummary(const ImportPlan& plan);

// `table` with the plan's added and corrected records stored in it, each marked
// unsaved. The plan must have been made against this table.
DrawTable importedTable(const DrawTable& table, const ImportPlan& plan);

struct ApplyResult {
    bool stale = false; // the table is no longer the one the plan was made against; nothing was done
    SaveError saveError;
    bool ok() const { return !stale && !saveError; }
    std::string message() const; // Japanese; empty when ok
};

// Applies a confirmed plan: stores its records in `table` and writes the table
// file at `path`, by appending when only new rounds follow the file's last one,
// otherwise by replacing the whole file. `table` always ends up holding what the
// user confirmed: when the write fails, the records not yet in the file stay
// marked unsaved, so that the exit save writes them; the caller must keep this
// table and not the one before (the file may already hold some appended rounds).
// A stale plan leaves the table and the file alone; a plan with a file error or
// without changes writes nothing.
ApplyResult applyImport(DrawTable& table, const ImportPlan& plan, const std::string& path);

// The one place the import writes a table file.
SaveError writeImportedTable(DrawTable& table, common::Game game, const std::string& path);

} // namespace tw::history
