#include "printing/print_job.h"

#include "support/entry_numbers.h"
#include "support/recording_sink.h"

#include <gtest/gtest.h>

namespace {

using tw::common::BetType;
using tw::common::Game;
using tw::printing::PrintEvent;
using tw::printing::PrintJob;
using tw::testing::RecordingSink;

TEST(PrintJob, SixEntriesFillTwoSheets) {
    PrintJob job(Game::Numbers3, BetType::Straight, tw::testing::numbers3From100(6));
    RecordingSink sink;
    ASSERT_TRUE(job.start());
    std::vector<PrintEvent> events;
    events.reserve(6);
    for (int i = 0; i < 6; ++i)
        events.push_back(job.step(sink).event);
    EXPECT_EQ(events,
              (std::vector<PrintEvent>{PrintEvent::EntryPrinted, PrintEvent::EntryPrinted, PrintEvent::EntryPrinted,
                                       PrintEvent::EntryPrinted, PrintEvent::SheetFinished, PrintEvent::JobFinished}));
    ASSERT_EQ(sink.pages.size(), 2u);
    EXPECT_EQ(sink.pages[0].size(), 5u * 4);
    ASSERT_EQ(sink.pages[1].size(), 4u);
    // Entry 105 in block 1 of the second sheet: rows from y = 2183.
    EXPECT_EQ(sink.pages[1][0], (RecordingSink::Rect{2814, 2183, 227, 57}));
    EXPECT_EQ(sink.pages[1][3].y, 2183 + 597);
    // Block 5 of the first sheet.
    EXPECT_EQ(sink.pages[0][16].y, 6946);
    EXPECT_EQ(sink.endDocuments, 1);
    EXPECT_FALSE(sink.drawnAfterEnd);
    EXPECT_FALSE(job.busy());
}

TEST(PrintJob, EveryMarkOfEveryPageMovedByTheOffset) {
    const tw::printing::SheetOffset offset{-113, 340};
    const auto entries =
        tw::testing::entryNumbers(Game::Numbers4, {"1234", "5678", "9012", "3456", "7890", "1357", "2468"});
    PrintJob plainJob(Game::Numbers4, BetType::Straight, entries);
    PrintJob movedJob(Game::Numbers4, BetType::Straight, entries, offset);
    RecordingSink plain, moved;
    ASSERT_TRUE(plainJob.start());
    ASSERT_TRUE(movedJob.start());
    while (plainJob.busy())
        plainJob.step(plain);
    while (movedJob.busy())
        movedJob.step(moved);
    ASSERT_EQ(moved.pages.size(), 2u);
    ASSERT_EQ(moved.pages.size(), plain.pages.size());
    for (std::size_t p = 0; p < plain.pages.size(); ++p) {
        ASSERT_EQ(moved.pages[p].size(), plain.pages[p].size()) << p;
        for (std::size_t i = 0; i < plain.pages[p].size(); ++i) {
            const auto& a = plain.pages[p][i];
            EXPECT_EQ(moved.pages[p][i], (RecordingSink::Rect{a.x - 113, a.y + 340, a.w, a.h})) << p << "/" << i;
        }
    }
    // An offset beyond 15 mm is held at the limit.
    EXPECT_EQ(
        PrintJob(Game::Numbers3, BetType::Straight, tw::testing::entryNumbers(Game::Numbers3, {"123"}), {2000, -900})
            .offset(),
        (tw::printing::SheetOffset{850, -850}));
}

TEST(PrintJob, ProgressAndSheetsStillNeeded) {
    PrintJob job(Game::Numbers3, BetType::Box, tw::testing::numbers3From100(11));
    RecordingSink sink;
    EXPECT_EQ(job.sheetsRemaining(), 3);
    ASSERT_TRUE(job.start());
    std::vector<int> sheets, percents, printed;
    for (int i = 0; i < 11; ++i) {
        const auto r = job.step(sink);
        if (r.event == PrintEvent::SheetFinished || r.event == PrintEvent::JobFinished) {
            sheets.push_back(r.sheetsRemaining);
            percents.push_back(r.progressPercent);
            printed.push_back(r.entriesPrinted);
        }
    }
    EXPECT_EQ(sheets, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(printed, (std::vector<int>{5, 10, 11}));
    EXPECT_EQ(percents, (std::vector<int>{45, 91, 100})); // 45.45 and 90.9 rounded
    EXPECT_EQ(sink.newPages, 2);
    EXPECT_EQ(sink.endDocuments, 1);
}

TEST(PrintJob, CancelEndsTheDocumentAfterTheCurrentEntry) {
    struct Case {
        const char* what;
        int stepsBeforeCancel;
        int marks; // of the entries printed before the cancel
        int newPages;
    };
    const Case cases[] = {
        {"after two entries", 2, 2 * 4, 0},
        {"in the pause after a full sheet", 5, 5 * 4, 0}, // no empty sheet is fed
        {"on the second sheet", 7, 7 * 4, 1},
    };
    for (const auto& c : cases) {
        PrintJob job(Game::Numbers3, BetType::Straight, tw::testing::numbers3From100(11));
        RecordingSink sink;
        ASSERT_TRUE(job.start());
        for (int i = 0; i < c.stepsBeforeCancel; ++i)
            job.step(sink);
        EXPECT_TRUE(job.requestCancel()) << c.what;
        EXPECT_TRUE(job.busy()) << c.what; // the document is still open
        EXPECT_EQ(sink.endDocuments, 0) << c.what;
        const auto r = job.step(sink);
        EXPECT_EQ(r.event, PrintEvent::Cancelled) << c.what;
        EXPECT_EQ(r.entriesPrinted, c.stepsBeforeCancel) << c.what;
        EXPECT_EQ(sink.endDocuments, 1) << c.what;
        EXPECT_EQ(sink.markCount(), c.marks) << c.what;
        EXPECT_EQ(sink.newPages, c.newPages) << c.what;
        EXPECT_FALSE(job.busy()) << c.what;
        EXPECT_EQ(job.step(sink).event, PrintEvent::Idle) << c.what;
        EXPECT_EQ(sink.markCount(), c.marks) << c.what;
        EXPECT_FALSE(job.requestCancel()) << c.what;
    }
}

TEST(PrintJob, StartingRules) {
    RecordingSink sink;
    PrintJob empty(Game::Numbers3, BetType::Straight, {});
    EXPECT_FALSE(empty.start());
    EXPECT_EQ(empty.step(sink).event, PrintEvent::Idle);
    EXPECT_EQ(sink.markCount(), 0);
    EXPECT_EQ(sink.endDocuments, 0);

    PrintJob job(Game::Numbers3, BetType::Mini, tw::testing::entryNumbers(Game::Numbers3, {"*23", "*07"}));
    EXPECT_FALSE(job.requestCancel()); // nothing running: the dialog may close at once
    ASSERT_TRUE(job.start());
    EXPECT_FALSE(job.start()); // already running
    job.step(sink);
    EXPECT_EQ(job.step(sink).event, PrintEvent::JobFinished);
    // The same data can be printed again, from the first entry.
    ASSERT_TRUE(job.start());
    EXPECT_EQ(job.nextIndex(), 0);
    job.step(sink);
    EXPECT_EQ(job.step(sink).event, PrintEvent::JobFinished);
    EXPECT_EQ(sink.endDocuments, 2);
    EXPECT_EQ(sink.markCount(), 2 * 2 * 3);
    EXPECT_EQ(sink.pages[0][0], sink.pages[0][6]); // second job starts again in block 1
}

} // namespace
