// Helpers of the table file tests: table lines of an exact length. The
// temporary folder and the raw file reads and writes come from tests/support.
#pragma once

#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tw::history::testing {

// A valid Numbers3 line of round `round` whose text (without CR LF) is exactly
// `length` characters: the amounts (Straight 119800 + round, then 39900, 79800,
// 19900, 11900) are padded with leading zeros, each to at most the ten digits a
// number may have. Lengths from 52 to 72 are possible for every round below
// 80200, from 48 for rounds below 10; a shorter length gives the unpadded line.
inline std::string num3LineOfLength(int round, std::size_t length) {
    const std::string head = std::to_string(round) + ",1994/10/07,191";
    std::vector<std::string> amounts = {std::to_string(119800 + round), "39900", "79800", "19900", "11900"};
    std::size_t have = head.size();
    for (const std::string& a : amounts)
        have += 1 + a.size();
    for (std::string& a : amounts) {
        const std::size_t pad = std::min(length > have ? length - have : 0, std::size_t{10} - a.size());
        a.insert(0, pad, '0');
        have += pad;
    }
    std::string line = head;
    for (const std::string& a : amounts)
        line += "," + a;
    return line;
}

} // namespace tw::history::testing
