// tallowind-cli stats: the statistics of the drawn digits over a range of rounds
// (counts against equal chances with a chi-square test, gaps, digit sums against
// random draws), as tables or as one JSON object. The figures come from the
// reports library; this file only reads the options and lays them out.
#include "cli/command_history.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "common/lottery.h"
#include "reports/draw_statistics.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: tallowind-cli stats --game 3|4 [--from R1] [--to R2] [--data-dir DIR] [--json]\n"
    "\n"
    "Counts the drawn digits of rounds R1..R2 (both included, n rounds):\n"
    "- per position, how often each digit came against n/10 under equal chances,\n"
    "  with the chi-square statistic over 9 degrees of freedom and its p-value\n"
    "  (a small p-value speaks against equal chances);\n"
    "- per position and digit, the current gap (rounds of the range after the\n"
    "  digit last came there) and the longest run of rounds without it; a digit\n"
    "  that never came in the range has both gaps n, marked '+' (at least n);\n"
    "- the digit sums against the exact distribution of random draws.\n"
    "\n"
    "  --game 3|4        NUMBERS3 or NUMBERS4 (required)\n"
    "  --from R1         first round counted (default 1)\n"
    "  --to R2           last round counted (default: the last drawn round)\n"
    "  --data-dir DIR    folder holding Num3Data.tbl / Num4Data.tbl (default: the working directory)\n"
    "  --json            print one JSON object instead of the tables\n"
    "Options may also be written --name=value; each may be given once.\n"
    "\n"
    "JSON fields:\n"
    "  game, from, to, rounds (rounds in the range), degrees_of_freedom (9)\n"
    "  positions: one object per position, first drawn digit first:\n"
    "    position           1, 2, 3 (, 4)\n"
    "    counts             rounds with digit 0..9 at this position (ten numbers)\n"
    "    expected           rounds / 10, the count of every digit under equal chances\n"
    "    chi_square         sum over the digits of (count - expected)^2 / expected\n"
    "    p_value            chance of a chi-square at least as large under equal chances\n"
    "    last_drawn         last round of the range with digit 0..9 here, 0 when none\n"
    "    current_gap        rounds of the range after last_drawn (rounds when none)\n"
    "    longest_gap        longest run of rounds of the range without the digit here\n"
    "  digit_sums:\n"
    "    ways_total         numbers of the game (1000 or 10000)\n"
    "    sums               one object per sum 0..27 (0..36): sum, count (rounds with\n"
    "                       this digit sum), ways (numbers of the game with it),\n"
    "                       expected (rounds x ways / ways_total)\n";

int fail(const std::string& message) {
    return tw::cli::refuse("stats", message);
}

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// Right-aligned in `width` columns.
std::string cell(const std::string& text, std::size_t width) {
    return text.size() >= width ? " " + text : std::string(width - text.size(), ' ') + text;
}

const char* placeName(std::size_t index) {
    static const char* const kNames[] = {"1st", "2nd", "3rd", "4th"};
    return index < 4 ? kNames[index] : "?";
}

// p-values far below 0.001 still matter to the reader, so they keep three significant digits.
std::string pValueText(double p) {
    if (p >= 0.001)
        return fixed(p, 4);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3g", p);
    return buffer;
}

std::string formatText(const tw::reports::DrawStatistics& s) {
    std::ostringstream out;
    const int n = s.roundCount();
    out << tw::common::gameName(s.game) << ", rounds " << s.from << ".." << s.to << " (" << n << " rounds)\n\n";

    out << "Digit counts per position (equal chances: " << fixed(n / 10.0, 1) << " per digit)\n";
    out << "position";
    for (int d = 0; d <= 9; ++d)
        out << cell(std::to_string(d), 7);
    out << cell("chi-square", 12) << cell("p-value", 10) << "\n";
    for (std::size_t i = 0; i < s.positions.size(); ++i) {
        const tw::reports::DigitPositionStatistics& p = s.positions[i];
        out << cell(placeName(i), 8);
        for (int c : p.count)
            out << cell(std::to_string(c), 7);
        out << cell(fixed(p.chiSquare, 3), 12) << cell(pValueText(p.pValue), 10) << "\n";
    }
    out << "chi-square of equal chances over " << tw::reports::kDigitDegreesOfFreedom
        << " degrees of freedom; a small p-value speaks against them.\n\n";

    out << "Gaps per position: current / longest (rounds since the digit last came there /\n"
           "longest run without it; '+' = not drawn in the range, at least that many)\n";
    out << "position";
    for (int d = 0; d <= 9; ++d)
        out << cell(std::to_string(d), 10);
    out << "\n";
    for (std::size_t i = 0; i < s.positions.size(); ++i) {
        const tw::reports::DigitPositionStatistics& p = s.positions[i];
        out << cell(placeName(i), 8);
        for (std::size_t d = 0; d < 10; ++d) {
            const char* mark = p.lastDrawn[d] == 0 ? "+" : "";
            out << cell(std::to_string(p.currentGap[d]) + mark + "/" + std::to_string(p.longestGap[d]) + mark, 10);
        }
        out << "\n";
    }
    out << "\n";

    out << "Digit sums against random draws (ways: numbers of the " << s.sums.waysTotal << " with that sum)\n";
    out << cell("sum", 4) << cell("count", 8) << cell("expected", 10) << cell("ways", 6) << "\n";
    for (int sum = 0; sum <= s.sums.maxSum(); ++sum) {
        const auto k = static_cast<std::size_t>(sum);
        out << cell(std::to_string(sum), 4) << cell(std::to_string(s.sums.count[k]), 8)
            << cell(fixed(s.sums.expected[k], 2), 10) << cell(std::to_string(s.sums.ways[k]), 6) << "\n";
    }
    return out.str();
}

nlohmann::ordered_json toJson(const tw::reports::DrawStatistics& s) {
    nlohmann::ordered_json j;
    j["game"] = tw::common::gameCode(s.game);
    j["from"] = s.from;
    j["to"] = s.to;
    j["rounds"] = s.roundCount();
    j["degrees_of_freedom"] = tw::reports::kDigitDegreesOfFreedom;
    j["positions"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < s.positions.size(); ++i) {
        const tw::reports::DigitPositionStatistics& p = s.positions[i];
        nlohmann::ordered_json position;
        position["position"] = i + 1;
        position["counts"] = p.count;
        position["expected"] = p.expected;
        position["chi_square"] = p.chiSquare;
        position["p_value"] = p.pValue;
        position["last_drawn"] = p.lastDrawn;
        position["current_gap"] = p.currentGap;
        position["longest_gap"] = p.longestGap;
        j["positions"].push_back(position);
    }
    nlohmann::ordered_json sums;
    sums["ways_total"] = s.sums.waysTotal;
    sums["sums"] = nlohmann::ordered_json::array();
    for (int sum = 0; sum <= s.sums.maxSum(); ++sum) {
        const auto k = static_cast<std::size_t>(sum);
        sums["sums"].push_back(
            {{"sum", sum}, {"count", s.sums.count[k]}, {"ways", s.sums.ways[k]}, {"expected", s.sums.expected[k]}});
    }
    j["digit_sums"] = sums;
    return j;
}

int runStats(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options =
        tw::cli::parseOptions(args, {{"--game"}, {"--from"}, {"--to"}, {"--data-dir"}, {"--json", false}}, "stats");
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    if (!options.has("--game"))
        return fail("--game 3 or --game 4 is required (see tallowind-cli stats --help)");
    const std::string gameText = options.value("--game");
    if (gameText != "3" && gameText != "4")
        return fail("--game must be 3 or 4, not '" + gameText + "'");

    tw::reports::StatisticsOptions run;
    run.game = gameText == "3" ? tw::common::Game::Numbers3 : tw::common::Game::Numbers4;
    std::string error;
    // Whether a round lies in the history is the statistics' to say once it is loaded.
    const auto readRound = [&](const char* name) -> std::optional<int> {
        const std::optional<int64_t> v = tw::cli::readWhole(name, options.value(name), INT32_MIN, INT32_MAX, error);
        return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
    };
    if (options.has("--from")) {
        const std::optional<int> from = readRound("--from");
        if (!from)
            return fail(error);
        run.from = *from;
    }
    if (options.has("--to")) {
        const std::optional<int> to = readRound("--to");
        if (!to)
            return fail(error);
        run.to = *to;
    }

    const std::optional<tw::cli::CommandHistory> history =
        tw::cli::readHistory("stats", options.value("--data-dir", "."), run.game);
    if (!history)
        return 2;

    const tw::reports::StatisticsOutcome outcome = tw::reports::computeDrawStatistics(history->table, run);
    if (outcome.error)
        return fail(outcome.error.describe());
    if (options.has("--json"))
        std::cout << toJson(outcome.statistics).dump(2) << "\n";
    else
        std::cout << formatText(outcome.statistics);
    return 0;
}

tw::cli::CommandRegistration reg("stats", "digit counts, gaps and digit sums of a range of rounds", &runStats);

} // namespace
