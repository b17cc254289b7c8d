// A process killed in the middle of a write leaves the whole write or nothing of
// it. A child process records (or removes) through the ledger and kills itself
// with SIGKILL from the write hook, either after the last insert and before
// COMMIT or right after COMMIT; the parent then opens the file and looks.
#include "ledger/ledger.h"
#include "ledger_fixture.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using tw::common::BetType;
using tw::common::Game;
using tw::ledger::TicketEntry;
using tw::ledger::WriteStage;
using tw::testing::openLedger;

std::vector<TicketEntry> printJobEntries() {
    std::vector<TicketEntry> entries;
    entries.reserve(40);
    for (int i = 0; i < 40; ++i)
        entries.push_back({Game::Numbers4, 7055, BetType::Set, std::to_string(1234 + i * 37), ""});
    return entries;
}

std::vector<int64_t> idsOf(const std::vector<tw::ledger::Ticket>& tickets) {
    std::vector<int64_t> ids;
    ids.reserve(tickets.size());
    for (const auto& t : tickets)
        ids.push_back(t.id);
    return ids;
}

TEST(LedgerKill, AKilledWriteLeavesAllOrNothing) {
    enum class Write { RecordBatch, RemoveTicket };
    struct Case {
        const char* name;
        Write write;
        WriteStage killAt;
        bool writeKept;
    };
    const Case cases[] = {
        {"batch, killed before COMMIT", Write::RecordBatch, WriteStage::BeforeCommit, false},
        {"batch, killed after COMMIT", Write::RecordBatch, WriteStage::AfterCommit, true},
        {"removal, killed before COMMIT", Write::RemoveTicket, WriteStage::BeforeCommit, false},
        {"removal, killed after COMMIT", Write::RemoveTicket, WriteStage::AfterCommit, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tw::testing::TempFolder dir;
        const std::string path = tw::ledger::ledgerPathIn(dir.str());
        std::vector<int64_t> earlier;
        {
            auto ledger = openLedger(path);
            ASSERT_TRUE(ledger);
            earlier = ledger->addTickets(Game::Numbers3, 7054, "286", BetType::Box, 3).ticketIds;
            ASSERT_EQ(earlier.size(), 3u);
        }

        const int status = tw::testing::runInChild([&] {
            auto opened = tw::ledger::Ledger::open(path, tw::testing::fixedClockOptions());
            if (!opened.ledger)
                return 1;
            tw::ledger::Ledger ledger = std::move(*opened.ledger);
            ledger.setWriteHookForTests([&](WriteStage stage) {
                if (stage == c.killAt)
                    ::kill(::getpid(), SIGKILL);
            });
            if (c.write == Write::RecordBatch)
                ledger.recordTickets(printJobEntries());
            else
                ledger.removeTicket(earlier[1]);
            return 2; // the hook did not stop the process
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << "child exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), SIGKILL);

        auto ledger = openLedger(path);
        ASSERT_TRUE(ledger);
        const auto listed = ledger->tickets();
        ASSERT_FALSE(listed.error) << tw::ledger::describe(listed.error);
        if (c.write == Write::RecordBatch) {
            const std::size_t expected = earlier.size() + (c.writeKept ? printJobEntries().size() : 0);
            EXPECT_EQ(listed.tickets.size(), expected);
            if (c.writeKept) {
                EXPECT_EQ(listed.tickets.back().number.text(), printJobEntries().back().number);
            }
        } else {
            const std::vector<int64_t> afterRemoval = {earlier[0], earlier[2]};
            EXPECT_EQ(idsOf(listed.tickets), c.writeKept ? afterRemoval : earlier);
        }
        // The file takes writes again after the recovery.
        EXPECT_FALSE(ledger->addTickets(Game::Numbers3, 7056, "123", BetType::Straight, 1).error);
    }
}

} // namespace
