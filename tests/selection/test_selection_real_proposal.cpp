// The selection and its grid over proposals the engine makes from the bundled
// history: every grid row finds its numbers again, and a selection drawn from
// every source survives a save and load.
#include "engine/engine.h"
#include "engine/fast_path.h"
#include "history/table_file.h"
#include "selection/change_view.h"
#include "selection/selection_model.h"

#include "support/proposal_fixture.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using tw::selection::ListId;
using tw::selection::SelectionModel;

struct Game {
    bool numbers3;
    int game;
    const char* file;
};

class RealProposal : public ::testing::TestWithParam<Game> {};

TEST_P(RealProposal, GridRowsAndSelectionAgree) {
    const Game g = GetParam();
    auto loaded = tw::history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + g.file);
    ASSERT_FALSE(loaded.error) << loaded.error.message();
    tw::engine::SharedTables shared;
    ASSERT_EQ(shared.build(loaded.table, tw::common::Game{g.game}), tw::engine::EngineError::None);
    tw::engine::Engine engine;
    const int lastRow = shared.count();
    ASSERT_EQ(engine.predictFast(shared, lastRow), tw::engine::EngineError::None);
    const tw::engine::Proposal& p = engine.proposal();
    ASSERT_GT(p.AllGrpValueCount, 1);

    const std::vector<std::string> rows = tw::selection::allGroupRowTexts(p);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(p.AllGrpValueCount));

    // Each row's text leads back to exactly its own numbers: together they are the table.
    SelectionModel m;
    int found = 0;
    for (const std::string& row : rows) {
        ASSERT_FALSE(row.empty());
        m.SetGrpNumsFromGrid(tw::testing::gameOf(g.numbers3), row, p);
        EXPECT_FALSE(m.lstChgGrpNums().empty()) << row;
        found += static_cast<int>(m.lstChgGrpNums().size());
        m.SelectAllList(ListId::GrpNums);
        m.AddToUserSelect();
    }
    EXPECT_EQ(found, p.AllGrpCount);
    EXPECT_EQ(m.lngUserSelect(), p.AllGrpCount);

    // The key of the forecast row marks one or two rows.
    const double avg = engine.FollowRows()[static_cast<std::size_t>(lastRow) + 1].dblAvgGrpValue;
    const auto marks = tw::selection::allGroupKeyMarks(p, avg);
    EXPECT_LE(marks.size(), 2u);

    if (g.numbers3)
        m.AddAllToMini();
    tw::testing::TempFolder dir;
    ASSERT_TRUE(m.SaveUserSelect(dir.str(), tw::testing::gameOf(g.numbers3), static_cast<int16_t>(lastRow + 1), rows));
    SelectionModel back;
    const auto report =
        back.LoadUserSelect(dir.str(), tw::testing::gameOf(g.numbers3), static_cast<int16_t>(lastRow + 1), rows);
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(back.lstChgSelect(), m.lstChgSelect());
    EXPECT_EQ(back.lstChgMini(), m.lstChgMini());
    EXPECT_EQ(back.lngUserSelect(), m.lngUserSelect());
}

INSTANTIATE_TEST_SUITE_P(BothGames, RealProposal,
                         ::testing::Values(Game{true, 3, "Num3Data.tbl"}, Game{false, 4, "Num4Data.tbl"}));

} // namespace
