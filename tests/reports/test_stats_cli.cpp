// tallowind-cli stats as a user runs it: a twelve-round history written to a
// scratch folder against hand counts (JSON and the text tables), the bundled
// history against the library's figures, documented fields, and one-line errors
// with exit status 2.
#include "history/num_data.h"
#include "history/table_file.h"
#include "reports/draw_statistics.h"
#include "support/file_bytes.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tw::reports::test {
namespace {

namespace fs = std::filesystem;

using CliRun = tw::testing::ProgramRun;
using tw::testing::shellQuoted;

CliRun runCli(const std::string& args) {
    return tw::testing::runProgramLine(TALLOWIND_CLI, "stats " + args);
}

const std::string kData = std::string("--data-dir ") + shellQuoted(TALLOWIND_DATA_DIR);

// First digits 1 4 7 0 1 9 3 9 1 5 3 0; digit sums 6 15 24 3 3 16 12 27 3 11 19 3.
const std::vector<std::string> kTwelve = {"123", "456", "789", "012", "111", "907",
                                          "345", "999", "102", "560", "388", "021"};

class StatsCliFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir());
        history::DrawTable t;
        for (std::size_t k = 0; k < kTwelve.size(); ++k) {
            history::NumData d;
            for (std::size_t i = 0; i < 3; ++i)
                d.bytNum[i + 1] = static_cast<uint8_t>(kTwelve[k][i] - '0');
            ASSERT_TRUE(t.store(static_cast<int>(k) + 1, d));
        }
        ASSERT_FALSE(history::SaveTable(t, common::Game::Numbers3, (dir() / "Num3Data.tbl").string()));
    }
    fs::path dir() const { return scratch.path() / "data"; }
    std::string data() const { return "--data-dir " + shellQuoted(dir().string()); }

private:
    tw::testing::TempFolder scratch;
};

TEST_F(StatsCliFixture, JsonHoldsTheHandCounts) {
    const CliRun run = runCli("--game 3 " + data() + " --json");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    const nlohmann::json j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j.at("game"), 3);
    EXPECT_EQ(j.at("from"), 1);
    EXPECT_EQ(j.at("to"), 12);
    EXPECT_EQ(j.at("rounds"), 12);
    EXPECT_EQ(j.at("degrees_of_freedom"), 9);
    ASSERT_EQ(j.at("positions").size(), 3u);

    const nlohmann::json& first = j.at("positions").at(0);
    EXPECT_EQ(first.at("position"), 1);
    EXPECT_EQ(first.at("counts"), nlohmann::json({2, 3, 0, 2, 1, 1, 0, 1, 0, 2}));
    EXPECT_DOUBLE_EQ(first.at("expected").get<double>(), 1.2);
    // sum (10 c - 12)^2 / 120 = 960 / 120; Q(4.5, 4) from a high-precision evaluation.
    EXPECT_DOUBLE_EQ(first.at("chi_square").get<double>(), 8.0);
    EXPECT_NEAR(first.at("p_value").get<double>(), 0.53414621690969131, 1e-12);
    // 0 in rounds 4 and 12, 1 in 1, 5, 9, 2 never, 9 in 6 and 8.
    EXPECT_EQ(first.at("last_drawn"), nlohmann::json({12, 9, 0, 11, 2, 10, 0, 3, 0, 8}));
    EXPECT_EQ(first.at("current_gap"), nlohmann::json({0, 3, 12, 1, 10, 2, 12, 9, 12, 4}));
    EXPECT_EQ(first.at("longest_gap"), nlohmann::json({7, 3, 12, 6, 10, 9, 12, 9, 12, 5}));

    const nlohmann::json& sums = j.at("digit_sums");
    EXPECT_EQ(sums.at("ways_total"), 1000);
    ASSERT_EQ(sums.at("sums").size(), 28u);
    struct SumCase {
        int sum, count, ways;
    };
    for (const SumCase c : {SumCase{0, 0, 1}, {3, 4, 10}, {6, 1, 28}, {13, 0, 75}, {24, 1, 10}, {27, 1, 1}}) {
        SCOPED_TRACE(c.sum);
        const nlohmann::json& s = sums.at("sums").at(static_cast<std::size_t>(c.sum));
        EXPECT_EQ(s.at("sum"), c.sum);
        EXPECT_EQ(s.at("count"), c.count);
        EXPECT_EQ(s.at("ways"), c.ways);
        EXPECT_DOUBLE_EQ(s.at("expected").get<double>(), 12.0 * c.ways / 1000);
    }
}

TEST_F(StatsCliFixture, TextTablesShowTheSameFigures) {
    const CliRun run = runCli("--game 3 --from 2 --to 12 " + data());
    ASSERT_EQ(run.status, 0) << run.err;
    // Rounds 2..12: first digits 4 7 0 1 9 3 9 1 5 3 0.
    const std::string expectedLines[] = {
        "NUMBERS3, rounds 2..12 (11 rounds)\n",
        "     1st      2      2      0      2      1      1      0      1      0      2",
        // 2, 6 and 8 never came first: their gaps are the whole range, marked as "at least".
        "     1st       0/7       3/3   11+/11+       1/5     10/10       2/8   11+/11+       9/9   11+/11+       "
        "4/4\n",
        // Sum 3 in rounds 4, 5, 9 and 12; 10 of the 1000 numbers have it.
        "   3       4      0.11    10\n",
        "  27       1      0.01     1\n",
    };
    for (const std::string& line : expectedLines)
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n---\n" << run.out;
}

TEST(StatsCli, JsonCarriesTheLibraryFiguresAndEveryFieldIsDocumented) {
    const CliRun help = runCli("--help");
    ASSERT_EQ(help.status, 0);
    for (const common::Game game : common::kGames) {
        SCOPED_TRACE(common::gameName(game));
        const CliRun run = runCli("--game " + std::to_string(common::gameCode(game)) + " " + kData + " --json");
        ASSERT_EQ(run.status, 0) << run.err;
        const nlohmann::json j = nlohmann::json::parse(run.out);

        const history::LoadResult loaded =
            history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + common::tableFileName(game), game);
        ASSERT_FALSE(loaded.error);
        const StatisticsOutcome lib = computeDrawStatistics(loaded.table, {game, 1, std::nullopt});
        ASSERT_FALSE(lib.error);
        const DrawStatistics& s = lib.statistics;

        EXPECT_EQ(j.at("from"), 1);
        EXPECT_EQ(j.at("to"), loaded.table.count);
        ASSERT_EQ(j.at("positions").size(), s.positions.size());
        for (std::size_t i = 0; i < s.positions.size(); ++i) {
            const nlohmann::json& p = j.at("positions").at(i);
            EXPECT_EQ(p.at("counts"), nlohmann::json(s.positions[i].count));
            EXPECT_EQ(p.at("current_gap"), nlohmann::json(s.positions[i].currentGap));
            EXPECT_EQ(p.at("longest_gap"), nlohmann::json(s.positions[i].longestGap));
            EXPECT_DOUBLE_EQ(p.at("chi_square").get<double>(), s.positions[i].chiSquare);
            EXPECT_DOUBLE_EQ(p.at("p_value").get<double>(), s.positions[i].pValue);
            for (const auto& item : p.items())
                EXPECT_NE(help.out.find(item.key()), std::string::npos) << item.key();
        }
        const nlohmann::json& sums = j.at("digit_sums").at("sums");
        ASSERT_EQ(sums.size(), s.sums.count.size());
        for (std::size_t k = 0; k < sums.size(); ++k) {
            EXPECT_EQ(sums[k].at("count"), s.sums.count[k]);
            EXPECT_EQ(sums[k].at("ways"), s.sums.ways[k]);
        }
        for (const auto& item : sums[0].items())
            EXPECT_NE(help.out.find(item.key()), std::string::npos) << item.key();
        for (const auto& item : j.items())
            EXPECT_NE(help.out.find(item.key()), std::string::npos) << item.key();
        EXPECT_NE(help.out.find("ways_total"), std::string::npos);
    }
}

TEST(StatsCli, BadUsageGivesOneLineAndStatusTwo) {
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
        {"--game 3 --from 0 " + kData, "outside the history"},
        {"--game 4 --to " + beyond + " " + kData, "outside the history"},
        {"--game 3 --from 100 --to 50 " + kData, "hold no round"},
        {"--game 3 --from x " + kData, "--from"},
        {"--game 3 --seed 1 " + kData, "--seed"},
        {"--game 3 " + kData + " --to", "--to"},
        {"--game 3 --data-dir " + shellQuoted((fs::temp_directory_path() / "tw_no_such_folder").string()),
         "Num3Data.tbl"},
        {"--game 3 --game=4 " + kData, "--game is given twice"},
        {"--game 3 --to 99999999999 " + kData, "--to 99999999999 is out of range"},
        {"--game 3 --json=yes " + kData, "--json takes no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(tw::testing::oneLineRefusalProblem(run), "");
        EXPECT_NE(run.err.find("tallowind-cli stats: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace tw::reports::test
