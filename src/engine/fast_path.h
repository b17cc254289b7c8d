// The fast path for callers that predict many rounds of one history (the
// back-test report): the tables that depend only on the history are built once.
//
// Rows 1..r of FreqRows and FollowRows, and the forecast row r + 1, depend only
// on rounds 1..r, so SharedTables computes them once for the whole history (stage
// 3 with an incremental count of resembling rounds instead of comparing every
// pair). The lists of the last phase become prefix tallies keyed by position and
// hit rank (and digit), so a prediction reads a few counts instead of walking the
// history. Engine::predictFast then does only what depends on the round predicted.
// Standard library only; the draw table is not referenced after build().
#pragma once

#include "engine/engine.h"
#include "history/num_data.h"

#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace tw::engine {

class SharedTables {
public:
    // Builds the tables of rounds 1..table.count of one game.
    EngineError build(const history::DrawTable& table, common::Game game);

    bool built() const { return m_built; }
    common::Game game() const { return m_game; }
    int count() const { return m_count; }
    // FreqRows rows 0..count and FollowRows rows 0..count + 1 of the whole history
    // (rows up to count scored, row count + 1 the forecast after the last round).
    const std::vector<FreqRow>& freqRows() const { return m_freqRows; }
    const std::vector<FollowRow>& followRows() const { return m_followRows; }

private:
    friend class Engine;

    // Per key, the rows that carry it (ascending) and running totals of a
    // ten-bin tally over those rows, so any range of rows is two look-ups.
    class PrefixIndex {
    public:
        void reset(int keys);
        void add(int key, int row, int bin);
        // Totals of the rows first..last (inclusive) of one key.
        std::array<int32_t, 10> query(int key, int first, int last) const;

    private:
        std::vector<std::vector<int32_t>> m_rows;
        std::vector<std::vector<std::array<int32_t, 10>>> m_totals; // [k] = first k rows
    };

    static int rankKey(int pos, int rank) { return pos * 11 + rank; }
    static int rankDigitKey(int pos, int rank, int digit) { return rankKey(pos, rank) * 10 + digit; }

    bool m_built = false;
    common::Game m_game = common::Game::Numbers3;
    int m_count = 0;
    // The smallest last row whose sliced run would stop with a count overflow.
    int m_firstOverflowRow = INT_MAX;
    std::vector<FreqRow> m_freqRows;
    std::vector<FollowRow> m_followRows;
    // Sub-stage 2: records j by (position, frequency hit rank) -> rank of round j + 1,
    // and by (position, rank, digit) -> digit of round j + 1.
    PrefixIndex m_freqByRank;
    PrefixIndex m_freqByRankDigit;
    // Sub-stage 3: rows i = r - 1 by (position, follower hit rank) -> follower rank of
    // round i + 1, and by (position, rank, digit) -> the same.
    PrefixIndex m_followByRank;
    PrefixIndex m_followByRankDigit;
};

} // namespace tw::engine
