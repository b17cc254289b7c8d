// Holds the engine's outputs over a sample of rounds of the bundled histories to
// fixed hashes: a change meant only to make the engine faster must leave every
// byte of the proposal and of the forecast ranking as it was. A deliberate change
// of the outputs updates the hashes here.
#include "engine/fast_path.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace tw::engine {
namespace {

using test::realTable;
using test::runSliced;

struct Fnv {
    uint64_t h = 1469598103934665603ULL;
    template <typename T> void add(const T& v) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        for (unsigned char b : bytes)
            h = (h ^ b) * 1099511628211ULL;
    }
    void add(const PredNum& n) { add(n.intNum1), add(n.intNum2), add(n.intNum3), add(n.intNum4); }
    void add(const CountedList<PredNum>& list) {
        add(list.count);
        for (int k = 0; k < list.count; ++k)
            add(list[k]);
    }
};

void addRun(Fnv& f, const Engine& e, int places) {
    const Proposal& p = e.proposal();
    f.add(p.grp1), f.add(p.grp2), f.add(p.grp3), f.add(p.mini);
    f.add(p.AllGrpCount), f.add(p.AllGrpValueCount);
    for (int k = 0; k < p.AllGrpCount; ++k) {
        const GrpValueNum& g = p.AllGrpNums[static_cast<std::size_t>(k)];
        f.add(g.lngGrpValue), f.add(g.intNum1), f.add(g.intNum2), f.add(g.intNum3), f.add(g.intNum4);
    }
    const FollowRow& forecast = e.FollowRows()[static_cast<std::size_t>(e.intLastRow()) + 1];
    f.add(forecast.dblAvgGrpValue);
    for (int s = 0; s < 10; ++s)
        for (int pos = 1; pos <= places; ++pos)
            f.add(forecast.ranking.at(s, pos).intDigit), f.add(forecast.ranking.at(s, pos).intPoint);
}

const int kRounds[] = {1, 2, 9, 249, 499, 776, 999, 2544, 3332, 4998, 5999, 6542, 6999, 7053, 7054};

struct GoldenCase {
    common::Game game;
    uint64_t hash;
};

class GoldenOutputs : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenOutputs, SlicedAndFastRunsKeepTheirHash) {
    const GoldenCase c = GetParam();
    const history::DrawTable table = realTable(c.game);
    SharedTables shared;
    ASSERT_EQ(shared.build(table, c.game), EngineError::None);
    Fnv sliced, fast;
    for (int lastRow : kRounds) {
        Engine a;
        runSliced(a, table, c.game, lastRow);
        addRun(sliced, a, common::digitCount(c.game));
        Engine b;
        ASSERT_EQ(b.predictFast(shared, lastRow), EngineError::None) << lastRow;
        addRun(fast, b, common::digitCount(c.game));
    }
    EXPECT_EQ(sliced.h, c.hash) << std::hex << "sliced 0x" << sliced.h;
    EXPECT_EQ(fast.h, c.hash) << std::hex << "fast 0x" << fast.h;
}

INSTANTIATE_TEST_SUITE_P(BundledHistories, GoldenOutputs,
                         ::testing::Values(GoldenCase{common::Game::Numbers3, 0x625a3e748101a755ULL},
                                           GoldenCase{common::Game::Numbers4, 0x6b9f73e8a48e7431ULL}));

} // namespace
} // namespace tw::engine
