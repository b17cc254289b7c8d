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
    for (const std::string& t : texts)
        out.push_back(entryNumber(game, t));
    return out;
}

inline std::vector<std::string> entryTexts(const std::vector<common::LotteryNumber>& numbers) {
    std::vector<std::string> out;
    for (const common::LotteryNumber& n : numbers)
        out.push_back(n.text());
    return out;
}

} // namespace tw::testing
