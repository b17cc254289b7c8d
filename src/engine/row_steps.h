// The per-row work of stages 1 and 3 that both the sliced run and the shared
// tables of the fast path perform: ranking a round by the counts so far, scoring
// a forecast row against the digits drawn, and writing a forecast row from the
// follower counts. Internal to the engine; standard library only.
#pragma once

#include "engine/engine_types.h"

#include <array>
#include <cstdint>

namespace tw::engine {

using CountTable = std::array<std::array<int16_t, 11>, 5>;   // (position)(digit)
using RowDigits = std::array<uint8_t, 5>;                    // places 1..4

// Stage 1 for one round: copies its digits into both rows, ranks each position by
// the counts of the earlier rounds, records the hit ranks, then counts the round.
// False when a count would pass 16 bits.
bool stageOneRow(int game, const RowDigits& digits, CountTable& counts, FreqRow& freq, FollowRow& follow);

// Scores a forecast row against the digits then drawn (every slot is looked at,
// the last match wins). False when the 16-bit sum of the hit points overflows.
bool scoreFollowRow(int game, const RowDigits& digits, FollowRow& row);

// Writes the forecast ranking, point sums and average group value of a row from
// the follower counts.
void writeForecast(int game, const CountTable& followCount, FollowRow& row);

} // namespace tw::engine
