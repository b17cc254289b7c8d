// The steps of the last phase of a run: the similar-situation lists of sub-stage
// 2, the follow-up lists and votes of sub-stage 3, and the end of the run that
// turns them into the proposal (candidate digits, the all-group table and the
// candidate numbers, the groups and Mini candidates).
//
// Free functions over plain tables so that the sliced run, the fast path and the
// tests call the same code. Where a step has a reference form and a fast form
// (the all-group table, the order of the candidate digits) both are here; the
// sliced run uses the reference, the fast path the fast form. Standard library only.
#pragma once

#include "engine/engine.h"
#include "engine/rank_digits.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tw::engine {

// (position 0..4)(digit or key 0..10) 16-bit tallies; position 0 and index 10 unused.
using DigitTally = std::array<std::array<int16_t, 11>, 5>;
// CandDigits(position)(slot 0..10): candidate digit and its votes, intPoint -1 = empty.
using CandDigitTable = std::array<std::array<DigitPoint, 11>, 5>;

inline constexpr int kFlowFirstRow = 500; // rounds before this never enter the lists

// Adds to a 16-bit count; false (count unchanged) when the result would not fit.
inline bool addCount16(int16_t& count, int add = 1) {
    const int sum = count + add;
    if (sum > INT16_MAX || sum < INT16_MIN)
        return false;
    count = static_cast<int16_t>(sum);
    return true;
}

// Appends to a counted list: the first entry of an emptied list replaces its
// storage, each further entry enlarges it by one.
template <typename T> bool appendCounted(CountedList<T>& list, const T& value) {
    if (list.count == INT16_MAX)
        return false;
    if (list.count == 0)
        list.items.assign(1, value);
    else {
        list.items.resize(static_cast<std::size_t>(list.count) + 1);
        list.items[static_cast<std::size_t>(list.count)] = value;
    }
    ++list.count;
    return true;
}

// Group value x 1000 of a 16-bit point sum over `places` places (3 or 4), rounded
// half to even.
int32_t groupValueOfSum(int pointSum, int places);

// ---- sub-stage 2 ----

// Tiers 0..9 of one column of a tally (keys 0..9): keys of equal tally together,
// largest tally first, keys rising inside a tier. Tier 10 and key slot 10 are kept.
void MakePointTiers(std::span<const int16_t> column, std::array<PointTier, 11>& tiers);

// Empties the four lists and fills list p (p = 1..places) with the rounds 500..row
// whose frequency hit rank at p equals that of `row`.
void BuildFreqFlows(int places, int row, const RowTable<FreqRow>& freq, std::array<CountedList<FlowRec>, 5>& lists);

// ---- sub-stage 3 ----

// Sub-stage 3's work for row r of a run for lastRow: clears the counts at r = 1,
// collects the pair (r - 1, r) for 500 <= r < lastRow. False when a list is full.
bool collectFollowStep(int places, int r, int lastRow, const RowTable<FollowRow>& follow,
                       std::array<CountedList<FlowStep>, 5>& lists);

// The follow-up votes of the end of the run. h(p) is the follower hit rank of the
// last row, c(p) its digit at p; forecast is the ranking of the forecast row.
EngineError FollowUpVotes(int places, const std::array<CountedList<FlowStep>, 5>& lists, const std::array<int, 5>& h,
                          const std::array<int, 5>& c, const Ranking& forecast, DigitTally& votes);

// ---- candidate digits ----

// The second ranking of position p from its similar-situation list (all records
// but the last); h, c are the frequency hit rank and digit of the last row at p.
EngineError RankByFlow(int places, const CountedList<FlowRec>& list, const RankedDigits& first, int h, int c,
                       RankedDigits& second);

// Candidate digits from the second rankings S(1..places): Numbers3 ranks 2..9, Numbers4 ranks 1..6.
CandDigitTable candDigitsFromSecond(int places, const std::array<RankedDigits, 5>& second);

// MakeCandDigits in full (reference rankings): first rankings from `votes`, second
// rankings from the lists; hitRank/hitDigit are those of FreqRows(lastRow).
EngineError MakeCandDigits(int places, const DigitTally& votes, const std::array<CountedList<FlowRec>, 5>& lists,
                           const std::array<int, 5>& hitRank, const std::array<int, 5>& hitDigit, CandDigitTable& cand);

// ---- all-group table and candidate numbers ----

// The point of `digit` in position `pos` of a ranking (first slot from 0 holding it; 0 if none).
int16_t GetDigitPoint(const Ranking& ranking, int pos, int digit);

// Index window [lo, hi] of the distinct values V (ascending) around T, w values
// each side as the run takes them, clamped to 0 .. |V| - 1.
struct GroupWindow {
    int lo = 0;
    int hi = 0;
};
GroupWindow groupWindow(const std::vector<int32_t>& values, int32_t target, int width);

// Candidate numbers: combinations of candidate digits with a repeated digit or a
// repeated slot index, whose group value lies in [lower, upper].
EngineError PickCandNums(int placeCount, const Ranking& forecast, int32_t lower, int32_t upper,
                         const CandDigitTable& cand, std::vector<PredNum>& candNums);

// Writes AllGrpCount, AllGrpValueCount, AllGrpNums of `out` and fills candNums.
// Reference form: distinct values by linear search, sorted with QuickSortKeys,
// one scan of the entries per value. Nothing is written on an error.
EngineError MakeAllGroup(int places, const FollowRow& forecast, const CandDigitTable& cand, Proposal& out,
                         std::vector<PredNum>& candNums);
// Fast form: a counting sort over point sums; the same outputs.
EngineError makeAllGroupFast(int places, const FollowRow& forecast, const CandDigitTable& cand, Proposal& out,
                             std::vector<PredNum>& candNums);
// The fast form in its two parts, for a caller that may never read the table.
// The candidate numbers alone, from the distinct point sums (no table entry is
// made); the same candNums and the same errors as makeAllGroupFast.
EngineError pickCandNumsFast(int places, const FollowRow& forecast, const CandDigitTable& cand,
                             std::vector<PredNum>& candNums);
// The table alone (AllGrpCount, AllGrpValueCount, AllGrpNums) of a ranking that
// pickCandNumsFast accepted (its point sums fit in 16 bits).
void fillAllGroupFast(int places, const Ranking& ranking, Proposal& out);

// ---- groups ----

// Orders the candidate digits (reference: the key sort; otherwise their table
// order, which is the same) and splits the candidates into the groups of `out`.
void MakeGroups(int places, const CandDigitTable& cand, const std::vector<PredNum>& candNums, Proposal& out,
                bool keySort);

// top(p) slots 0..9 (-1 = empty) and their count m(p), positions 1..4.
struct TopDigits {
    std::array<std::array<int16_t, 10>, 5> top{};
    std::array<int, 5> m{};
};
void SplitGroups3(const TopDigits& top, const std::vector<PredNum>& candNums, Proposal& out);
void SplitGroups4(const TopDigits& top, const std::vector<PredNum>& candNums, Proposal& out);

} // namespace tw::engine
