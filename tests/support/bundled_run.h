// Window tests over real analysis: the bundled draw history of both games and an
// engine run for a chosen round, as the main window leaves it after a prediction.
// Shared by the tests of the change panel, the hit chart and the tables viewer.
#pragma once

#include "engine/engine.h"
#include "history/num_data.h"
#include "history/table_file.h"

#include <QTest>

#include <string>

namespace tw::testing {

inline history::DrawHistory loadBundledHistory() {
    history::DrawHistory history;
    for (const common::Game game : common::kGames) {
        const std::string path = std::string(TALLOWIND_DATA_DIR) + "/" + common::tableFileName(game);
        auto loaded = history::loadTableFile(path);
        if (loaded.error)
            qFatal("cannot load %s: %s", path.c_str(), loaded.error.message().c_str());
        history.table(game) = std::move(loaded.table);
    }
    return history;
}

// Runs the whole analysis for `round` (the rounds before it are analysed) of
// the game of code 3 or 4.
inline void runFor(engine::Engine& engine, const history::DrawHistory& history, int gameCode, int round) {
    const common::Game game{gameCode};
    if (engine.YosouSetUp(history.table(game), game, 1, round - 1) != engine::EngineError::None ||
        engine.runToEnd() != engine::EngineError::None)
        qFatal("engine run for game %d round %d failed", gameCode, round);
}

} // namespace tw::testing
