// The report job: rounds replayed newest first with the proposal made from the
// rounds before each, the three files with their fixed ranges, the refusal of a
// short history, progress, and the engine's fast path behind the default predictor.
#include "history/table_file.h"
#include "reports/report_job.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

using tw::engine::PredNum;
using tw::engine::Proposal;
using tw::history::DrawTable;
using tw::reports::HitReportJob;
using tw::reports::Prediction;
using tw::reports::Predictor;
using tw::reports::ReportErrorKind;
using tw::testing::readBytes;
using tw::testing::TempFolder;

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(TALLOWIND_TEST_DATA_DIR) / "reports";

tw::engine::CountedList<PredNum> numbers(std::initializer_list<const char*> texts) {
    tw::engine::CountedList<PredNum> list;
    for (const char* t : texts) {
        PredNum n;
        int16_t* digits[] = {&n.intNum1, &n.intNum2, &n.intNum3};
        for (int i = 0; t[i] != '\0'; ++i)
            *digits[i] = static_cast<int16_t>(t[i] - '0');
        list.items.push_back(n);
    }
    list.count = static_cast<int16_t>(list.items.size());
    return list;
}

Proposal proposal(std::initializer_list<const char*> g1, std::initializer_list<const char*> g2,
                  std::initializer_list<const char*> mini) {
    Proposal p;
    p.grp1 = numbers(g1);
    p.grp2 = numbers(g2);
    p.mini = numbers(mini);
    return p;
}

// Proposals by the last round the analysis may use; remembers the calls.
struct FakePredictor {
    std::map<int, Proposal> byLastRow;
    Proposal fallback;
    std::vector<int> calls;
    int failAtLastRow = -1;

    Predictor predictor() {
        return [this](int lastRow) -> Prediction {
            calls.push_back(lastRow);
            if (lastRow == failAtLastRow)
                return {nullptr, tw::engine::EngineError::CountOverflow};
            const auto it = byLastRow.find(lastRow);
            return {it != byLastRow.end() ? &it->second : &fallback, tw::engine::EngineError::None};
        };
    }
};

// A Numbers3 history of `count` rounds with varying digits and fixed prizes.
DrawTable generatedHistory(int count) {
    DrawTable table;
    for (int r = 1; r <= count; ++r) {
        tw::history::NumData rec;
        rec.dteDraw = 36000 + r;
        rec.bytNum = {0, static_cast<uint8_t>(r % 10), static_cast<uint8_t>(r / 10 % 10),
                      static_cast<uint8_t>(r / 100 % 10), 0};
        rec.lngStraight = 90000;
        rec.lngBox = 15000;
        rec.lngSetStraight = 45000;
        rec.lngSetBox = 7500;
        rec.lngMini = 9000;
        EXPECT_TRUE(table.store(r, rec));
    }
    return table;
}

// The round numbers of the blocks of a report file, in file order.
std::vector<int> roundsIn(const std::string& bytes) {
    // "第" and "回" in code page 932 around the round padded to four places.
    static const std::regex block("\x91\xE6 *([0-9]+)\x89\xF1");
    std::vector<int> rounds;
    for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), block); it != std::sregex_iterator(); ++it)
        rounds.push_back(std::stoi((*it)[1].str()));
    return rounds;
}

int lineCount(const std::string& bytes) {
    int n = 0;
    for (std::size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2))
        ++n;
    return n;
}

std::vector<int> descending(int from, int to) {
    std::vector<int> v;
    for (int r = from; r >= to; --r)
        v.push_back(r);
    return v;
}

TEST(HitReportJob, SmallHistoryMatchesGoldenBytes) {
    const auto loaded = tw::history::loadTableFile((kGoldenDir / "job_small" / "Num3Data.tbl").string());
    ASSERT_FALSE(loaded.error) << loaded.error.message();
    FakePredictor fake;
    // Each proposal also holds decoys that would hit the round before (the draw the
    // analysis ended with), so a mix-up of the two records shows.
    fake.byLastRow[5] = proposal({"123", "307"}, {"789"}, {"12", "07"});               // draw 999: nothing
    fake.byLastRow[4] = proposal({"307", "703", "370"}, {"073", "112"}, {"07", "70"}); // draw 307
    fake.byLastRow[3] = proposal({"121", "122"}, {"112"}, {"12", "11"});               // draw 112

    TempFolder dir;
    HitReportJob job(loaded.table, dir.path(), {{"small.html", 6, 4}}, fake.predictor());
    EXPECT_EQ(job.roundsTotal(), 3);
    while (!job.done())
        ASSERT_FALSE(job.step());
    EXPECT_EQ(job.roundsDone(), 3);
    EXPECT_EQ(job.linesLost(), 0);
    EXPECT_EQ(fake.calls, (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(readBytes(fs::path(dir.path()) / "small.html"), readBytes(kGoldenDir / "job_small" / "expected.html"));
}

TEST(HitReportJob, ThreeFilesWithTheirFixedRanges) {
    struct Case {
        int count;
        std::vector<int> march, february, january; // rounds of the three files, in file order
    };
    const Case cases[] = {
        {2545, descending(2545, 2543), descending(2542, 2523), descending(2522, 2503)},
        {2543, {2543}, descending(2542, 2523), descending(2522, 2503)},
        {2542, {}, descending(2542, 2523), descending(2522, 2503)}, // the newest file holds only the frame
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const DrawTable table = generatedHistory(c.count);
        FakePredictor fake;
        TempFolder dir;
        std::vector<std::pair<int, int>> progress;
        const auto outcome = tw::reports::writeHitReports(
            table, dir.path(), [&](int done, int total) { progress.emplace_back(done, total); }, fake.predictor());
        ASSERT_FALSE(outcome.error) << outcome.error.describe();
        EXPECT_EQ(outcome.linesLost, 0);

        const std::pair<const char*, const std::vector<int>*> files[] = {{"Num3_３月抽選結果.html", &c.march},
                                                                         {"Num3_２月抽選結果.html", &c.february},
                                                                         {"Num3_１月抽選結果.html", &c.january}};
        std::vector<int> allRounds;
        for (const auto& [name, rounds] : files) {
            const std::string bytes = readBytes(fs::path(dir.path()) / name);
            EXPECT_EQ(roundsIn(bytes), *rounds) << name;
            EXPECT_EQ(lineCount(bytes), 1 + 6 * static_cast<int>(rounds->size()) + 8) << name;
            allRounds.insert(allRounds.end(), rounds->begin(), rounds->end());
        }
        // One prediction per round, newest first, each from the rounds before it.
        std::vector<int> expectedCalls;
        expectedCalls.reserve(allRounds.size());
        for (int r : allRounds)
            expectedCalls.push_back(r - 1);
        EXPECT_EQ(fake.calls, expectedCalls);
        // Progress after every round.
        const int total = static_cast<int>(allRounds.size());
        ASSERT_EQ(progress.size(), allRounds.size());
        for (int i = 0; i < total; ++i)
            EXPECT_EQ(progress[static_cast<std::size_t>(i)], std::make_pair(i + 1, total));
    }
}

TEST(HitReportJob, ShortHistoryIsRefusedAndWritesNothing) {
    const DrawTable table = generatedHistory(2541);
    FakePredictor fake;
    TempFolder dir;
    const auto started = tw::reports::startHitReports(table, dir.path(), fake.predictor());
    EXPECT_EQ(started.job, nullptr);
    EXPECT_EQ(started.error.kind, ReportErrorKind::HistoryTooShort);
    const auto outcome = tw::reports::writeHitReports(table, dir.path(), {}, fake.predictor());
    EXPECT_EQ(outcome.error.kind, ReportErrorKind::HistoryTooShort);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(HitReportJob, SecondRunAppendsToEveryFile) {
    const DrawTable table = generatedHistory(2542);
    FakePredictor fake;
    TempFolder dir;
    ASSERT_FALSE(tw::reports::writeHitReports(table, dir.path(), {}, fake.predictor()).error);
    std::map<fs::path, std::string> first;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        first[entry.path()] = readBytes(entry.path());
    ASSERT_EQ(first.size(), 3u);
    ASSERT_FALSE(tw::reports::writeHitReports(table, dir.path(), {}, fake.predictor()).error);
    for (const auto& [path, bytes] : first)
        EXPECT_EQ(readBytes(path), bytes + bytes) << path;
}

// A job that stops part way (here the prediction of round 2531, in the second
// file) leaves the file it was on as it found it: before, that file kept the
// opening line and the blocks of rounds 2542..2532, and the next run appended
// its page after them. Pages finished before the stop are whole.
TEST(HitReportJob, AReportThatFailsPartWayLeavesNoHalfPage) {
    const DrawTable table = generatedHistory(2545);
    const char* const names[] = {"Num3_３月抽選結果.html", "Num3_２月抽選結果.html", "Num3_１月抽選結果.html"};
    TempFolder clean;
    FakePredictor good;
    ASSERT_FALSE(tw::reports::writeHitReports(table, clean.path(), {}, good.predictor()).error);
    std::map<std::string, std::string> page;
    for (const char* name : names)
        page[name] = readBytes(fs::path(clean.path()) / name);

    for (const bool earlierRun : {false, true}) {
        SCOPED_TRACE(earlierRun ? "after a complete run" : "in a fresh folder");
        TempFolder dir;
        if (earlierRun) {
            ASSERT_FALSE(tw::reports::writeHitReports(table, dir.path(), {}, good.predictor()).error);
        }
        FakePredictor failing;
        failing.failAtLastRow = 2530;
        const auto outcome = tw::reports::writeHitReports(table, dir.path(), {}, failing.predictor());
        EXPECT_EQ(outcome.error.kind, ReportErrorKind::PredictionFailed);
        EXPECT_EQ(outcome.error.round, 2531);
        EXPECT_EQ(failing.calls.back(), 2530);
        const std::string before = earlierRun ? page[names[0]] : std::string();
        EXPECT_EQ(readBytes(fs::path(dir.path()) / names[0]), before + page[names[0]]);
        for (const char* name : {names[1], names[2]}) {
            EXPECT_EQ(fs::exists(fs::path(dir.path()) / name), earlierRun) << name;
            if (earlierRun) {
                EXPECT_EQ(readBytes(fs::path(dir.path()) / name), page[name]) << name;
            }
        }
    }
}

TEST(HitReportJob, LinesThatCannotBeAppendedAreCounted) {
    const DrawTable table = generatedHistory(2542);
    FakePredictor fake;
    TempFolder dir;
    const std::string missing = (fs::path(dir.path()) / "missing").string();
    const auto outcome = tw::reports::writeHitReports(table, missing, {}, fake.predictor());
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(outcome.linesLost, 3 * 9 + 2 * 20 * 6);
    EXPECT_EQ(fake.calls.size(), 40u); // the report goes on without its lines
}

// The default predictor is the engine's fast path for Numbers3, called newest
// round first on one engine object: each proposal must be the one a complete
// sliced run for that round gives.
TEST(EnginePredictor, MatchesSlicedRunsOnTheBundledHistory) {
    const auto loaded = tw::history::loadTableFile((fs::path(TALLOWIND_DATA_DIR) / "Num3Data.tbl").string());
    ASSERT_FALSE(loaded.error) << loaded.error.message();
    const Predictor predict = tw::engine::fastPredictor(loaded.table, tw::common::Game::Numbers3);
    for (int lastRow : {7053, 2542, 2502}) {
        SCOPED_TRACE(lastRow);
        const Prediction fast = predict(lastRow);
        ASSERT_NE(fast.proposal, nullptr) << tw::engine::errorText(fast.error);
        tw::engine::Engine sliced;
        ASSERT_EQ(sliced.YosouSetUp(loaded.table, tw::common::Game::Numbers3, 1, lastRow),
                  tw::engine::EngineError::None);
        ASSERT_EQ(sliced.runToEnd(), tw::engine::EngineError::None);
        const Proposal& expected = sliced.proposal();
        EXPECT_GT(expected.grp1.count + expected.grp2.count + expected.mini.count, 0);
        const std::pair<const tw::engine::CountedList<PredNum>*, const tw::engine::CountedList<PredNum>*> lists[] = {
            {&fast.proposal->grp1, &expected.grp1},
            {&fast.proposal->grp2, &expected.grp2},
            {&fast.proposal->mini, &expected.mini}};
        for (const auto& [got, want] : lists) {
            ASSERT_EQ(got->count, want->count);
            for (int k = 0; k < want->count; ++k)
                EXPECT_EQ((*got)[k], (*want)[k]) << k;
        }
    }
}

} // namespace
