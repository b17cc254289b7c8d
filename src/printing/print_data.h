// Which bets go to the printer: the four pick lists of the print panel, the bet
// type chosen, the list of entry texts collected from them, the budget of the
// picks, and the message shown when nothing of the chosen type was picked.
// Plain values in and out, so the print panel stays a thin view. No Qt.
#pragma once

#include "engine/engine_types.h"
#include "printing/mark_sheet.h"
#include "selection/selection_model.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw::printing {

// One pick-list item: "012", "0123" or, for a Mini bet, "*23".
struct PickItem {
    std::string text;
    int32_t itemData = 0;
    bool selected = false;
    bool operator==(const PickItem&) const = default;
};
using PickList = std::vector<PickItem>;
using PickLists = std::array<PickList, 4>;   // Group1, Group2, Group3 or Mini, the user's selection

// Print type letters: 'S' Straight, 'B' Box, 'C' Set, 'M' Mini.
char printTypeOfOption(int optionIndex);   // 0 S, 1 B, 2 C, anything else M
int GetTypeCode(char printType);           // S 1, B 3, C 5, M 7, other 9

// The lists a print type reads, in order.
std::vector<int> listsForType(bool numbers3, char printType);

// Appends the picked items of one list: for Mini the "*" items, for the other
// types the rest.
void CollectPrtList(std::vector<std::string>& strPrtData, char printType, const PickList& list);

struct PrintData {
    std::vector<std::string> strPrtData;
    bool tooMany = false;   // more entries than a 16-bit count holds; nothing is kept then
    int intPrtDataCnt() const { return static_cast<int>(strPrtData.size()); }
};
PrintData CollectPrtData(bool numbers3, char printType, const PickLists& lists);

// The message box for a print type with nothing picked (lines broken by CR).
std::string noPrintDataMessage(char printType);
inline constexpr const char* kNoPrintDataTitle = "【印刷選出エラー】";

// What the start button leads to: the dialog with these entries, or the message.
struct StartPrintPlan {
    char printType = 'S';
    PrintData data;
    std::optional<std::string> message;   // set when there is nothing to print
};
StartPrintPlan planStartPrint(bool numbers3, int optionIndex, const PickLists& lists);

// The budget label: the picked counts of the four lists x 200, "\#,###,##0";
// nothing when the amount does not fit in 32 bits.
std::optional<std::string> GetPrtCredit(const std::array<int32_t, 4>& intPrtSelectCnt);

// The pick lists as the print panel fills them: list 0 Group1, 1 Group2, 2 Group3
// (Numbers4) or the Mini candidates (Numbers3) from the proposal; the user list
// from the change panel's selection and Mini lists. Nothing is picked yet.
PickList groupPickList(bool numbers3, int listIndex, const engine::Proposal& proposal);
PickList userPickList(bool numbers3, const selection::ItemList& lstChgSelect, const selection::ItemList& lstChgMini);

} // namespace tw::printing
