#include "ledger/ticket.h"

#include <charconv>
#include <cstdio>

namespace tw::ledger {

const char* sourceKey(TicketSource source) {
    return source == TicketSource::Printed ? "printed" : "hand";
}

std::optional<TicketSource> sourceFromKey(std::string_view key) {
    if (key == "printed")
        return TicketSource::Printed;
    if (key == "hand")
        return TicketSource::Hand;
    return std::nullopt;
}

CheckedEntry checkTicketEntry(const TicketEntry& entry) {
    CheckedEntry checked;
    auto refuse = [&](LedgerErrorKind kind, int64_t value = 0) {
        checked.error.kind = kind;
        checked.error.game = entry.game;
        checked.error.bet = entry.bet;
        checked.error.number = entry.number;
        checked.error.value = value;
        return checked;
    };
    if (entry.round < 1 || entry.round > kMaxRound)
        return refuse(LedgerErrorKind::InvalidRound, entry.round);

    std::optional<common::LotteryNumber> number;
    if (entry.bet == common::BetType::Mini) {
        if (entry.game != common::Game::Numbers3)
            return refuse(LedgerErrorKind::MiniNotNumbers3);
        // The pair alone is accepted too: "*" is awkward to type in a shell.
        const bool marked = !entry.number.empty() && entry.number.front() == '*';
        number = common::LotteryNumber::parse(common::Game::Numbers3, marked ? entry.number : "*" + entry.number);
    } else {
        number = common::LotteryNumber::parse(entry.game, entry.number);
        if (number && number->isMini())
            number.reset();
    }
    if (!number)
        return refuse(LedgerErrorKind::InvalidNumber);
    if (!number->buyableAs(entry.bet))
        return refuse(LedgerErrorKind::AllDigitsEqual);
    checked.number = number;
    return checked;
}

std::string formatUtc(std::chrono::sys_seconds time) {
    using namespace std::chrono;
    const sys_days day = floor<days>(time);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> clock{time - day};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return buf;
}

std::optional<std::chrono::sys_seconds> parseUtc(std::string_view text) {
    using namespace std::chrono;
    // yyyy-mm-ddThh:mm:ssZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    auto field = [&](std::size_t at, std::size_t width, int& value) {
        const char* first = text.data() + at;
        const auto [ptr, ec] = std::from_chars(first, first + width, value);
        return ec == std::errc() && ptr == first + width;
    };
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!field(0, 4, y) || !field(5, 2, mo) || !field(8, 2, d) || !field(11, 2, h) || !field(14, 2, mi) ||
        !field(17, 2, s))
        return std::nullopt;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok() || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)
        return std::nullopt;
    return sys_days{ymd} + hours{h} + minutes{mi} + seconds{s};
}

} // namespace tw::ledger
