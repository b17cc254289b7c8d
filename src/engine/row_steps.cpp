#include "engine/row_steps.h"

#include "engine/last_phase.h"
#include "engine/rank_digits.h"

#include <algorithm>

namespace tw::engine {

namespace {
std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}
} // namespace

bool stageOneRow(int places, const RowDigits& digits, CountTable& counts, FreqRow& freq, FollowRow& follow) {
    for (int p = 1; p <= places; ++p) {
        const uint8_t d = digits[idx(p)];
        freq.bytRowNum[idx(p)] = d;
        freq.blocks[idx(p)].intHitDigit = d;
        follow.blocks[idx(p)].intHitDigit = d;
    }
    for (int p = 1; p <= places; ++p) {
        const RankedDigits ranked = rankDigitsFast(counts[idx(p)]);
        for (int s = 0; s < 10; ++s) {
            freq.ranking.at(s, p) = ranked[idx(s)];
            if (ranked[idx(s)].intDigit == digits[idx(p)])
                freq.blocks[idx(p)].intHitRank = static_cast<int16_t>(s + 1);
        }
    }
    for (int p = 1; p <= places; ++p)
        if (!addCount16(counts[idx(p)][digits[idx(p)]]))
            return false;
    return true;
}

bool scoreFollowRow(int places, const RowDigits& digits, FollowRow& row) {
    int16_t sum = 0;
    for (int p = 1; p <= places; ++p) {
        PosBlock& block = row.blocks[idx(p)];
        for (int s = 0; s < 10; ++s) {
            const DigitPoint& slot = row.ranking.at(s, p);
            if (slot.intDigit == digits[idx(p)]) {
                block.intHitRank = static_cast<int16_t>(s + 1);
                block.intHitPoint = slot.intPoint;
                block.intHitDigit = digits[idx(p)];
            }
        }
        if (!addCount16(sum, block.intHitPoint))
            return false;
    }
    row.dblWinGrpValue = sum / static_cast<double>(places);
    return true;
}

void writeForecast(int places, const CountTable& followCount, FollowRow& row) {
    for (int p = 1; p <= 4; ++p)
        row.blocks[idx(p)].lngPointSum = 0;
    int32_t total = 0;
    for (int p = 1; p <= places; ++p) {
        const RankedDigits ranked = rankDigitsFast(followCount[idx(p)]);
        for (int s = 0; s < 10; ++s) {
            row.ranking.at(s, p) = ranked[idx(s)];
            row.blocks[idx(p)].lngPointSum += ranked[idx(s)].intPoint;
        }
        total += row.blocks[idx(p)].lngPointSum;
    }
    row.dblAvgGrpValue = static_cast<double>(total) / (places == 3 ? 30.0 : 40.0);
}

void FollowerTally::reset(int places) {
    if (places != m_places || m_subsets.empty()) {
        m_places = places;
        m_subsets.clear();
        std::size_t cells = 0;
        for (unsigned mask = 1; mask < (1u << places); ++mask) {
            Subset s;
            for (int p = 1; p <= places; ++p)
                if (mask & (1u << (p - 1)))
                    s.positions[idx(s.size++)] = p;
            if (s.size < 2)
                continue;
            s.weight = s.size == 2 ? 1 : s.size == 3 ? -2 : 3;
            s.offset = cells;
            std::size_t keys = 1;
            for (int k = 0; k < s.size; ++k)
                keys *= 10;
            cells += keys * idx(places) * 10;
            m_subsets.push_back(s);
        }
        m_cells.assign(cells, 0);
    } else {
        std::fill(m_cells.begin(), m_cells.end(), 0);
    }
    m_rounds = 0;
}

void FollowerTally::add(const RowDigits& digits, const RowDigits& next) {
    for (const Subset& s : m_subsets) {
        int32_t* base = &m_cells[cellOf(s, digits)];
        for (int p = 1; p <= m_places; ++p)
            ++base[(p - 1) * 10 + next[idx(p)]];
    }
    ++m_rounds;
}

bool FollowerTally::countsFor(const RowDigits& digits, CountTable& out) const {
    std::array<int32_t, 40> sum{};
    const int cells = m_places * 10;
    for (const Subset& s : m_subsets) {
        const int32_t* base = &m_cells[cellOf(s, digits)];
        for (int i = 0; i < cells; ++i)
            sum[idx(i)] += s.weight * base[i];
    }
    out = CountTable{};
    bool ok = true;
    for (int p = 1; p <= m_places; ++p)
        for (int d = 0; d < 10; ++d) {
            const int32_t v = sum[idx((p - 1) * 10 + d)];
            ok = ok && v <= INT16_MAX;
            out[idx(p)][idx(d)] = static_cast<int16_t>(std::min<int32_t>(v, INT16_MAX));
        }
    return ok;
}

} // namespace tw::engine
