#include "engine/row_steps.h"

#include "engine/last_phase.h"
#include "engine/rank_digits.h"

namespace tw::engine {

namespace {
std::size_t idx(int i) { return static_cast<std::size_t>(i); }
} // namespace

bool stageOneRow(int game, const RowDigits& digits, CountTable& counts, FreqRow& freq, FollowRow& follow) {
    for (int p = 1; p <= game; ++p) {
        const uint8_t d = digits[idx(p)];
        freq.bytRowNum[idx(p)] = d;
        freq.blocks[idx(p)].intHitDigit = d;
        follow.blocks[idx(p)].intHitDigit = d;
    }
    for (int p = 1; p <= game; ++p) {
        const RankedDigits ranked = rankDigitsFast(counts[idx(p)]);
        for (int s = 0; s < 10; ++s) {
            freq.ranking.at(s, p) = ranked[idx(s)];
            if (ranked[idx(s)].intDigit == digits[idx(p)])
                freq.blocks[idx(p)].intHitRank = static_cast<int16_t>(s + 1);
        }
    }
    for (int p = 1; p <= game; ++p)
        if (!addCount16(counts[idx(p)][digits[idx(p)]]))
            return false;
    return true;
}

bool scoreFollowRow(int game, const RowDigits& digits, FollowRow& row) {
    int16_t sum = 0;
    for (int p = 1; p <= game; ++p) {
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
    row.dblWinGrpValue = sum / static_cast<double>(game);
    return true;
}

void writeForecast(int game, const CountTable& followCount, FollowRow& row) {
    for (int p = 1; p <= 4; ++p)
        row.blocks[idx(p)].lngPointSum = 0;
    int32_t total = 0;
    for (int p = 1; p <= game; ++p) {
        const RankedDigits ranked = rankDigitsFast(followCount[idx(p)]);
        for (int s = 0; s < 10; ++s) {
            row.ranking.at(s, p) = ranked[idx(s)];
            row.blocks[idx(p)].lngPointSum += ranked[idx(s)].intPoint;
        }
        total += row.blocks[idx(p)].lngPointSum;
    }
    row.dblAvgGrpValue = static_cast<double>(total) / (game == 3 ? 30.0 : 40.0);
}

} // namespace tw::engine
