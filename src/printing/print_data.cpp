#include "printing/print_data.h"

#include "common/number_format.h"

#include <algorithm>
#include <limits>

namespace tw::printing {

common::BetType printTypeOfOption(int optionIndex) {
    switch (optionIndex) {
    case 0:
        return common::BetType::Straight;
    case 1:
        return common::BetType::Box;
    case 2:
        return common::BetType::Set;
    default:
        return common::BetType::Mini;
    }
}

int GetTypeCode(common::BetType printType) {
    switch (printType) {
    case common::BetType::Straight:
        return 1;
    case common::BetType::Box:
        return 3;
    case common::BetType::Set:
        return 5;
    case common::BetType::Mini:
        return 7;
    }
    return 9;
}

std::vector<int> listsForType(common::Game game, common::BetType printType) {
    if (game == common::Game::Numbers4)
        return {0, 1, 2, 3};
    if (printType == common::BetType::Mini)
        return {2, 3};
    return {0, 1, 3};
}

void CollectPrtList(std::vector<common::LotteryNumber>& strPrtData, common::BetType printType, const PickList& list) {
    const bool wantMini = printType == common::BetType::Mini;
    for (const PickItem& item : list) {
        if (item.selected && item.number.isMini() == wantMini)
            strPrtData.push_back(item.number);
    }
}

PrintData CollectPrtData(common::Game game, common::BetType printType, const PickLists& lists) {
    PrintData data;
    for (int n : listsForType(game, printType))
        CollectPrtList(data.strPrtData, printType, lists[static_cast<std::size_t>(n)]);
    if (data.strPrtData.size() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
        data.strPrtData.clear();
        data.tooMany = true;
    }
    return data;
}

std::string noPrintDataMessage(common::BetType printType) {
    const char* label = "【ミニ】";
    switch (printType) {
    case common::BetType::Straight:
        label = "【ストレート】";
        break;
    case common::BetType::Box:
        label = "【ボックス】";
        break;
    case common::BetType::Set:
        label = "【セット】";
        break;
    case common::BetType::Mini:
        break;
    }
    // Five ASCII spaces lead the first line; its inner gaps are ideographic spaces.
    return std::string("     ＜＜＜　印刷データなし　＞＞＞\r\r") + label +
           "選出のデータがありません。\r\r※画面右側の【印刷種別選択】を確認してください。\r\r";
}

StartPrintPlan planStartPrint(common::Game game, int optionIndex, const PickLists& lists) {
    StartPrintPlan plan;
    plan.printType = printTypeOfOption(optionIndex);
    plan.data = CollectPrtData(game, plan.printType, lists);
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

PickList numbersOf(const engine::CountedList<engine::PredNum>& group, common::Game game) {
    PickList list;
    const int count = std::min<int>(group.count, static_cast<int>(group.items.size()));
    for (int i = 0; i < count; ++i)
        list.push_back({engine::numberOf(game, group[i]), false});
    return list;
}

} // namespace

PickList groupPickList(common::Game game, int listIndex, const engine::Proposal& proposal) {
    switch (listIndex) {
    case 0:
        return numbersOf(proposal.grp1, game);
    case 1:
        return numbersOf(proposal.grp2, game);
    case 2:
        break;
    default:
        return {};
    }
    if (game == common::Game::Numbers4)
        return numbersOf(proposal.grp3, game);
    PickList list;
    const int count = std::min<int>(proposal.mini.count, static_cast<int>(proposal.mini.items.size()));
    for (int i = 0; i < count; ++i)
        list.push_back({engine::miniNumberOf(proposal.mini[i]), false});
    return list;
}

PickList userPickList(common::Game game, const selection::ItemList& lstChgSelect,
                      const selection::ItemList& lstChgMini) {
    PickList list;
    for (const selection::ListItem& item : lstChgSelect)
        list.push_back({common::LotteryNumber::ofValue(game, item.itemData), false});
    if (game == common::Game::Numbers3) {
        for (const selection::ListItem& item : lstChgMini)
            list.push_back({common::LotteryNumber::mini(static_cast<uint8_t>(item.itemData / 10 % 10),
                                                        static_cast<uint8_t>(item.itemData % 10)),
                            false});
    }
    return list;
}

} // namespace tw::printing
