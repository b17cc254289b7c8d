// Print entries written as their texts in tests: "012", "0123", "*23". A text
// that is no number of the game throws, so a mistyped case fails loudly.
#pragma once

#include "common/lottery.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace tw::testing {

inline common::LotteryNumber entryNumber(common::Game game, const std::string& text) {
    return common::LotteryNumber::parse(game, text).value();
}

inline std::vector<common::LotteryNumber> entryNumbers(common::Game game, const std::vector<std::string>& texts) {
    std::vector<common::LotteryNumber> out;
    out.reserve(texts.size());
    for (const std::string& t : texts)
        out.push_back(entryNumber(game, t));
    return out;
}

inline std::vector<std::string> entryTexts(const std::vector<common::LotteryNumber>& numbers) {
    std::vector<std::string> out;
    out.reserve(numbers.size());
    for (const common::LotteryNumber& n : numbers)
        out.push_back(n.text());
    return out;
}

// `count` NUMBERS3 numbers from 100 on: 100, 101, 102, ... (distinct entries of
// a print job whose order shows in what was printed).
inline std::vector<common::LotteryNumber> numbers3From100(int count) {
    std::vector<common::LotteryNumber> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out.push_back(common::LotteryNumber::ofValue(common::Game::Numbers3, 100 + i));
    return out;
}

} // namespace tw::testing
