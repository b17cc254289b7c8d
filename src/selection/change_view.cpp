#include "selection/change_view.h"

#include "common/number_format.h"
#include "common/rounding.h"

#include <algorithm>

namespace tw::selection {

namespace {

// Distinct group values of the table in order, at most AllGrpValueCount of them.
std::vector<int32_t> distinctValues(const engine::Proposal& proposal) {
    std::vector<int32_t> values;
    const int count = std::min<int>(proposal.AllGrpCount, static_cast<int>(proposal.AllGrpNums.size()));
    for (int i = 0; i < count; ++i) {
        const int32_t v = proposal.AllGrpNums[static_cast<std::size_t>(i)].lngGrpValue;
        if (values.empty() || v != values.back()) {
            if (static_cast<int>(values.size()) >= proposal.AllGrpValueCount)
                break;
            values.push_back(v);
        }
    }
    return values;
}

} // namespace

std::vector<std::string> allGroupRowTexts(const engine::Proposal& proposal) {
    std::vector<std::string> rows(static_cast<std::size_t>(std::max<int>(proposal.AllGrpValueCount, 0)));
    const std::vector<int32_t> values = distinctValues(proposal);
    for (std::size_t r = 0; r < values.size(); ++r)
        rows[r] = common::formatNumber(static_cast<double>(values[r]) / 1000.0, "##0.000");
    return rows;
}

std::vector<RowMark> allGroupKeyMarks(const engine::Proposal& proposal, double dblAvgGrpValue) {
    const int64_t key = common::roundHalfEven(dblAvgGrpValue * 1000.0);
    const std::vector<int32_t> values = distinctValues(proposal);
    for (std::size_t r = 0; r < values.size(); ++r) {
        if (values[r] < key)
            continue;
        const int row = static_cast<int>(r);
        if (values[r] == key)
            return {{row, kColourRed, kColourYellow}};
        if (row == 0)
            return {{0, kColourBlue, kColourYellow}};
        return {{row - 1, kColourBlue, kColourYellow}, {row, kColourBlue, kColourYellow}};
    }
    return {};
}

std::vector<std::vector<std::string>> pointTableCells(common::Game game, const engine::Ranking& ranking) {
    const int positions = common::digitCount(game);
    std::vector<std::vector<std::string>> cells(11, std::vector<std::string>(static_cast<std::size_t>(positions * 2)));
    for (int p = 1; p <= positions; ++p) {
        std::string heading(static_cast<std::size_t>(positions), 'x');
        heading[static_cast<std::size_t>(p - 1)] = 'N';
        const auto digitCol = static_cast<std::size_t>(p - 1) * 2;
        cells[0][digitCol] = heading;
        cells[0][digitCol + 1] = "Pt.";
        for (int n = 1; n <= 10; ++n) {
            const engine::DigitPoint& dp = ranking.at(n - 1, p);
            cells[static_cast<std::size_t>(n)][digitCol] = std::to_string(dp.intDigit);
            cells[static_cast<std::size_t>(n)][digitCol + 1] = std::to_string(dp.intPoint);
        }
    }
    return cells;
}

std::vector<int> pointTableColumnWidths(common::Game game, int gridWidth) {
    const int columns = common::digitCount(game) * 2;
    const double units = columns / 2.0 * 5.0;
    const int u = static_cast<int>(common::roundHalfEven(gridWidth / units)) - 5;
    std::vector<int> widths;
    widths.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        widths.push_back(c % 2 == 0 ? 3 * u : 2 * u);
    return widths;
}

std::optional<int32_t> amountOf(int64_t count) {
    int32_t amount = 0;
    if (!common::priceOf(count, amount))
        return std::nullopt;
    return amount;
}

std::string countText(int64_t count) {
    return common::formatNumber(count, "#,##0");
}

std::optional<std::string> amountText(int64_t count) {
    const std::optional<int32_t> amount = amountOf(count);
    if (!amount)
        return std::nullopt;
    return common::formatNumber(int64_t{*amount}, common::kYen8);
}

} // namespace tw::selection
