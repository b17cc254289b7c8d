// tallowind-cli backtest: the proposal of every drawn round of a range set beside
// the same number of random tickets, as a table or as one JSON object.
#include "cli/commands.h"
#include "history/table_file.h"
#include "reports/backtest.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <filesystem>
#include <iostream>
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
    std::cerr << "tallowind-cli backtest: " << message << "\n";
    return 2;
}

template <typename T> bool parseWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

nlohmann::ordered_json toJson(const tw::reports::BacktestResult& r) {
    using tw::reports::BetType;
    nlohmann::ordered_json j;
    j["game"] = r.game;
    j["from"] = r.from;
    j["to"] = r.to;
    j["rounds"] = r.roundCount();
    j["seed"] = r.seed;
    j["portfolios"] = r.portfolios;
    j["ticket_price"] = tw::reports::kTicketPrice;
    j["lines"] = nlohmann::ordered_json::array();
    for (const tw::reports::BacktestLine& l : r.lines) {
        const bool mini = l.bet == BetType::Mini;
        nlohmann::ordered_json line;
        line["list"] = tw::reports::listKey(l.list);
        line["bet"] = tw::reports::betKey(l.bet);
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
        line["verdict"] = tw::reports::verdictKey(l.verdict);
        j["lines"].push_back(line);
    }
    return j;
}

int runBacktest(const tw::cli::Args& args) {
    tw::reports::BacktestOptions options;
    std::string dataDir = ".";
    bool json = false;
    bool gameGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--json") {
            json = true;
            continue;
        }
        if (a != "--game" && a != "--from" && a != "--to" && a != "--data-dir" && a != "--seed" && a != "--portfolios")
            return fail("unknown option '" + a + "' (see tallowind-cli backtest --help)");
        if (i + 1 >= args.size())
            return fail(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--data-dir") {
            dataDir = v;
        } else if (a == "--seed") {
            if (!parseWhole(v, options.seed))
                return fail("--seed needs a whole number 0..18446744073709551615, not '" + v + "'");
        } else {
            int n = 0;
            if (!parseWhole(v, n))
                return fail(a + " needs a whole number, not '" + v + "'");
            if (a == "--game") {
                if (n != 3 && n != 4)
                    return fail("--game must be 3 or 4, not '" + v + "'");
                options.game = n;
                gameGiven = true;
            } else if (a == "--from") {
                options.from = n;
            } else if (a == "--to") {
                options.to = n;
            } else {
                options.portfolios = n;
            }
        }
    }
    if (!gameGiven)
        return fail("--game 3 or --game 4 is required (see tallowind-cli backtest --help)");

    const char* fileName = options.game == 4 ? "Num4Data.tbl" : "Num3Data.tbl";
    const std::string tablePath = (std::filesystem::path(dataDir) / fileName).string();
    const tw::history::LoadResult loaded = tw::history::loadTableFile(tablePath);
    if (loaded.error)
        return fail(loaded.error.message());

    const tw::reports::BacktestOutcome outcome = tw::reports::runBacktest(loaded.table, options);
    if (outcome.error)
        return fail(outcome.error.describe());
    if (json)
        std::cout << toJson(outcome.result).dump(2) << "\n";
    else
        std::cout << tw::reports::formatBacktestText(outcome.result);
    return 0;
}

tw::cli::CommandRegistration reg("backtest", "compare the proposal with random tickets over a range of rounds",
                                 &runBacktest);

} // namespace
