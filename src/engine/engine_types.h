// Records shared by the analysis engine and its readers (views, selection,
// printing, reports). Plain values only; the engine object owns the tables.
#pragma once

#include "common/lottery.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace tw::engine {

// A digit and its point in one rank slot of a position.
struct DigitPoint {
    int16_t intDigit = 0;
    int16_t intPoint = 0;
    bool operator==(const DigitPoint&) const = default;
};

// Rank slot 0..10 by position 0..4. Slot s (0..9) of position p (1..4) holds the
// digit of rank s + 1 at place p; slot 10 and position 0 are not used.
struct Ranking {
    std::array<std::array<DigitPoint, 5>, 11> cell{}; // cell[slot][position]
    DigitPoint& at(int slot, int pos) { return cell[static_cast<size_t>(slot)][static_cast<size_t>(pos)]; }
    const DigitPoint& at(int slot, int pos) const { return cell[static_cast<size_t>(slot)][static_cast<size_t>(pos)]; }
    bool operator==(const Ranking&) const = default;
};

struct PosBlock {
    int16_t intHitRank = 0; // 1..10, 0 = not scored
    int16_t intHitDigit = 0;
    int32_t lngPointSum = 0;
    int16_t intHitPoint = 0;
    bool operator==(const PosBlock&) const = default;
};

// Frequency analysis of one drawn round (stage 1).
struct FreqRow {
    Ranking ranking;
    std::array<uint8_t, 5> bytRowNum{}; // positions 1..4
    std::array<PosBlock, 5> blocks{};   // positions 1..4
    bool operator==(const FreqRow&) const = default;
};

// Follower analysis of one round (stage 3): the forecast made for it and its scoring.
struct FollowRow {
    Ranking ranking;
    double dblAvgGrpValue = 0;
    double dblWinGrpValue = 0;
    std::array<PosBlock, 5> blocks{};
    bool operator==(const FollowRow&) const = default;
};

// A proposed number; Mini entries carry the tens digit in intNum1, the units in intNum2.
struct PredNum {
    int16_t intNum1 = 0;
    int16_t intNum2 = 0;
    int16_t intNum3 = 0;
    int16_t intNum4 = 0;
    bool operator==(const PredNum&) const = default;
};

// A proposed number as the shared number value, for showing, storing and printing it.
inline common::LotteryNumber numberOf(common::Game game, const PredNum& n) {
    return common::LotteryNumber::of(game, {static_cast<uint8_t>(n.intNum1), static_cast<uint8_t>(n.intNum2),
                                            static_cast<uint8_t>(n.intNum3), static_cast<uint8_t>(n.intNum4)});
}
// A Mini candidate (tens digit in intNum1, units in intNum2) as a Mini pair.
inline common::LotteryNumber miniNumberOf(const PredNum& n) {
    return common::LotteryNumber::mini(static_cast<uint8_t>(n.intNum1), static_cast<uint8_t>(n.intNum2));
}

// One number of the all-group table with its group value x 1000.
struct GrpValueNum {
    int32_t lngGrpValue = 0;
    int16_t intNum1 = 0;
    int16_t intNum2 = 0;
    int16_t intNum3 = 0;
    int16_t intNum4 = 0;
    bool operator==(const GrpValueNum&) const = default;
};

// A group of keys sharing one tally (similar-situation lists).
struct PointTier {
    int32_t lngTierValue = 0; // -1 = tier not used
    int16_t intTierCount = 0;
    std::array<int16_t, 11> intTierKey{}; // -1 = empty slot
    bool operator==(const PointTier&) const = default;
};

// One similar situation of one position in the frequency analysis (sub-stage 2).
struct FlowRec {
    int16_t intFlowRow = 0;
    int16_t intFlowHitRank = 0;
    int16_t intFlowHitDigit = 0;
    int16_t intNextHitRank = 0;
    int16_t intNextHitDigit = 0;
    std::array<PointTier, 11> NextRankTiers{};
    std::array<PointTier, 11> NextDigitTiers{};
    bool operator==(const FlowRec&) const = default;
};

// One similar situation of one position in the follower analysis (sub-stage 3).
struct FlowStep {
    int16_t intStepHitRank = 0;
    int16_t intStepHitDigit = 0;
    int16_t intNextHitRank = 0;
    int16_t intNextHitDigit = 0;
    bool operator==(const FlowStep&) const = default;
};

// A list that grows one element at a time and has a separate count: readers use
// elements 0 .. count - 1 only; a list whose count is reset keeps its storage.
template <typename T> struct CountedList {
    std::vector<T> items;
    int16_t count = 0;
    const T& operator[](int i) const { return items[static_cast<size_t>(i)]; }
    bool operator==(const CountedList&) const = default;
};

// Read-only view of a per-round table (rows 0 .. size() - 1), used like a const
// vector. A sliced run shows its own rows; a fast-path run shows the rows shared
// by every round of the history and its own last row (`tail`), which differs.
template <typename Row> class RowTable {
public:
    RowTable() = default;
    RowTable(const Row* base, std::size_t baseCount, const Row* tail = nullptr)
        : m_base(base), m_baseCount(baseCount), m_tail(tail) {}

    std::size_t size() const { return m_baseCount + (m_tail ? 1 : 0); }
    bool empty() const { return size() == 0; }
    const Row& operator[](std::size_t i) const { return i < m_baseCount ? m_base[i] : *m_tail; }
    const Row& at(std::size_t i) const {
        if (i >= size())
            throw std::out_of_range("RowTable::at");
        return (*this)[i];
    }
    const Row& front() const { return (*this)[0]; }
    const Row& back() const { return (*this)[size() - 1]; }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Row;
        using difference_type = std::ptrdiff_t;
        using pointer = const Row*;
        using reference = const Row&;
        const_iterator() = default;
        const_iterator(const RowTable* table, std::size_t i) : m_table(table), m_i(i) {}
        reference operator*() const { return (*m_table)[m_i]; }
        pointer operator->() const { return &(*m_table)[m_i]; }
        const_iterator& operator++() {
            ++m_i;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++m_i;
            return old;
        }
        bool operator==(const const_iterator& o) const { return m_i == o.m_i; }

    private:
        const RowTable* m_table = nullptr;
        std::size_t m_i = 0;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

private:
    const Row* m_base = nullptr;
    std::size_t m_baseCount = 0;
    const Row* m_tail = nullptr;
};

// The proposal a run leaves behind.
struct Proposal {
    CountedList<PredNum> grp1; // Grp1Count / Grp1Nums
    CountedList<PredNum> grp2; // Grp2Count / Grp2Nums
    CountedList<PredNum> grp3; // Grp3Count / Grp3Nums (Numbers4)
    CountedList<PredNum> mini; // MiniCount / MiniNums (Numbers3)
    int16_t AllGrpCount = 0;
    int16_t AllGrpValueCount = 0;
    std::vector<GrpValueNum> AllGrpNums; // entries 0 .. AllGrpCount - 1 (+1 spare)
};

} // namespace tw::engine
