#include "history_fixture.h"

namespace tw::history::test {

NumData fixtureRecord(common::Game game, int round) {
    NumData rec;
    rec.lngRound = round;
    rec.dteDraw = 36526.0 + round; // one draw a day from 2000/01/01
    rec.bytNum[1] = static_cast<uint8_t>(round % 10);
    rec.bytNum[2] = static_cast<uint8_t>(round / 10 % 10);
    rec.bytNum[3] = static_cast<uint8_t>(round / 100 % 10);
    if (game == common::Game::Numbers4)
        rec.bytNum[4] = static_cast<uint8_t>(round / 1000 % 10);
    // The games differ in their amounts, so a test sees which table a value came from.
    const int32_t base = game == common::Game::Numbers4 ? 800000 : 0;
    rec.lngStraight = base + 100000 + round;
    rec.lngBox = base + 20000 + round;
    rec.lngSetStraight = base + 50000 + round;
    rec.lngSetBox = base + 10000 + round;
    rec.lngMini = game == common::Game::Numbers3 ? 9000 + round : 0;
    return rec;
}

namespace {
DrawTable fixtureTable(common::Game game, int count) {
    DrawTable table;
    table.records.resize(static_cast<std::size_t>(count) + 11);
    for (int r = 1; r <= count; ++r)
        table.records[static_cast<std::size_t>(r)] = fixtureRecord(game, r);
    table.count = static_cast<int16_t>(count);
    table.savedCount = table.count;
    return table;
}
} // namespace

DrawHistory fixtureHistory(int count3, int count4) {
    return {fixtureTable(common::Game::Numbers3, count3), fixtureTable(common::Game::Numbers4, count4)};
}

} // namespace tw::history::test
