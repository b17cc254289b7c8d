// Which bets go to the printer: the four pick lists of the print panel, the bet
// type chosen, the list of entry texts collected from them, the budget of the
// picks, and the message shown when nothing of the chosen type was picked.
// Plain values in and out, so the print panel stays a thin view. No Qt.
#pragma once

#include "common/lottery.h"
#include "engine/engine_types.h"
#include "printing/mark_sheet.h"
#include "selection/selection_model.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw::printing {

// One pick-list item: a number of the game or, for a Mini bet, a Mini pair.
// The list shows its text ("012", "0123", "*23") and keeps its value as item data.
struct PickItem {
    common::LotteryNumber number;
    bool selected = false;
    std::string text() const { return number.text(); }
    int32_t itemData() const { return number.value(); }
    bool operator==(const PickItem&) const = default;
};
using PickList = std::vector<PickItem>;
using PickLists = std::array<PickList, 4>; // Group1, Group2, Group3 or Mini, the user's selection

// The bet type of the print options: 0 Straight, 1 Box, 2 Set, anything else Mini.
common::BetType printTypeOfOption(int optionIndex);
// The value marked in the sheet's bet-type row: Straight 1, Box 3, Set 5, Mini 7.
int GetTypeCode(common::BetType printType);

// The lists a print type reads, in order.
std::vector<int> listsForType(common::Game game, common::BetType printType);

// Appends the picked items of one list: for Mini the Mini pairs, for the other
// types the full numbers.
void CollectPrtList(std::vector<common::LotteryNumber>& strPrtData, common::BetType printType, const PickList& list);

struct PrintData {
    std::vector<common::LotteryNumber> strPrtData; // the bets to print, in print order
    bool tooMany = false;                          // more entries than a 16-bit count holds; nothing is kept then
    int intPrtDataCnt() const { return static_cast<int>(strPrtData.size()); }
};
PrintData CollectPrtData(common::Game game, common::BetType printType, const PickLists& lists);

// The message box for a print type with nothing picked (lines broken by CR).
std::string noPrintDataMessage(common::BetType printType);
inline constexpr const char* kNoPrintDataTitle = "【印刷選出エラー】";

// What the start button leads to: the dialog with these entries, or the message.
struct StartPrintPlan {
    common::BetType printType = common::BetType::Straight;
    PrintData data;
    std::optional<std::string> message; // set when there is nothing to print
};
StartPrintPlan planStartPrint(common::Game game, int optionIndex, const PickLists& lists);

// The budget label: the picked counts of the four lists x 200, "\#,###,##0";
// nothing when the amount does not fit in 32 bits.
std::optional<std::string> GetPrtCredit(const std::array<int32_t, 4>& intPrtSelectCnt);

// The pick lists as the print panel fills them: list 0 Group1, 1 Group2, 2 Group3
// (Numbers4) or the Mini candidates (Numbers3) from the proposal; the user list
// from the change panel's selection and Mini lists. Nothing is picked yet.
PickList groupPickList(common::Game game, int listIndex, const engine::Proposal& proposal);
PickList userPickList(common::Game game, const selection::ItemList& lstChgSelect,
                      const selection::ItemList& lstChgMini);

} // namespace tw::printing
