// tallowind-cli backtest: the proposal of every drawn round of a range set beside
// the same number of random tickets, as a table or as one JSON object.
#include "backtest/backtest.h"
#include "cli/command_history.h"
#include "cli/commands.h"
#include "cli/options.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: tallowind-cli backtest --game 3|4 [--from R1] [--to R2] [--data-dir DIR]\n"
    "                              [--seed S] [--portfolios N] [--json]\n"
    "\n"
    "Predicts every drawn round R1..R2 from the rounds before it and buys each\n"
    "proposal list (group 1, group 2, then Mini for NUMBERS3 or group 3 for\n"
    "NUMBERS4) as every bet type it can be bought as: Straight, Box and Set for the\n"
    "groups, Mini for the Mini list. Each line is set beside the same number of\n"
    "distinct random tickets per round: the exact expectation and a 95% band from\n"
    "simulated random portfolios, and a verdict: below, within or above the band.\n"
    "A number whose digits are all equal is not sold as Box or Set; it is left out\n"
    "of those lines on both sides.\n"
    "\n"
    "  --game 3|4        NUMBERS3 or NUMBERS4 (required)\n"
    "  --from R1         first round predicted (default 2, the first that has an earlier round)\n"
    "  --to R2           last round predicted (default: the last drawn round)\n"
    "  --data-dir DIR    folder holding Num3Data.tbl / Num4Data.tbl (default: the working directory)\n"
    "  --seed S          seed of the simulation, 0..18446744073709551615 (default 1);\n"
    "                    the same seed gives the same output\n"
    "  --portfolios N    simulated random portfolios, 1..100000 (default 1000)\n"
    "  --json            print one JSON object instead of the table\n"
    "Options may also be written --name=value; each may be given once.\n"
    "\n"
    "JSON fields:\n"
    "  game, from, to, rounds (rounds in the range), seed, portfolios, ticket_price (yen)\n"
    "  lines: one object per list and bet type, in the table's order:\n"
    "    list               \"group1\", \"group2\", \"group3\" or \"mini\"\n"
    "    bet                \"straight\", \"box\", \"set\" or \"mini\"\n"
    "    rounds             rounds in which the line bought at least one ticket\n"
    "    tickets, cost      tickets bought and their price in yen (tickets x 200)\n"
    "    payout             yen won at the rounds' real prizes\n"
    "    return_percent     payout in percent of cost (0 without tickets)\n"
    "    straight_hits      tickets with the drawn digits in order (group lines)\n"
    "    box_hits           tickets with the drawn digits in another order (group lines)\n"
    "    mini_hits          tickets equal to the 2nd and 3rd drawn digits (Mini line)\n"
    "    random             the same number of distinct random tickets per round:\n"
    "      expected_payout, expected_return_percent   exact expectation\n"
    "      expected_straight_hits, expected_box_hits  (Mini line: expected_mini_hits)\n"
    "      band_low, band_high                        2.5th and 97.5th percentile (nearest rank)\n"
    "                                                 of the simulated total payout\n"
    "      band_low_return_percent, band_high_return_percent\n"
    "    verdict            \"below\", \"within\" or \"above\" the band (ends count as within),\n"
    "                       \"none\" when the line bought no ticket\n";

int fail(const std::string& message) {
    return tw::cli::refuse("backtest", message);
}

nlohmann::ordered_json toJson(const tw::backtest::BacktestResult& r) {
    using tw::common::BetType;
    nlohmann::ordered_json j;
    j["game"] = tw::common::gameCode(r.game);
    j["from"] = r.from;
    j["to"] = r.to;
    j["rounds"] = r.roundCount();
    j["seed"] = r.seed;
    j["portfolios"] = r.portfolios;
    j["ticket_price"] = tw::backtest::kTicketPrice;
    j["lines"] = nlohmann::ordered_json::array();
    for (const tw::backtest::BacktestLine& l : r.lines) {
        const bool mini = l.bet == BetType::Mini;
        nlohmann::ordered_json line;
        line["list"] = tw::backtest::listKey(l.list);
        line["bet"] = tw::common::betKey(l.bet);
        line["rounds"] = l.rounds;
        line["tickets"] = l.tickets;
        line["cost"] = l.cost;
        line["payout"] = l.payout;
        line["return_percent"] = l.returnPercent();
        if (mini) {
            line["mini_hits"] = l.straightHits;
        } else {
            line["straight_hits"] = l.straightHits;
            line["box_hits"] = l.boxHits;
        }
        nlohmann::ordered_json random;
        random["expected_payout"] = l.expectedPayout;
        random["expected_return_percent"] = l.expectedReturnPercent();
        if (mini) {
            random["expected_mini_hits"] = l.expectedStraightHits;
        } else {
            random["expected_straight_hits"] = l.expectedStraightHits;
            random["expected_box_hits"] = l.expectedBoxHits;
        }
        random["band_low"] = l.band.low;
        random["band_high"] = l.band.high;
        random["band_low_return_percent"] = l.bandLowPercent();
        random["band_high_return_percent"] = l.bandHighPercent();
        line["random"] = random;
        line["verdict"] = tw::backtest::verdictKey(l.verdict);
        j["lines"].push_back(line);
    }
    return j;
}

int runBacktest(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options = tw::cli::parseOptions(
        args, {{"--game"}, {"--from"}, {"--to"}, {"--data-dir"}, {"--seed"}, {"--portfolios"}, {"--json", false}},
        "backtest");
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    if (!options.has("--game"))
        return fail("--game 3 or --game 4 is required (see tallowind-cli backtest --help)");

    tw::backtest::BacktestOptions run;
    std::string error;
    const std::string gameText = options.value("--game");
    if (gameText != "3" && gameText != "4")
        return fail("--game must be 3 or 4, not '" + gameText + "'");
    run.game = gameText == "3" ? tw::common::Game::Numbers3 : tw::common::Game::Numbers4;
    // Rounds and portfolios are 32-bit here; whether a round lies in the history
    // is the back-test's to say once the history is loaded.
    const auto readInt = [&](const char* name, int min, int max) -> std::optional<int> {
        const std::optional<int64_t> v = tw::cli::readWhole(name, options.value(name), min, max, error);
        return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
    };
    if (options.has("--from")) {
        const std::optional<int> from = readInt("--from", INT32_MIN, INT32_MAX);
        if (!from)
            return fail(error);
        run.from = *from;
    }
    if (options.has("--to")) {
        const std::optional<int> to = readInt("--to", INT32_MIN, INT32_MAX);
        if (!to)
            return fail(error);
        run.to = *to;
    }
    if (options.has("--portfolios")) {
        const std::optional<int> portfolios = readInt("--portfolios", 1, tw::backtest::kMaxPortfolios);
        if (!portfolios)
            return fail(error);
        run.portfolios = *portfolios;
    }
    if (options.has("--seed")) {
        const std::optional<uint64_t> seed =
            tw::cli::readWholeUnsigned("--seed", options.value("--seed"), UINT64_MAX, error);
        if (!seed)
            return fail(error);
        run.seed = *seed;
    }

    const std::optional<tw::cli::CommandHistory> history =
        tw::cli::readHistory("backtest", options.value("--data-dir", "."), run.game);
    if (!history)
        return 2;

    const tw::backtest::BacktestOutcome outcome = tw::backtest::runBacktest(history->table, run);
    if (outcome.error)
        return fail(outcome.error.describe());
    if (options.has("--json"))
        std::cout << toJson(outcome.result).dump(2) << "\n";
    else
        std::cout << tw::backtest::formatBacktestText(outcome.result);
    return 0;
}

tw::cli::CommandRegistration reg("backtest", "compare the proposal with random tickets over a range of rounds",
                                 &runBacktest);

} // namespace
