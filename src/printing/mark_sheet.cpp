#include "printing/mark_sheet.h"

#include "common/rounding.h"
#include "printing/print_data.h"

namespace tw::printing {

namespace {
constexpr double kBlockTop[kBlocksPerSheet] = {2183.45, 3374.15, 4564.85, 5755.55, 6946.25};
constexpr double kColumnPitch = 351.725;
constexpr double kRowPitch3 = 198.95;
constexpr double kRowPitch4 = 206.0375;

int rounded(double v) { return static_cast<int>(common::roundHalfEven(v)); }
} // namespace

double dblBlockTop(int block) {
    if (block < 1 || block > kBlocksPerSheet)
        return 0;
    return kBlockTop[block - 1];
}

int GetMarkLeft(int value) { return rounded((9 - value) * kColumnPitch); }

int GetMarkTop(common::Game game, int block, int row) {
    return rounded(dblBlockTop(block)) +
           rounded((row - 1) * (game == common::Game::Numbers3 ? kRowPitch3 : kRowPitch4));
}

std::vector<MarkRect> PrintEntry(common::Game game, int block, const common::LotteryNumber& entry,
                                 common::BetType printType) {
    std::vector<MarkRect> marks;
    // A Mini pair is the last two places of a NUMBERS3 number: rows 2 and 3.
    const int firstRow = entry.isMini() ? 2 : 1;
    for (int i = 0; i < entry.size(); ++i)
        marks.push_back({GetMarkLeft(entry.digit(i)), GetMarkTop(game, block, firstRow + i)});
    const int typeRow = common::digitCount(game) + 1;
    marks.push_back({GetMarkLeft(GetTypeCode(printType)), GetMarkTop(game, block, typeRow)});
    return marks;
}

} // namespace tw::printing
