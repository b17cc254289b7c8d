#include "printing/print_data.h"

#include "support/entry_numbers.h"
#include "support/proposal_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::printing;
using tw::common::BetType;
using tw::common::Game;
using tw::testing::entryNumber;
using tw::testing::entryTexts;

PickList picks(Game game, std::initializer_list<std::pair<const char*, bool>> items) {
    PickList list;
    for (const auto& [text, selected] : items)
        list.push_back({entryNumber(game, text), selected});
    return list;
}
PickList picks(std::initializer_list<std::pair<const char*, bool>> items) {
    return picks(Game::Numbers3, items);
}

// Numbers3 lists: Group1, Group2, the Mini candidates, the user's selection.
PickLists numbers3Lists() {
    return {picks({{"012", true}, {"123", false}, {"905", true}}), picks({{"456", true}}),
            picks({{"*23", true}, {"*07", false}}), picks({{"012", true}, {"777", false}, {"*45", true}})};
}

TEST(PrintData, ListsAndItemsPerType) {
    struct Case {
        Game game;
        BetType type;
        std::vector<std::string> entries;
    };
    const Game g4 = Game::Numbers4;
    const PickLists n4 = {picks(g4, {{"0123", true}}), picks(g4, {{"4567", true}}), picks(g4, {{"0456", true}}),
                          picks(g4, {{"9999", false}, {"0123", true}})};
    const Case cases[] = {
        // The same number picked in Group1 and in the user list is printed twice.
        {Game::Numbers3, BetType::Straight, {"012", "905", "456", "012"}},
        {Game::Numbers3, BetType::Box, {"012", "905", "456", "012"}},
        {Game::Numbers3, BetType::Set, {"012", "905", "456", "012"}},
        {Game::Numbers3, BetType::Mini, {"*23", "*45"}},
        {Game::Numbers4, BetType::Straight, {"0123", "4567", "0456", "0123"}},
        {Game::Numbers4, BetType::Box, {"0123", "4567", "0456", "0123"}},
    };
    for (const auto& c : cases) {
        const PrintData data = CollectPrtData(c.game, c.type, c.game == Game::Numbers3 ? numbers3Lists() : n4);
        EXPECT_EQ(entryTexts(data.strPrtData), c.entries) << tw::common::betName(c.type);
        EXPECT_EQ(data.intPrtDataCnt(), static_cast<int>(c.entries.size()));
        for (const auto& n : data.strPrtData)
            EXPECT_EQ(n.game(), c.game);
        EXPECT_FALSE(data.tooMany);
    }
}

TEST(PrintData, NothingPickedOfTheChosenType) {
    const std::string body = "選出のデータがありません。\r\r※画面右側の【印刷種別選択】を確認してください。\r\r";
    const std::string head = "     ＜＜＜\u3000印刷データなし\u3000＞＞＞\r\r";
    struct Case {
        int option;
        const char* label;
    };
    const Case cases[] = {{0, "【ストレート】"}, {1, "【ボックス】"}, {2, "【セット】"}, {3, "【ミニ】"}};
    // Only numbers picked: Mini finds nothing; with nothing picked at all, every type finds nothing.
    const PickLists numbersOnly = {picks({{"012", true}}), {}, picks({{"*23", false}}), picks({{"345", true}})};
    const PickLists none = {};
    for (const auto& c : cases) {
        const StartPrintPlan plan = planStartPrint(Game::Numbers3, c.option, none);
        ASSERT_TRUE(plan.message.has_value()) << c.option;
        EXPECT_EQ(*plan.message, head + c.label + body);
        EXPECT_TRUE(plan.data.strPrtData.empty());
    }
    const StartPrintPlan mini = planStartPrint(Game::Numbers3, 3, numbersOnly);
    ASSERT_TRUE(mini.message.has_value());
    EXPECT_NE(mini.message->find("【ミニ】選出のデータがありません。"), std::string::npos);
    EXPECT_EQ(mini.message->substr(0, 6), "     \xEF"); // five ASCII spaces, then a full-width character
    EXPECT_STREQ(kNoPrintDataTitle, "【印刷選出エラー】");

    const StartPrintPlan straight = planStartPrint(Game::Numbers3, 0, numbersOnly);
    EXPECT_FALSE(straight.message.has_value());
    EXPECT_EQ(straight.printType, BetType::Straight);
    EXPECT_EQ(entryTexts(straight.data.strPrtData), (std::vector<std::string>{"012", "345"}));
}

TEST(PrintData, MoreEntriesThanASixteenBitCount) {
    PickLists lists;
    lists[3] = PickList(32768, PickItem{entryNumber(Game::Numbers3, "012"), true});
    const StartPrintPlan plan = planStartPrint(Game::Numbers3, 0, lists);
    EXPECT_TRUE(plan.data.tooMany);
    EXPECT_TRUE(plan.data.strPrtData.empty());
    EXPECT_FALSE(plan.message.has_value());
    lists[3].pop_back();
    EXPECT_EQ(CollectPrtData(Game::Numbers3, BetType::Straight, lists).intPrtDataCnt(), 32767);
}

TEST(PrintData, Budget) {
    struct Case {
        std::array<int32_t, 4> counts;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {{3, 0, 0, 2}, "\\1,000"},           {{0, 0, 0, 0}, "\\0"},
        {{5000, 0, 1, 0}, "\\1,000,200"},    {{10737418, 0, 0, 0}, "\\2,147,483,600"},
        {{10737418, 1, 0, 0}, std::nullopt}, // 2,147,483,800 does not fit in 32 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetPrtCredit(c.counts), c.text) << c.counts[0];
}

std::vector<std::string> texts(const PickList& list) {
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(i.text());
    return out;
}
std::vector<int32_t> data(const PickList& list) {
    std::vector<int32_t> out;
    for (const auto& i : list)
        out.push_back(i.itemData());
    return out;
}

TEST(PrintData, PanelListsFromTheProposalAndTheSelection) {
    const auto p3 = tw::testing::numbers3Proposal();
    const auto p4 = tw::testing::numbers4Proposal();
    struct Case {
        Game game;
        int list;
        std::vector<std::string> texts;
        std::vector<int32_t> data;
    };
    const Case cases[] = {
        {Game::Numbers3, 0, {"012", "123", "905"}, {12, 123, 905}},
        {Game::Numbers3, 1, {"312", "456"}, {312, 456}},
        {Game::Numbers3, 2, {"*23", "*07"}, {23, 7}},
        {Game::Numbers4, 0, {"0123", "9876"}, {123, 9876}},
        {Game::Numbers4, 2, {"0456", "1001"}, {456, 1001}},
    };
    for (const auto& c : cases) {
        const PickList list = groupPickList(c.game, c.list, c.game == Game::Numbers3 ? p3 : p4);
        EXPECT_EQ(texts(list), c.texts) << tw::common::gameName(c.game) << " " << c.list;
        EXPECT_EQ(data(list), c.data) << tw::common::gameName(c.game) << " " << c.list;
        for (const auto& item : list)
            EXPECT_FALSE(item.selected);
    }

    const tw::selection::ItemList select = {{"012(予測Grp1)", 12}, {"345(10.500)", 345}};
    const tw::selection::ItemList mini = {{"07", 7}, {"45", 45}};
    EXPECT_EQ(texts(userPickList(Game::Numbers3, select, mini)),
              (std::vector<std::string>{"012", "345", "*07", "*45"}));
    EXPECT_EQ(data(userPickList(Game::Numbers3, select, mini)), (std::vector<int32_t>{12, 345, 7, 45}));
    const tw::selection::ItemList select4 = {{"0456(予測Grp3)", 456}};
    EXPECT_EQ(texts(userPickList(Game::Numbers4, select4, {})), std::vector<std::string>{"0456"});
}

} // namespace
