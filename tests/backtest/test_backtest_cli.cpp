// tallowind-cli backtest as a user runs it, over the bundled history: repeatable
// bytes for a seed, the JSON object against the library's figures, documented
// fields, and one-line errors with exit status 2.
#include "backtest/backtest.h"
#include "history/table_file.h"
#include "support/file_bytes.h"
#include "support/run_program.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tw::backtest::test {
namespace {

namespace fs = std::filesystem;

using CliRun = tw::testing::ProgramRun;
using tw::testing::shellQuoted;

CliRun runCli(const std::string& args) {
    return tw::testing::runProgramLine(TALLOWIND_CLI, "backtest " + args);
}

const std::string kData = std::string("--data-dir ") + shellQuoted(TALLOWIND_DATA_DIR);

TEST(BacktestCli, SameSeedSameBytes) {
    for (const char* format : {"", " --json"}) {
        SCOPED_TRACE(format);
        const std::string args = "--game 3 --from 7020 --portfolios 200 " + kData + format;
        const CliRun a = runCli(args + " --seed 42");
        const CliRun b = runCli(args + " --seed 42");
        const CliRun c = runCli(args + " --seed 43");
        ASSERT_EQ(a.status, 0) << a.err;
        EXPECT_TRUE(a.err.empty());
        EXPECT_FALSE(a.out.empty());
        EXPECT_EQ(a.out, b.out);
        EXPECT_NE(a.out, c.out);
    }
}

TEST(BacktestCli, JsonCarriesTheLibraryFiguresAndEveryFieldIsDocumented) {
    const CliRun help = runCli("--help");
    ASSERT_EQ(help.status, 0);

    for (int game : {3, 4}) {
        SCOPED_TRACE("game " + std::to_string(game));
        const CliRun run = runCli("--game " + std::to_string(game) +
                                  " --from 7001 --to 7040 --seed 9 --portfolios 150 " + kData + " --json");
        ASSERT_EQ(run.status, 0) << run.err;
        const nlohmann::json j = nlohmann::json::parse(run.out);

        const history::LoadResult loaded =
            history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + (game == 3 ? "/Num3Data.tbl" : "/Num4Data.tbl"));
        ASSERT_FALSE(loaded.error);
        BacktestOptions options;
        options.game = common::Game{game};
        options.from = 7001;
        options.to = 7040;
        options.seed = 9;
        options.portfolios = 150;
        const BacktestOutcome lib = runBacktest(loaded.table, options);
        ASSERT_FALSE(lib.error);

        EXPECT_EQ(j.at("game"), game);
        EXPECT_EQ(j.at("from"), 7001);
        EXPECT_EQ(j.at("to"), 7040);
        EXPECT_EQ(j.at("rounds"), 40);
        EXPECT_EQ(j.at("seed"), 9);
        EXPECT_EQ(j.at("portfolios"), 150);
        const auto& lines = j.at("lines");
        ASSERT_EQ(lines.size(), lib.result.lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const BacktestLine& l = lib.result.lines[i];
            const auto& jl = lines[i];
            SCOPED_TRACE(jl.dump());
            EXPECT_EQ(jl.at("list"), listKey(l.list));
            EXPECT_EQ(jl.at("bet"), betKey(l.bet));
            EXPECT_EQ(jl.at("rounds"), l.rounds);
            EXPECT_EQ(jl.at("tickets"), l.tickets);
            EXPECT_EQ(jl.at("cost"), l.tickets * 200);
            EXPECT_EQ(jl.at("payout"), l.payout);
            EXPECT_EQ(jl.at("random").at("band_low"), l.band.low);
            EXPECT_EQ(jl.at("random").at("band_high"), l.band.high);
            EXPECT_DOUBLE_EQ(jl.at("random").at("expected_payout").get<double>(), l.expectedPayout);
            EXPECT_EQ(jl.at("verdict"), verdictKey(l.verdict));
            if (l.bet == BetType::Mini) {
                EXPECT_EQ(jl.at("mini_hits"), l.straightHits);
                EXPECT_FALSE(jl.contains("straight_hits"));
            } else {
                EXPECT_EQ(jl.at("straight_hits"), l.straightHits);
                EXPECT_EQ(jl.at("box_hits"), l.boxHits);
            }
            // Every key the object carries is described in --help.
            for (const auto& [key, value] : jl.items()) {
                EXPECT_NE(help.out.find(key), std::string::npos) << key;
                if (value.is_object()) {
                    for (const auto& inner : value.items())
                        EXPECT_NE(help.out.find(inner.key()), std::string::npos) << inner.key();
                }
            }
        }
        for (const auto& item : j.items())
            EXPECT_NE(help.out.find(item.key()), std::string::npos) << item.key();
    }
}

TEST(BacktestCli, BadUsageGivesOneLineAndStatusTwo) {
    const history::LoadResult loaded = history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/Num4Data.tbl");
    ASSERT_FALSE(loaded.error);
    const std::string beyond = std::to_string(loaded.table.count + 1);
    struct Case {
        std::string args;
        std::string mentions;
    };
    const Case cases[] = {
        {kData, "--game"},
        {"--game 5 " + kData, "--game"},
        {"--game 3 --from 1 " + kData, "below round 2"},
        {"--game 4 --to 1 " + kData, "below round 2"},
        {"--game 4 --to " + beyond + " " + kData, "outside the history"},
        {"--game 4 --from " + beyond + " " + kData, "outside the history"},
        {"--game 3 --from 100 --to 50 " + kData, "no round"},
        {"--game 3 --from x " + kData, "--from"},
        {"--game 3 --seed -1 " + kData, "--seed"},
        {"--game 3 --portfolios 0 " + kData, "portfolios"},
        {"--game 3 --colour " + kData, "--colour"},
        {"--game 3 " + kData + " --to", "--to"},
        {"--game 3 --data-dir " + shellQuoted((fs::temp_directory_path() / "tw_no_such_folder").string()),
         "Num3Data.tbl"},
        {"--game 3 --game=4 " + kData, "--game is given twice"},
        {"--game=3 --from=5 --from 6 " + kData, "--from is given twice"},
        {"--game 3 --to 99999999999 " + kData, "--to 99999999999 is out of range"},
        {"--game 3 --portfolios=100001 " + kData, "--portfolios 100001 is out of range (1 .. 100000)"},
        {"--game 3 --json=yes " + kData, "--json takes no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(tw::testing::oneLineRefusalProblem(run), "");
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace tw::backtest::test
