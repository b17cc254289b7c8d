// Small hand-made proposals for the selection and printing tests.
#pragma once

#include "common/lottery.h"
#include "engine/engine_types.h"

#include <initializer_list>
#include <utility>

namespace tw::testing {

// The game of a case written with a NUMBERS3 flag.
inline common::Game gameOf(bool numbers3) {
    return numbers3 ? common::Game::Numbers3 : common::Game::Numbers4;
}

inline engine::PredNum pred(int a, int b, int c, int d = 0) {
    return {static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(c), static_cast<int16_t>(d)};
}

inline engine::CountedList<engine::PredNum> group(std::initializer_list<engine::PredNum> nums) {
    engine::CountedList<engine::PredNum> list;
    list.items.assign(nums);
    list.count = static_cast<int16_t>(list.items.size());
    return list;
}

// Entries of the all-group table as (value x 1000, digits); AllGrpValueCount is
// the number of distinct values given.
inline void setAllGroup(engine::Proposal& p, std::initializer_list<std::pair<int32_t, engine::PredNum>> entries) {
    p.AllGrpNums.clear();
    int16_t distinct = 0;
    for (const auto& [value, n] : entries) {
        if (p.AllGrpNums.empty() || p.AllGrpNums.back().lngGrpValue != value)
            ++distinct;
        p.AllGrpNums.push_back({value, n.intNum1, n.intNum2, n.intNum3, n.intNum4});
    }
    p.AllGrpCount = static_cast<int16_t>(p.AllGrpNums.size());
    p.AllGrpValueCount = distinct;
    p.AllGrpNums.push_back({}); // the spare element the engine leaves
}

// Numbers3: groups 1 and 2, a Mini list, and an all-group table of three values.
inline engine::Proposal numbers3Proposal() {
    engine::Proposal p;
    p.grp1 = group({pred(0, 1, 2), pred(1, 2, 3), pred(9, 0, 5)});
    p.grp2 = group({pred(3, 1, 2), pred(4, 5, 6)});
    p.mini = group({pred(2, 3, 0), pred(0, 7, 0)});
    setAllGroup(p, {{10500, pred(0, 1, 2)},
                    {10500, pred(3, 4, 5)},
                    {12345, pred(3, 1, 2)},
                    {12345, pred(6, 7, 8)},
                    {15000, pred(9, 9, 9)}});
    return p;
}

// Numbers4: groups 1 to 3 and an all-group table of two values.
inline engine::Proposal numbers4Proposal() {
    engine::Proposal p;
    p.grp1 = group({pred(0, 1, 2, 3), pred(9, 8, 7, 6)});
    p.grp2 = group({pred(5, 5, 5, 5)});
    p.grp3 = group({pred(0, 4, 5, 6), pred(1, 0, 0, 1)});
    setAllGroup(p, {{8250, pred(0, 0, 4, 2)}, {8250, pred(7, 1, 0, 3)}, {9125, pred(2, 2, 2, 2)}});
    return p;
}

} // namespace tw::testing
