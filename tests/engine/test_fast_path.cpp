// The fast path against the sliced run: identical proposal, tables, lists and
// votes on the real history, and the same refusals.
#include "engine/fast_path.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

namespace tw::engine::test {
namespace {

template <typename T> void expectSameList(const CountedList<T>& a, const CountedList<T>& b, const char* what, int pos) {
    ASSERT_EQ(a.count, b.count) << what << " position " << pos;
    for (int k = 0; k < a.count; ++k)
        ASSERT_EQ(a[k], b[k]) << what << " position " << pos << " record " << k;
}

void expectSameProposal(const Proposal& a, const Proposal& b, common::Game game) {
    expectSameList(a.grp1, b.grp1, "group 1", 0);
    expectSameList(a.grp2, b.grp2, "group 2", 0);
    if (game == common::Game::Numbers4)
        expectSameList(a.grp3, b.grp3, "group 3", 0);
    expectSameList(a.mini, b.mini, "mini", 0);
    ASSERT_EQ(a.AllGrpCount, b.AllGrpCount);
    ASSERT_EQ(a.AllGrpValueCount, b.AllGrpValueCount);
    ASSERT_EQ(a.AllGrpNums, b.AllGrpNums);
}

// Everything a reader of the engine sees after a run.
void expectSameRun(const Engine& sliced, const Engine& fast, common::Game game) {
    ASSERT_EQ(sliced.intLastRow(), fast.intLastRow());
    ASSERT_EQ(sliced.game(), fast.game());
    ASSERT_EQ(sliced.intStage(), fast.intStage());
    ASSERT_EQ(sliced.intSubStage(), fast.intSubStage());
    ASSERT_EQ(sliced.intCurRow(), fast.intCurRow());
    expectSameProposal(sliced.proposal(), fast.proposal(), game);

    const auto sf = sliced.FreqRows(), ff = fast.FreqRows();
    ASSERT_EQ(sf.size(), ff.size());
    for (std::size_t r = 0; r < sf.size(); ++r)
        ASSERT_EQ(sf[r], ff[r]) << "FreqRows row " << r;
    const auto so = sliced.FollowRows(), fo = fast.FollowRows();
    ASSERT_EQ(so.size(), fo.size());
    for (std::size_t r = 0; r < so.size(); ++r)
        ASSERT_EQ(so[r], fo[r]) << "FollowRows row " << r;

    for (int p = 0; p <= 4; ++p)
        for (int d = 0; d <= 10; ++d)
            ASSERT_EQ(sliced.intDigitCount(p, d), fast.intDigitCount(p, d)) << "votes " << p << "," << d;
    for (int p = 1; p <= 4; ++p) {
        expectSameList(sliced.FreqFlow(p), fast.FreqFlow(p), "FreqFlow", p);
        expectSameList(sliced.FollowFlow(p), fast.FollowFlow(p), "FollowFlow", p);
    }
}

class FastPathRealHistory : public ::testing::TestWithParam<common::Game> {};

TEST_P(FastPathRealHistory, EqualsSlicedRun) {
    const common::Game game = GetParam();
    const history::DrawTable table = realTable(game);
    ASSERT_GE(table.count, 7000);
    SharedTables shared;
    ASSERT_EQ(shared.build(table, game), EngineError::None);

    const int count = table.count;
    // Rounds to predict: young history, the first rounds that the lists see, a
    // middle round, the last drawn round and the next one.
    const std::vector<int> rounds = {2, 3, 4, 250, 499, 500, 501, 502, 3527, count, count + 1};
    Engine fast;
    for (int round : rounds) {
        SCOPED_TRACE("round " + std::to_string(round));
        Engine sliced;
        runSliced(sliced, table, game, round - 1);
        ASSERT_EQ(fast.predictFast(shared, round - 1), EngineError::None);
        expectSameRun(sliced, fast, game);
        // The comparison means something only where the lists and values are not trivial.
        if (round > 600) {
            EXPECT_GT(sliced.FreqFlow(1).count, 1);
            EXPECT_GT(sliced.FollowFlow(1).count, 1);
            EXPECT_GT(sliced.proposal().AllGrpValueCount, 1);
            EXPECT_GT(sliced.proposal().grp1.count + sliced.proposal().grp2.count, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, FastPathRealHistory,
                         ::testing::Values(common::Game::Numbers3, common::Game::Numbers4));

TEST(FastPath, RefusesRoundsOutsideTheHistoryAndKeepsTheLastRun) {
    const history::DrawTable table = randomTable(common::Game::Numbers3, 40, 7);
    SharedTables shared;
    ASSERT_EQ(shared.build(table, common::Game::Numbers3), EngineError::None);
    Engine engine;
    ASSERT_EQ(engine.predictFast(shared, 30), EngineError::None);
    const Proposal before = engine.proposal();
    EXPECT_EQ(engine.predictFast(shared, 0), EngineError::RoundOutOfRange);
    EXPECT_EQ(engine.predictFast(shared, 41), EngineError::RoundOutOfRange);
    EXPECT_EQ(engine.intLastRow(), 30);
    EXPECT_EQ(engine.proposal().grp1, before.grp1);
    EXPECT_EQ(engine.proposal().AllGrpNums, before.AllGrpNums);

    SharedTables unbuilt;
    EXPECT_EQ(engine.predictFast(unbuilt, 10), EngineError::NotSetUp);
    EXPECT_EQ(shared.build(table, common::Game{5}), EngineError::InvalidArgument); // no game has code 5
}

// The all-group table of a fast run is built only when the proposal is read in
// full, from that run's forecast, whatever happened to the engine in between.
TEST(FastPath, BuildsTheAllGroupTableOfItsOwnRunWhenFirstRead) {
    for (const common::Game game : common::kGames) {
        SCOPED_TRACE("game " + std::to_string(common::gameCode(game)));
        const history::DrawTable table = randomTable(game, 900, 5 + common::gameCode(game));
        SharedTables shared;
        ASSERT_EQ(shared.build(table, game), EngineError::None);
        Engine eager;
        ASSERT_EQ(eager.predictFast(shared, 820), EngineError::None);
        const Proposal at820 = eager.proposal();
        ASSERT_EQ(eager.predictFast(shared, 870), EngineError::None);
        const Proposal at870 = eager.proposal();
        ASSERT_NE(at820.AllGrpNums, at870.AllGrpNums);

        // Only the lists are read: the table is not there yet.
        Engine lazy;
        ASSERT_EQ(lazy.predictFast(shared, 820), EngineError::None);
        EXPECT_EQ(lazy.proposalLists().grp1, at820.grp1);
        EXPECT_EQ(lazy.proposalLists().AllGrpCount, 0);
        EXPECT_TRUE(lazy.proposalLists().AllGrpNums.empty());
        // A later run replaces the pending table; a refused one leaves it.
        ASSERT_EQ(lazy.predictFast(shared, 870), EngineError::None);
        EXPECT_EQ(lazy.predictFast(shared, 901), EngineError::RoundOutOfRange);
        expectSameProposal(lazy.proposal(), at870, game);
        EXPECT_EQ(lazy.proposalLists().AllGrpNums, at870.AllGrpNums);

        // A sliced run set up after an unread fast run shows the fast run's
        // proposal, table included, until it ends with its own.
        Engine mixed;
        ASSERT_EQ(mixed.predictFast(shared, 820), EngineError::None);
        ASSERT_EQ(mixed.YosouSetUp(table, game, 1, 700), EngineError::None);
        expectSameProposal(mixed.proposal(), at820, game);
        Engine sliced;
        runSliced(sliced, table, game, 700);
        runSliced(mixed, table, game, 700);
        expectSameProposal(mixed.proposal(), sliced.proposal(), game);
    }
}

// A Numbers3 fast run after a Numbers4 run on the same object keeps group 3, as the
// sliced run does.
TEST(FastPath, CarriesGroupThreeAcrossGamesLikeTheSlicedRun) {
    const history::DrawTable t4 = randomTable(common::Game::Numbers4, 700, 11);
    const history::DrawTable t3 = randomTable(common::Game::Numbers3, 700, 12);
    SharedTables s3, s4;
    ASSERT_EQ(s3.build(t3, common::Game::Numbers3), EngineError::None);
    ASSERT_EQ(s4.build(t4, common::Game::Numbers4), EngineError::None);
    Engine sliced, fast;
    runSliced(sliced, t4, common::Game::Numbers4, 650);
    ASSERT_EQ(fast.predictFast(s4, 650), EngineError::None);
    runSliced(sliced, t3, common::Game::Numbers3, 690);
    ASSERT_EQ(fast.predictFast(s3, 690), EngineError::None);
    expectSameList(sliced.proposal().grp3, fast.proposal().grp3, "group 3", 0);
    expectSameRun(sliced, fast, common::Game::Numbers3);
}

// Rounds of 1111 only: every earlier round resembles the next, so the forecast for
// row q gives digit 1 the point q - 2 at every position. The four points of one
// number pass 16 bits (4 x 8192) in the all-group table of the run for last row
// 8193, and in the scoring of row 8194 during stage 3 of the run for 8194. Both
// paths stop at exactly these rows and agree on the row before.
TEST(FastPath, StopsAtTheSameCountOverflowsAsTheSlicedRun) {
    const history::DrawTable table = makeTable(std::vector<std::string>(8200, "1111"));
    SharedTables shared;
    ASSERT_EQ(shared.build(table, common::Game::Numbers4), EngineError::None);

    struct Case {
        int lastRow;
        EngineError error;
        int16_t bar; // pass that stops the sliced run
    };
    const Case cases[] = {
        {8192, EngineError::None, 5},
        {8193, EngineError::CountOverflow, 5}, // group values of the forecast
        {8194, EngineError::CountOverflow, 2}, // stage 3 scoring
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("last row " + std::to_string(c.lastRow));
        Engine sliced;
        ASSERT_EQ(sliced.YosouSetUp(table, common::Game::Numbers4, 1, c.lastRow), EngineError::None);
        StepResult res;
        do
            res = sliced.YosouStep();
        while (!res.blnComplete && res.error == EngineError::None);
        EXPECT_EQ(res.error, c.error);
        EXPECT_EQ(res.intBar, c.bar);
        EXPECT_EQ(res.blnComplete, c.error == EngineError::None);
        EXPECT_EQ(sliced.hasRun(), c.error == EngineError::None);
        if (c.error != EngineError::None) {
            EXPECT_EQ(sliced.YosouStep().error, c.error); // stays stopped
        }

        Engine fast;
        EXPECT_EQ(fast.predictFast(shared, c.lastRow), c.error);
        if (c.error == EngineError::None) {
            expectSameRun(sliced, fast, common::Game::Numbers4);
        }
    }
}

// The bundled Numbers3 rounds followed by 16,500 rounds all drawn "123": the
// follower points of 1, 2 and 3 grow with every round. Predictions stop with an
// overflow some 10,900 rounds in; about 16,400 rounds in, the hit-point sum of a
// scored row passes 16 bits part-way through its positions, which leaves the
// later positions of that row without a hit rank. The fast path must refuse
// every round the sliced run refuses and must never use such a missing rank
// (building its tallies wrote one count before a local array when it did). The
// boundary is found on the fast path and then checked against the sliced run on
// both sides and at the last round.
TEST(FastPath, DegenerateLongHistoryOverflowsWhereTheSlicedRunDoes) {
    history::DrawTable table = realTable(common::Game::Numbers3);
    const int real = table.count;
    history::NumData rec;
    rec.bytNum = {0, 1, 2, 3, 0};
    for (int r = real + 1; r <= real + 16500; ++r)
        ASSERT_TRUE(table.store(r, rec));
    SharedTables shared;
    ASSERT_EQ(shared.build(table, common::Game::Numbers3), EngineError::None);

    Engine fast;
    ASSERT_EQ(fast.predictFast(shared, real), EngineError::None);
    ASSERT_EQ(fast.predictFast(shared, table.count), EngineError::CountOverflow);
    int ok = real;             // predicts
    int refused = table.count; // overflows
    while (refused - ok > 1) {
        const int mid = ok + (refused - ok) / 2;
        (fast.predictFast(shared, mid) == EngineError::None ? ok : refused) = mid;
    }
    ASSERT_GT(refused, real + 1000); // deep inside the "123" rounds

    {
        SCOPED_TRACE("last row " + std::to_string(ok));
        Engine sliced;
        runSliced(sliced, table, common::Game::Numbers3, ok);
        ASSERT_EQ(fast.predictFast(shared, ok), EngineError::None);
        expectSameRun(sliced, fast, common::Game::Numbers3);
    }
    for (const int lastRow : {refused, static_cast<int>(table.count)}) {
        SCOPED_TRACE("last row " + std::to_string(lastRow));
        Engine sliced;
        ASSERT_EQ(sliced.YosouSetUp(table, common::Game::Numbers3, 1, lastRow), EngineError::None);
        EXPECT_EQ(sliced.runToEnd(), EngineError::CountOverflow);
        EXPECT_EQ(fast.predictFast(shared, lastRow), EngineError::CountOverflow);
    }
}

} // namespace
} // namespace tw::engine::test
