#include "common/lottery.h"

namespace tw::common {

std::optional<Game> gameFromCode(int code) {
    if (code == 3)
        return Game::Numbers3;
    if (code == 4)
        return Game::Numbers4;
    return std::nullopt;
}

const char* gameName(Game game) {
    return game == Game::Numbers4 ? "NUMBERS4" : "NUMBERS3";
}

const char* tableFileName(Game game) {
    return game == Game::Numbers4 ? "Num4Data.tbl" : "Num3Data.tbl";
}

const char* betName(BetType bet) {
    switch (bet) {
    case BetType::Straight:
        return "Straight";
    case BetType::Box:
        return "Box";
    case BetType::Set:
        return "Set";
    case BetType::Mini:
        return "Mini";
    }
    return "";
}

const char* betKey(BetType bet) {
    switch (bet) {
    case BetType::Straight:
        return "straight";
    case BetType::Box:
        return "box";
    case BetType::Set:
        return "set";
    case BetType::Mini:
        return "mini";
    }
    return "";
}

std::optional<BetType> betFromKey(std::string_view key) {
    for (BetType bet : kBetTypes)
        if (key == betKey(bet))
            return bet;
    return std::nullopt;
}

LotteryNumber LotteryNumber::of(Game game, std::array<uint8_t, 4> digits) {
    LotteryNumber n;
    n.m_game = game;
    n.m_digits = digits;
    if (digitCount(game) == 3)
        n.m_digits[3] = 0;
    return n;
}

LotteryNumber LotteryNumber::ofValue(Game game, int value) {
    std::array<uint8_t, 4> digits{};
    for (int i = digitCount(game) - 1; i >= 0; --i) {
        digits[static_cast<std::size_t>(i)] = static_cast<uint8_t>(value % 10);
        value /= 10;
    }
    return of(game, digits);
}

LotteryNumber LotteryNumber::mini(uint8_t tens, uint8_t units) {
    LotteryNumber n;
    n.m_game = Game::Numbers3;
    n.m_mini = true;
    n.m_digits = {tens, units, 0, 0};
    return n;
}

std::optional<LotteryNumber> LotteryNumber::parse(Game game, std::string_view text) {
    const bool isMiniText = !text.empty() && text.front() == '*';
    if (isMiniText) {
        if (game != Game::Numbers3)
            return std::nullopt;
        text.remove_prefix(1);
    }
    const std::size_t want = isMiniText ? 2 : static_cast<std::size_t>(digitCount(game));
    if (text.size() != want)
        return std::nullopt;
    std::array<uint8_t, 4> digits{};
    for (std::size_t i = 0; i < want; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        digits[i] = static_cast<uint8_t>(text[i] - '0');
    }
    return isMiniText ? mini(digits[0], digits[1]) : of(game, digits);
}

int LotteryNumber::value() const {
    int v = 0;
    for (int i = 0; i < size(); ++i)
        v = v * 10 + digit(i);
    return v;
}

std::string LotteryNumber::digitText() const {
    std::string s;
    for (int i = 0; i < size(); ++i)
        s += static_cast<char>('0' + digit(i));
    return s;
}

std::string LotteryNumber::text() const {
    std::string s = m_mini ? "*" : "";
    s += digitText();
    return s;
}

bool LotteryNumber::allDigitsEqual() const {
    for (int i = 1; i < size(); ++i)
        if (digit(i) != digit(0))
            return false;
    return true;
}

bool LotteryNumber::buyableAs(BetType bet) const {
    if (m_mini)
        return bet == BetType::Mini;
    switch (bet) {
    case BetType::Straight:
        return true;
    case BetType::Box:
    case BetType::Set:
        return !allDigitsEqual();
    case BetType::Mini:
        return false; // a Mini bet is written as its pair, "*nn"
    }
    return false;
}

} // namespace tw::common
