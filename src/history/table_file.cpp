// One table line in and out, and the Japanese texts of load and save errors.
// The line reader is strict: every number is a plain run of decimal digits that
// fits 32 bits, the date is "yyyy/mm/dd", and the digit text decides the shape
// (3 digits: 8 fields with Mini, 4 digits: 7 fields).
#include "history/table_file.h"

#include "common/date_serial.h"
#include "common/number_format.h"

#include <cstdint>
#include <filesystem>
#include <limits>

namespace tw::history {

namespace {

constexpr std::string_view kRoundName = "回号";
constexpr std::string_view kAmountNames[] = {"ストレートの金額", "ボックスの金額", "セット（ストレート）の金額",
                                             "セット（ボックス）の金額", "ミニの金額"};

// A field echoed in a message: printable ASCII only and short, so that a binary
// or foreign file cannot garble the message box.
std::string quoted(std::string_view text) {
    constexpr std::size_t kMaxShown = 16;
    std::string out = "「";
    for (std::size_t i = 0; i < text.size() && i < kMaxShown; ++i)
        out += text[i] >= 0x20 && text[i] < 0x7f ? text[i] : '?';
    if (text.size() > kMaxShown)
        out += "…";
    return out + "」";
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

// A non-negative decimal that fits 32 bits. Returns an empty string on success,
// otherwise what is wrong with the field called `name`.
std::string readNumber(std::string_view text, std::string_view name, int32_t& value) {
    // The texts are built only for a fault: a table has tens of thousands of numbers.
    const auto label = [name] { return std::string(name); };
    if (text.empty())
        return label() + "が空です";
    const bool negative = text[0] == '-' && text.size() > 1;
    int64_t v = 0;
    bool tooLarge = false;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return label() + "が数字ではありません" + quoted(text);
        if (!tooLarge)
            v = v * 10 + (text[i] - '0');
        tooLarge = tooLarge || v > std::numeric_limits<int32_t>::max();
    }
    if (negative)
        return label() + "が負の数です" + quoted(text);
    if (tooLarge)
        return label() + "が大きすぎます" + quoted(text);
    // Leading zeros would make a valid line of any length; the bound on the line
    // is what lets the loader refuse an oversized file before reading it.
    if (text.size() > kMaxNumberDigits)
        return label() + "の桁数が多すぎます（" + std::to_string(kMaxNumberDigits) + " 桁まで）" + quoted(text);
    value = static_cast<int32_t>(v);
    return {};
}

std::string readDigits(std::string_view text, NumData& rec) {
    if (text.size() < 3)
        return "当選番号が 3 桁に足りません" + quoted(text);
    if (text.size() > 4)
        return "当選番号が 4 桁を超えています" + quoted(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return "当選番号に数字でない文字があります" + quoted(text);
        rec.bytNum[i + 1] = static_cast<uint8_t>(text[i] - '0');
    }
    return {};
}

// The field count a line must have once its digit text is known.
std::string checkFieldCount(std::size_t have, std::size_t digits) {
    const std::size_t want = digits == 3 ? 8 : 7;
    if (have == want)
        return {};
    if (digits == 3 && have == 7)
        return "3 桁の当選番号の行にミニの金額がありません";
    return std::string(have < want ? "項目が足りません" : "項目が多すぎます") + "（" + std::to_string(want) +
           " 項目のはずが " + std::to_string(have) + " 項目です）";
}

std::string parseFields(std::string_view line, NumData& rec) {
    if (line.empty())
        return "空の行です";
    const std::vector<std::string_view> f = splitFields(line);
    if (f.size() < 3)
        return "項目が足りません（" + std::to_string(f.size()) + " 項目しかありません）";
    if (std::string e = readNumber(f[0], kRoundName, rec.lngRound); !e.empty())
        return e;
    const std::optional<double> date = common::parseDate(f[1]);
    if (!date)
        return "抽選日が正しくありません" + quoted(f[1]);
    rec.dteDraw = *date;
    if (std::string e = readDigits(f[2], rec); !e.empty())
        return e;
    if (std::string e = checkFieldCount(f.size(), f[2].size()); !e.empty())
        return e;
    int32_t* const amounts[] = {&rec.lngStraight, &rec.lngBox, &rec.lngSetStraight, &rec.lngSetBox, &rec.lngMini};
    for (std::size_t i = 3; i < f.size(); ++i)
        if (std::string e = readNumber(f[i], kAmountNames[i - 3], *amounts[i - 3]); !e.empty())
            return e;
    return {};
}

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

std::optional<NumData> ParseTableLine(std::string_view line, std::string* whatIsWrong) {
    NumData rec;
    std::string fault = parseFields(line, rec);
    if (fault.empty())
        return rec;
    if (whatIsWrong)
        *whatIsWrong = std::move(fault);
    return std::nullopt;
}

std::string FormatTableLine(const NumData& rec, int slot, common::Game game) {
    using common::formatNumber;
    std::string line = formatNumber(int64_t{slot}, "#####0") + "," + common::formatDate(rec.dteDraw) + ",";
    for (int place = 1; place <= common::digitCount(game); ++place)
        line += std::to_string(rec.bytNum[static_cast<std::size_t>(place)]);
    const auto addAmount = [&line](int32_t amount) {
        line += ',';
        line += formatNumber(int64_t{amount}, "########0");
    };
    for (const int32_t amount : {rec.lngStraight, rec.lngBox, rec.lngSetStraight, rec.lngSetBox})
        addAmount(amount);
    if (common::digitCount(game) == 3)
        addAmount(rec.lngMini);
    return line;
}

std::string LoadError::message() const {
    const std::string file = "ファイル「" + fileNameOf(path) + "」";
    switch (kind) {
    case LoadErrorKind::None:
        return {};
    case LoadErrorKind::FileMissing:
        return file + "が見つかりません。（" + path + "）";
    case LoadErrorKind::FileUnreadable:
        return file + "が読み込めません。（" + detail + "）";
    case LoadErrorKind::FileTooLarge:
        return file + "は大きすぎて抽選データの表ではありません。（" + detail + " バイト。" +
               std::to_string(kMaxTableFileBytes) + " バイトまで）";
    case LoadErrorKind::TooManyLines:
        return file + "は行数が多すぎて読み込めません。（" + std::to_string(DrawTable::kMaxRounds) + " 行まで）";
    case LoadErrorKind::LineEndLf:
        return file + "の " + std::to_string(line) +
               " 行目は CR LF ではなく LF で終わっています。（改行コードが変換されたファイルは読み込めません）";
    case LoadErrorKind::LineEndCr:
        return file + "の " + std::to_string(line) +
               " 行目は CR LF ではなく CR だけで終わっています。（改行コードが変換されたファイルは読み込めません）";
    case LoadErrorKind::NulByte:
        return file + "の " + std::to_string(line) +
               " 行目に NUL 文字があります。（UTF-16 やバイナリのファイルは読み込めません）";
    case LoadErrorKind::NoLineEnd:
        return file + "には CR LF で終わる行がひとつもありません。（" + detail + " バイトのファイルです）";
    case LoadErrorKind::MalformedLine:
        return file + "の " + std::to_string(line) + " 行目が読み込めません。（" + detail + "）";
    }
    return {};
}

std::string LoadWarning::message() const {
    const std::string at = "ファイル「" + fileNameOf(path) + "」の " + std::to_string(line) + " 行目";
    switch (kind) {
    case LoadWarningKind::None:
        return {};
    case LoadWarningKind::RoundMismatch:
        return at + "の回号が " + std::to_string(round) + " です。行の順に第 " + std::to_string(line) +
               " 回として読み込みました。";
    case LoadWarningKind::WrongGameShape: {
        const common::Game g = game.value_or(common::Game::Numbers3);
        const std::string own = std::to_string(common::digitCount(g));
        const std::string other = g == common::Game::Numbers3 ? "4" : "3";
        return at + "は " + other + " 桁の当選番号です。（" + common::gameName(g) + " の表は " + own + " 桁）";
    }
    case LoadWarningKind::UnendedTail:
        return at + "以降は CR LF で終わっていないため読み込んでいません。";
    }
    return {};
}

std::string SaveError::message() const {
    if (!failed)
        return {};
    return "ファイル「" + fileNameOf(path) + "」に保存できません。（" + detail + "）";
}

} // namespace tw::history
