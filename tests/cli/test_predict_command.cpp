// tallowind-cli predict run as a program: the refused invocations (exit 2, one
// line on stderr, nothing on stdout), and the JSON of drawn and next rounds
// against the engine library, byte for byte the same on a second run.
#include "engine/fast_path.h"
#include "history/table_file.h"

#include "support/run_program.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

using Outcome = tw::testing::ProgramRun;

Outcome runCli(const std::vector<std::string>& args) {
    return tw::testing::runProgram(TALLOWIND_CLI, args);
}

const std::string kData = TALLOWIND_DATA_DIR;

tw::history::DrawTable load(int game) {
    auto loaded = tw::history::loadTableFile(kData + (game == 3 ? "/Num3Data.tbl" : "/Num4Data.tbl"));
    EXPECT_FALSE(loaded.error);
    return std::move(loaded.table);
}

TEST(PredictCommand, RefusesBadInvocationsWithOneLineAndStatusTwo) {
    const int count3 = load(3).count;
    tw::testing::TempFolder empty;
    tw::testing::TempFolder malformed;
    malformed.write("Num3Data.tbl",
                    "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n2,1994/10/14,98x,1,1,1,1,1\r\n");
    malformed.write("Num4Data.tbl", ""); // empty
    // 1 GiB (sparse): refused from its size, before a byte is read; before, the
    // whole file was read and split, and a file like it ended in std::bad_alloc.
    tw::testing::TempFolder huge;
    huge.write("Num3Data.tbl", "");
    fs::resize_file(huge.path() / "Num3Data.tbl", std::uintmax_t{1} << 30);
    struct Case {
        std::vector<std::string> args;
        std::string mentions; // a piece of the message
    };
    const std::vector<Case> cases = {
        {{"predict"}, "--game"},
        {{"predict", "--game", "3"}, "--round"},
        {{"predict", "--round", "9", "--data-dir", kData}, "--game"},
        {{"predict", "--game", "5", "--round", "9", "--data-dir", kData}, "3 or 4"},
        {{"predict", "--game", "three", "--round", "9", "--data-dir", kData}, "3 or 4"},
        {{"predict", "--game", "3", "--round", "1", "--data-dir", kData}, "out of range"},
        {{"predict", "--game", "3", "--round", "0", "--data-dir", kData}, "out of range"},
        {{"predict", "--game", "3", "--round", "-4", "--data-dir", kData}, "out of range"},
        {{"predict", "--game", "3", "--round", std::to_string(count3 + 2), "--data-dir", kData}, "out of range"},
        {{"predict", "--game", "3", "--round", "99999999999", "--data-dir", kData}, "out of range"},
        {{"predict", "--game", "3", "--round", "99999999999999999999", "--data-dir", kData}, "out of range"},
        {{"predict", "--game", "3", "--round", "12a", "--data-dir", kData}, "whole number"},
        {{"predict", "--game", "3", "--round", "", "--data-dir", kData}, "whole number"},
        {{"predict", "--game", "3", "--round", "9", "--colour", "red"}, "unknown option"},
        {{"predict", "--game", "3", "--round"}, "needs a value"},
        {{"predict", "--game", "3", "--game", "4", "--round", "9"}, "twice"},
        {{"predict", "--game", "3", "--round", "9", "--data-dir", empty.path().string()}, "Num3Data.tbl"},
        {{"predict", "--game", "3", "--round", "2", "--data-dir", malformed.path().string()}, "Num3Data.tbl"},
        {{"predict", "--game", "4", "--round", "2", "--data-dir", malformed.path().string()},
         "Num4Data.tbl' holds no rounds"},
        {{"predict", "--game", "3", "--round", "2", "--data-dir", huge.path().string()}, "は大きすぎて"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const Outcome o = runCli(c.args);
        EXPECT_EQ(tw::testing::oneLineRefusalProblem(o), "");
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
    }
}

TEST(PredictCommand, HelpDocumentsEveryOption) {
    const Outcome o = runCli({"predict", "--help"});
    EXPECT_EQ(o.status, 0);
    for (const char* word : {"--game", "--round", "--data-dir", "hit", "all_group", "mini", "Exit status", "stderr"})
        EXPECT_NE(o.out.find(word), std::string::npos) << word;
}

// Reads only the file of the chosen game.
TEST(PredictCommand, LoadsOnlyTheChosenGamesFile) {
    tw::testing::TempFolder dir;
    fs::copy_file(kData + "/Num4Data.tbl", dir.path() / "Num4Data.tbl");
    EXPECT_EQ(runCli({"predict", "--game=4", "--round=600", "--data-dir=" + dir.path().string()}).status, 0);
    EXPECT_EQ(runCli({"predict", "--game", "3", "--round", "600", "--data-dir", dir.path().string()}).status, 2);
}

std::string digitsOf(const tw::engine::PredNum& n, int places) {
    const int d[4] = {n.intNum1, n.intNum2, n.intNum3, n.intNum4};
    std::string s;
    for (int i = 0; i < places; ++i)
        s += static_cast<char>('0' + d[i]);
    return s;
}

Json listOf(const tw::engine::CountedList<tw::engine::PredNum>& l, int places) {
    Json a = Json::array();
    for (int k = 0; k < l.count; ++k)
        a.push_back(digitsOf(l[k], places));
    return a;
}

// The JSON of the drawn last round and of the next round, for both games, against
// a fast-path prediction through the library, and the same bytes twice.
TEST(PredictCommand, PrintsTheProposalOfDrawnAndNextRounds) {
    for (int game : {3, 4}) {
        const tw::history::DrawTable table = load(game);
        tw::engine::SharedTables shared;
        ASSERT_EQ(shared.build(table, tw::common::Game{game}), tw::engine::EngineError::None);
        for (int round : {static_cast<int>(table.count), table.count + 1, 777}) {
            SCOPED_TRACE("game " + std::to_string(game) + " round " + std::to_string(round));
            const std::vector<std::string> args = {
                "predict", "--game", std::to_string(game), "--round", std::to_string(round), "--data-dir", kData};
            const Outcome o = runCli(args);
            ASSERT_EQ(o.status, 0) << o.err;
            EXPECT_EQ(o.err, "");
            ASSERT_EQ(o.out.back(), '\n');
            EXPECT_EQ(runCli(args).out, o.out);

            const Json j = Json::parse(o.out);
            std::vector<std::string> keys;
            for (const auto& [k, v] : j.items())
                keys.push_back(k);
            EXPECT_EQ(keys, (std::vector<std::string>{"game", "round", "last_row", "forecast", "groups", "mini",
                                                      "all_group", "hit"}));
            EXPECT_EQ(j["game"], game);
            EXPECT_EQ(j["round"], round);
            EXPECT_EQ(j["last_row"], round - 1);

            tw::engine::Engine engine;
            ASSERT_EQ(engine.predictFast(shared, round - 1), tw::engine::EngineError::None);
            const auto& forecast = engine.FollowRows()[static_cast<std::size_t>(round)];
            EXPECT_EQ(j["forecast"]["avg_grp_value"].get<double>(), forecast.dblAvgGrpValue);
            ASSERT_EQ(j["forecast"]["ranking"].size(), static_cast<std::size_t>(game));
            for (int p = 1; p <= game; ++p)
                for (int s = 0; s < 10; ++s) {
                    const Json& pair =
                        j["forecast"]["ranking"][static_cast<std::size_t>(p - 1)][static_cast<std::size_t>(s)];
                    EXPECT_EQ(pair[0], forecast.ranking.at(s, p).intDigit);
                    EXPECT_EQ(pair[1], forecast.ranking.at(s, p).intPoint);
                }

            const auto& pr = engine.proposal();
            EXPECT_EQ(j["groups"]["1"], listOf(pr.grp1, game));
            EXPECT_EQ(j["groups"]["2"], listOf(pr.grp2, game));
            EXPECT_EQ(j["groups"].contains("3"), game == 4);
            if (game == 4) {
                EXPECT_EQ(j["groups"]["3"], listOf(pr.grp3, game));
            }
            EXPECT_EQ(j["mini"], game == 3 ? listOf(pr.mini, 2) : Json::array());
            EXPECT_GT(j["groups"]["1"].size() + j["groups"]["2"].size(), 0u);

            EXPECT_EQ(j["all_group"]["count"], game == 3 ? 1000 : 10000);
            EXPECT_EQ(j["all_group"]["value_count"], pr.AllGrpValueCount);
            const Json& entries = j["all_group"]["entries"];
            ASSERT_EQ(entries.size(), static_cast<std::size_t>(pr.AllGrpCount));
            for (std::size_t k = 0; k < entries.size(); ++k) {
                const auto& e = pr.AllGrpNums[k];
                ASSERT_EQ(entries[k][0], e.lngGrpValue);
                ASSERT_EQ(entries[k][1], digitsOf({e.intNum1, e.intNum2, e.intNum3, e.intNum4}, game));
            }

            if (round > table.count) {
                EXPECT_TRUE(j["hit"].is_null());
                continue;
            }
            const tw::history::NumData& rec = table.record(round);
            const tw::engine::HitSummary s = tw::engine::summarizeHits(pr, rec, tw::common::Game{game});
            const Json& hit = j["hit"];
            std::string drawn;
            for (int p = 1; p <= game; ++p)
                drawn += static_cast<char>('0' + rec.bytNum[static_cast<std::size_t>(p)]);
            EXPECT_EQ(hit["draw"], drawn);
            auto expectGroup = [](const Json& g, const tw::engine::GroupHits& h) {
                EXPECT_EQ(g, (Json{{"count", h.count}, {"straight", h.straight}, {"box", h.box}, {"money", h.money}}));
            };
            expectGroup(hit["group1"], s.group1);
            expectGroup(hit["group2"], s.group2);
            if (game == 3) {
                EXPECT_EQ(hit["mini"],
                          (Json{{"count", s.third.count}, {"hits", s.third.straight}, {"money", s.third.money}}));
                EXPECT_FALSE(hit.contains("group3"));
            } else {
                expectGroup(hit["group3"], s.third);
                EXPECT_FALSE(hit.contains("mini"));
            }
        }
    }
}

} // namespace
