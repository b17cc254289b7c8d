#include "printing/print_data.h"

#include "common/number_format.h"

#include <algorithm>
#include <limits>

namespace tw::printing {

char printTypeOfOption(int optionIndex) {
    switch (optionIndex) {
    case 0:
        return 'S';
    case 1:
        return 'B';
    case 2:
        return 'C';
    default:
        return 'M';
    }
}

int GetTypeCode(char printType) {
    switch (printType) {
    case 'S':
        return 1;
    case 'B':
        return 3;
    case 'C':
        return 5;
    case 'M':
        return 7;
    default:
        return 9;
    }
}

std::vector<int> listsForType(bool numbers3, char printType) {
    if (!numbers3)
        return {0, 1, 2, 3};
    if (printType == 'M')
        return {2, 3};
    return {0, 1, 3};
}

void CollectPrtList(std::vector<std::string>& strPrtData, char printType, const PickList& list) {
    const bool wantMini = printType == 'M';
    for (const PickItem& item : list) {
        const bool isMini = !item.text.empty() && item.text.front() == '*';
        if (item.selected && isMini == wantMini)
            strPrtData.push_back(item.text);
    }
}

PrintData CollectPrtData(bool numbers3, char printType, const PickLists& lists) {
    PrintData data;
    for (int n : listsForType(numbers3, printType))
        CollectPrtList(data.strPrtData, printType, lists[static_cast<std::size_t>(n)]);
    if (data.strPrtData.size() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
        data.strPrtData.clear();
        data.tooMany = true;
    }
    return data;
}

std::string noPrintDataMessage(char printType) {
    const char* label = "【ミニ】";
    switch (printType) {
    case 'S':
        label = "【ストレート】";
        break;
    case 'B':
        label = "【ボックス】";
        break;
    case 'C':
        label = "【セット】";
        break;
    default:
        break;
    }
    // Five ASCII spaces lead the first line; its inner gaps are ideographic spaces.
    return std::string("     ＜＜＜　印刷データなし　＞＞＞\r\r") + label +
           "選出のデータがありません。\r\r※画面右側の【印刷種別選択】を確認してください。\r\r";
}

StartPrintPlan planStartPrint(bool numbers3, int optionIndex, const PickLists& lists) {
    StartPrintPlan plan;
    plan.printType = printTypeOfOption(optionIndex);
    plan.data = CollectPrtData(numbers3, plan.printType, lists);
    if (plan.data.strPrtData.empty() && !plan.data.tooMany)
        plan.message = noPrintDataMessage(plan.printType);
    return plan;
}

std::optional<std::string> GetPrtCredit(const std::array<int32_t, 4>& intPrtSelectCnt) {
    int64_t picks = 0;
    for (int32_t n : intPrtSelectCnt)
        picks += n;
    int32_t amount = 0;
    if (!common::priceOf(picks, amount))
        return std::nullopt;
    return common::formatNumber(int64_t{amount}, common::kYen7);
}

namespace {

PickList numbersOf(const engine::CountedList<engine::PredNum>& group, bool fourDigits) {
    PickList list;
    const int count = std::min<int>(group.count, static_cast<int>(group.items.size()));
    for (int i = 0; i < count; ++i) {
        const engine::PredNum& n = group[i];
        std::string text = std::to_string(n.intNum1) + std::to_string(n.intNum2) + std::to_string(n.intNum3);
        int32_t value = (n.intNum1 * 10 + n.intNum2) * 10 + n.intNum3;
        if (fourDigits) {
            text += std::to_string(n.intNum4);
            value = value * 10 + n.intNum4;
        }
        list.push_back({text, value, false});
    }
    return list;
}

} // namespace

PickList groupPickList(bool numbers3, int listIndex, const engine::Proposal& proposal) {
    switch (listIndex) {
    case 0:
        return numbersOf(proposal.grp1, !numbers3);
    case 1:
        return numbersOf(proposal.grp2, !numbers3);
    case 2:
        break;
    default:
        return {};
    }
    if (!numbers3)
        return numbersOf(proposal.grp3, true);
    // Mini candidates keep the tens digit in intNum1 and the units in intNum2.
    PickList list;
    const int count = std::min<int>(proposal.mini.count, static_cast<int>(proposal.mini.items.size()));
    for (int i = 0; i < count; ++i) {
        const engine::PredNum& n = proposal.mini[i];
        list.push_back({"*" + std::to_string(n.intNum1) + std::to_string(n.intNum2), n.intNum1 * 10 + n.intNum2, false});
    }
    return list;
}

PickList userPickList(bool numbers3, const selection::ItemList& lstChgSelect, const selection::ItemList& lstChgMini) {
    PickList list;
    for (const selection::ListItem& item : lstChgSelect)
        list.push_back({common::formatNumber(int64_t{item.itemData}, numbers3 ? "000" : "0000"), item.itemData, false});
    if (numbers3) {
        for (const selection::ListItem& item : lstChgMini)
            list.push_back({"*" + common::formatNumber(int64_t{item.itemData}, "00"), item.itemData, false});
    }
    return list;
}

} // namespace tw::printing
