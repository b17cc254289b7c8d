// The vocabulary every subsystem shares: which game (NUMBERS 3 or NUMBERS 4),
// which bet type, and a drawn or proposed number with its text forms. Standard
// library only; windows turn the colour value into their own colour type.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw::common {

// The two games; the values are the game codes 3 and 4 used in files and options.
enum class Game : int { Numbers3 = 3, Numbers4 = 4 };

inline constexpr std::array<Game, 2> kGames{Game::Numbers3, Game::Numbers4};

constexpr int gameCode(Game game) {
    return static_cast<int>(game);
}
// True for the two games; false for a value made from any other code, which an
// interface taking a Game refuses.
constexpr bool isGame(Game game) {
    return game == Game::Numbers3 || game == Game::Numbers4;
}
// Drawn digits per round: 3 or 4.
constexpr int digitCount(Game game) {
    return game == Game::Numbers4 ? 4 : 3;
}
// The game of code 3 or 4; nothing for any other code.
std::optional<Game> gameFromCode(int code);
// "NUMBERS3" / "NUMBERS4", as the windows and messages name the games.
const char* gameName(Game game);
// "Num3Data.tbl" / "Num4Data.tbl": the draw table file in the working folder.
const char* tableFileName(Game game);
// The game's banner colour as a blue-green-red value: magenta for NUMBERS3, green for NUMBERS4.
constexpr uint32_t gameColourBgr(Game game) {
    return game == Game::Numbers4 ? 0x00C000u : 0xFF00FFu;
}

// The four ways to bet on a number. Mini exists for NUMBERS3 only.
enum class BetType { Straight, Box, Set, Mini };

inline constexpr std::array<BetType, 4> kBetTypes{BetType::Straight, BetType::Box, BetType::Set, BetType::Mini};

const char* betName(BetType bet); // "Straight", "Box", "Set", "Mini"
const char* betKey(BetType bet);  // "straight", "box", "set", "mini"
std::optional<BetType> betFromKey(std::string_view key);

// Every bet costs 200 yen.
inline constexpr int32_t kBetPrice = 200;

// A number of a game (three or four digits, leading zeros significant) or a Mini
// pair (the last two digits of a NUMBERS3 number, written "*nn").
class LotteryNumber {
public:
    // A full number of the game from its digits, first place first.
    static LotteryNumber of(Game game, std::array<uint8_t, 4> digits);
    // A full number of the game from its value: 12 is "012" (or "0012").
    static LotteryNumber ofValue(Game game, int value);
    // A Mini pair: tens and units digit.
    static LotteryNumber mini(uint8_t tens, uint8_t units);
    // "012" / "0123" for the game, or "*12" for a Mini pair of NUMBERS3; nothing
    // for any other text.
    static std::optional<LotteryNumber> parse(Game game, std::string_view text);

    Game game() const { return m_game; }
    bool isMini() const { return m_mini; }
    // Digits held: 2 for a Mini pair, otherwise the game's digit count.
    int size() const { return m_mini ? 2 : digitCount(m_game); }
    // Digit at position 0 .. size() - 1.
    uint8_t digit(int index) const { return m_digits[static_cast<std::size_t>(index)]; }
    // The digits as a number: 12 for "012", 123 for "0123", 12 for "*12".
    int value() const;
    // "012", "0123", "*12".
    std::string text() const;
    // The digits without the Mini mark: "012", "12".
    std::string digitText() const;
    // All digits equal ("777", "0000"): such a number is not sold as Box or Set.
    bool allDigitsEqual() const;
    // Whether the number can be bought as this bet type: a full number as Straight,
    // and as Box and Set unless its digits are all equal; a Mini pair as Mini only.
    bool buyableAs(BetType bet) const;

    bool operator==(const LotteryNumber&) const = default;

private:
    Game m_game = Game::Numbers3;
    bool m_mini = false;
    std::array<uint8_t, 4> m_digits{};
};

} // namespace tw::common
