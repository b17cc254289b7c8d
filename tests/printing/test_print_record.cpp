// A print job's entries recorded as tickets: the job drawn on the recording sink
// to its end or cancelled part-way, then the entries it printed written to a
// ledger; entries that cannot be tickets left out with a message; a ledger that
// cannot be opened records nothing and says so.
#include "ledger/print_record.h"
#include "printing/print_job.h"
#include "support/entry_numbers.h"
#include "support/recording_sink.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tw::common::BetType;
using tw::common::Game;
using tw::printing::PrintEvent;
using tw::printing::PrintJob;

// Runs a job; when `cancelAfter` is set, the cancel comes after that many entries.
// Returns the number of entries the job reports as printed at its end.
int runJob(PrintJob& job, tw::testing::RecordingSink& sink, int cancelAfter = -1) {
    EXPECT_TRUE(job.start());
    for (int steps = 0;; ++steps) {
        if (steps == cancelAfter)
            job.requestCancel();
        const tw::printing::StepReport r = job.step(sink);
        if (r.event == PrintEvent::JobFinished || r.event == PrintEvent::Cancelled)
            return r.entriesPrinted;
        if (r.event == PrintEvent::Idle) {
            ADD_FAILURE() << "the job stopped without ending";
            return -1;
        }
    }
}

std::vector<std::string> numbers(int count) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out.push_back(std::to_string(100 + 37 * i).substr(0, 3));
    return out;
}

TEST(PrintRecord, RecordsWhatTheJobPrintedUpToACancel) {
    const int entries = tw::printing::kBlocksPerSheet * 2 + 1;
    // -1: no cancel; 1: after the first entry; a full sheet: during the pause.
    for (const int cancelAfter : {-1, 1, 3, tw::printing::kBlocksPerSheet}) {
        SCOPED_TRACE("cancel after " + std::to_string(cancelAfter));
        tw::testing::TempFolder dir;
        const std::vector<std::string> printed = numbers(entries);
        const auto printedNumbers = tw::testing::entryNumbers(Game::Numbers3, printed);
        PrintJob job(Game::Numbers3, BetType::Set, printedNumbers);
        tw::testing::RecordingSink sink;
        const int count = runJob(job, sink, cancelAfter);
        EXPECT_EQ(count, cancelAfter < 0 ? entries : cancelAfter);
        EXPECT_EQ(sink.endDocuments, 1);

        const std::string path = tw::ledger::ledgerPathIn(dir.str());
        const tw::ledger::PrintRecordOutcome outcome = tw::ledger::recordPrintedEntries(
            path, Game::Numbers3, 6801, BetType::Set,
            std::span<const tw::common::LotteryNumber>(printedNumbers).first(static_cast<std::size_t>(count)));
        ASSERT_FALSE(outcome.error) << tw::ledger::describe(outcome.error);
        EXPECT_EQ(outcome.recorded, count);
        EXPECT_EQ(outcome.messageJa(), "");

        auto opened = tw::ledger::Ledger::open(path);
        ASSERT_TRUE(opened.ledger);
        const tw::ledger::TicketsResult listed = opened.ledger->tickets();
        ASSERT_EQ(listed.tickets.size(), static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const tw::ledger::Ticket& t = listed.tickets[static_cast<std::size_t>(i)];
            EXPECT_EQ(t.number.text(), printed[static_cast<std::size_t>(i)]);
            EXPECT_EQ(t.bet, BetType::Set);
            EXPECT_EQ(t.round, 6801);
            EXPECT_EQ(t.source, tw::ledger::TicketSource::Printed);
            EXPECT_EQ(t.purchaseId, listed.tickets.front().purchaseId); // one purchase, one transaction
        }
    }
}

TEST(PrintRecord, EntriesThatAreNoTicketsAreLeftOutAndNamed) {
    struct Case {
        Game game;
        BetType type;
        std::vector<std::string> printed;
        int recorded;
        std::vector<std::string> named;
    };
    const std::vector<Case> cases = {
        {Game::Numbers3, BetType::Box, {"111", "123", "999"}, 1, {"111", "999"}},
        {Game::Numbers4, BetType::Set, {"0000", "0001"}, 1, {"0000"}},
        {Game::Numbers3, BetType::Straight, {"111", "000"}, 2, {}}, // all-equal Straights are fine
        {Game::Numbers3, BetType::Mini, {"*11", "*05"}, 2, {}},     // and so are Mini pairs
        {Game::Numbers4, BetType::Box, {"7777"}, 0, {"7777"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(tw::common::betName(c.type)) + " " + c.printed.front());
        tw::testing::TempFolder dir;
        const std::string path = tw::ledger::ledgerPathIn(dir.str());
        const auto outcome =
            tw::ledger::recordPrintedEntries(path, c.game, 500, c.type, tw::testing::entryNumbers(c.game, c.printed));
        EXPECT_FALSE(outcome.error);
        EXPECT_EQ(outcome.recorded, c.recorded);
        ASSERT_EQ(outcome.refused.size(), c.named.size());
        const std::string message = outcome.messageJa();
        EXPECT_EQ(message.empty(), c.named.empty());
        for (const std::string& n : c.named)
            EXPECT_NE(message.find("「" + n + "」"), std::string::npos) << message;
        if (c.recorded > 0) {
            auto opened = tw::ledger::Ledger::open(path);
            ASSERT_TRUE(opened.ledger);
            EXPECT_EQ(opened.ledger->tickets().tickets.size(), static_cast<std::size_t>(c.recorded));
        }
    }
}

TEST(PrintRecord, UnusableLedgerRecordsNothingAndSaysSo) {
    tw::testing::TempFolder dir;
    const std::string junk(4096, 'x');
    dir.write(tw::ledger::kLedgerFileName, junk);
    const auto printed = tw::testing::entryNumbers(Game::Numbers3, {"123", "456"});
    const auto outcome = tw::ledger::recordPrintedEntries(tw::ledger::ledgerPathIn(dir.str()), Game::Numbers3, 10,
                                                          BetType::Straight, printed);
    EXPECT_EQ(outcome.error.kind, tw::ledger::LedgerErrorKind::Corrupt);
    EXPECT_EQ(outcome.recorded, 0);
    EXPECT_NE(outcome.messageJa().find("登録されませんでした"), std::string::npos);
    EXPECT_EQ(dir.read(tw::ledger::kLedgerFileName), junk);
    // A folder that does not exist is as unusable.
    const auto missing = tw::ledger::recordPrintedEntries((dir.path() / "gone" / "tallowind.db").string(),
                                                          Game::Numbers3, 10, BetType::Straight, printed);
    EXPECT_TRUE(missing.error.isStorageError());
    EXPECT_FALSE(missing.messageJa().empty());
}

} // namespace
