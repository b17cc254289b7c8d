#include "engine/fast_predictor.h"

namespace tw::engine {

RoundPrediction FastPredictor::predict(int lastRow) {
    if (!m_tried) {
        m_buildError = m_shared.build(m_table, m_game);
        m_tried = true;
    }
    if (m_buildError != EngineError::None)
        return {nullptr, m_buildError};
    if (const EngineError error = m_engine.predictFast(m_shared, lastRow); error != EngineError::None)
        return {nullptr, error};
    return {&m_engine.proposalLists(), EngineError::None};
}

RoundPredictor fastPredictor(const history::DrawTable& table, common::Game game) {
    auto predictor = std::make_shared<FastPredictor>(table, game);
    return [predictor](int lastRow) { return predictor->predict(lastRow); };
}

} // namespace tw::engine
