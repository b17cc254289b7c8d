// Reading draw results of one game from a file: a CSV file with a header row
// (as public result feeds publish them, English or Japanese column names), a
// JSON file (an array of draw objects, or an object holding one), or a table
// file written by another copy of the program. The text may be UTF-8 (with or
// without a byte order mark) or Shift_JIS (code page 932); which one is detected.
//
// This module only turns a file into rows: each row is a round with its date,
// digits and the prizes the file gives, or the reason it cannot be used.
// Comparing rows with the stored history and writing the result is
// draw_merge.h. Standard library, iconv and nlohmann/json only; no Qt.
#pragma once

#include "common/lottery.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::history {

enum class ImportFormat { Auto, Csv, Json, Table };
enum class TextEncoding { Utf8, Utf8Bom, Cp932 };

// The fields of a draw, in the order the table file holds them.
enum class DrawField { Round, Date, Number, Straight, Box, SetStraight, SetBox, Mini };

// Prize fields by index 0..4, the index used in ImportRow::prizes.
inline constexpr std::array<DrawField, 5> kPrizeFields{DrawField::Straight, DrawField::Box, DrawField::SetStraight,
                                                       DrawField::SetBox, DrawField::Mini};
// Prize fields a game pays: 5 for NUMBERS3 (with Mini), 4 for NUMBERS4.
constexpr int prizeCount(common::Game game) {
    return game == common::Game::Numbers4 ? 4 : 5;
}

// Why a row is not imported. The first group is found while reading a row, the
// second while comparing the rows with the history (draw_merge.h).
enum class RefusalCode {
    BadRound,        // no round, or not a round number ("123", "第123回")
    BadDate,         // no date, or not a date
    NoNumber,        // no winning number
    BadNumber,       // a winning number with other characters than digits
    WrongLength,     // a winning number with the other game's digit count
    NumberMismatch,  // the number and the per-digit columns disagree
    BadAmount,       // a prize that is not an amount of yen
    BadLine,         // a table line that is not of the table shape
    NotADraw,        // a JSON element that is not an object
    DuplicateRow,    // the same round again with the same values
    ConflictingRows, // the same round again with other values
    RoundTooLarge,   // beyond the largest table the program holds
    YearUnknown,     // a month and day without a year, and no earlier round to take it from
    PrizesMissing,   // a new round without prizes, and missing prizes are not allowed
    Gap,             // rounds between the last stored one and this row are missing
    Blocked,         // an earlier new round was not imported, so this one cannot follow
};

struct Refusal {
    RefusalCode code = RefusalCode::BadRound;
    DrawField field = DrawField::Round; // BadAmount: the prize at fault
    std::string cell;                   // the text at fault, shortened; BadLine: what is wrong with the line
    int32_t fromRound = 0;              // Gap: first missing round; Blocked: the round not imported;
                                        // DuplicateRow / ConflictingRows: the round repeated
    int32_t toRound = 0;                // Gap: last missing round
    int digits = 0;                     // WrongLength: digits found
    bool operator==(const Refusal&) const = default;
};

// A Japanese sentence saying why the row is not imported.
std::string refusalText(const Refusal& refusal, common::Game game);
// A stable English key for machine-readable output ("wrong_length", "gap", ...).
const char* refusalKey(RefusalCode code);

// A date as the file gives it; year 0 when the file gives only month and day
// (the year is then taken from the round before, when the rows are compared).
struct ImportDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const ImportDate&) const = default;
};

// One draw as read from the file.
struct ImportRow {
    int line = 0;      // 1-based line of the file; for JSON the position in the array of draws
    int32_t round = 0; // 0 when the round cannot be read
    ImportDate date;
    std::array<uint8_t, 4> digits{};                // first place first; the game's digit count is used
    std::array<std::optional<int32_t>, 5> prizes{}; // by kPrizeFields; nothing when the file gives none
    std::optional<Refusal> fault;                   // set when the row cannot be used
    bool sameDraw(const ImportRow& other) const;    // equal round, date, digits and prizes
};

enum class ImportErrorCode {
    None,
    FileMissing,
    FileUnreadable,
    FileTooLarge,   // more than kMaxImportBytes
    Undecodable,    // neither UTF-8 nor Shift_JIS
    Empty,          // no text at all
    MissingColumns, // round, date or number not found among the column names
    BadJson,
    NoDraws, // JSON without an array of draw objects
};

struct ImportError {
    ImportErrorCode code = ImportErrorCode::None;
    std::string path;
    std::string detail;             // Undecodable, BadJson: where; FileUnreadable: why
    std::vector<DrawField> missing; // MissingColumns
    explicit operator bool() const { return code != ImportErrorCode::None; }
    // One Japanese message naming the file and what is wrong.
    std::string message() const;
};

// Largest file read: far above any real history (a 32757-round CSV is under 4 MB).
inline constexpr std::size_t kMaxImportBytes = 32u << 20;

struct ImportFile {
    ImportFormat format = ImportFormat::Csv;
    TextEncoding encoding = TextEncoding::Utf8;
    std::vector<ImportRow> rows;             // in file order
    std::vector<std::string> ignoredColumns; // CSV header names that name no field
    ImportError error;                       // set when the file cannot be read at all; then there are no rows
};

// Reads the file at `path` as results of `game`. `format` Auto detects it from
// the content: JSON when the text starts with '[' or '{', the table format when
// the first line is a table line, CSV otherwise.
ImportFile readImportFile(const std::string& path, common::Game game, ImportFormat format = ImportFormat::Auto);
// The same from bytes already in memory.
ImportFile readImportBytes(std::string_view bytes, common::Game game, ImportFormat format = ImportFormat::Auto);

// The Japanese name of a field, as messages and the preview show it ("抽選日").
const char* fieldName(DrawField field);

} // namespace tw::history
