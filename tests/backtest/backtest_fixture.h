// Hand-made draws, proposals and predictors for the back-test tests.
#pragma once

#include "backtest/backtest.h"
#include "engine/engine_types.h"
#include "history/num_data.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tw::backtest::test {

// The case tables name the game by its code; a code that is neither game (5)
// stays such a value, for the cases that check that it is refused.
inline common::Game asGame(int code) {
    return static_cast<common::Game>(code);
}

struct Prizes {
    int32_t straight = 0;
    int32_t box = 0;
    int32_t setStraight = 0;
    int32_t setBox = 0;
    int32_t mini = 0;
};

// A draw from its digit string ("112", "1234") and its prizes.
inline history::NumData draw(const std::string& digits, const Prizes& p) {
    history::NumData d;
    for (std::size_t i = 0; i < digits.size(); ++i)
        d.bytNum[i + 1] = static_cast<uint8_t>(digits[i] - '0');
    d.lngStraight = p.straight;
    d.lngBox = p.box;
    d.lngSetStraight = p.setStraight;
    d.lngSetBox = p.setBox;
    d.lngMini = p.mini;
    return d;
}

// Round k + 1 holds draws[k].
inline history::DrawTable table(const std::vector<history::NumData>& draws) {
    history::DrawTable t;
    for (std::size_t k = 0; k < draws.size(); ++k)
        t.store(static_cast<int>(k) + 1, draws[k]);
    return t;
}

// Entries from digit strings: "112", "1234", or a Mini pair "07" (tens, units).
inline engine::CountedList<engine::PredNum> entries(const std::vector<std::string>& numbers) {
    engine::CountedList<engine::PredNum> list;
    for (const std::string& n : numbers) {
        int16_t d[4] = {0, 0, 0, 0};
        for (std::size_t i = 0; i < n.size(); ++i)
            d[i] = static_cast<int16_t>(n[i] - '0');
        list.items.push_back({d[0], d[1], d[2], d[3]});
    }
    list.count = static_cast<int16_t>(list.items.size());
    return list;
}

struct Lists {
    std::vector<std::string> grp1, grp2, grp3, mini;
};

inline engine::Proposal proposal(const Lists& l) {
    engine::Proposal p;
    p.grp1 = entries(l.grp1);
    p.grp2 = entries(l.grp2);
    p.grp3 = entries(l.grp3);
    p.mini = entries(l.mini);
    return p;
}

// Hands out the proposal given for each predicted round (lastRow + 1); a round
// without one gets the engine's refusal.
inline BacktestPredictor fixedPredictor(std::map<int, engine::Proposal> byRound) {
    auto held = std::make_shared<std::map<int, engine::Proposal>>(std::move(byRound));
    return [held](int lastRow) -> BacktestPrediction {
        const auto it = held->find(lastRow + 1);
        if (it == held->end())
            return {nullptr, engine::EngineError::RoundOutOfRange};
        return {&it->second, engine::EngineError::None};
    };
}

// The same proposal for every round.
inline BacktestPredictor samePredictor(const engine::Proposal& p) {
    auto held = std::make_shared<engine::Proposal>(p);
    return [held](int) -> BacktestPrediction { return {held.get(), engine::EngineError::None}; };
}

// Rounds of pseudo-random digits and prizes (a linear congruential walk from `seed`).
inline history::DrawTable randomHistory(int game, int rounds, uint32_t seed) {
    std::vector<history::NumData> draws;
    uint32_t x = seed;
    for (int r = 0; r < rounds; ++r) {
        std::string digits;
        for (int i = 0; i < common::digitCount(asGame(game)); ++i) {
            x = x * 1664525u + 1013904223u;
            digits.push_back(static_cast<char>('0' + (x >> 16) % 10));
        }
        const auto base = static_cast<int32_t>(50000 + (x >> 8) % 100000);
        draws.push_back(draw(digits, {base, base / 6, base / 2, base / 12, base / 10}));
    }
    return table(draws);
}

// The line's figures of the table, the running series aside.
inline bool sameFigures(const BacktestLine& a, const BacktestLine& b) {
    return a.list == b.list && a.bet == b.bet && a.rounds == b.rounds && a.tickets == b.tickets &&
           a.payout == b.payout && a.straightHits == b.straightHits && a.boxHits == b.boxHits &&
           a.expectedPayout == b.expectedPayout && a.band.low == b.band.low && a.band.high == b.band.high &&
           a.verdict == b.verdict;
}

inline const BacktestLine* findLine(const BacktestResult& r, ProposalList list, BetType bet) {
    for (const BacktestLine& l : r.lines)
        if (l.list == list && l.bet == bet)
            return &l;
    return nullptr;
}

} // namespace tw::backtest::test
