// Hit tests of proposed entries against a drawn round and the per-group summary
// the prediction view and the reports show.
#include "engine/engine.h"

#include <array>

namespace tw::engine {

namespace {

std::array<int, 5> entryDigits(const PredNum& e) {
    return {0, e.intNum1, e.intNum2, e.intNum3, e.intNum4};
}

bool moneyOf(int64_t hitsA, int32_t prizeA, int64_t hitsB, int32_t prizeB, int32_t& money) {
    const int64_t total = hitsA * prizeA + hitsB * prizeB;
    if (total > INT32_MAX || total < INT32_MIN)
        return false;
    money = static_cast<int32_t>(total);
    return true;
}

} // namespace

bool IsStraightHit(const history::NumData& draw, const PredNum& entry, common::Game game) {
    const auto e = entryDigits(entry);
    for (int i = 1; i <= common::digitCount(game); ++i)
        if (draw.bytNum[static_cast<std::size_t>(i)] != e[static_cast<std::size_t>(i)])
            return false;
    return true;
}

bool IsBoxHit(const history::NumData& draw, const PredNum& entry, common::Game game) {
    const int n = common::digitCount(game);
    const auto e = entryDigits(entry);
    std::array<bool, 5> used{};
    for (int i = 1; i <= n; ++i)
        for (int k = 1; k <= n; ++k)
            if (!used[static_cast<std::size_t>(k)] &&
                draw.bytNum[static_cast<std::size_t>(k)] == e[static_cast<std::size_t>(i)]) {
                used[static_cast<std::size_t>(k)] = true;
                break;
            }
    for (int k = 1; k <= n; ++k)
        if (!used[static_cast<std::size_t>(k)])
            return false;
    return true;
}

bool IsMiniHit(const history::NumData& draw, const PredNum& entry) {
    return draw.bytNum[2] == entry.intNum1 && draw.bytNum[3] == entry.intNum2;
}

HitSummary summarizeHits(const Proposal& proposal, const history::NumData& draw, common::Game game,
                         EngineError* error) {
    bool ok = true;
    auto group = [&](const CountedList<PredNum>& list) {
        GroupHits g;
        g.count = list.count;
        for (int k = 0; k < list.count; ++k) {
            if (IsStraightHit(draw, list[k], game))
                ++g.straight;
            else if (IsBoxHit(draw, list[k], game))
                ++g.box;
        }
        ok = moneyOf(g.straight, draw.lngSetStraight, g.box, draw.lngSetBox, g.money) && ok;
        return g;
    };
    HitSummary s;
    s.group1 = group(proposal.grp1);
    s.group2 = group(proposal.grp2);
    if (game == common::Game::Numbers4) {
        s.third = group(proposal.grp3);
    } else {
        s.third.count = proposal.mini.count;
        for (int k = 0; k < proposal.mini.count; ++k)
            if (IsMiniHit(draw, proposal.mini[k]))
                ++s.third.straight;
        ok = moneyOf(s.third.straight, draw.lngMini, 0, 0, s.third.money) && ok;
    }
    if (error)
        *error = ok ? EngineError::None : EngineError::CountOverflow;
    return s;
}

} // namespace tw::engine
