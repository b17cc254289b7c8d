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

int rounded(double v) { return static_cast<int>(common::roundHalfEven(v)); }
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

int GetMarkLeft(int value) { return rounded((9 - value) * kColumnPitch); }

int GetMarkTop(bool numbers3, int block, int row) {
    return rounded(dblBlockTop(block)) + rounded((row - 1) * (numbers3 ? kRowPitch3 : kRowPitch4));
}

std::vector<MarkRect> PrintEntry(bool numbers3, int block, std::string_view entry, char printType,
                                 SheetOffset offset) {
    const SheetOffset o = clampOffset(offset);
    std::vector<MarkRect> marks;
    auto mark = [&](char digit, int row) {
        if (digit >= '0' && digit <= '9')
            marks.push_back({GetMarkLeft(digit - '0') + o.x, GetMarkTop(numbers3, block, row) + o.y});
    };
    const std::size_t digits = numbers3 ? 3 : 4;
    if (printType == 'M') {
        // "*" then the tens and units digit.
        for (std::size_t i = 1; i <= 2 && i < entry.size(); ++i)
            mark(entry[i], static_cast<int>(i) + 1);
    } else {
        for (std::size_t i = 0; i < digits && i < entry.size(); ++i)
            mark(entry[i], static_cast<int>(i) + 1);
    }
    const int typeRow = numbers3 ? 4 : 5;
    marks.push_back({GetMarkLeft(GetTypeCode(printType)) + o.x, GetMarkTop(numbers3, block, typeRow) + o.y});
    return marks;
}

std::vector<MarkRect> sheetMarkAreas(bool numbers3, SheetOffset offset) {
    const SheetOffset o = clampOffset(offset);
    const int rows = numbers3 ? 4 : 5;
    std::vector<MarkRect> areas;
    for (int block = 1; block <= kBlocksPerSheet; ++block)
        for (int row = 1; row <= rows; ++row)
            for (int value = 9; value >= 0; --value)
                areas.push_back({GetMarkLeft(value) + o.x, GetMarkTop(numbers3, block, row) + o.y});
    return areas;
}

} // namespace tw::printing
