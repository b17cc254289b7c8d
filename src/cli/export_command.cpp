// tallowind-cli export: a game's history as CSV or JSON for other programs, in
// the layout the import reads back (history/draw_export.h).
#include "cli/commands.h"
#include "cli/options.h"
#include "common/file_replace.h"
#include "history/draw_export.h"
#include "history/table_file.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

using namespace tw::history;
using tw::common::Game;

constexpr const char* kExportUsage =
    "usage: tallowind-cli export --game 3|4 [--data-dir DIR] [--format csv|json] [--out FILE]\n"
    "\n"
    "Writes the history of NUMBERS 3 (--game 3) or NUMBERS 4 (--game 4) as CSV\n"
    "(header draw_no,draw_date,winning_number,straight_payout,box_payout,\n"
    "set_straight_payout,set_box_payout[,mini_payout]; CR LF) or as a JSON array\n"
    "of draw objects with the same names. 'tallowind-cli import' reads it back\n"
    "into the same table file, byte for byte.\n"
    "\n"
    "  --game 3|4         the game\n"
    "  --data-dir DIR     folder holding Num3Data.tbl / Num4Data.tbl (default: the\n"
    "                     working directory)\n"
    "  --format csv|json  the layout (default: csv)\n"
    "  --out FILE         the file to write (replaced as a whole); default: stdout\n"
    "  --help             this text\n"
    "\n"
    "Exit status 0 on success; 2 with one line on stderr for a bad option, a\n"
    "missing or malformed history file, or a failed write.\n";

int fail(const std::string& message) {
    return tw::cli::refuse("export", message);
}

int runExport(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options =
        tw::cli::parseOptions(args, {{"--game"}, {"--data-dir"}, {"--format"}, {"--out"}}, "export");
    if (options.help) {
        std::cout << kExportUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    const std::string gameText = options.value("--game");
    if (!options.has("--game"))
        return fail("--game 3|4 is required");
    if (gameText != "3" && gameText != "4")
        return fail("--game must be 3 or 4, not '" + gameText + "'");
    const Game game = gameText == "4" ? Game::Numbers4 : Game::Numbers3;
    const std::string formatText = options.value("--format", "csv");
    if (formatText != "csv" && formatText != "json")
        return fail("--format must be csv or json, not '" + formatText + "'");
    const ExportFormat format = formatText == "json" ? ExportFormat::Json : ExportFormat::Csv;

    const std::string path =
        (std::filesystem::path(options.value("--data-dir", ".")) / tw::common::tableFileName(game)).string();
    const LoadResult loaded = loadTableFile(path, game);
    if (loaded.error)
        return fail(loaded.error.message());
    if (loaded.warning)
        std::cerr << "tallowind-cli export: warning: " << loaded.warning.message() << "\n";
    const std::string bytes = exportDraws(loaded.table, game, format);
    if (!options.has("--out")) {
        std::cout << bytes;
        std::cout.flush();
        return std::cout.good() ? 0 : 2;
    }
    const std::string out = options.value("--out");
    const tw::common::ReplaceResult written = tw::common::replaceFileContents(out, bytes);
    if (!written.ok())
        return fail("cannot write '" + out + "': " +
                    (written.error != 0 ? tw::common::describeFileError(written.error)
                                        : std::string("stopped before the rename")));
    return 0;
}

tw::cli::CommandRegistration reg("export", "write a history as CSV or JSON", &runExport);

} // namespace
