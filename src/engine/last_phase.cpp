#include "engine/last_phase.h"

#include "common/rounding.h"

#include <algorithm>
#include <bitset>
#include <cassert>
#include <utility>

namespace tw::engine {

namespace {

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

// The 16-bit point sum of a number; false when it would not fit.
bool pointSum16(std::span<const int16_t> points, int& sum) {
    int16_t acc = 0;
    for (int16_t pt : points)
        if (!addCount16(acc, pt))
            return false;
    sum = acc;
    return true;
}

bool containsEntry(const CountedList<PredNum>& list, const PredNum& e) {
    for (int k = 0; k < list.count; ++k)
        if (list[k] == e)
            return true;
    return false;
}

} // namespace

int32_t groupValueOfSum(int pointSum, int places) {
    return static_cast<int32_t>(common::roundHalfEven(static_cast<double>(pointSum) / places * 1000.0));
}

// ---------------------------------------------------------------- sub-stage 2

void MakePointTiers(std::span<const int16_t> column, std::array<PointTier, 11>& tiers) {
    for (int t = 0; t < 10; ++t) {
        tiers[idx(t)].lngTierValue = -1;
        tiers[idx(t)].intTierCount = 0;
        for (int k = 0; k < 10; ++k)
            tiers[idx(t)].intTierKey[idx(k)] = -1;
    }
    const RankedDigits ranked = rankDigitsFast(column);
    int cur = -1;
    for (const DigitPoint& dp : ranked) {
        if (cur < 0 || dp.intPoint != tiers[idx(cur)].lngTierValue) {
            ++cur;
            tiers[idx(cur)].lngTierValue = dp.intPoint;
        }
        PointTier& tier = tiers[idx(cur)];
        tier.intTierKey[idx(tier.intTierCount)] = dp.intDigit;
        ++tier.intTierCount;
    }
}

void BuildFreqFlows(int places, int row, const RowTable<FreqRow>& freq, std::array<CountedList<FlowRec>, 5>& lists) {
    DigitTally rankTally{};  // (position)(rank slot of the following round)
    DigitTally digitTally{}; // (position)(digit of the following round)
    for (auto& list : lists) {
        list.count = 0;
        list.items.clear();
    }
    std::array<int, 5> h{};
    for (int p = 1; p <= places; ++p)
        h[idx(p)] = freq[idx(row)].blocks[idx(p)].intHitRank;

    for (int j = kFlowFirstRow; j <= row; ++j) {
        for (int p = 1; p <= places; ++p) {
            const PosBlock& here = freq[idx(j)].blocks[idx(p)];
            if (here.intHitRank != h[idx(p)])
                continue;
            FlowRec rec{};
            rec.intFlowRow = static_cast<int16_t>(j + 1);
            rec.intFlowHitRank = here.intHitRank;
            rec.intFlowHitDigit = here.intHitDigit;
            MakePointTiers(rankTally[idx(p)], rec.NextRankTiers);
            MakePointTiers(digitTally[idx(p)], rec.NextDigitTiers);
            if (j == row) {
                // The round after the last one is the round to be predicted.
                rec.intNextHitRank = -1;
                rec.intNextHitDigit = -1;
            } else {
                const PosBlock& next = freq[idx(j + 1)].blocks[idx(p)];
                rec.intNextHitRank = next.intHitRank;
                rec.intNextHitDigit = next.intHitDigit;
                assert(next.intHitRank >= 1 && next.intHitRank <= 10);
                // Record counts never exceed the rows of a table, so these tallies fit.
                ++rankTally[idx(p)][idx(next.intHitRank - 1)];
                ++digitTally[idx(p)][idx(next.intHitDigit)];
            }
            appendCounted(lists[idx(p)], rec);
        }
    }
}

// ---------------------------------------------------------------- sub-stage 3

bool collectFollowStep(int places, int r, int lastRow, const RowTable<FollowRow>& follow,
                       std::array<CountedList<FlowStep>, 5>& lists) {
    if (r == 1)
        for (auto& list : lists)
            list.count = 0; // storage is kept until the first new record replaces it
    if (r < kFlowFirstRow || r >= lastRow)
        return true;
    for (int p = 1; p <= places; ++p) {
        const PosBlock& before = follow[idx(r - 1)].blocks[idx(p)];
        if (before.intHitRank != follow[idx(lastRow)].blocks[idx(p)].intHitRank)
            continue;
        const PosBlock& after = follow[idx(r)].blocks[idx(p)];
        const FlowStep step{before.intHitRank, before.intHitDigit, after.intHitRank, after.intHitDigit};
        if (!appendCounted(lists[idx(p)], step))
            return false;
    }
    return true;
}

EngineError FollowUpVotes(int places, const std::array<CountedList<FlowStep>, 5>& lists, const std::array<int, 5>& h,
                          const std::array<int, 5>& c, const Ranking& forecast, DigitTally& votes) {
    votes = DigitTally{};
    for (int p = 1; p <= places; ++p) {
        const CountedList<FlowStep>& list = lists[idx(p)];
        auto& v = votes[idx(p)];
        for (int k = 0; k < list.count; ++k) {
            const FlowStep& rec = list[k];
            assert(rec.intNextHitRank >= 1 && rec.intNextHitRank <= 10);
            const int nextDigit = forecast.at(rec.intNextHitRank - 1, p).intDigit;
            bool ok = true;
            if (rec.intStepHitRank == h[idx(p)] && rec.intStepHitDigit == c[idx(p)])
                ok = ok && addCount16(v[idx(nextDigit)]);
            if (rec.intStepHitRank == h[idx(p)])
                ok = ok && addCount16(v[idx(nextDigit)]);
            if (rec.intStepHitDigit == c[idx(p)])
                ok = ok && addCount16(v[idx(c[idx(p)])]);
            if (!ok)
                return EngineError::CountOverflow;
        }
    }
    return EngineError::None;
}

// ---------------------------------------------------------------- candidate digits

EngineError RankByFlow(int places, const CountedList<FlowRec>& list, const RankedDigits& first, int h, int c,
                       RankedDigits& second) {
    std::array<int16_t, 11> v{};
    for (int j = 0; j <= list.count - 2; ++j) {
        const FlowRec& rec = list[j];
        bool ok = true;
        if (rec.intFlowHitRank == h) {
            assert(rec.intNextHitRank >= 1 && rec.intNextHitRank <= 10);
            ok = addCount16(v[idx(first[idx(rec.intNextHitRank - 1)].intDigit)]);
        }
        if (places == 4 && rec.intFlowHitDigit == c)
            ok = ok && addCount16(v[idx(rec.intNextHitDigit)]);
        if (!ok)
            return EngineError::CountOverflow;
    }
    second = RankDigits(v);
    return EngineError::None;
}

CandDigitTable candDigitsFromSecond(int places, const std::array<RankedDigits, 5>& second) {
    CandDigitTable cand{};
    for (int p = 1; p <= places; ++p) {
        for (int s = 0; s < 10; ++s)
            cand[idx(p)][idx(s)].intPoint = -1;
        if (places == 3)
            for (int k = 0; k < 8; ++k)
                cand[idx(p)][idx(k)] = second[idx(p)][idx(k + 1)]; // the top digit is left out
        else
            for (int k = 0; k < 6; ++k)
                cand[idx(p)][idx(k)] = second[idx(p)][idx(k)];
    }
    return cand;
}

EngineError MakeCandDigits(int places, const DigitTally& votes, const std::array<CountedList<FlowRec>, 5>& lists,
                           const std::array<int, 5>& hitRank, const std::array<int, 5>& hitDigit,
                           CandDigitTable& cand) {
    std::array<RankedDigits, 5> first{};
    for (int p = 1; p <= places; ++p)
        first[idx(p)] = RankDigits(votes[idx(p)]);
    std::array<RankedDigits, 5> second{};
    for (int p = 1; p <= places; ++p) {
        const EngineError err =
            RankByFlow(places, lists[idx(p)], first[idx(p)], hitRank[idx(p)], hitDigit[idx(p)], second[idx(p)]);
        if (err != EngineError::None)
            return err;
    }
    cand = candDigitsFromSecond(places, second);
    return EngineError::None;
}

// ---------------------------------------------------------------- all-group table

int16_t GetDigitPoint(const Ranking& ranking, int pos, int digit) {
    for (int s = 0; s < 10; ++s)
        if (ranking.at(s, pos).intDigit == digit)
            return ranking.at(s, pos).intPoint;
    return 0;
}

GroupWindow groupWindow(const std::vector<int32_t>& values, int32_t target, int width) {
    const int n = static_cast<int>(values.size());
    int x = 0;
    while (x < n && values[idx(x)] < target)
        ++x;
    const bool exact = x < n && values[idx(x)] == target;
    GroupWindow w;
    w.lo = std::max(0, x - width);
    w.hi = std::min(n - 1, exact ? x + width : x + width - 1);
    return w;
}

namespace {

// The sums whose group value lies in [lower, upper]: the value rises strictly
// with the sum (by at least 250 a step), so they form one run lo..hi (empty when
// lo > hi). Found with the value function itself, so no rounding is guessed.
std::pair<int64_t, int64_t> sumRange(int32_t lower, int32_t upper, int places) {
    const auto value = [places](int64_t s) {
        return static_cast<int64_t>(common::roundHalfEven(static_cast<double>(s) / places * 1000.0));
    };
    // Each start lies at least one step below its bound, so the walks are short.
    int64_t lo = int64_t{lower} * places / 1000 - 2;
    while (value(lo) < lower)
        ++lo;
    int64_t hi = int64_t{upper} * places / 1000 - 2;
    while (value(hi + 1) <= upper)
        ++hi;
    return {lo, hi};
}

} // namespace

EngineError PickCandNums(int placeCount, const Ranking& forecast, int32_t lower, int32_t upper,
                         const CandDigitTable& cand, std::vector<PredNum>& candNums) {
    candNums.clear();
    const int places = placeCount == 3 ? 3 : 4; // 3 or 4 only: the compiler shapes the loops below for these
    // Per position, the candidate slots in use with their digit and the digit's
    // point in the forecast ranking (looked up once per call, not per number).
    std::array<int, 4> slotCount{};
    std::array<std::array<int16_t, 10>, 4> digit{};
    std::array<std::array<int16_t, 10>, 4> point{};
    for (int q = 0; q < places; ++q) {
        const int p = q + 1;
        std::array<int16_t, 10> byDigit{};
        for (int s = 9; s >= 0; --s) { // the first slot holding a digit wins
            const int16_t d = forecast.at(s, p).intDigit;
            if (d >= 0 && d <= 9)
                byDigit[idx(d)] = forecast.at(s, p).intPoint;
        }
        int n = 0;
        while (n < 10 && cand[idx(p)][idx(n)].intPoint != -1) {
            const int16_t d = cand[idx(p)][idx(n)].intDigit;
            digit[idx(q)][idx(n)] = d;
            point[idx(q)][idx(n)] = d >= 0 && d <= 9 ? byDigit[idx(d)] : GetDigitPoint(forecast, p, d);
            ++n;
        }
        slotCount[idx(q)] = n;
    }
    // Plain variables rather than a structured binding: the lambda below reads
    // them, and clang before 16 cannot capture a structured binding.
    const std::pair<int64_t, int64_t> sumBounds = sumRange(lower, upper, places);
    const int64_t sumLo = sumBounds.first;
    const int64_t sumHi = sumBounds.second;

    // A number with all digits different in all-different slots is never a
    // candidate, so only the others are summed.
    std::array<int, 4> slot{};
    auto consider = [&]() -> bool {
        bool digitsDiffer = true;
        bool slotsDiffer = true;
        for (int a = 0; a < places; ++a)
            for (int b = a + 1; b < places; ++b) {
                digitsDiffer = digitsDiffer && digit[idx(a)][idx(slot[idx(a)])] != digit[idx(b)][idx(slot[idx(b)])];
                slotsDiffer = slotsDiffer && slot[idx(a)] != slot[idx(b)];
            }
        if (digitsDiffer && slotsDiffer)
            return true;
        std::array<int16_t, 4> pts{};
        for (int q = 0; q < places; ++q)
            pts[idx(q)] = point[idx(q)][idx(slot[idx(q)])];
        int sum = 0;
        if (!pointSum16(std::span<const int16_t>(pts.data(), idx(places)), sum))
            return false;
        if (sumLo <= sum && sum <= sumHi)
            candNums.push_back(PredNum{digit[0][idx(slot[0])], digit[1][idx(slot[1])], digit[2][idx(slot[2])],
                                       places == 4 ? digit[3][idx(slot[3])] : int16_t{0}});
        return true;
    };
    for (slot[0] = 0; slot[0] < slotCount[0]; ++slot[0])
        for (slot[1] = 0; slot[1] < slotCount[1]; ++slot[1])
            for (slot[2] = 0; slot[2] < slotCount[2]; ++slot[2]) {
                if (places == 3) {
                    if (!consider())
                        return EngineError::CountOverflow;
                    continue;
                }
                for (slot[3] = 0; slot[3] < slotCount[3]; ++slot[3])
                    if (!consider())
                        return EngineError::CountOverflow;
            }
    return EngineError::None;
}

namespace {

int windowWidth(int places) {
    return places == 3 ? 6 : 4;
}

int32_t targetValue(const FollowRow& forecast) {
    return static_cast<int32_t>(common::roundHalfEven(forecast.dblAvgGrpValue * 1000.0));
}

} // namespace

EngineError MakeAllGroup(int places, const FollowRow& forecast, const CandDigitTable& cand, Proposal& out,
                         std::vector<PredNum>& candNums) {
    const Ranking& rk = forecast.ranking;
    std::vector<SortKey> values; // the distinct values, in order of appearance
    std::vector<GrpValueNum> entries;
    entries.reserve(places == 3 ? 1000 : 10000);
    const int lastSlot4 = places == 4 ? 9 : 0;
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j)
            for (int k = 0; k < 10; ++k)
                for (int l = 0; l <= lastSlot4; ++l) {
                    std::array<int16_t, 4> pts{rk.at(i, 1).intPoint, rk.at(j, 2).intPoint, rk.at(k, 3).intPoint,
                                               places == 4 ? rk.at(l, 4).intPoint : int16_t{0}};
                    int sum = 0;
                    if (!pointSum16(std::span<const int16_t>(pts.data(), idx(places)), sum))
                        return EngineError::CountOverflow;
                    const int32_t v = groupValueOfSum(sum, places);
                    bool seen = false;
                    for (const SortKey& key : values)
                        if (key.number() == v) {
                            seen = true;
                            break;
                        }
                    if (!seen)
                        values.emplace_back(int64_t{v});
                    entries.push_back(GrpValueNum{v, rk.at(i, 1).intDigit, rk.at(j, 2).intDigit, rk.at(k, 3).intDigit,
                                                  places == 4 ? rk.at(l, 4).intDigit : int16_t{0}});
                }
    QuickSortKeys(values, 0, static_cast<int>(values.size()) - 1);
    std::vector<int32_t> sorted;
    sorted.reserve(values.size());
    for (const SortKey& key : values)
        sorted.push_back(static_cast<int32_t>(key.number()));

    const GroupWindow w = groupWindow(sorted, targetValue(forecast), windowWidth(places));
    std::vector<PredNum> picked;
    const EngineError err = PickCandNums(places, rk, sorted[idx(w.lo)], sorted[idx(w.hi)], cand, picked);
    if (err != EngineError::None)
        return err;

    out.AllGrpValueCount = static_cast<int16_t>(sorted.size());
    out.AllGrpCount = static_cast<int16_t>(entries.size());
    out.AllGrpNums.assign(entries.size() + 1, GrpValueNum{});
    std::size_t n = 0;
    for (int32_t v : sorted)
        for (const GrpValueNum& e : entries)
            if (e.lngGrpValue == v)
                out.AllGrpNums[n++] = e;
    candNums = std::move(picked);
    return EngineError::None;
}

namespace {

// Points of slots 0..9 by position 1..places, and the largest possible sum; false
// when that sum leaves 16 bits. Points are counts (never negative), so the
// largest sum is the one that overflows first.
bool slotPoints(int places, const Ranking& rk, std::array<std::array<int, 10>, 5>& pt, int& maxSum) {
    maxSum = 0;
    for (int p = 1; p <= places; ++p) {
        int best = 0;
        for (int s = 0; s < 10; ++s) {
            pt[idx(p)][idx(s)] = rk.at(s, p).intPoint;
            best = std::max(best, pt[idx(p)][idx(s)]);
        }
        maxSum += best;
    }
    return maxSum <= INT16_MAX;
}

// The sums of positions 1 + 2 by slot pair, and of positions 3 (+ 4) by slot
// (pair): every entry of the table is one of each.
struct PairSums {
    std::array<int, 100> high{};
    std::array<int, 100> low{};
    int lowCount = 10;
    int lowAt(int kl, int places) const { return places == 4 ? low[idx(kl)] : low[idx(kl * 10)]; }
};

PairSums pairSums(int places, const std::array<std::array<int, 10>, 5>& pt) {
    PairSums ps;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b) {
            ps.high[idx(a * 10 + b)] = pt[1][idx(a)] + pt[2][idx(b)];
            ps.low[idx(a * 10 + b)] = pt[3][idx(a)] + (places == 4 ? pt[4][idx(b)] : 0);
        }
    ps.lowCount = places == 4 ? 100 : 10;
    return ps;
}

std::vector<int> distinctOf(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

} // namespace

EngineError pickCandNumsFast(int places, const FollowRow& forecast, const CandDigitTable& cand,
                             std::vector<PredNum>& candNums) {
    const Ranking& rk = forecast.ranking;
    std::array<std::array<int, 10>, 5> pt{};
    int maxSum = 0;
    if (!slotPoints(places, rk, pt, maxSum))
        return EngineError::CountOverflow;

    // The point sums that occur, ascending: a sum occurs when it is a sum of
    // positions 1 + 2 plus one of the rest, so only distinct partial sums are paired.
    const PairSums ps = pairSums(places, pt);
    const std::vector<int> high = distinctOf(std::vector<int>(ps.high.begin(), ps.high.end()));
    std::vector<int> lowAll;
    lowAll.reserve(idx(ps.lowCount));
    for (int kl = 0; kl < ps.lowCount; ++kl)
        lowAll.push_back(ps.lowAt(kl, places));
    const std::vector<int> low = distinctOf(std::move(lowAll));
    std::vector<uint8_t> occurs(idx(maxSum + 1), 0);
    for (int h : high)
        for (int l : low)
            occurs[idx(h + l)] = 1;
    std::vector<int> sums;
    for (int s = 0; s <= maxSum; ++s)
        if (occurs[idx(s)])
            sums.push_back(s);

    // The group value rises strictly with the sum, so the window over the distinct
    // values is the window over these sums; only its two ends are turned into values.
    const int32_t target = targetValue(forecast);
    const int width = windowWidth(places);
    const int n = static_cast<int>(sums.size());
    int x = 0;
    while (x < n && groupValueOfSum(sums[idx(x)], places) < target)
        ++x;
    const bool exact = x < n && groupValueOfSum(sums[idx(x)], places) == target;
    const int lo = std::max(0, x - width);
    const int hi = std::min(n - 1, exact ? x + width : x + width - 1);
    return PickCandNums(places, rk, groupValueOfSum(sums[idx(lo)], places), groupValueOfSum(sums[idx(hi)], places),
                        cand, candNums);
}

void fillAllGroupFast(int places, const Ranking& rk, Proposal& out) {
    std::array<std::array<int, 10>, 5> pt{};
    int maxSum = 0;
    slotPoints(places, rk, pt, maxSum);
    const PairSums ps = pairSums(places, pt);

    // Equal sums give equal values and larger sums larger values (steps of 1000/places),
    // so ordering by sum, stable in enumeration order, is ordering by group value.
    std::vector<int32_t> bucket(idx(maxSum + 1), 0);
    for (int ij = 0; ij < 100; ++ij)
        for (int kl = 0; kl < ps.lowCount; ++kl)
            ++bucket[idx(ps.high[idx(ij)] + ps.lowAt(kl, places))];
    std::vector<int32_t> valueOfSum(idx(maxSum + 1), 0);
    int16_t valueCount = 0;
    int32_t offset = 0;
    for (int s = 0; s <= maxSum; ++s) {
        const int32_t n = bucket[idx(s)];
        if (n == 0)
            continue;
        valueOfSum[idx(s)] = groupValueOfSum(s, places);
        ++valueCount;
        bucket[idx(s)] = offset;
        offset += n;
    }

    out.AllGrpValueCount = valueCount;
    out.AllGrpCount = static_cast<int16_t>(offset);
    out.AllGrpNums.resize(idx(offset) + 1);
    out.AllGrpNums[idx(offset)] = GrpValueNum{};
    for (int ij = 0; ij < 100; ++ij) {
        const int16_t d1 = rk.at(ij / 10, 1).intDigit;
        const int16_t d2 = rk.at(ij % 10, 2).intDigit;
        for (int kl = 0; kl < ps.lowCount; ++kl) {
            const int k = places == 4 ? kl / 10 : kl;
            const int sum = ps.high[idx(ij)] + ps.lowAt(kl, places);
            GrpValueNum& e = out.AllGrpNums[idx(bucket[idx(sum)]++)];
            e.lngGrpValue = valueOfSum[idx(sum)];
            e.intNum1 = d1;
            e.intNum2 = d2;
            e.intNum3 = rk.at(k, 3).intDigit;
            e.intNum4 = places == 4 ? rk.at(kl % 10, 4).intDigit : int16_t{0};
        }
    }
}

EngineError makeAllGroupFast(int places, const FollowRow& forecast, const CandDigitTable& cand, Proposal& out,
                             std::vector<PredNum>& candNums) {
    std::vector<PredNum> picked;
    const EngineError err = pickCandNumsFast(places, forecast, cand, picked);
    if (err != EngineError::None)
        return err;
    fillAllGroupFast(places, forecast.ranking, out);
    candNums = std::move(picked);
    return EngineError::None;
}

// ---------------------------------------------------------------- groups

void MakeGroups(int places, const CandDigitTable& cand, const std::vector<PredNum>& candNums, Proposal& out,
                bool keySort) {
    TopDigits t;
    for (int p = 1; p <= places; ++p) {
        auto& top = t.top[idx(p)];
        top.fill(-1);
        int& m = t.m[idx(p)];
        m = 0;
        const auto& slots = cand[idx(p)];
        if (keySort) {
            std::vector<SortKey> keys(10);
            int last = 0;
            for (int a = 0; a < 10; ++a) {
                if (slots[idx(a)].intPoint < 0)
                    keys[idx(a)] = SortKey("-1");
                else {
                    keys[idx(a)] = SortKey(digitKey(slots[idx(a)].intPoint, a));
                    last = a;
                }
            }
            QuickSortKeys(keys, 0, last);
            for (int k = 9; k >= 0; --k) {
                if (keys[idx(k)].text() == "-1")
                    continue;
                const int a = 9 - (keys[idx(k)].text().back() - '0');
                top[idx(m++)] = slots[idx(a)].intDigit;
            }
        } else {
            for (int a = 0; a < 10; ++a)
                if (slots[idx(a)].intPoint >= 0)
                    top[idx(m++)] = slots[idx(a)].intDigit;
        }
    }
    if (places == 3)
        SplitGroups3(t, candNums, out);
    else
        SplitGroups4(t, candNums, out);
}

namespace {

bool isStrong(const TopDigits& t, int p, int digit, int limitAbove2, int threshold) {
    const int m = t.m[idx(p)];
    const int limit = m > threshold ? limitAbove2 : m;
    for (int i = 0; i <= limit && i < 10; ++i)
        if (t.top[idx(p)][idx(i)] == digit)
            return true;
    return false;
}

// The entries of one list being filled, for the "already listed" test: a number
// of digits 0..9 is looked up in a bit per number instead of searching the list;
// any other entry falls back to the search. A list the caller emptied starts empty.
class ListedEntries {
public:
    explicit ListedEntries(CountedList<PredNum>& list) : m_list(list) {}
    bool contains(const PredNum& e) const {
        const int key = keyOf(e);
        return key >= 0 ? m_seen.test(idx(key)) : containsEntry(m_list, e);
    }
    void add(const PredNum& e) {
        if (appendCounted(m_list, e))
            if (const int key = keyOf(e); key >= 0)
                m_seen.set(idx(key));
    }

private:
    static int keyOf(const PredNum& e) {
        const std::array<int16_t, 4> d{e.intNum1, e.intNum2, e.intNum3, e.intNum4};
        int key = 0;
        for (int16_t x : d) {
            if (x < 0 || x > 9)
                return -1;
            key = key * 10 + x;
        }
        return key;
    }
    CountedList<PredNum>& m_list;
    std::bitset<10000> m_seen;
};

} // namespace

void SplitGroups3(const TopDigits& t, const std::vector<PredNum>& candNums, Proposal& out) {
    std::array<int16_t, 100> pairCount{};
    out.grp1.count = 0;
    out.grp2.count = 0;
    out.mini.count = 0;
    ListedEntries grp1(out.grp1), grp2(out.grp2), mini(out.mini);
    for (const PredNum& n : candNums) {
        const bool s1 = isStrong(t, 1, n.intNum1, 3, 2);
        const bool s2 = isStrong(t, 2, n.intNum2, 3, 2);
        const bool s3 = isStrong(t, 3, n.intNum3, 3, 2);
        const PredNum entry{n.intNum1, n.intNum2, n.intNum3, 0};
        if (!s1 && s2 && s3) {
            if (!grp1.contains(entry)) {
                grp1.add(entry);
                ++pairCount[idx(n.intNum2 * 10 + n.intNum3)];
            }
        } else if (!s1 && s2 && !s3) {
            if (n.intNum1 == n.intNum2 && n.intNum2 == n.intNum3)
                continue;
            if (!grp2.contains(entry)) {
                grp2.add(entry);
                ++pairCount[idx(n.intNum2 * 10 + n.intNum3)];
            }
        }
    }
    for (int q = 0; q < 100; ++q) {
        const PredNum pair{static_cast<int16_t>(q / 10), static_cast<int16_t>(q % 10), 0, 0};
        if (pairCount[idx(q)] > 2 && !mini.contains(pair))
            mini.add(pair);
    }
}

void SplitGroups4(const TopDigits& t, const std::vector<PredNum>& candNums, Proposal& out) {
    out.grp1.count = 0;
    out.grp2.count = 0;
    out.grp3.count = 0;
    out.mini.count = 0;
    ListedEntries grp1(out.grp1), grp2(out.grp2), grp3(out.grp3);
    for (const PredNum& n : candNums) {
        const bool s1 = isStrong(t, 1, n.intNum1, 2, 1);
        const bool s2 = isStrong(t, 2, n.intNum2, 2, 1);
        const bool s3 = isStrong(t, 3, n.intNum3, 2, 1);
        const bool s4 = isStrong(t, 4, n.intNum4, 2, 1);
        const int k = int{s1} + int{s2} + int{s3} + int{s4};
        if (k == 4) {
            if (!grp3.contains(n))
                grp3.add(n);
        } else if (k == 2 && s1) {
            if (!grp1.contains(n))
                grp1.add(n);
        } else if (k == 2) {
            if (n.intNum1 == n.intNum2 && n.intNum2 == n.intNum3 && n.intNum3 == n.intNum4)
                continue;
            if (!grp2.contains(n))
                grp2.add(n);
        }
    }
}

} // namespace tw::engine
