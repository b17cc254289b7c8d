// Holds the back-test of the bundled histories to fixed hashes of its table: a
// change meant only to make the back-test faster (the proposals, the hit
// counts, the simulated portfolios) must leave every figure of every seed as it
// was. A deliberate change of the figures updates the hashes here.
#include "backtest/backtest.h"
#include "history/table_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tw::backtest {
namespace {

uint64_t fnv1a(const std::string& bytes) {
    uint64_t h = 1469598103934665603ULL;
    for (unsigned char b : bytes)
        h = (h ^ b) * 1099511628211ULL;
    return h;
}

struct GoldenCase {
    common::Game game;
    uint64_t textHash; // of the table `tallowind-cli backtest --from 5001 --portfolios 300` prints
};

class BacktestGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(BacktestGolden, BundledHistoryKeepsItsFigures) {
    const GoldenCase c = GetParam();
    const std::string path = std::string(TALLOWIND_DATA_DIR) + "/" + common::tableFileName(c.game);
    const history::LoadResult loaded = history::loadTableFile(path);
    ASSERT_FALSE(loaded.error) << loaded.error.message();
    BacktestOptions options;
    options.game = c.game;
    options.from = 5001;
    options.portfolios = 300;
    const BacktestOutcome outcome = runBacktest(loaded.table, options);
    ASSERT_FALSE(outcome.error) << outcome.error.describe();
    const std::string text = formatBacktestText(outcome.result);
    EXPECT_EQ(fnv1a(text), c.textHash) << text;
}

INSTANTIATE_TEST_SUITE_P(BundledHistories, BacktestGolden,
                         ::testing::Values(GoldenCase{common::Game::Numbers3, 0xd413a93b37daecf1ULL},
                                           GoldenCase{common::Game::Numbers4, 0xc72be9c2d82e2685ULL}),
                         [](const auto& info) {
                             return "numbers" + std::to_string(common::gameCode(info.param.game));
                         });

} // namespace
} // namespace tw::backtest
