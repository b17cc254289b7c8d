// Small draw histories for the engine tests: hand-made ones from digit strings,
// deterministic pseudo-random ones of any length, and the bundled real history.
#pragma once

#include "engine/engine.h"
#include "history/num_data.h"
#include "history/table_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tw::engine::test {

// A table whose round k + 1 draws numbers[k] ("123", or "1234" for Numbers4).
inline history::DrawTable makeTable(const std::vector<std::string>& numbers) {
    history::DrawTable table;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        history::NumData rec;
        for (std::size_t i = 0; i < numbers[k].size(); ++i)
            rec.bytNum[i + 1] = static_cast<uint8_t>(numbers[k][i] - '0');
        table.store(static_cast<int>(k) + 1, rec);
    }
    return table;
}

// `count` rounds of pseudo-random digits (a fixed linear congruential sequence).
inline history::DrawTable randomTable(common::Game game, int count, uint32_t seed) {
    std::vector<std::string> numbers;
    uint32_t x = seed;
    for (int r = 0; r < count; ++r) {
        std::string n;
        for (int i = 0; i < common::digitCount(game); ++i) {
            x = x * 1664525u + 1013904223u;
            n.push_back(static_cast<char>('0' + (x >> 16) % 10));
        }
        numbers.push_back(n);
    }
    return makeTable(numbers);
}

inline history::DrawTable realTable(common::Game game) {
    const std::string path = std::string(TALLOWIND_DATA_DIR) + "/" + common::tableFileName(game);
    history::LoadResult loaded = history::loadTableFile(path);
    EXPECT_FALSE(loaded.error) << loaded.error.message();
    return std::move(loaded.table);
}

// A complete sliced run; fails the test on an error.
inline void runSliced(Engine& engine, const history::DrawTable& table, common::Game game, int lastRow) {
    ASSERT_EQ(engine.YosouSetUp(table, game, 1, lastRow), EngineError::None);
    ASSERT_EQ(engine.runToEnd(), EngineError::None);
}

inline std::string digits(const PredNum& n, int places) {
    std::string s;
    const int d[4] = {n.intNum1, n.intNum2, n.intNum3, n.intNum4};
    for (int i = 0; i < places; ++i)
        s.push_back(static_cast<char>('0' + d[i]));
    return s;
}

// The valid entries (0 .. count - 1) of a list as digit strings.
inline std::vector<std::string> entries(const CountedList<PredNum>& list, int places) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(list.count));
    for (int k = 0; k < list.count; ++k)
        out.push_back(digits(list[k], places));
    return out;
}

} // namespace tw::engine::test
