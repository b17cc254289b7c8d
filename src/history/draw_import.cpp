// Import files into rows. The readers of the three formats meet in one place:
// each turns a draw into the texts of its cells (RawDraw), and makeRow reads
// those texts the same way whatever the format, so that "第123回", "１２３" and
// 123 are one round and "119,800円" and 119800 one amount.
#include "history/draw_import.h"

#include "common/cp932.h"
#include "common/date_serial.h"
#include "history/table_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace tw::history {

namespace {

using common::Game;

// ---------------------------------------------------------------------------
// Text helpers

// Folds the full-width forms of ASCII (U+FF01..U+FF5E) and the ideographic space
// to ASCII, so that "１２３" reads as "123" and "（" as "(".
std::string foldWidth(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c0 = static_cast<unsigned char>(s[i]);
        if (i + 2 < s.size()) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            const auto c2 = static_cast<unsigned char>(s[i + 2]);
            if (c0 == 0xEF && c1 == 0xBC && c2 >= 0x81 && c2 <= 0xBF) {
                out += static_cast<char>(c2 - 0x81 + 0x21);
                i += 3;
                continue;
            }
            if (c0 == 0xEF && c1 == 0xBD && c2 >= 0x80 && c2 <= 0x9E) {
                out += static_cast<char>(c2 - 0x80 + 0x60);
                i += 3;
                continue;
            }
            if (c0 == 0xE3 && c1 == 0x80 && c2 == 0x80) {
                out += ' ';
                i += 3;
                continue;
            }
        }
        out += s[i];
        ++i;
    }
    return out;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Removes every occurrence of `what` from `s`.
void eraseAll(std::string& s, std::string_view what) {
    for (std::size_t pos = s.find(what); pos != std::string::npos; pos = s.find(what, pos))
        s.erase(pos, what.size());
}

// A cell echoed in a message: at most 16 characters, control characters as '?'.
// The text is valid UTF-8 by now, so a character is a lead byte with its trail bytes.
std::string shortened(std::string_view text) {
    constexpr int kMaxShown = 16;
    std::string out;
    int shown = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool lead = (c & 0xC0) != 0x80;
        if (lead && shown++ == kMaxShown)
            return out + "…";
        out += c < 0x20 || c == 0x7F ? '?' : text[i];
    }
    return out;
}

// ---------------------------------------------------------------------------
// Column names

enum class Role { None, Round, Date, Number, Digit, Prize, PrizeGroup };

struct ColumnRole {
    Role role = Role::None;
    int index = 0; // Digit: place 0..3; Prize: index into kPrizeFields
};

// A name reduced to what tells columns apart: width folded, ASCII lower case,
// spaces and punctuation dropped ("Set_Straight Payout" -> "setstraightpayout",
// "セット（ストレート）" -> "セットストレート").
std::string nameKey(std::string_view name) {
    const std::string folded = foldWidth(name);
    std::string key;
    key.reserve(folded.size());
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c >= 0x80) {
            if (folded.compare(i, 3, "・") == 0) {
                i += 2;
                continue;
            }
            key += folded[i];
        } else if (std::isalnum(c)) {
            key += static_cast<char>(std::tolower(c));
        }
    }
    return key;
}

bool isOneOf(std::string_view key, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), key) != names.end();
}

// The prize a name stands for, once words such as "payout" or "金額" around it are
// dropped: "straight_payout", "ストレート当せん金額" and "セット（ボックス）" all name
// a prize; "ストレート口数" (winners) names none.
std::optional<int> prizeIndexOf(std::string key) {
    static constexpr std::string_view kAffixes[] = {"当せん金額", "当選金額", "当せん金", "当選金", "配当金",
                                                    "金額",       "配当",     "賞金",     "payout", "prize",
                                                    "amount",     "yen",      "円"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const std::string_view affix : kAffixes) {
            if (key.size() > affix.size() && endsWith(key, affix)) {
                key.resize(key.size() - affix.size());
                stripped = true;
            } else if (key.size() > affix.size() && startsWith(key, affix)) {
                key.erase(0, affix.size());
                stripped = true;
            }
        }
    }
    static constexpr std::string_view kStems[5][2] = {{"straight", "ストレート"},
                                                      {"box", "ボックス"},
                                                      {"setstraight", "セットストレート"},
                                                      {"setbox", "セットボックス"},
                                                      {"mini", "ミニ"}};
    for (int i = 0; i < 5; ++i)
        if (key == kStems[i][0] || key == kStems[i][1])
            return i;
    return std::nullopt;
}

ColumnRole classifyName(std::string_view name) {
    const std::string key = nameKey(name);
    if (isOneOf(key, {"drawno", "round", "roundno", "no", "回号", "回別", "抽せん回", "抽選回", "回"}))
        return {Role::Round};
    if (isOneOf(key, {"drawdate", "date", "抽せん日", "抽選日", "日付"}))
        return {Role::Date};
    if (isOneOf(key, {"winningnumber", "number", "num", "当せん番号", "当選番号", "当せん数字", "当選数字", "番号",
                      "result"}))
        return {Role::Number};
    if (key.size() == 6 && startsWith(key, "digit") && key[5] >= '1' && key[5] <= '4')
        return {Role::Digit, key[5] - '1'};
    if (isOneOf(key, {"prize", "prizes", "payout", "payouts", "賞金", "当せん金額", "当選金額"}))
        return {Role::PrizeGroup};
    if (const std::optional<int> prize = prizeIndexOf(key))
        return {Role::Prize, *prize};
    return {};
}

// ---------------------------------------------------------------------------
// Cells

// The texts of one draw's cells, as any of the formats gives them; nothing where
// the file has no such column or member.
struct RawDraw {
    int line = 0;
    std::optional<std::string> round, date, number;
    std::array<std::optional<std::string>, 4> digits;
    std::array<std::optional<std::string>, 5> prizes;
    bool numberIsInteger = false; // a JSON integer, whose leading zeros cannot be written
};

Refusal refusal(RefusalCode code, std::string_view cell = {}) {
    Refusal r;
    r.code = code;
    r.cell = shortened(trim(cell));
    return r;
}

std::optional<int32_t> parseRound(std::string_view raw) {
    const std::string folded = foldWidth(raw);
    std::string_view s = trim(folded);
    if (startsWith(s, "第"))
        s.remove_prefix(std::strlen("第"));
    if (endsWith(s, "回"))
        s.remove_suffix(std::strlen("回"));
    s = trim(s);
    if (!allDigits(s) || s.size() > 9)
        return std::nullopt;
    int32_t value = 0;
    for (const char c : s)
        value = value * 10 + (c - '0');
    return value >= 1 ? std::optional<int32_t>(value) : std::nullopt;
}

bool validDate(int year, int month, int day) {
    // Without a year, 29 February must stay possible.
    const int y = year == 0 ? 2000 : year;
    return (year == 0 || (year >= 1900 && year <= 9999)) &&
           std::chrono::year_month_day{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(month)},
                                       std::chrono::day{static_cast<unsigned>(day)}}
               .ok();
}

// "2026-08-21", "2026/8/21", "2026.08.21", "2026年8月21日", "20260821", also with a
// weekday in brackets or a time after the date; "08/21" and "8月21日" without a year.
std::optional<ImportDate> parseDate(std::string_view raw) {
    const std::string folded = foldWidth(raw);
    std::string_view s = trim(folded);
    if (const std::size_t bracket = s.find('('); bracket != std::string_view::npos)
        s = trim(s.substr(0, bracket));
    if (const std::size_t time = s.find_first_of("T "); time != std::string_view::npos)
        s = s.substr(0, time);
    std::vector<int> numbers;
    std::vector<std::string_view> separators; // after each number
    std::vector<std::size_t> widths;
    while (!s.empty()) {
        std::size_t n = 0;
        while (n < s.size() && isDigit(s[n]))
            ++n;
        if (n == 0 || n > 8)
            return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < n; ++i)
            value = value * 10 + (s[i] - '0');
        numbers.push_back(value);
        widths.push_back(n);
        s.remove_prefix(n);
        std::size_t m = 0;
        while (m < s.size() && !isDigit(s[m]))
            ++m;
        separators.push_back(s.substr(0, m));
        s.remove_prefix(m);
    }
    ImportDate d;
    const auto sep = [&](std::size_t i) { return separators[i]; };
    if (numbers.size() == 1 && widths[0] == 8 && sep(0).empty()) {
        d = {numbers[0] / 10000, numbers[0] / 100 % 100, numbers[0] % 100};
    } else if (numbers.size() == 3 && widths[0] == 4 && widths[1] <= 2 && widths[2] <= 2) {
        const bool ascii = (sep(0) == "-" || sep(0) == "/" || sep(0) == ".") && sep(1) == sep(0) && sep(2).empty();
        const bool kanji = sep(0) == "年" && sep(1) == "月" && (sep(2).empty() || sep(2) == "日");
        if (!ascii && !kanji)
            return std::nullopt;
        d = {numbers[0], numbers[1], numbers[2]};
    } else if (numbers.size() == 2 && widths[0] <= 2 && widths[1] <= 2) {
        const bool ascii = (sep(0) == "/" || sep(0) == "-") && sep(1).empty();
        const bool kanji = sep(0) == "月" && (sep(1).empty() || sep(1) == "日");
        if (!ascii && !kanji)
            return std::nullopt;
        d = {0, numbers[0], numbers[1]};
    } else {
        return std::nullopt;
    }
    if (!validDate(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

enum class AmountKind { Value, Missing, Bad };

// "119800", "119,800", "119,800円", "¥119,800", "\119,800" (the yen sign as code
// page 932 stores it) are amounts; an empty cell or a dash gives none.
AmountKind parseAmount(std::string_view raw, int32_t& value) {
    std::string s(trim(foldWidth(raw)));
    if (s.empty() || isOneOf(s, {"-", "—", "―", "ー", "‐", "該当なし", "なし"}))
        return AmountKind::Missing;
    for (const std::string_view mark : {"円", "¥", "￥", "\\", ",", " "})
        eraseAll(s, mark);
    if (!allDigits(s) || s.size() > 10)
        return AmountKind::Bad;
    const long long v = std::stoll(s);
    if (v > std::numeric_limits<int32_t>::max())
        return AmountKind::Bad;
    value = static_cast<int32_t>(v);
    return AmountKind::Value;
}

bool allEqual(const std::array<uint8_t, 4>& digits, int count) {
    for (int i = 1; i < count; ++i)
        if (digits[static_cast<std::size_t>(i)] != digits[0])
            return false;
    return true;
}

// The winning number from the number cell, or from the per-digit cells when the
// number cell is missing or empty; when both are there they must agree.
std::optional<Refusal> readNumber(const RawDraw& raw, int want, std::array<uint8_t, 4>& digits) {
    std::optional<std::array<uint8_t, 4>> fromColumns;
    std::string columnsText;
    bool anyColumn = false;
    if (std::all_of(raw.digits.begin(), raw.digits.begin() + want, [](const auto& c) { return c.has_value(); })) {
        std::array<uint8_t, 4> d{};
        bool ok = true;
        for (int i = 0; i < want; ++i) {
            const std::string cell(trim(foldWidth(*raw.digits[static_cast<std::size_t>(i)])));
            anyColumn = anyColumn || !cell.empty();
            if (i)
                columnsText += ',';
            columnsText += cell;
            ok = ok && cell.size() == 1 && isDigit(cell[0]);
            if (ok)
                d[static_cast<std::size_t>(i)] = static_cast<uint8_t>(cell[0] - '0');
        }
        if (ok)
            fromColumns = d;
    }
    std::string text = raw.number ? std::string(trim(foldWidth(*raw.number))) : std::string();
    // A fourth digit column with a digit in it is a NUMBERS4 draw, whatever the
    // first three say.
    const bool extraDigit = want == 3 && raw.digits[3] && !trim(*raw.digits[3]).empty();
    if (text.empty() && extraDigit && fromColumns) {
        Refusal r = refusal(RefusalCode::WrongLength, columnsText + "," + std::string(trim(*raw.digits[3])));
        r.digits = 4;
        return r;
    }
    if (text.empty()) {
        if (fromColumns) {
            digits = *fromColumns;
            return std::nullopt;
        }
        return anyColumn ? refusal(RefusalCode::BadNumber, columnsText) : refusal(RefusalCode::NoNumber);
    }
    if (!allDigits(text))
        return refusal(RefusalCode::BadNumber, text);
    if (raw.numberIsInteger && text.size() < static_cast<std::size_t>(want))
        text.insert(0, static_cast<std::size_t>(want) - text.size(), '0');
    if (text.size() != static_cast<std::size_t>(want)) {
        Refusal r = refusal(RefusalCode::WrongLength, text);
        r.digits = static_cast<int>(text.size());
        return r;
    }
    for (int i = 0; i < want; ++i)
        digits[static_cast<std::size_t>(i)] = static_cast<uint8_t>(text[static_cast<std::size_t>(i)] - '0');
    if (fromColumns && *fromColumns != digits)
        return refusal(RefusalCode::NumberMismatch, text + " / " + columnsText);
    return std::nullopt;
}

ImportRow makeRow(const RawDraw& raw, Game game) {
    ImportRow row;
    row.line = raw.line;
    const int want = common::digitCount(game);
    const auto fail = [&row](Refusal r) {
        if (!row.fault)
            row.fault = std::move(r);
    };
    if (const std::optional<int32_t> round = raw.round ? parseRound(*raw.round) : std::nullopt)
        row.round = *round;
    else
        fail(refusal(RefusalCode::BadRound, raw.round.value_or("")));
    if (const std::optional<ImportDate> date = raw.date ? parseDate(*raw.date) : std::nullopt)
        row.date = *date;
    else
        fail(refusal(RefusalCode::BadDate, raw.date.value_or("")));
    if (std::optional<Refusal> r = readNumber(raw, want, row.digits))
        fail(std::move(*r));
    for (int i = 0; i < prizeCount(game); ++i) {
        const auto& cell = raw.prizes[static_cast<std::size_t>(i)];
        int32_t value = 0;
        switch (cell ? parseAmount(*cell, value) : AmountKind::Missing) {
        case AmountKind::Value:
            row.prizes[static_cast<std::size_t>(i)] = value;
            break;
        case AmountKind::Missing:
            break;
        case AmountKind::Bad: {
            Refusal r = refusal(RefusalCode::BadAmount, *cell);
            r.field = kPrizeFields[static_cast<std::size_t>(i)];
            fail(std::move(r));
            break;
        }
        }
    }
    // A number whose digits are all equal is not sold as Box or Set: feeds leave
    // those prizes empty or write a dash, and that means 0, not "not yet known".
    if (!row.fault && allEqual(row.digits, want))
        for (std::size_t i = 1; i <= 3; ++i)
            if (!row.prizes[i])
                row.prizes[i] = 0;
    return row;
}

// ---------------------------------------------------------------------------
// Encodings

bool decodeText(std::string_view bytes, std::string& text, TextEncoding& encoding, ImportError& error) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool bom = startsWith(bytes, kBom);
    if (bom)
        bytes.remove_prefix(kBom.size());
    if (common::isValidUtf8(bytes)) {
        encoding = bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        text.assign(bytes);
        return true;
    }
    // A byte order mark promises UTF-8; without one, text that is not UTF-8 is read
    // as code page 932.
    if (!bom) {
        common::Utf8Result decoded = common::fromCp932(bytes);
        if (decoded.ok()) {
            encoding = TextEncoding::Cp932;
            text = std::move(decoded.text);
            return true;
        }
        if (!decoded.converterMissing)
            error.detail = std::to_string(decoded.invalidAt + 1);
    }
    error.code = ImportErrorCode::Undecodable;
    return false;
}

// Lines of a text, without their line ends (CR LF, LF or CR); a last line without
// a line end counts.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// ---------------------------------------------------------------------------
// CSV

struct CsvRecord {
    int line = 0;
    std::vector<std::string> cells;
    bool blank() const {
        return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return trim(c).empty(); });
    }
};

// Records of a CSV text: cells separated by `delimiter`, a cell in double quotes
// may hold delimiters, line ends and doubled quotes.
std::vector<CsvRecord> parseCsv(std::string_view text, char delimiter) {
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    std::string cell;
    int line = 1;
    bool quoted = false, atCellStart = true;
    const auto endCell = [&] {
        record.cells.push_back(std::move(cell));
        cell.clear();
        atCellStart = true;
    };
    const auto endRecord = [&] {
        endCell();
        records.push_back(std::move(record));
        record = CsvRecord{line, {}};
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) ? 1 : 0;
                cell += c;
            }
        } else if (c == '"' && atCellStart) {
            quoted = true;
            atCellStart = false;
        } else if (c == delimiter) {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++line;
            endRecord();
        } else {
            cell += c;
            atCellStart = atCellStart && isSpace(c);
        }
    }
    if (!cell.empty() || !record.cells.empty())
        endRecord();
    return records;
}

struct ColumnMap {
    std::optional<std::size_t> round, date, number;
    std::array<std::optional<std::size_t>, 4> digits;
    std::array<std::optional<std::size_t>, 5> prizes;
    std::vector<std::string> ignored;

    std::vector<DrawField> missing(int want) const {
        std::vector<DrawField> fields;
        if (!round)
            fields.push_back(DrawField::Round);
        if (!date)
            fields.push_back(DrawField::Date);
        if (!number && !std::all_of(digits.begin(), digits.begin() + want, [](const auto& d) { return d.has_value(); }))
            fields.push_back(DrawField::Number);
        return fields;
    }
};

ColumnMap mapColumns(const std::vector<std::string>& header) {
    ColumnMap map;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const ColumnRole role = classifyName(header[i]);
        std::optional<std::size_t>* slot = nullptr;
        switch (role.role) {
        case Role::Round:
            slot = &map.round;
            break;
        case Role::Date:
            slot = &map.date;
            break;
        case Role::Number:
            slot = &map.number;
            break;
        case Role::Digit:
            slot = &map.digits[static_cast<std::size_t>(role.index)];
            break;
        case Role::Prize:
            slot = &map.prizes[static_cast<std::size_t>(role.index)];
            break;
        case Role::None:
        case Role::PrizeGroup:
            break;
        }
        // The first column of a name wins; a second one is ignored like any unknown column.
        if (slot && !*slot)
            *slot = i;
        else if (!trim(header[i]).empty())
            map.ignored.emplace_back(trim(header[i]));
    }
    return map;
}

void readCsv(std::string_view text, Game game, ImportFile& file) {
    const int want = common::digitCount(game);
    const std::vector<std::string_view> firstLines = splitLines(text.substr(0, 4096));
    const bool tabs = !firstLines.empty() && firstLines[0].find(',') == std::string_view::npos &&
                      firstLines[0].find('\t') != std::string_view::npos;
    const std::vector<CsvRecord> records = parseCsv(text, tabs ? '\t' : ',');

    // The header is the first record that names the required columns; a title line
    // or two above it are passed over. Without one, the first record is reported.
    constexpr std::size_t kHeaderSearch = 10;
    std::optional<std::size_t> headerAt;
    std::optional<ColumnMap> firstMap;
    for (std::size_t i = 0, seen = 0; i < records.size() && seen < kHeaderSearch; ++i) {
        if (records[i].blank())
            continue;
        ++seen;
        ColumnMap map = mapColumns(records[i].cells);
        if (!firstMap)
            firstMap = map;
        if (map.missing(want).empty()) {
            headerAt = i;
            firstMap = std::move(map);
            break;
        }
    }
    if (!firstMap) {
        file.error.code = ImportErrorCode::Empty;
        return;
    }
    if (!headerAt) {
        file.error.code = ImportErrorCode::MissingColumns;
        file.error.missing = firstMap->missing(want);
        return;
    }
    const ColumnMap& map = *firstMap;
    file.ignoredColumns = map.ignored;
    const auto cellAt = [](const CsvRecord& r, const std::optional<std::size_t>& column) -> std::optional<std::string> {
        if (!column)
            return std::nullopt;
        return *column < r.cells.size() ? r.cells[*column] : std::string();
    };
    file.rows.reserve(records.size() - *headerAt);
    for (std::size_t i = *headerAt + 1; i < records.size(); ++i) {
        const CsvRecord& r = records[i];
        if (r.blank())
            continue;
        RawDraw raw;
        raw.line = r.line;
        raw.round = cellAt(r, map.round);
        raw.date = cellAt(r, map.date);
        raw.number = cellAt(r, map.number);
        for (std::size_t k = 0; k < 4; ++k)
            raw.digits[k] = cellAt(r, map.digits[k]);
        for (std::size_t k = 0; k < 5; ++k)
            raw.prizes[k] = cellAt(r, map.prizes[k]);
        file.rows.push_back(makeRow(raw, game));
    }
}

// ---------------------------------------------------------------------------
// JSON

using Json = nlohmann::ordered_json;

// The text of a scalar member; a member of another kind becomes its JSON text,
// which no cell reader accepts, so the row names it as the fault.
std::string jsonText(const Json& value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_null())
        return {};
    if (value.is_number_integer())
        return value.dump();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (d >= 0 && d < 1e10 && d == static_cast<double>(static_cast<long long>(d)))
            return std::to_string(static_cast<long long>(d));
    }
    return value.dump();
}

void readJsonNumber(const Json& value, RawDraw& raw) {
    if (value.is_object()) {
        // {"display": "0123", "values": [0, 1, 2, 3]}
        if (const auto display = value.find("display"); display != value.end())
            readJsonNumber(*display, raw);
        if (const auto values = value.find("values"); values != value.end() && values->is_array()) {
            std::string joined;
            for (std::size_t i = 0; i < values->size(); ++i) {
                const std::string digit = jsonText((*values)[i]);
                if (i < 4)
                    raw.digits[i] = digit;
                joined += digit;
            }
            if (!raw.number)
                raw.number = joined;
        }
        return;
    }
    raw.number = jsonText(value);
    raw.numberIsInteger = value.is_number_integer();
}

void readJsonMembers(const Json& object, RawDraw& raw) {
    for (const auto& [key, value] : object.items()) {
        const ColumnRole role = classifyName(key);
        switch (role.role) {
        case Role::Round:
            raw.round = jsonText(value);
            break;
        case Role::Date:
            raw.date = jsonText(value);
            break;
        case Role::Number:
            readJsonNumber(value, raw);
            break;
        case Role::Digit:
            raw.digits[static_cast<std::size_t>(role.index)] = jsonText(value);
            break;
        case Role::Prize:
            if (!value.is_object())
                raw.prizes[static_cast<std::size_t>(role.index)] = jsonText(value);
            break;
        case Role::PrizeGroup:
            if (value.is_object())
                readJsonMembers(value, raw);
            break;
        case Role::None:
            break;
        }
    }
}

// The array of draws: the document itself, or the first member of the top-level
// object that is an array of objects ({"results": [...]}); failing that, an empty
// array member (a feed with no draws yet).
const Json* drawArray(const Json& doc) {
    if (doc.is_array())
        return &doc;
    const Json* empty = nullptr;
    if (doc.is_object())
        for (const auto& [key, value] : doc.items()) {
            if (value.is_array() && !value.empty() && value.front().is_object())
                return &value;
            if (value.is_array() && value.empty() && !empty)
                empty = &value;
        }
    return empty;
}

// The deepest nesting of arrays and objects in a JSON text, strings skipped. The
// JSON library parses, prints and frees nested values recursively, so a file
// nested thousands deep would overflow the stack; a draw file nests three deep.
std::size_t nestingDepth(std::string_view text) {
    std::size_t depth = 0, deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

void readJson(const std::string& text, Game game, ImportFile& file) {
    constexpr std::size_t kMaxDepth = 64;
    if (nestingDepth(text) > kMaxDepth) {
        file.error.code = ImportErrorCode::BadJson;
        file.error.detail = "入れ子が深すぎます";
        return;
    }
    Json doc;
    try {
        doc = Json::parse(text);
    } catch (const Json::parse_error& e) {
        file.error.code = ImportErrorCode::BadJson;
        const std::size_t at = std::min<std::size_t>(e.byte, text.size());
        file.error.detail =
            std::to_string(1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n')) +
            " 行目";
        return;
    }
    const Json* draws = drawArray(doc);
    if (!draws) {
        file.error.code = ImportErrorCode::NoDraws;
        return;
    }
    bool anyRound = false, anyDate = false, anyNumber = false;
    const int want = common::digitCount(game);
    file.rows.reserve(draws->size());
    for (std::size_t i = 0; i < draws->size(); ++i) {
        const Json& element = (*draws)[i];
        const int position = static_cast<int>(i) + 1;
        if (!element.is_object()) {
            ImportRow row;
            row.line = position;
            row.fault = refusal(RefusalCode::NotADraw, element.dump());
            file.rows.push_back(std::move(row));
            continue;
        }
        RawDraw raw;
        raw.line = position;
        readJsonMembers(element, raw);
        anyRound = anyRound || raw.round;
        anyDate = anyDate || raw.date;
        anyNumber =
            anyNumber || raw.number ||
            std::all_of(raw.digits.begin(), raw.digits.begin() + want, [](const auto& d) { return d.has_value(); });
        file.rows.push_back(makeRow(raw, game));
    }
    // Members that no draw has at all are a file that is not of this kind, not
    // thousands of faulty rows.
    if (!file.rows.empty() && (!anyRound || !anyDate || !anyNumber)) {
        file.error.code = ImportErrorCode::MissingColumns;
        for (const auto& [field, any] :
             {std::pair{DrawField::Round, anyRound}, {DrawField::Date, anyDate}, {DrawField::Number, anyNumber}})
            if (!any)
                file.error.missing.push_back(field);
        file.rows.clear();
    }
}

// ---------------------------------------------------------------------------
// The table format

// The digit text of a table line: its third field.
std::string_view thirdField(std::string_view line) {
    const std::size_t a = line.find(',');
    const std::size_t b = a == std::string_view::npos ? a : line.find(',', a + 1);
    if (b == std::string_view::npos)
        return {};
    const std::size_t c = line.find(',', b + 1);
    return line.substr(b + 1, c == std::string_view::npos ? std::string_view::npos : c - b - 1);
}

// Line n holds round n, whatever its first field says, as the table loader reads
// a table file.
void readTable(std::string_view text, Game game, ImportFile& file) {
    const std::vector<std::string_view> lines = splitLines(text);
    file.rows.reserve(lines.size());
    const int want = common::digitCount(game);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ImportRow row;
        row.line = static_cast<int>(i) + 1;
        row.round = row.line;
        std::string whatIsWrong;
        const std::optional<NumData> rec = ParseTableLine(lines[i], &whatIsWrong);
        if (!rec) {
            row.fault = Refusal{RefusalCode::BadLine, DrawField::Round, whatIsWrong};
            file.rows.push_back(std::move(row));
            continue;
        }
        const common::CivilDate date = common::civilDate(rec->dteDraw);
        row.date = {date.year, date.month, date.day};
        const std::size_t digits = thirdField(lines[i]).size();
        if (digits != static_cast<std::size_t>(want)) {
            row.fault = refusal(RefusalCode::WrongLength, thirdField(lines[i]));
            row.fault->digits = static_cast<int>(digits);
        }
        for (int p = 0; p < 4; ++p)
            row.digits[static_cast<std::size_t>(p)] = rec->bytNum[static_cast<std::size_t>(p) + 1];
        const int32_t amounts[] = {rec->lngStraight, rec->lngBox, rec->lngSetStraight, rec->lngSetBox, rec->lngMini};
        for (int p = 0; p < prizeCount(game); ++p)
            row.prizes[static_cast<std::size_t>(p)] = amounts[p];
        file.rows.push_back(std::move(row));
    }
}

ImportFormat detectFormat(std::string_view text) {
    const std::string_view body = trim(text);
    if (!body.empty() && (body.front() == '[' || body.front() == '{'))
        return ImportFormat::Json;
    const std::vector<std::string_view> first = splitLines(body.substr(0, 256));
    if (!first.empty() && ParseTableLine(first[0]))
        return ImportFormat::Table;
    return ImportFormat::Csv;
}

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

bool ImportRow::sameDraw(const ImportRow& other) const {
    return round == other.round && date == other.date && digits == other.digits && prizes == other.prizes &&
           fault.has_value() == other.fault.has_value();
}

ImportFile readImportBytes(std::string_view bytes, Game game, ImportFormat format) {
    ImportFile file;
    std::string text;
    if (!decodeText(bytes, text, file.encoding, file.error))
        return file;
    if (trim(text).empty()) {
        file.error.code = ImportErrorCode::Empty;
        return file;
    }
    file.format = format == ImportFormat::Auto ? detectFormat(text) : format;
    switch (file.format) {
    case ImportFormat::Json:
        readJson(text, game, file);
        break;
    case ImportFormat::Table:
        readTable(text, game, file);
        break;
    case ImportFormat::Auto:
    case ImportFormat::Csv:
        file.format = ImportFormat::Csv;
        readCsv(text, game, file);
        break;
    }
    return file;
}

ImportFile readImportFile(const std::string& path, Game game, ImportFormat format) {
    ImportFile file;
    file.error.path = path;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        file.error.code = ImportErrorCode::FileMissing;
        return file;
    }
    if (std::filesystem::is_directory(status)) {
        file.error.code = ImportErrorCode::FileUnreadable;
        file.error.detail = "フォルダです";
        return file;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxImportBytes) {
        file.error.code = ImportErrorCode::FileTooLarge;
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in)
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        file.error.code = ImportErrorCode::FileUnreadable;
        file.error.detail = std::strerror(errno);
        return file;
    }
    if (bytes.size() > kMaxImportBytes) {
        file.error.code = ImportErrorCode::FileTooLarge;
        return file;
    }
    file = readImportBytes(bytes, game, format);
    file.error.path = path;
    return file;
}

const char* fieldName(DrawField field) {
    switch (field) {
    case DrawField::Round:
        return "回号";
    case DrawField::Date:
        return "抽選日";
    case DrawField::Number:
        return "当選番号";
    case DrawField::Straight:
        return "ストレート";
    case DrawField::Box:
        return "ボックス";
    case DrawField::SetStraight:
        return "セット（ストレート）";
    case DrawField::SetBox:
        return "セット（ボックス）";
    case DrawField::Mini:
        return "ミニ";
    }
    return "";
}

const char* refusalKey(RefusalCode code) {
    switch (code) {
    case RefusalCode::BadRound:
        return "bad_round";
    case RefusalCode::BadDate:
        return "bad_date";
    case RefusalCode::NoNumber:
        return "no_number";
    case RefusalCode::BadNumber:
        return "bad_number";
    case RefusalCode::WrongLength:
        return "wrong_length";
    case RefusalCode::NumberMismatch:
        return "number_mismatch";
    case RefusalCode::BadAmount:
        return "bad_amount";
    case RefusalCode::BadLine:
        return "bad_line";
    case RefusalCode::NotADraw:
        return "not_a_draw";
    case RefusalCode::DuplicateRow:
        return "duplicate_row";
    case RefusalCode::ConflictingRows:
        return "conflicting_rows";
    case RefusalCode::RoundTooLarge:
        return "round_too_large";
    case RefusalCode::YearUnknown:
        return "year_unknown";
    case RefusalCode::PrizesMissing:
        return "prizes_missing";
    case RefusalCode::Gap:
        return "gap";
    case RefusalCode::Blocked:
        return "blocked";
    }
    return "";
}

std::string refusalText(const Refusal& r, Game game) {
    const auto quoted = [&r] { return "「" + r.cell + "」"; };
    const auto roundText = [](int32_t round) { return "第" + std::to_string(round) + "回"; };
    const auto readable = [&](const std::string& what) {
        return r.cell.empty() ? what + "がありません" : what + "が読めません" + quoted();
    };
    switch (r.code) {
    case RefusalCode::BadRound:
        return readable("回号");
    case RefusalCode::BadDate:
        return readable("抽選日");
    case RefusalCode::NoNumber:
        return "当選番号がありません";
    case RefusalCode::BadNumber:
        return "当選番号に数字でない文字があります" + quoted();
    case RefusalCode::WrongLength:
        return "当選番号が " + std::to_string(r.digits) + " 桁です" + quoted() + "（" + common::gameName(game) +
               " は " + std::to_string(common::digitCount(game)) + " 桁）";
    case RefusalCode::NumberMismatch:
        return "当選番号と各桁の列が一致しません" + quoted();
    case RefusalCode::BadAmount:
        return std::string(fieldName(r.field)) + "の金額が読めません" + quoted();
    case RefusalCode::BadLine:
        return "行の形が正しくありません（" + r.cell + "）";
    case RefusalCode::NotADraw:
        return "抽選結果の形になっていません" + quoted();
    case RefusalCode::DuplicateRow:
        return roundText(r.fromRound) + "の行がほかにもあります（同じ内容）";
    case RefusalCode::ConflictingRows:
        return roundText(r.fromRound) + "の行がほかにもあり、内容が違います";
    case RefusalCode::RoundTooLarge:
        return "回号が大きすぎます（" + std::to_string(DrawTable::kMaxRounds) + " 回まで）";
    case RefusalCode::YearUnknown:
        return "抽選日に年がなく、前の回の抽選日もないため年が決められません" + quoted();
    case RefusalCode::PrizesMissing:
        return "金額がありません（金額のない回の取込みが許可されていません）";
    case RefusalCode::Gap:
        return (r.fromRound == r.toRound ? roundText(r.fromRound)
                                         : roundText(r.fromRound) + "から" + roundText(r.toRound)) +
               "がないため、続けて取り込めません";
    case RefusalCode::Blocked:
        return roundText(r.fromRound) + "が取り込めないため、続けて取り込めません";
    }
    return {};
}

std::string ImportError::message() const {
    const std::string file = "ファイル「" + fileNameOf(path) + "」";
    switch (code) {
    case ImportErrorCode::None:
        return {};
    case ImportErrorCode::FileMissing:
        return file + "が見つかりません。";
    case ImportErrorCode::FileUnreadable:
        return file + "が読み込めません。（" + detail + "）";
    case ImportErrorCode::FileTooLarge:
        return file + "は大きすぎて取り込めません。（" + std::to_string(kMaxImportBytes >> 20) + " MB まで）";
    case ImportErrorCode::Undecodable:
        return file + "の文字コードが UTF-8 でも Shift_JIS でもありません。" +
               (detail.empty() ? std::string() : "（" + detail + " バイト目）");
    case ImportErrorCode::Empty:
        return file + "は空です。";
    case ImportErrorCode::MissingColumns: {
        std::string names;
        for (const DrawField f : missing)
            names += (names.empty() ? "" : "、") + std::string(fieldName(f));
        return file + "に" + names + "の列がありません。（見出しの行に列の名前が必要です）";
    }
    case ImportErrorCode::BadJson:
        return file + "の JSON が正しくありません。（" + detail + "）";
    case ImportErrorCode::NoDraws:
        return file + "に抽選結果の配列がありません。";
    }
    return {};
}

} // namespace tw::history
