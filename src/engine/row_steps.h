// The per-row work of stages 1 and 3 that both the sliced run and the shared
// tables of the fast path perform: ranking a round by the counts so far, scoring
// a forecast row against the digits drawn, and writing a forecast row from the
// follower counts. Internal to the engine; standard library only.
#pragma once

#include "engine/engine_types.h"

#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace tw::engine {

using CountTable = std::array<std::array<int16_t, 11>, 5>; // (position)(digit)
using RowDigits = std::array<uint8_t, 5>;                  // places 1..4

// Stage 1 for one round: copies its digits into both rows, ranks each position by
// the counts of the earlier rounds, records the hit ranks, then counts the round.
// False when a count would pass 16 bits.
bool stageOneRow(int places, const RowDigits& digits, CountTable& counts, FreqRow& freq, FollowRow& follow);

// Scores a forecast row against the digits then drawn (every slot is looked at,
// the last match wins). False when the 16-bit sum of the hit points overflows.
bool scoreFollowRow(int places, const RowDigits& digits, FollowRow& row);

// Writes the forecast ranking, point sums and average group value of a row from
// the follower counts.
void writeForecast(int places, const CountTable& followCount, FollowRow& row);

// Counts of the digits that followed the earlier rounds resembling a round
// (agreeing at two or more positions), kept incrementally: for every set of two,
// three or four positions, keyed by the digits there, a tally of the follower
// digits. By inclusion-exclusion, [agree at >= 2 of A positions] equals
// C(A,2) - 2 C(A,3) + 3 C(A,4), so weighting the pair, triple and quadruple
// tallies by 1, -2 and 3 counts every resembling round exactly once. Adding a
// round and asking for the counts of one each touch a few hundred cells, however
// long the history is.
class FollowerTally {
public:
    explicit FollowerTally(int places = 3) { reset(places); }

    // Empties the tally for a digit count of 3 or 4; the storage is kept.
    void reset(int places);
    int places() const { return m_places; }
    int rounds() const { return m_rounds; } // rounds added since the reset

    // A round with `digits` was followed by a round with `next`.
    void add(const RowDigits& digits, const RowDigits& next);

    // Follower counts for a round with `digits` (positions 1..places, digits 0..9;
    // the rest zero); false when a count passes 16 bits (that count reads INT16_MAX).
    bool countsFor(const RowDigits& digits, CountTable& out) const;

private:
    struct Subset {
        std::array<int, 4> positions{}; // the positions of the set, ascending
        int size = 0;
        int weight = 0;
        std::size_t offset = 0; // first cell of the subset in m_cells
    };
    std::size_t cellOf(const Subset& s, const RowDigits& digits) const {
        std::size_t key = 0;
        for (int k = 0; k < s.size; ++k)
            key = key * 10 + digits[static_cast<std::size_t>(s.positions[static_cast<std::size_t>(k)])];
        return s.offset + key * static_cast<std::size_t>(m_places) * 10;
    }
    int m_places = 3;
    int m_rounds = 0;
    std::vector<Subset> m_subsets;
    std::vector<int32_t> m_cells; // per subset: (key, position, digit)
};

} // namespace tw::engine
