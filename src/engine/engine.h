// The prediction engine: the six-pass analysis of one game's draw history up to
// the round before the one to predict, advanced one slice per call, and the
// proposal it leaves (groups, Mini candidates, all-group table).
//
// The engine owns its run state, per-round tables and proposal; one object per
// owner (the main window, the report, the command-line tool), no process-wide
// data. It has no timer: the caller decides how often to call YosouStep. Set-up
// copies the digits it needs from the draw table, which is not read afterwards.
// predictFast gives the outputs of a complete run from tables shared by every
// round of one history (fast_path.h). No Qt here.
#pragma once

#include "engine/engine_types.h"
#include "engine/row_steps.h"
#include "history/num_data.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::engine {

enum class EngineError {
    None,
    RoundOutOfRange, // last row < 1, or beyond the table's count
    CountOverflow,   // a 16-bit count or 32-bit amount would overflow
    InvalidArgument, // game not 3 or 4, or a run kind other than 1
    NotSetUp,        // YosouStep before any run was set up
};

// A short English description of an error, for logs and the command-line tool.
const char* errorText(EngineError error);

// What one call of YosouStep reports.
struct StepResult {
    double percent = 0;                    // percent of the current pass (exactly 100 when it ended)
    int16_t intBar = 0;                    // progress bar 0..5 of the pass
    bool blnComplete = false;              // the whole run has ended
    EngineError error = EngineError::None; // the run stopped (never set together with blnComplete)
};

class SharedTables; // fast path: tables of a whole history built once (engine/fast_path.h)

class Engine {
public:
    // Run set-up. Refuses (and touches nothing) when lastRow < 1 or lastRow > table.count,
    // when game is neither game, or kind is not 1 (the full run, the only kind there is).
    EngineError YosouSetUp(const history::DrawTable& table, common::Game game, int kind, int lastRow);

    // One slice of the current pass (at most 100 rows). After an error the run is
    // stopped and every further call reports the same error.
    StepResult YosouStep();

    // Runs the whole set-up run without pacing; returns the first error.
    EngineError runToEnd();

    // Fast path: the same outputs as a complete sliced run for `lastRow` (same
    // proposal, per-round tables, lists and votes), reading the shared tables built
    // once for the whole history of one game. `shared` must outlive the reading of
    // this run's tables and lists (the proposal and the votes are copies).
    // Refuses lastRow < 1 or > shared.count() before touching anything.
    EngineError predictFast(const SharedTables& shared, int lastRow);

    // Run state.
    common::Game game() const { return m_game; }
    int intLastRow() const { return m_intLastRow; }
    int intStage() const { return m_intStage; }
    int intSubStage() const { return m_intSubStage; }
    int intCurRow() const { return m_intCurRow; }
    bool hasRun() const { return m_hasRun; } // a run has completed at least once

    // Per-round tables of the last run: FreqRows rows 0..intLastRow, FollowRows rows
    // 0..intLastRow+1 (indexable like a const vector; empty before the first set-up).
    RowTable<FreqRow> FreqRows() const;
    RowTable<FollowRow> FollowRows() const;
    // Similar-situation lists of sub-stage 2, position 1..4.
    const CountedList<FlowRec>& FreqFlow(int pos) const {
        materializeFlows();
        return m_freqFlow[static_cast<size_t>(pos)];
    }
    // Follow-up lists of sub-stage 3, position 1..4.
    const CountedList<FlowStep>& FollowFlow(int pos) const {
        materializeFlows();
        return m_followFlow[static_cast<size_t>(pos)];
    }
    // intDigitCount(pos)(digit): stage-1 counts, replaced by the sub-stage-3 votes at the end.
    int16_t intDigitCount(int pos, int digit) const {
        return m_intDigitCount[static_cast<size_t>(pos)][static_cast<size_t>(digit)];
    }

    // The proposal (Grp1Nums .., MiniNums, AllGrpNums). After a fast-path run the
    // all-group table is built here, on the first call that asks for it.
    const Proposal& proposal() const {
        materializeAllGroup();
        return m_proposal;
    }
    // The groups and Mini candidates alone, for callers that never read the
    // all-group table: after a fast-path run its AllGrp fields are left empty
    // (count 0) unless proposal() has built them.
    const Proposal& proposalLists() const { return m_proposal; }

private:
    using Tally = std::array<std::array<int16_t, 11>, 5>;

    double calcFreqRows();
    double passWithoutWork(bool stageTwo);
    double calcFollowRows();
    double calcFreqFlows();
    double calcPrediction();
    bool freqRow(int r);
    bool followRow(int r);
    RowDigits rowDigits(int r) const; // digits of round r at positions 1..placeCount()
    int placeCount() const { return common::digitCount(m_game); }
    void endOfRun();
    void fail(EngineError error) { m_error = error; }
    // Ends a pass: the next state, intCurRow = 1.
    void endPass();
    void materializeFlows() const;
    void materializeAllGroup() const;

    const SharedTables* m_shared = nullptr; // set by a fast-path run
    common::Game m_game = common::Game::Numbers3;
    int m_intLastRow = 0;
    int m_intStage = 1;
    int m_intSubStage = 1;
    int m_intCurRow = 1;
    bool m_hasRun = false;
    bool m_setUp = false;
    EngineError m_error = EngineError::None;
    std::vector<FreqRow> m_freqRows;
    std::vector<FollowRow> m_followRows;
    FollowRow m_fastForecast; // row intLastRow + 1 of a fast-path run
    // Columns of the digits of rounds 0..intLastRow + 1 by position 1..4 (position 4
    // of a Numbers3 run holds zeros and is not read).
    std::array<std::vector<uint8_t>, 5> m_digitColumn;
    mutable bool m_flowsPending = false;    // fast path: lists not yet built
    mutable bool m_allGroupPending = false; // fast path: all-group table not yet built
    mutable std::array<CountedList<FlowRec>, 5> m_freqFlow{};
    mutable std::array<CountedList<FlowStep>, 5> m_followFlow{};
    Tally m_intDigitCount{};
    Tally m_intFollowCount{};
    FollowerTally m_followers; // stage 3: rounds before the current row
    mutable Proposal m_proposal;
};

// Hit tests of a proposed entry against a drawn round of the game.
bool IsStraightHit(const history::NumData& draw, const PredNum& entry, common::Game game);
bool IsBoxHit(const history::NumData& draw, const PredNum& entry, common::Game game);
bool IsMiniHit(const history::NumData& draw, const PredNum& entry);

// The hit summary of one group (or of the Mini list) for one drawn round.
struct GroupHits {
    int count = 0;     // entries in the list
    int straight = 0;  // straight hits (Mini: hits)
    int box = 0;       // box hits (Mini: 0)
    int32_t money = 0; // straight x Set-Straight + box x Set-Box (Mini: hits x Mini prize)
};

// Per-round hit summary as the prediction view shows it: groups 1 and 2, then
// Mini (Numbers3) or group 3 (Numbers4). Not meaningful for an undrawn round.
struct HitSummary {
    GroupHits group1;
    GroupHits group2;
    GroupHits third; // Mini for Numbers3, group 3 for Numbers4
};
// `error` is CountOverflow (and the money 0) when an amount would not fit in 32 bits.
HitSummary summarizeHits(const Proposal& proposal, const history::NumData& draw, common::Game game,
                         EngineError* error = nullptr);

} // namespace tw::engine
