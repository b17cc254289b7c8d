// The draw record and the per-game draw tables.
//
// A table holds one record per drawn round of one game; the record of round n
// is in slot n, slot 0 is never used. Owns no files and knows nothing of Qt:
// loading and saving live in table_file.h; a table only remembers the stamp of
// its file's bytes, so that a save can tell whether the file changed on disk.
#pragma once

#include "common/lottery.h"
#include "history/file_stamp.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw::history {

// One drawn round of one game.
struct NumData {
    int32_t lngRound = 0;
    double dteDraw = 0;              // days since 1899-12-30, fraction = time of day
    std::array<uint8_t, 5> bytNum{}; // places 1..4 (index 0 unused); Numbers3 uses 1..3
    int32_t lngStraight = 0;
    int32_t lngBox = 0;
    int32_t lngSetStraight = 0;
    int32_t lngSetBox = 0;
    int32_t lngMini = 0;     // Numbers3 only
    bool blnUnsaved = false; // stored by the entry dialog, not yet in the table file

    bool operator==(const NumData&) const = default;
};

// The draw history of one game. `count` is the highest round held; slots
// 1..count are drawn rounds, slots beyond are spare and all zero.
struct DrawTable {
    std::vector<NumData> records; // slot n = round n
    int16_t count = 0;
    int16_t savedCount = 0; // rounds the table file holds (set by loading and saving)
    FileStamp fileStamp;    // the file's bytes as loaded and since saved by this program

    // Largest number of rounds a table may hold: count + 10 spare slots must fit in 16 bits.
    static constexpr int kMaxRounds = 32757;

    bool isDrawn(int round) const { return round >= 1 && round <= count; }

    // The record of a round; a round beyond the slots reads as an all-zero record.
    const NumData& record(int round) const {
        static const NumData kEmpty{};
        return round >= 0 && static_cast<std::size_t>(round) < records.size() ? records[static_cast<std::size_t>(round)]
                                                                              : kEmpty;
    }

    // Writes a record into slot `round` (1..count+1), marking it unsaved and raising
    // the count when the round is new. The table grows as needed. Returns false for a
    // round outside 1..count+1 or beyond kMaxRounds.
    bool store(int round, NumData rec) {
        if (round < 1 || round > count + 1 || round > kMaxRounds)
            return false;
        if (static_cast<std::size_t>(round) + 10 >= records.size())
            records.resize(static_cast<std::size_t>(round) + 11);
        rec.lngRound = round;
        rec.blnUnsaved = true;
        records[static_cast<std::size_t>(round)] = rec;
        if (round > count)
            count = static_cast<int16_t>(round);
        return true;
    }
};

// Both games' tables, as the program holds them for the whole run.
struct DrawHistory {
    DrawTable num3;
    DrawTable num4;

    DrawTable& table(common::Game game) { return game == common::Game::Numbers4 ? num4 : num3; }
    const DrawTable& table(common::Game game) const { return game == common::Game::Numbers4 ? num4 : num3; }
};

} // namespace tw::history
