// tallowind-cli import: bringing a game's history up to date from a downloaded
// CSV, JSON or table file. Thin over the history library: reading, planning and
// the safe write are draw_import / draw_merge. The summary it prints is the one
// the import dialog shows (the same Japanese sentences), followed by what was
// written. The reverse direction is export_command.cpp.
#include "cli/commands.h"
#include "cli/options.h"
#include "history/draw_merge.h"
#include "history/table_file.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tw::history;
using tw::common::Game;
using Json = nlohmann::ordered_json;

constexpr const char* kImportUsage = "usage: tallowind-cli import --game 3|4 [--data-dir DIR] [--accept-corrections]\n"
                                     "                            [--allow-missing-prizes] [--dry-run] [--json] FILE\n"
                                     "\n"
                                     "Reads draw results of NUMBERS 3 (--game 3) or NUMBERS 4 (--game 4) from FILE\n"
                                     "(CSV with a header row, JSON, or a table file of the program; UTF-8 or\n"
                                     "Shift_JIS), compares them with the history and brings it up to date:\n"
                                     "new rounds are appended, stored rounds with other values are corrections.\n"
                                     "\n"
                                     "  --game 3|4              the game FILE holds\n"
                                     "  --data-dir DIR          folder holding Num3Data.tbl / Num4Data.tbl (default:\n"
                                     "                          the working directory); a missing table file is an\n"
                                     "                          empty history and is created\n"
                                     "  --accept-corrections    replace stored rounds the file gives other values for\n"
                                     "  --allow-missing-prizes  take new rounds without prizes, with 0 amounts\n"
                                     "  --dry-run               print the summary only, write nothing\n"
                                     "  --json                  print the summary as one JSON object\n"
                                     "  --help                  this text\n"
                                     "Options may also be written --name=value; \"--\" ends the options.\n"
                                     "\n"
                                     "Exit status 0 when the history was written or nothing was to be done; 1 when\n"
                                     "rows of the file were refused (the rows that could be imported were); 2 with\n"
                                     "one line on stderr for a bad option, an unreadable file or history, or a\n"
                                     "failed write.\n";

int fail(const char* command, const std::string& message) {
    return tw::cli::refuse(command, message);
}

std::optional<Game> readGame(const tw::cli::ParsedOptions& options, std::string& error) {
    if (!options.has("--game")) {
        error = "--game 3|4 is required";
        return std::nullopt;
    }
    const std::string text = options.value("--game");
    if (text == "3")
        return Game::Numbers3;
    if (text == "4")
        return Game::Numbers4;
    error = "--game must be 3 or 4, not '" + text + "'";
    return std::nullopt;
}

std::string tablePath(const tw::cli::ParsedOptions& options, Game game) {
    return (std::filesystem::path(options.value("--data-dir", ".")) / tw::common::tableFileName(game)).string();
}

const char* formatKey(ImportFormat format) {
    switch (format) {
    case ImportFormat::Json:
        return "json";
    case ImportFormat::Table:
        return "table";
    case ImportFormat::Auto:
    case ImportFormat::Csv:
        break;
    }
    return "csv";
}

const char* encodingKey(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return "utf-8-bom";
    case TextEncoding::Cp932:
        return "cp932";
    case TextEncoding::Utf8:
        break;
    }
    return "utf-8";
}

// The field names of the export layout, for the JSON summary.
const char* fieldKey(DrawField field) {
    switch (field) {
    case DrawField::Round:
        return "draw_no";
    case DrawField::Date:
        return "draw_date";
    case DrawField::Number:
        return "winning_number";
    case DrawField::Straight:
        return "straight_payout";
    case DrawField::Box:
        return "box_payout";
    case DrawField::SetStraight:
        return "set_straight_payout";
    case DrawField::SetBox:
        return "set_box_payout";
    case DrawField::Mini:
        return "mini_payout";
    }
    return "";
}

const char* outcomeKey(ImportOutcome outcome) {
    switch (outcome) {
    case ImportOutcome::Added:
        return "added";
    case ImportOutcome::AddedWithoutPrizes:
        return "added_without_prizes";
    case ImportOutcome::Unchanged:
        return "unchanged";
    case ImportOutcome::Corrected:
        return "corrected";
    case ImportOutcome::CorrectionSkipped:
        return "correction_skipped";
    case ImportOutcome::Refused:
        break;
    }
    return "refused";
}

std::string roundLabel(const PlannedRow& row) {
    return row.round > 0 ? "第" + std::to_string(row.round) + "回" : std::string("回号不明");
}

std::string changesText(const PlannedRow& row, Game game) {
    std::string text;
    for (const FieldChange& c : changedFields(row, game)) {
        if (!text.empty())
            text += "、";
        text += std::string(fieldName(c.field)) + " " + c.before + " → " + c.after;
    }
    return text;
}

// Rows in the plan's order (by round) that have something to say; unchanged rows
// and plain new rounds are only counted.
bool listed(const PlannedRow& row) {
    return row.outcome != ImportOutcome::Unchanged && row.outcome != ImportOutcome::Added;
}

struct WriteOutcome {
    bool attempted = false; // the plan changes the table and this is no dry run
    ApplyResult result;
};

void printText(const ImportPlan& plan, const std::string& file, const std::string& table, const WriteOutcome& write,
               bool dryRun) {
    std::cout << "取込みファイル: " << file << "（" << formatKey(plan.format) << "、" << encodingKey(plan.encoding)
              << "）\n";
    std::cout << "履歴: " << table << "（" << tw::common::gameName(plan.game) << "）" << plan.countBefore << " 回 → "
              << plan.countAfter << " 回\n";
    if (!plan.ignoredColumns.empty()) {
        std::cout << "使わない列:";
        for (const std::string& c : plan.ignoredColumns)
            std::cout << " " << c;
        std::cout << "\n";
    }
    std::cout << planSummary(plan) << "\n";

    const auto section = [&plan](const char* title, ImportOutcome outcome, auto&& text) {
        bool first = true;
        for (const PlannedRow& row : plan.rows) {
            if (row.outcome != outcome)
                continue;
            if (first)
                std::cout << title << "\n";
            first = false;
            std::cout << "  " << text(row) << "\n";
        }
    };
    section("訂正:", ImportOutcome::Corrected,
            [&](const PlannedRow& r) { return roundLabel(r) + ": " + changesText(r, plan.game); });
    section("訂正しない回（--accept-corrections で訂正します）:", ImportOutcome::CorrectionSkipped,
            [&](const PlannedRow& r) { return roundLabel(r) + ": " + changesText(r, plan.game); });
    section("金額なしで取り込む回（金額は 0 円）:", ImportOutcome::AddedWithoutPrizes,
            [](const PlannedRow& r) { return roundLabel(r); });
    section("取り込めない行:", ImportOutcome::Refused, [&](const PlannedRow& r) {
        return std::to_string(r.line) + " 行目 " + roundLabel(r) + ": " +
               (r.refusal ? refusalText(*r.refusal, plan.game) : std::string());
    });
    bool firstWarning = true;
    for (const PlannedRow& row : plan.rows) {
        for (const ImportWarning& w : row.warnings) {
            if (firstWarning)
                std::cout << "警告:\n";
            firstWarning = false;
            std::cout << "  " << roundLabel(row) << ": " << warningText(w, row.incoming, plan.game) << "\n";
        }
    }

    if (!plan.changesTable())
        std::cout << "取り込む回はありません。履歴はそのままです。\n";
    else if (dryRun)
        std::cout << "--dry-run のため書き込みませんでした。\n";
    else if (write.result.ok())
        std::cout << "書き込みました: " << table << "\n";
    if (plan.counts.refused > 0 && plan.changesTable() && !dryRun && write.result.ok())
        std::cout << "取り込める回は取り込みました。取り込めない行が " << plan.counts.refused << " 行あります。\n";
}

void printJson(const ImportPlan& plan, const std::string& file, const std::string& table, const WriteOutcome& write,
               bool dryRun) {
    const ImportCounts& c = plan.counts;
    Json rows = Json::array();
    for (const PlannedRow& row : plan.rows) {
        if (!listed(row) && row.warnings.empty())
            continue;
        Json r;
        r["line"] = row.line;
        r["round"] = row.round;
        r["outcome"] = outcomeKey(row.outcome);
        if (row.refusal)
            r["refusal"] = Json{{"key", refusalKey(row.refusal->code)}, {"text", refusalText(*row.refusal, plan.game)}};
        if (row.outcome == ImportOutcome::Corrected || row.outcome == ImportOutcome::CorrectionSkipped) {
            Json changes = Json::array();
            for (const FieldChange& ch : changedFields(row, plan.game))
                changes.push_back(Json{{"field", fieldKey(ch.field)}, {"before", ch.before}, {"after", ch.after}});
            r["changes"] = changes;
        }
        Json warnings = Json::array();
        for (const ImportWarning& w : row.warnings)
            warnings.push_back(Json{{"key", warningKey(w.code)}, {"text", warningText(w, row.incoming, plan.game)}});
        r["warnings"] = warnings;
        rows.push_back(r);
    }
    Json out;
    out["game"] = tw::common::gameCode(plan.game);
    out["file"] = file;
    out["format"] = formatKey(plan.format);
    out["encoding"] = encodingKey(plan.encoding);
    out["table"] = table;
    out["ignored_columns"] = plan.ignoredColumns;
    out["rounds_before"] = plan.countBefore;
    out["rounds_after"] = plan.countAfter;
    out["counts"] = Json{{"added", c.added},         {"added_without_prizes", c.addedWithoutPrizes},
                         {"corrected", c.corrected}, {"corrections_skipped", c.correctionsSkipped},
                         {"unchanged", c.unchanged}, {"refused", c.refused},
                         {"warned", c.warned}};
    out["summary"] = planSummary(plan);
    out["dry_run"] = dryRun;
    out["written"] = write.attempted && write.result.ok();
    out["rows"] = rows;
    std::cout << out.dump() << "\n";
}

// The history of `game` in the data folder; a missing file is an empty history.
std::optional<LoadResult> loadHistory(const std::string& path, Game game, std::string& error) {
    LoadResult loaded = loadTableFile(path, game);
    if (loaded.error.kind == LoadErrorKind::FileMissing)
        return LoadResult{};
    if (loaded.error) {
        error = loaded.error.message();
        return std::nullopt;
    }
    return loaded;
}

int runImport(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options = tw::cli::parseOptions(args,
                                                                 {{"--game"},
                                                                  {"--data-dir"},
                                                                  {"--accept-corrections", false},
                                                                  {"--allow-missing-prizes", false},
                                                                  {"--dry-run", false},
                                                                  {"--json", false}},
                                                                 "import", 1);
    if (options.help) {
        std::cout << kImportUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail("import", options.error);
    std::string error;
    const std::optional<Game> game = readGame(options, error);
    if (!game)
        return fail("import", error);
    if (options.operands.empty())
        return fail("import", "the file to import is missing (see tallowind-cli import --help)");
    const std::string file = options.operands.front();

    const std::string path = tablePath(options, *game);
    std::optional<LoadResult> history = loadHistory(path, *game, error);
    if (!history)
        return fail("import", error);
    if (history->warning)
        tw::cli::warn("import", history->warning.message());
    // The other game's history only serves the date check; without it the check is left out.
    const Game otherGame = *game == Game::Numbers3 ? Game::Numbers4 : Game::Numbers3;
    const LoadResult other = loadTableFile(tablePath(options, otherGame), otherGame);

    ImportOptions importOptions;
    importOptions.acceptCorrections = options.has("--accept-corrections");
    importOptions.allowMissingPrizes = options.has("--allow-missing-prizes");
    const ImportPlan plan =
        planImportFile(file, *game, history->table, other.error ? nullptr : &other.table, importOptions);
    if (plan.error)
        return fail("import", plan.error.message());

    const bool dryRun = options.has("--dry-run");
    WriteOutcome write;
    if (plan.changesTable() && !dryRun) {
        write.attempted = true;
        write.result = applyImport(history->table, plan, path);
    }
    if (options.has("--json"))
        printJson(plan, file, path, write, dryRun);
    else
        printText(plan, file, path, write, dryRun);
    std::cout.flush();
    if (write.attempted && !write.result.ok())
        return fail("import", write.result.message());
    if (!std::cout.good())
        return 2;
    return plan.counts.refused > 0 ? 1 : 0;
}

tw::cli::CommandRegistration importReg("import", "bring a history up to date from a CSV, JSON or table file",
                                       &runImport);

} // namespace
