// Draw tables for the dialog tests, as the loader leaves them: rounds 1..count
// filled with values derived from the round number, unsaved flags clear, ten
// spare slots. Kept free of Qt headers because Qt's "slots" keyword macro
// collides with DrawTable's member of that name.
#pragma once

#include "history/num_data.h"

namespace tw::history::test {

// The record the fixture puts into slot `round` of the given game.
NumData fixtureRecord(common::Game game, int round);

DrawHistory fixtureHistory(int count3, int count4);

} // namespace tw::history::test
