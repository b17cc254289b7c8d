// Key sorting and the digit ranking rule every pass of the engine uses.
//
// QuickSortKeys and RankDigits are the reference: variant keys (a whole number or
// a text), one in-place quicksort, digits read back from "pppppp" + (9 - digit)
// text keys. rankDigitsFast gives the same ranking without building texts and is
// what the per-row loops call; the tests hold the two equal. Standard library only.
#pragma once

#include "engine/engine_types.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tw::engine {

// A sort key: a whole number or a text. Whole numbers compare by value, texts by
// their character codes left to right (a prefix is smaller than the longer text).
// Keys of one sort are of one kind; should kinds ever meet, numbers come first.
class SortKey {
public:
    SortKey() = default;
    SortKey(int64_t number) : m_value(number) {}
    SortKey(std::string text) : m_value(std::move(text)) {}
    SortKey(const char* text) : m_value(std::string(text)) {}

    bool isNumber() const { return std::holds_alternative<int64_t>(m_value); }
    bool isText() const { return std::holds_alternative<std::string>(m_value); }
    int64_t number() const { return std::get<int64_t>(m_value); }
    const std::string& text() const { return std::get<std::string>(m_value); }

    friend bool operator<(const SortKey& a, const SortKey& b);
    friend bool operator>(const SortKey& a, const SortKey& b) { return b < a; }
    friend bool operator==(const SortKey& a, const SortKey& b) { return a.m_value == b.m_value; }

private:
    std::variant<int64_t, std::string> m_value;
};

// Sorts keys[lo..hi] (inclusive) ascending in place.
void QuickSortKeys(std::vector<SortKey>& keys, int lo, int hi);

// The text key of a digit: its point with six digits ("000000"), then the
// character of 9 - digit. Digit 2 with point 45 gives "0000457".
std::string digitKey(int point, int digit);

// Ten (digit, point) pairs for rank slots 0..9: points falling, ties by rising digit.
using RankedDigits = std::array<DigitPoint, 10>;

// Reference ranking through the text keys and QuickSortKeys; points[0..9] are the
// points of the digits 0..9.
RankedDigits RankDigits(std::span<const int16_t> points);

// The same ranking by a stable insertion sort; equal to RankDigits for points 0..32767.
RankedDigits rankDigitsFast(std::span<const int16_t> points);

} // namespace tw::engine
