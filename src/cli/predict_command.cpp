// tallowind-cli predict: one complete prediction run for one round of one game,
// printed as one JSON object (the forecast row, the groups, the Mini candidates,
// the all-group table and, for a drawn round, the hits). The run is the sliced
// engine run the window's progress dialog drives, stepped without pauses.
#include "cli/command_history.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "engine/engine.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

namespace {

using tw::engine::EngineError;
using Json = nlohmann::ordered_json;

constexpr const char* kUsage =
    "usage: tallowind-cli predict --game 3|4 --round R [--data-dir DIR]\n"
    "\n"
    "Runs the prediction for round R of NUMBERS 3 (--game 3) or NUMBERS 4 (--game 4),\n"
    "analysing rounds 1 .. R-1 of the history, and prints one JSON object on stdout.\n"
    "\n"
    "  --game 3|4       the game\n"
    "  --round R        the round to predict: 2 .. (drawn rounds + 1); a drawn round\n"
    "                   is a back-test and gets a hit summary\n"
    "  --data-dir DIR   folder holding Num3Data.tbl / Num4Data.tbl (only the file of\n"
    "                   the game is read; default: the working directory)\n"
    "  --help           this text\n"
    "Options may also be written --name=value.\n"
    "\n"
    "Output (keys in this order):\n"
    "  game, round, last_row (R-1)\n"
    "  forecast: avg_grp_value (the forecast row's average group value) and ranking:\n"
    "            per position 1..P (P = 3 or 4) ten [digit, point] pairs, rank 1 first\n"
    "  groups:   \"1\", \"2\" (and \"3\" for game 4): entries as digit strings, in list order\n"
    "  mini:     Mini candidates as two-digit strings, ascending ([] for game 4)\n"
    "  all_group: count (1000 or 10000), value_count (distinct group values) and\n"
    "            entries: [group value x 1000, digits] in ascending group value\n"
    "  hit:      null for a round not yet drawn; otherwise draw (the drawn digits),\n"
    "            group1 and group2 {count, straight, box, money} and, for game 3,\n"
    "            mini {count, hits, money}, for game 4 group3 {count, straight, box,\n"
    "            money}; money counts Set-Straight / Set-Box prizes per group hit and\n"
    "            the Mini prize per Mini hit, in yen\n"
    "\n"
    "Exit status 0 on success; 2 with one line on stderr for a bad option, a game\n"
    "other than 3 or 4, a round out of range, or a missing or malformed history file.\n";

int fail(const std::string& message) {
    return tw::cli::refuse("predict", message);
}

std::optional<int> parseInt(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

Json listJson(const tw::engine::CountedList<tw::engine::PredNum>& list, tw::common::Game game) {
    Json out = Json::array();
    for (int k = 0; k < list.count; ++k)
        out.push_back(tw::engine::numberOf(game, list[k]).text());
    return out;
}

// The Mini candidates as their two digits, without the Mini mark.
Json miniJson(const tw::engine::CountedList<tw::engine::PredNum>& list) {
    Json out = Json::array();
    for (int k = 0; k < list.count; ++k)
        out.push_back(tw::engine::miniNumberOf(list[k]).digitText());
    return out;
}

Json groupHitsJson(const tw::engine::GroupHits& g) {
    return Json{{"count", g.count}, {"straight", g.straight}, {"box", g.box}, {"money", g.money}};
}

int runPredict(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options =
        tw::cli::parseOptions(args, {{"--game"}, {"--round"}, {"--data-dir"}}, "predict");
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    if (!options.has("--game"))
        return fail("--game 3|4 is required");
    if (!options.has("--round"))
        return fail("--round R is required");
    const std::string gameText = options.value("--game");
    const std::string roundText = options.value("--round");
    const std::optional<int> code = parseInt(gameText);
    const std::optional<tw::common::Game> game = code ? tw::common::gameFromCode(*code) : std::nullopt;
    if (!game)
        return fail("--game must be 3 or 4, not '" + gameText + "'");
    std::string error;
    // Any whole number is read here; whether the history has that round is said
    // once the history is loaded.
    const std::optional<int64_t> round =
        tw::cli::readWhole("--round", roundText, INT64_MIN, INT64_MAX, error, "a round of the history");
    if (!round)
        return fail(error);

    const std::optional<tw::cli::CommandHistory> history =
        tw::cli::readHistory("predict", options.value("--data-dir", "."), *game);
    if (!history)
        return 2;
    const tw::history::DrawTable& table = history->table;
    if (*round < 2 || *round > table.count + 1)
        return fail("round " + roundText + " is out of range: game " + gameText + " accepts rounds 2 .. " +
                    std::to_string(table.count + 1) + " with this history");

    const int roundNo = static_cast<int>(*round);
    const int lastRow = roundNo - 1;
    tw::engine::Engine engine;
    EngineError err = engine.YosouSetUp(table, *game, 1, lastRow);
    if (err == EngineError::None)
        err = engine.runToEnd();
    if (err != EngineError::None)
        return fail(std::string("the prediction stopped: ") + tw::engine::errorText(err));

    const tw::common::Game theGame = *game;
    const int places = tw::common::digitCount(theGame);
    const tw::engine::FollowRow& forecast = engine.FollowRows()[static_cast<std::size_t>(lastRow) + 1];
    Json ranking = Json::array();
    for (int p = 1; p <= places; ++p) {
        Json position = Json::array();
        for (int s = 0; s < 10; ++s)
            position.push_back(Json::array({forecast.ranking.at(s, p).intDigit, forecast.ranking.at(s, p).intPoint}));
        ranking.push_back(position);
    }

    const tw::engine::Proposal& pr = engine.proposal();
    Json groups = Json::object();
    groups["1"] = listJson(pr.grp1, theGame);
    groups["2"] = listJson(pr.grp2, theGame);
    if (theGame == tw::common::Game::Numbers4)
        groups["3"] = listJson(pr.grp3, theGame);

    Json entries = Json::array();
    for (int k = 0; k < pr.AllGrpCount; ++k) {
        const tw::engine::GrpValueNum& e = pr.AllGrpNums[static_cast<std::size_t>(k)];
        entries.push_back(Json::array(
            {e.lngGrpValue, tw::engine::numberOf(theGame, {e.intNum1, e.intNum2, e.intNum3, e.intNum4}).text()}));
    }

    Json hit = nullptr;
    if (table.isDrawn(roundNo)) {
        const tw::history::NumData& rec = table.record(roundNo);
        EngineError moneyError = EngineError::None;
        const tw::engine::HitSummary s = tw::engine::summarizeHits(pr, rec, theGame, &moneyError);
        if (moneyError != EngineError::None)
            return fail(std::string("the hit money of round ") + roundText +
                        " does not fit: " + tw::engine::errorText(moneyError));
        std::string drawn;
        for (int p = 1; p <= places; ++p)
            drawn += std::to_string(rec.bytNum[static_cast<std::size_t>(p)]);
        hit = Json{{"draw", drawn}, {"group1", groupHitsJson(s.group1)}, {"group2", groupHitsJson(s.group2)}};
        if (theGame == tw::common::Game::Numbers3)
            hit["mini"] = Json{{"count", s.third.count}, {"hits", s.third.straight}, {"money", s.third.money}};
        else
            hit["group3"] = groupHitsJson(s.third);
    }

    Json out;
    out["game"] = tw::common::gameCode(theGame);
    out["round"] = roundNo;
    out["last_row"] = lastRow;
    out["forecast"] = Json{{"avg_grp_value", forecast.dblAvgGrpValue}, {"ranking", ranking}};
    out["groups"] = groups;
    out["mini"] = theGame == tw::common::Game::Numbers3 ? miniJson(pr.mini) : Json::array();
    out["all_group"] = Json{{"count", pr.AllGrpCount}, {"value_count", pr.AllGrpValueCount}, {"entries", entries}};
    out["hit"] = hit;
    std::cout << out.dump() << "\n";
    return std::cout.good() ? 0 : 2;
}

tw::cli::CommandRegistration reg("predict", "run the prediction for one round and print it as JSON", &runPredict);

} // namespace
