#include "engine/fast_path.h"

#include "engine/last_phase.h"
#include "engine/row_steps.h"

#include <algorithm>

namespace tw::engine {

namespace {

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

bool fits16(const std::array<int32_t, 11>& v) {
    return std::all_of(v.begin(), v.end(), [](int32_t x) { return x <= INT16_MAX; });
}

std::array<int16_t, 11> to16(const std::array<int32_t, 11>& v) {
    std::array<int16_t, 11> out{};
    for (std::size_t i = 0; i < v.size(); ++i)
        out[i] = static_cast<int16_t>(v[i]);
    return out;
}

} // namespace

void SharedTables::PrefixIndex::reset(int keys) {
    m_rows.assign(idx(keys), {});
    m_totals.assign(idx(keys), std::vector<std::array<int32_t, 10>>(1, std::array<int32_t, 10>{}));
}

void SharedTables::PrefixIndex::add(int key, int row, int bin) {
    m_rows[idx(key)].push_back(row);
    auto& totals = m_totals[idx(key)];
    std::array<int32_t, 10> next = totals.back();
    ++next[idx(bin)];
    totals.push_back(next);
}

std::array<int32_t, 10> SharedTables::PrefixIndex::query(int key, int first, int last) const {
    std::array<int32_t, 10> out{};
    if (first > last)
        return out;
    const auto& rows = m_rows[idx(key)];
    const auto lo = std::lower_bound(rows.begin(), rows.end(), first) - rows.begin();
    const auto hi = std::upper_bound(rows.begin(), rows.end(), last) - rows.begin();
    const auto& totals = m_totals[idx(key)];
    for (std::size_t b = 0; b < 10; ++b)
        out[b] = totals[static_cast<std::size_t>(hi)][b] - totals[static_cast<std::size_t>(lo)][b];
    return out;
}

EngineError SharedTables::build(const history::DrawTable& table, common::Game game) {
    if (!common::isGame(game))
        return EngineError::InvalidArgument;
    const int places = common::digitCount(game);
    const int n = table.count;
    m_built = false;
    m_game = game;
    m_count = n;
    m_firstOverflowRow = INT_MAX;
    m_freqRows.assign(idx(n) + 1, FreqRow{});
    m_followRows.assign(idx(n) + 2, FollowRow{});
    auto overflowAt = [this](int row) { m_firstOverflowRow = std::min(m_firstOverflowRow, row); };

    std::vector<RowDigits> digits(idx(n) + 2, RowDigits{});
    for (int r = 1; r <= n; ++r)
        for (int p = 1; p <= places; ++p)
            digits[idx(r)][idx(p)] = table.record(r).bytNum[idx(p)];

    // Stage 1, as the sliced run does it.
    CountTable counts{};
    for (int r = 1; r <= n; ++r)
        if (!stageOneRow(places, digits[idx(r)], counts, m_freqRows[idx(r)], m_followRows[idx(r)]))
            overflowAt(r);

    // Stage 3 with the incremental follower tally: before row r is processed,
    // every round j < r - 1 has been added with its follower, and j = r - 1 now.
    FollowerTally followers(places);
    for (int r = 1; r <= n; ++r) {
        if (r == 1)
            continue;
        if (r > 2 && !scoreFollowRow(places, digits[idx(r - 1)], m_followRows[idx(r - 1)]))
            overflowAt(r - 1);
        followers.add(digits[idx(r - 1)], digits[idx(r)]);
        CountTable followCount{};
        if (!followers.countsFor(digits[idx(r)], followCount))
            overflowAt(r);
        writeForecast(places, followCount, m_followRows[idx(r + 1)]);
    }
    if (n >= 2 && !scoreFollowRow(places, digits[idx(n)], m_followRows[idx(n)]))
        overflowAt(n);

    // Prefix tallies of the last phase's lists. Only rows that a prediction which
    // passes the overflow check can read go in: a prediction for last row r reads
    // rows up to r, and r stays below the first overflow row. Rows from there on
    // may be scored only in part (the scoring stops at the position whose point
    // sum overflows, leaving the later positions without a hit rank), so their
    // rank 0 must never become a tally index.
    const int usable = std::min(n, m_firstOverflowRow - 1);
    m_freqByRank.reset(55);
    m_freqByRankDigit.reset(550);
    m_followByRank.reset(55);
    m_followByRankDigit.reset(550);
    for (int j = kFlowFirstRow; j <= usable - 1; ++j)
        for (int p = 1; p <= places; ++p) {
            const PosBlock& here = m_freqRows[idx(j)].blocks[idx(p)];
            const PosBlock& next = m_freqRows[idx(j + 1)].blocks[idx(p)];
            m_freqByRank.add(rankKey(p, here.intHitRank), j, next.intHitRank - 1);
            m_freqByRankDigit.add(rankDigitKey(p, here.intHitRank, here.intHitDigit), j, next.intHitDigit);
        }
    for (int i = kFlowFirstRow - 1; i <= usable - 2; ++i)
        for (int p = 1; p <= places; ++p) {
            const PosBlock& here = m_followRows[idx(i)].blocks[idx(p)];
            const PosBlock& next = m_followRows[idx(i + 1)].blocks[idx(p)];
            m_followByRank.add(rankKey(p, here.intHitRank), i, next.intHitRank - 1);
            m_followByRankDigit.add(rankDigitKey(p, here.intHitRank, here.intHitDigit), i, next.intHitRank - 1);
        }
    m_built = true;
    return EngineError::None;
}

void Engine::materializeAllGroup() const {
    if (!m_allGroupPending)
        return;
    m_allGroupPending = false;
    fillAllGroupFast(placeCount(), m_fastForecast.ranking, m_proposal);
}

EngineError Engine::predictFast(const SharedTables& shared, int lastRow) {
    if (!shared.built())
        return EngineError::NotSetUp;
    if (lastRow < 1 || lastRow > shared.count())
        return EngineError::RoundOutOfRange;
    if (lastRow >= shared.m_firstOverflowRow)
        return EngineError::CountOverflow;
    const int places = common::digitCount(shared.game());
    const auto& freq = shared.m_freqRows;
    const auto& follow = shared.m_followRows;

    // The forecast row as a run for lastRow leaves it: never scored, no digit.
    FollowRow forecast = follow[idx(lastRow) + 1];
    for (PosBlock& block : forecast.blocks) {
        block.intHitRank = 0;
        block.intHitDigit = 0;
        block.intHitPoint = 0;
    }
    forecast.dblWinGrpValue = 0;

    // Follow-up votes of sub-stage 3: rows i = r - 1 for 500 <= r < lastRow.
    Tally votes{};
    for (int p = 1; p <= places; ++p) {
        const int h = follow[idx(lastRow)].blocks[idx(p)].intHitRank;
        const int c = freq[idx(lastRow)].bytRowNum[idx(p)];
        const auto byRank = shared.m_followByRank.query(SharedTables::rankKey(p, h), kFlowFirstRow - 1, lastRow - 2);
        const auto byDigit =
            shared.m_followByRankDigit.query(SharedTables::rankDigitKey(p, h, c), kFlowFirstRow - 1, lastRow - 2);
        std::array<int32_t, 11> v{};
        for (int nr = 0; nr < 10; ++nr) {
            const int digit = forecast.ranking.at(nr, p).intDigit;
            v[idx(digit)] += byRank[idx(nr)] + byDigit[idx(nr)];
            v[idx(c)] += byDigit[idx(nr)];
        }
        if (!fits16(v))
            return EngineError::CountOverflow;
        votes[idx(p)] = to16(v);
    }

    // Candidate digits: the first ranking by the votes, the second by the frequency
    // similar situations of rounds 500 .. lastRow - 1.
    std::array<RankedDigits, 5> second{};
    for (int p = 1; p <= places; ++p) {
        const RankedDigits first = rankDigitsFast(votes[idx(p)]);
        const PosBlock& lastBlock = freq[idx(lastRow)].blocks[idx(p)];
        std::array<int32_t, 11> v{};
        const auto byRank =
            shared.m_freqByRank.query(SharedTables::rankKey(p, lastBlock.intHitRank), kFlowFirstRow, lastRow - 1);
        for (int nr = 0; nr < 10; ++nr)
            v[idx(first[idx(nr)].intDigit)] += byRank[idx(nr)];
        if (places == 4) {
            const auto byDigit = shared.m_freqByRankDigit.query(
                SharedTables::rankDigitKey(p, lastBlock.intHitRank, lastBlock.intHitDigit), kFlowFirstRow, lastRow - 1);
            for (int d = 0; d < 10; ++d)
                v[idx(d)] += byDigit[idx(d)];
        }
        if (!fits16(v))
            return EngineError::CountOverflow;
        second[idx(p)] = rankDigitsFast(to16(v));
    }
    const CandDigitTable cand = candDigitsFromSecond(places, second);

    // The all-group table waits until a caller reads the proposal in full; the
    // candidate numbers need only the distinct point sums.
    std::vector<PredNum> candNums;
    const EngineError err = pickCandNumsFast(places, forecast, cand, candNums);
    if (err != EngineError::None)
        return err;
    MakeGroups(places, cand, candNums, m_proposal, false);
    m_proposal.AllGrpCount = 0;
    m_proposal.AllGrpValueCount = 0;
    m_proposal.AllGrpNums.clear();
    m_allGroupPending = true;

    m_shared = &shared;
    m_game = shared.game();
    m_intLastRow = lastRow;
    m_intStage = -1;
    m_intSubStage = -1;
    m_intCurRow = 1;
    m_error = EngineError::None;
    m_setUp = true;
    m_hasRun = true;
    m_freqRows.clear();
    m_followRows.clear();
    for (auto& column : m_digitColumn)
        column.clear();
    m_fastForecast = forecast;
    m_intDigitCount = votes;
    m_intFollowCount = Tally{};
    m_flowsPending = true;
    return EngineError::None;
}

} // namespace tw::engine
