// The sliced run: set-up, the dispatcher and the six passes. The per-row work of
// stages 1 and 3 is in row_steps, the lists and the end of the run in last_phase;
// this file owns the cursor, the pass order and the percentages.
#include "engine/engine.h"

#include "engine/fast_path.h"
#include "engine/last_phase.h"
#include "engine/row_steps.h"

#include <functional>

namespace tw::engine {

namespace {

constexpr int kSliceRows = 100;

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

// Does at most 100 rows from cursor on; `row` does one row (false stops the run),
// `endPass` runs once the last row is done (false stops the run). Returns the
// percent of the pass: next row / last row x 100, or exactly 100 when it ended.
double runSlice(int& cursor, int lastRow, bool& failed, const std::function<bool(int)>& row,
                const std::function<bool()>& endPass) {
    for (int done = 0;;) {
        if (!row(cursor)) {
            failed = true;
            return 0;
        }
        ++cursor;
        if (cursor > lastRow) {
            if (!endPass()) {
                failed = true;
                return 0;
            }
            cursor = 1;
            return 100.0;
        }
        if (++done == kSliceRows)
            return static_cast<double>(cursor) / lastRow * 100.0;
    }
}

} // namespace

const char* errorText(EngineError error) {
    switch (error) {
    case EngineError::None:
        return "no error";
    case EngineError::RoundOutOfRange:
        return "round out of range: the round to predict must be 2 .. drawn rounds + 1";
    case EngineError::CountOverflow:
        return "a 16-bit count or 32-bit amount would overflow";
    case EngineError::InvalidArgument:
        return "invalid argument: the game must be 3 or 4";
    case EngineError::NotSetUp:
        return "no run has been set up";
    }
    return "unknown error";
}

EngineError Engine::YosouSetUp(const history::DrawTable& table, common::Game game, int kind, int lastRow) {
    if (!common::isGame(game) || kind != 1)
        return EngineError::InvalidArgument;
    if (lastRow < 1 || lastRow > table.count)
        return EngineError::RoundOutOfRange;

    if (m_flowsPending) {
        // The lists of an earlier fast-path run were never built; they are not
        // built now, as its shared tables may be gone.
        m_flowsPending = false;
        for (auto& list : m_freqFlow)
            list.count = 0;
        for (auto& list : m_followFlow)
            list.count = 0;
    }
    // The proposal of an earlier fast-path run stays readable until this run
    // replaces it, so its table is built before the forecast it comes from goes.
    materializeAllGroup();
    m_shared = nullptr;
    m_intLastRow = lastRow;
    m_freqRows.assign(idx(lastRow) + 1, FreqRow{});
    m_followRows.assign(idx(lastRow) + 2, FollowRow{});
    m_fastForecast = FollowRow{};
    m_intDigitCount = Tally{};
    m_intFollowCount = Tally{};
    m_intStage = 1;
    m_intSubStage = 1;
    m_intCurRow = 1;
    m_game = game;
    m_error = EngineError::None;
    m_setUp = true;

    for (int p = 1; p <= 4; ++p) {
        auto& column = m_digitColumn[idx(p)];
        column.assign(idx(lastRow) + 2, 0);
        if (p > common::digitCount(game))
            continue;
        for (int r = 1; r <= lastRow; ++r)
            column[idx(r)] = table.record(r).bytNum[idx(p)];
    }
    return EngineError::None;
}

StepResult Engine::YosouStep() {
    StepResult res;
    if (!m_setUp) {
        res.error = EngineError::NotSetUp;
        return res;
    }
    if (m_error != EngineError::None) {
        res.error = m_error;
        return res;
    }
    if (m_intStage == 1) {
        res.intBar = 0;
        res.percent = calcFreqRows();
    } else if (m_intStage == 2) {
        res.intBar = 1;
        res.percent = passWithoutWork(true);
    } else if (m_intStage == 3) {
        res.intBar = 2;
        res.percent = calcFollowRows();
    } else if (m_intStage == -1 && m_intSubStage == 1) {
        res.intBar = 3;
        res.percent = passWithoutWork(false);
    } else if (m_intStage == -1 && m_intSubStage == 2) {
        res.intBar = 4;
        res.percent = calcFreqFlows();
    } else if (m_intStage == -1 && m_intSubStage == 3) {
        res.intBar = 5;
        res.percent = calcPrediction();
        if (m_error == EngineError::None && m_intSubStage == -1) {
            res.percent = 100.0;
            res.blnComplete = true;
            m_hasRun = true;
        }
    } else {
        // No pass left: the run has ended (or was left in a state without a pass).
        res.intBar = 5;
        res.percent = 100.0;
        res.blnComplete = m_intSubStage == -1;
    }
    if (m_error != EngineError::None) {
        res.error = m_error;
        res.blnComplete = false;
    }
    return res;
}

EngineError Engine::runToEnd() {
    for (;;) {
        const StepResult res = YosouStep();
        if (res.error != EngineError::None)
            return res.error;
        if (res.blnComplete)
            return EngineError::None;
    }
}

RowTable<FreqRow> Engine::FreqRows() const {
    if (m_shared)
        return RowTable<FreqRow>(m_shared->freqRows().data(), idx(m_intLastRow) + 1);
    return RowTable<FreqRow>(m_freqRows.data(), m_freqRows.size());
}

RowTable<FollowRow> Engine::FollowRows() const {
    if (m_shared)
        return RowTable<FollowRow>(m_shared->followRows().data(), idx(m_intLastRow) + 1, &m_fastForecast);
    return RowTable<FollowRow>(m_followRows.data(), m_followRows.size());
}

void Engine::materializeFlows() const {
    if (!m_flowsPending)
        return;
    m_flowsPending = false;
    BuildFreqFlows(placeCount(), m_intLastRow, FreqRows(), m_freqFlow);
    const RowTable<FollowRow> follow = FollowRows();
    collectFollowStep(placeCount(), 1, m_intLastRow, follow, m_followFlow);
    for (int r = kFlowFirstRow; r < m_intLastRow; ++r)
        collectFollowStep(placeCount(), r, m_intLastRow, follow, m_followFlow);
}

// ---------------------------------------------------------------- passes

double Engine::calcFreqRows() {
    bool failed = false;
    const double pct = runSlice(
        m_intCurRow, m_intLastRow, failed, [this](int r) { return freqRow(r); },
        [this] {
            m_intStage = 2;
            return true;
        });
    if (failed)
        fail(EngineError::CountOverflow);
    return pct;
}

double Engine::passWithoutWork(bool stageTwo) {
    bool failed = false;
    return runSlice(
        m_intCurRow, m_intLastRow, failed, [](int) { return true; },
        [this, stageTwo] {
            if (stageTwo)
                m_intStage = 3;
            else
                m_intSubStage = 2;
            return true;
        });
}

double Engine::calcFollowRows() {
    bool failed = false;
    const double pct = runSlice(
        m_intCurRow, m_intLastRow, failed, [this](int r) { return followRow(r); },
        [this] {
            if (m_intLastRow >= 2) {
                RowDigits digits{};
                for (int p = 1; p <= placeCount(); ++p)
                    digits[idx(p)] = m_digitColumn[idx(p)][idx(m_intLastRow)];
                if (!scoreFollowRow(placeCount(), digits, m_followRows[idx(m_intLastRow)]))
                    return false;
            }
            m_intStage = -1;
            return true;
        });
    if (failed)
        fail(EngineError::CountOverflow);
    return pct;
}

double Engine::calcFreqFlows() {
    bool failed = false;
    return runSlice(
        m_intCurRow, m_intLastRow, failed,
        [this](int r) {
            if (r == m_intLastRow)
                BuildFreqFlows(placeCount(), m_intLastRow, FreqRows(), m_freqFlow);
            return true;
        },
        [this] {
            m_intSubStage = 3;
            return true;
        });
}

double Engine::calcPrediction() {
    bool failed = false;
    const double pct = runSlice(
        m_intCurRow, m_intLastRow, failed,
        [this](int r) {
            if (!collectFollowStep(placeCount(), r, m_intLastRow, FollowRows(), m_followFlow)) {
                fail(EngineError::CountOverflow);
                return false;
            }
            if (r == m_intLastRow)
                endOfRun();
            return m_error == EngineError::None;
        },
        [this] {
            m_intSubStage = -1;
            return true;
        });
    if (failed && m_error == EngineError::None)
        fail(EngineError::CountOverflow);
    return pct;
}

RowDigits Engine::rowDigits(int r) const {
    RowDigits digits{};
    const int places = placeCount();
    for (int p = 1; p <= places; ++p)
        digits[idx(p)] = m_digitColumn[idx(p)][idx(r)];
    return digits;
}

bool Engine::freqRow(int r) {
    RowDigits digits{};
    const int places = placeCount();
    for (int p = 1; p <= places; ++p)
        digits[idx(p)] = m_digitColumn[idx(p)][idx(r)];
    return stageOneRow(places, digits, m_intDigitCount, m_freqRows[idx(r)], m_followRows[idx(r)]);
}

bool Engine::followRow(int r) {
    const int places = placeCount();
    for (auto& column : m_intFollowCount)
        column.fill(0);
    if (r == 1) {
        m_followers.reset(places);
        return true;
    }
    if (r > 2 && !scoreFollowRow(places, rowDigits(r - 1), m_followRows[idx(r - 1)]))
        return false;
    // Followers: every earlier round j that agrees with round r at two or more
    // positions adds the digits of round j + 1. The tally holds the rounds
    // j = 1 .. r - 1 with their followers; rows come in order, so normally only
    // round r - 1 is new (should a row come out of order, the tally starts afresh).
    if (m_followers.places() != places || m_followers.rounds() > r - 2)
        m_followers.reset(places);
    while (m_followers.rounds() < r - 1) {
        const int j = m_followers.rounds() + 1;
        m_followers.add(rowDigits(j), rowDigits(j + 1));
    }
    CountTable counts{};
    if (!m_followers.countsFor(rowDigits(r), counts))
        return false;
    for (int p = 1; p <= places; ++p)
        for (int d = 0; d < 10; ++d)
            m_intFollowCount[idx(p)][idx(d)] = counts[idx(p)][idx(d)];
    writeForecast(places, m_intFollowCount, m_followRows[idx(r + 1)]);
    return true;
}

void Engine::endOfRun() {
    const int places = placeCount();
    const int last = m_intLastRow;
    std::array<int, 5> followRank{};
    std::array<int, 5> lastDigit{};
    std::array<int, 5> freqRank{};
    std::array<int, 5> freqDigit{};
    for (int p = 1; p <= places; ++p) {
        followRank[idx(p)] = m_followRows[idx(last)].blocks[idx(p)].intHitRank;
        lastDigit[idx(p)] = m_digitColumn[idx(p)][idx(last)];
        freqRank[idx(p)] = m_freqRows[idx(last)].blocks[idx(p)].intHitRank;
        freqDigit[idx(p)] = m_freqRows[idx(last)].blocks[idx(p)].intHitDigit;
    }
    const FollowRow& forecast = m_followRows[idx(last) + 1];
    DigitTally votes{};
    EngineError err = FollowUpVotes(places, m_followFlow, followRank, lastDigit, forecast.ranking, votes);
    if (err != EngineError::None)
        return fail(err);
    for (int p = 1; p <= places; ++p)
        for (int d = 0; d < 10; ++d)
            m_intDigitCount[idx(p)][idx(d)] = votes[idx(p)][idx(d)];

    CandDigitTable cand{};
    err = MakeCandDigits(places, m_intDigitCount, m_freqFlow, freqRank, freqDigit, cand);
    if (err != EngineError::None)
        return fail(err);
    std::vector<PredNum> candNums;
    err = MakeAllGroup(places, forecast, cand, m_proposal, candNums);
    if (err != EngineError::None)
        return fail(err);
    MakeGroups(places, cand, candNums, m_proposal, true);
}

} // namespace tw::engine
