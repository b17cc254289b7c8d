// One predictor for callers that predict many rounds of one history in turn (the
// hit report, the back-test): the engine's fast path over shared tables that are
// built on the first call and serve every later one.
//
// Such callers read the groups and Mini candidates only, so the all-group table
// of a round is never built for them (engine().proposal() builds it on demand).
// Standard library only.
#pragma once

#include "engine/engine.h"
#include "engine/fast_path.h"
#include "history/num_data.h"

#include <functional>
#include <memory>

namespace tw::engine {

// The proposal for round lastRow + 1 made from rounds 1..lastRow; the pointer stays
// valid until the next call. A null proposal carries the engine's error.
struct RoundPrediction {
    const Proposal* proposal = nullptr;
    EngineError error = EngineError::None;
};
// A caller's way to get a round's proposal, so that tests can hand in their own.
using RoundPredictor = std::function<RoundPrediction(int lastRow)>;

class FastPredictor {
public:
    // `table` must outlive the predictor; a value that is neither game is refused
    // on the first call with the tables' error.
    FastPredictor(const history::DrawTable& table, common::Game game) : m_table(table), m_game(game) {}

    // The proposal's groups and Mini candidates (its all-group table left empty).
    RoundPrediction predict(int lastRow);
    // The engine of the latest round, for a caller that wants its full proposal.
    const Engine& engine() const { return m_engine; }

private:
    const history::DrawTable& m_table;
    common::Game m_game;
    SharedTables m_shared;
    Engine m_engine;
    bool m_tried = false;
    EngineError m_buildError = EngineError::None;
};

// A FastPredictor over `table` as a RoundPredictor (copies share one predictor).
RoundPredictor fastPredictor(const history::DrawTable& table, common::Game game);

} // namespace tw::engine
