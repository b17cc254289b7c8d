#include "printing/mark_sheet.h"

#include "common/rounding.h"
#include "printing/print_data.h"

#include <algorithm>

namespace tw::printing {

namespace {
constexpr double kBlockTop[kBlocksPerSheet] = {2183.45, 3374.15, 4564.85, 5755.55, 6946.25};
constexpr double kColumnPitch = 351.725;
constexpr double kRowPitch3 = 198.95;
constexpr double kRowPitch4 = 206.0375;
constexpr double kTwipsPerMm = 1440.0 / 25.4;

int rounded(double v) {
    return static_cast<int>(common::roundHalfEven(v));
}
} // namespace

double dblBlockTop(int block) {
    if (block < 1 || block > kBlocksPerSheet)
        return 0;
    return kBlockTop[block - 1];
}

int twipsFromTenthsMm(int tenths) {
    const int clamped = std::clamp(tenths, -kMaxOffsetTenthsMm, kMaxOffsetTenthsMm);
    return std::clamp(rounded(clamped * kTwipsPerMm / 10.0), -kMaxOffsetTwips, kMaxOffsetTwips);
}

SheetOffset clampOffset(SheetOffset offset) {
    return {std::clamp(offset.x, -kMaxOffsetTwips, kMaxOffsetTwips),
            std::clamp(offset.y, -kMaxOffsetTwips, kMaxOffsetTwips)};
}

int GetMarkLeft(int value) {
    return rounded((9 - value) * kColumnPitch);
}

int GetMarkTop(common::Game game, int block, int row) {
    return rounded(dblBlockTop(block)) +
           rounded((row - 1) * (game == common::Game::Numbers3 ? kRowPitch3 : kRowPitch4));
}

std::vector<MarkRect> PrintEntry(common::Game game, int block, const common::LotteryNumber& entry,
                                 common::BetType printType, SheetOffset offset) {
    const SheetOffset o = clampOffset(offset);
    std::vector<MarkRect> marks;
    marks.reserve(static_cast<std::size_t>(entry.size()) + 1); // the digits and the bet type
    // A Mini pair is the last two places of a NUMBERS3 number: rows 2 and 3.
    const int firstRow = entry.isMini() ? 2 : 1;
    for (int i = 0; i < entry.size(); ++i)
        marks.push_back({GetMarkLeft(entry.digit(i)) + o.x, GetMarkTop(game, block, firstRow + i) + o.y});
    const int typeRow = common::digitCount(game) + 1;
    marks.push_back({GetMarkLeft(GetTypeCode(printType)) + o.x, GetMarkTop(game, block, typeRow) + o.y});
    return marks;
}

std::vector<MarkRect> sheetMarkAreas(common::Game game, SheetOffset offset) {
    const SheetOffset o = clampOffset(offset);
    const int rows = common::digitCount(game) + 1;
    std::vector<MarkRect> areas;
    for (int block = 1; block <= kBlocksPerSheet; ++block)
        for (int row = 1; row <= rows; ++row)
            for (int value = 9; value >= 0; --value)
                areas.push_back({GetMarkLeft(value) + o.x, GetMarkTop(game, block, row) + o.y});
    return areas;
}

} // namespace tw::printing
