// A bought ticket as the ledger holds it, the entry from which one is recorded,
// and the rules an entry must meet before it is stored: a round from 1 on (a
// round not yet drawn is allowed, tickets are bought before the draw), a number
// of the game, Mini for NUMBERS3 only and written "*nn", and no Box or Set of a
// number whose digits are all equal. Standard library only.
#pragma once

#include "common/lottery.h"
#include "history/num_data.h"
#include "ledger/ledger_error.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw::ledger {

// Where a ticket came from: a sheet the program printed, or a ticket bought at
// a counter and entered by hand.
enum class TicketSource { Printed, Hand };
const char* sourceKey(TicketSource source); // "printed", "hand" (as stored)
std::optional<TicketSource> sourceFromKey(std::string_view key);

// Rounds a ticket may name: the draw tables hold no round beyond this.
inline constexpr int kMaxRound = history::DrawTable::kMaxRounds;
// Tickets one hand entry may add at once.
inline constexpr int kMaxCount = 999;

// One ticket to record.
struct TicketEntry {
    common::Game game = common::Game::Numbers3;
    int round = 0;
    common::BetType bet = common::BetType::Straight;
    std::string number; // "012" / "0123"; Mini "*12" (or "12")
    std::string note;   // optional, free text
};

// A recorded ticket. Source and time belong to the purchase (the batch it was
// recorded with) and are repeated here so a reader needs no second list.
struct Ticket {
    int64_t id = 0;
    int64_t purchaseId = 0;
    TicketSource source = TicketSource::Hand;
    std::chrono::sys_seconds recordedAt{};
    common::Game game = common::Game::Numbers3;
    int round = 0;
    common::BetType bet = common::BetType::Straight;
    common::LotteryNumber number;
    int32_t price = common::kBetPrice;
    std::string note;
};

// The number of an entry in the form it is stored in, or why the entry is refused.
struct CheckedEntry {
    std::optional<common::LotteryNumber> number;
    LedgerError error;
};
CheckedEntry checkTicketEntry(const TicketEntry& entry);

// "2024-05-01T12:34:56Z": a recording time as stored (UTC), and back.
std::string formatUtc(std::chrono::sys_seconds time);
std::optional<std::chrono::sys_seconds> parseUtc(std::string_view text);

} // namespace tw::ledger
