#include "selection/selection_model.h"

#include "support/proposal_fixture.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using tw::selection::ItemList;
using tw::selection::ListId;
using tw::selection::SelectionModel;
using tw::selection::UserList;
using tw::testing::TempFolder;

const std::string kNum3File = "NUMBERS３ユーザー選出.dat";
const std::string kNum4File = "NUMBERS４ユーザー選出.dat";
const std::vector<std::string> kNum3Rows = {"10.500", "12.345", "15.000"};
const std::vector<std::string> kNum4Rows = {"8.250", "9.125"};

std::vector<std::string> texts(const ItemList& items) {
    std::vector<std::string> out;
    for (const auto& i : items)
        out.push_back(i.text);
    return out;
}

std::vector<int32_t> data(const ItemList& items) {
    std::vector<int32_t> out;
    for (const auto& i : items)
        out.push_back(i.itemData);
    return out;
}

void selectWhere(SelectionModel& m, ListId id, const std::vector<int32_t>& numbers) {
    const ItemList& items = m.list(id);
    for (std::size_t i = 0; i < items.size(); ++i)
        m.setSelected(id, i, std::find(numbers.begin(), numbers.end(), items[i].itemData) != numbers.end());
}

// Puts the given numbers of one source into the selection.
void addFromGroup(SelectionModel& m, bool numbers3, int group, const tw::engine::Proposal& p,
                  const std::vector<int32_t>& numbers) {
    ASSERT_TRUE(m.SetGrpNumsFromYosoku(tw::testing::gameOf(numbers3), group, p));
    selectWhere(m, ListId::GrpNums, numbers);
    m.AddToUserSelect();
}
void addFromGrid(SelectionModel& m, bool numbers3, const std::string& cell, const tw::engine::Proposal& p,
                 const std::vector<int32_t>& numbers) {
    m.SetGrpNumsFromGrid(tw::testing::gameOf(numbers3), cell, p);
    selectWhere(m, ListId::GrpNums, numbers);
    m.AddToUserSelect();
}

TEST(SelectionModel, CandidatesFromAPredictionGroup) {
    struct Case {
        bool numbers3;
        int answer;
        std::vector<std::string> texts;
        std::vector<int32_t> data;
        std::string tag;
    };
    const Case cases[] = {
        {true, 1, {"012", "123", "905"}, {12, 123, 905}, "(予測Grp1)"},
        {true, 2, {"312", "456"}, {312, 456}, "(予測Grp2)"},
        {false, 1, {"0123", "9876"}, {123, 9876}, "(予測Grp1)"},
        {false, 3, {"0456", "1001"}, {456, 1001}, "(予測Grp3)"},
    };
    for (const auto& c : cases) {
        SelectionModel m;
        const auto p = c.numbers3 ? tw::testing::numbers3Proposal() : tw::testing::numbers4Proposal();
        EXPECT_TRUE(m.SetGrpNumsFromYosoku(tw::testing::gameOf(c.numbers3), c.answer, p));
        EXPECT_EQ(texts(m.lstChgGrpNums()), c.texts) << c.answer;
        EXPECT_EQ(data(m.lstChgGrpNums()), c.data) << c.answer;
        EXPECT_EQ(m.strSelectTag(), c.tag);
    }
}

TEST(SelectionModel, ACancelledGroupAnswerChangesNothing) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    m.SetGrpNumsFromGrid(tw::common::Game::Numbers3, "12.345", p);
    m.setSelected(ListId::GrpNums, 1, true);
    const ItemList before = m.lstChgGrpNums();
    for (int answer : {0, -1, 4}) {
        EXPECT_FALSE(m.SetGrpNumsFromYosoku(tw::common::Game::Numbers3, answer, p)) << answer;
        EXPECT_EQ(m.lstChgGrpNums(), before) << answer;
        EXPECT_EQ(m.strSelectTag(), "(12.345)") << answer;
    }
}

TEST(SelectionModel, CandidatesFromAGridValue) {
    struct Case {
        bool numbers3;
        std::string cell;
        std::vector<std::string> texts;
        std::vector<int32_t> data;
    };
    const Case cases[] = {
        {true, "10.500", {"012", "345"}, {12, 345}},
        {true, "12.345", {"312", "678"}, {312, 678}},
        {true, "15.000", {"999"}, {999}},
        {true, "11.000", {}, {}}, // a value the table does not hold
        {true, "", {}, {}},
        {false, "8.250", {"0042", "7103"}, {42, 7103}},
        {false, "9.125", {"2222"}, {2222}},
    };
    for (const auto& c : cases) {
        const auto p = c.numbers3 ? tw::testing::numbers3Proposal() : tw::testing::numbers4Proposal();
        SelectionModel m;
        m.SetGrpNumsFromYosoku(tw::testing::gameOf(c.numbers3), 1, p); // an earlier list, to be replaced
        m.SetGrpNumsFromGrid(tw::testing::gameOf(c.numbers3), c.cell, p);
        EXPECT_EQ(texts(m.lstChgGrpNums()), c.texts) << c.cell;
        EXPECT_EQ(data(m.lstChgGrpNums()), c.data) << c.cell;
        EXPECT_EQ(m.strSelectTag(), "(" + c.cell + ")");
    }
}

TEST(SelectionModel, GridLookupStopsAtTheFirstLargerValue) {
    // The table is ascending by contract; an entry after a larger value is never reached.
    tw::engine::Proposal p;
    tw::testing::setAllGroup(p, {{10500, tw::testing::pred(0, 1, 2)},
                                 {12345, tw::testing::pred(3, 1, 2)},
                                 {10500, tw::testing::pred(7, 7, 7)}});
    SelectionModel m;
    m.SetGrpNumsFromGrid(tw::common::Game::Numbers3, "10.500", p);
    EXPECT_EQ(texts(m.lstChgGrpNums()), std::vector<std::string>{"012"});
}

TEST(SelectionModel, AddingKeepsTheTagANumberWasFirstAddedUnder) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12, 123});
    addFromGrid(m, true, "10.500", p, {12, 345});
    EXPECT_EQ(texts(m.lstChgSelect()), (std::vector<std::string>{"012(予測Grp1)", "123(予測Grp1)", "345(10.500)"}));
    EXPECT_EQ(m.lngUserSelect(), 3);
    // The candidates stay selected after adding.
    EXPECT_TRUE(m.lstChgGrpNums()[0].selected);
    EXPECT_TRUE(m.lstChgGrpNums()[1].selected);
}

TEST(SelectionModel, OnlySelectedCandidatesAreAdded) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    ASSERT_TRUE(m.SetGrpNumsFromYosoku(tw::common::Game::Numbers3, 1, p));
    m.AddToUserSelect();
    EXPECT_TRUE(m.lstChgSelect().empty());
    m.SelectAllList(ListId::GrpNums);
    m.ClearListSelect(ListId::GrpNums);
    m.setSelected(ListId::GrpNums, 2, true);
    m.AddToUserSelect();
    EXPECT_EQ(texts(m.lstChgSelect()), std::vector<std::string>{"905(予測Grp1)"});
    m.SelectAllList(ListId::GrpNums);
    m.AddToUserSelect();
    EXPECT_EQ(data(m.lstChgSelect()), (std::vector<int32_t>{905, 12, 123}));
    EXPECT_EQ(m.lngUserSelect(), 3);
}

TEST(SelectionModel, MiniEntriesAreUniqueOnTheirValue) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12});
    addFromGrid(m, true, "12.345", p, {312});
    ASSERT_EQ(texts(m.lstChgSelect()), (std::vector<std::string>{"012(予測Grp1)", "312(12.345)"}));
    m.AddAllToMini();
    EXPECT_EQ(texts(m.lstChgMini()), std::vector<std::string>{"12"});
    EXPECT_EQ(data(m.lstChgMini()), std::vector<int32_t>{12});
    EXPECT_EQ(m.lngUserSelect(), 3);
    m.AddAllToMini(); // again: nothing new
    EXPECT_EQ(m.lngUserSelect(), 3);
}

TEST(SelectionModel, MiniFromSelectedItemsOnly) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12, 123, 905});
    m.setSelected(ListId::Select, 1, true);
    m.setSelected(ListId::Select, 2, true);
    m.AddSelectToMini();
    EXPECT_EQ(texts(m.lstChgMini()), (std::vector<std::string>{"23", "05"}));
    EXPECT_EQ(data(m.lstChgMini()), (std::vector<int32_t>{23, 5}));
    EXPECT_EQ(m.lngUserSelect(), 5);
}

TEST(SelectionModel, RemovingSelectionItemsLeavesTheirMiniEntries) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12, 123, 905});
    m.AddAllToMini();
    ASSERT_EQ(m.lngUserSelect(), 6);
    m.setSelected(ListId::Select, 0, true);
    m.setSelected(ListId::Select, 2, true);
    m.RemoveUserSelect(UserList::Select);
    EXPECT_EQ(texts(m.lstChgSelect()), std::vector<std::string>{"123(予測Grp1)"});
    EXPECT_EQ(texts(m.lstChgMini()), (std::vector<std::string>{"12", "23", "05"}));
    EXPECT_EQ(m.lngUserSelect(), 4);

    m.setSelected(ListId::Mini, 1, true);
    m.RemoveUserSelect(UserList::Mini);
    EXPECT_EQ(texts(m.lstChgMini()), (std::vector<std::string>{"12", "05"}));
    EXPECT_EQ(m.lngUserSelect(), 3);

    m.RemoveAllUserSelect(UserList::Mini);
    EXPECT_TRUE(m.lstChgMini().empty());
    EXPECT_EQ(m.lngUserSelect(), 1);
    m.RemoveAllUserSelect(UserList::Select);
    EXPECT_EQ(m.lngUserSelect(), 0);
}

TEST(SelectionModel, ResetSelectCount) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12});
    m.ResetSelectCount(p.AllGrpCount);
    EXPECT_EQ(m.lngMaxSelect(), 5);
    EXPECT_EQ(m.lngUserSelect(), 0);
}

TEST(SelectionModel, EntriesCarrySourceCodes) {
    const auto p3 = tw::testing::numbers3Proposal();
    SelectionModel m3;
    addFromGroup(m3, true, 1, p3, {12});
    addFromGrid(m3, true, "10.500", p3, {345});
    addFromGroup(m3, true, 2, p3, {456});
    addFromGrid(m3, true, "15.000", p3, {999});
    m3.AddAllToMini();
    EXPECT_EQ(m3.selectionEntries(tw::common::Game::Numbers3, kNum3Rows),
              (std::vector<std::string>{"A00@012", "000@345", "B00@456", "002@999", "MIN@*12", "MIN@*45", "MIN@*56",
                                        "MIN@*99"}));

    const auto p4 = tw::testing::numbers4Proposal();
    SelectionModel m4;
    addFromGroup(m4, false, 3, p4, {456});
    addFromGroup(m4, false, 1, p4, {123});
    addFromGrid(m4, false, "9.125", p4, {2222});
    EXPECT_EQ(m4.selectionEntries(tw::common::Game::Numbers4, kNum4Rows),
              (std::vector<std::string>{"C00@0456", "A00@0123", "001@2222"}));
}

TEST(SelectionModel, ATagMissingFromTheGridReusesThePreviousCode) {
    const auto p = tw::testing::numbers3Proposal();
    SelectionModel m;
    addFromGrid(m, true, "12.345", p, {678}); // first entry, its row will be gone
    addFromGroup(m, true, 2, p, {456});
    addFromGrid(m, true, "12.345", p, {312});
    const std::vector<std::string> rebuilt = {"10.500", "15.000"};
    EXPECT_EQ(m.selectionEntries(tw::common::Game::Numbers3, rebuilt),
              (std::vector<std::string>{"000@678", "B00@456", "B00@312"}));
}

TEST(SelectionModel, TwentyOneEntriesAreWrittenAsTwentyAndOne) {
    tw::engine::Proposal p;
    std::vector<tw::engine::PredNum> nums;
    nums.reserve(21);
    for (int i = 0; i < 21; ++i)
        nums.push_back(tw::testing::pred(i / 10, i % 10, 7));
    p.grp1.items = nums;
    p.grp1.count = 21;
    SelectionModel m;
    ASSERT_TRUE(m.SetGrpNumsFromYosoku(tw::common::Game::Numbers3, 1, p));
    m.SelectAllList(ListId::GrpNums);
    m.AddToUserSelect();
    TempFolder dir;
    ASSERT_TRUE(m.SaveUserSelect(dir.str(), tw::common::Game::Numbers3, 2545, {}));
    const std::string file = dir.read(kNum3File);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "2545");
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 19);
    EXPECT_EQ(lines[1].substr(0, 16), "A00@007,A00@017,");
    EXPECT_EQ(lines[2], "A00@207");
}

TEST(SelectionModel, SaveThenLoadRestoresBothGames) {
    struct Case {
        bool numbers3;
        tw::engine::Proposal proposal;
        std::vector<std::string> rows;
    };
    const Case cases[] = {{true, tw::testing::numbers3Proposal(), kNum3Rows},
                          {false, tw::testing::numbers4Proposal(), kNum4Rows}};
    for (const auto& c : cases) {
        SelectionModel saved;
        addFromGroup(saved, c.numbers3, 1, c.proposal, {12, 905, 9876});
        addFromGroup(saved, c.numbers3, c.numbers3 ? 2 : 3, c.proposal, {456, 1001});
        addFromGrid(saved, c.numbers3, c.rows[1], c.proposal, {312, 678, 2222});
        if (c.numbers3)
            saved.AddAllToMini();
        ASSERT_GE(saved.lstChgSelect().size(), 4u);

        TempFolder dir;
        ASSERT_TRUE(saved.SaveUserSelect(dir.str(), tw::testing::gameOf(c.numbers3), 2545, c.rows));
        SelectionModel loaded;
        const auto report = loaded.LoadUserSelect(dir.str(), tw::testing::gameOf(c.numbers3), 2545, c.rows);
        EXPECT_TRUE(report.fileMatched);
        EXPECT_EQ(report.skipped, 0);
        EXPECT_EQ(loaded.lstChgSelect(), saved.lstChgSelect()) << c.numbers3;
        EXPECT_EQ(loaded.lstChgMini(), saved.lstChgMini()) << c.numbers3;
        EXPECT_EQ(loaded.lngUserSelect(), saved.lngUserSelect()) << c.numbers3;
        EXPECT_EQ(c.numbers3, !loaded.lstChgMini().empty());
    }
}

TEST(SelectionModel, AForeignRoundLoadsNothing) {
    const auto p = tw::testing::numbers3Proposal();
    TempFolder dir;
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12, 123});
    m.AddAllToMini();
    ASSERT_TRUE(m.SaveUserSelect(dir.str(), tw::common::Game::Numbers3, 2545, kNum3Rows));
    const auto report = m.LoadUserSelect(dir.str(), tw::common::Game::Numbers3, 2546, kNum3Rows);
    EXPECT_FALSE(report.fileMatched);
    EXPECT_TRUE(m.lstChgSelect().empty());
    EXPECT_TRUE(m.lstChgMini().empty());
    EXPECT_EQ(m.lngUserSelect(), 0);
    // The other game's file is not read either.
    EXPECT_FALSE(m.LoadUserSelect(dir.str(), tw::common::Game::Numbers4, 2545, kNum4Rows).fileMatched);
}

TEST(SelectionModel, RowIndexEntriesShowTheRecomputedGrid) {
    TempFolder dir;
    dir.write(kNum3File, "2545\r\n000@345,001@312,A00@012\r\n");
    const std::vector<std::string> recomputed = {"9.000", "10.500"};
    SelectionModel m;
    m.LoadUserSelect(dir.str(), tw::common::Game::Numbers3, 2545, recomputed);
    EXPECT_EQ(texts(m.lstChgSelect()), (std::vector<std::string>{"345(9.000)", "312(10.500)", "012(予測Grp1)"}));
}

TEST(SelectionModel, BadEntriesAreSkippedAndTheRestLoads) {
    struct Case {
        const char* what;
        bool numbers3;
        std::string content;
        std::vector<std::string> select;
        std::vector<std::string> mini;
        int skipped;
    };
    const Case cases[] = {
        {"entry without @", true, "1\r\nA00123,A00@123\r\n", {"123(予測Grp1)"}, {}, 1},
        {"unknown codes", true, "1\r\nX00@123,00@124,0001@125,MIN@126,B00@127\r\n", {"127(予測Grp2)"}, {}, 4},
        {"row beyond the grid", true, "1\r\n003@123,002@124\r\n", {"124(15.000)"}, {}, 1},
        {"wrong digit counts", true, "1\r\nA00@12,A00@1234,A00@12a,A00@,A00@123\r\n", {"123(予測Grp1)"}, {}, 4},
        {"bad Mini entries", true, "1\r\nMIN@*5,MIN@*123,A00@*12,MIN@*x1,MIN@*07\r\n", {}, {"07"}, 4},
        {"duplicates", true, "1\r\nA00@123,B00@123,MIN@*23,MIN@*23\r\n", {"123(予測Grp1)"}, {"23"}, 2},
        {"Numbers4 with a Mini entry and a short number",
         false,
         "1\r\nC00@0456,MIN@*12,A00@123\r\n",
         {"0456(予測Grp3)"},
         {},
         2},
        {"truncated file", true, "1\r\nA00@123,B00@45", {"123(予測Grp1)"}, {}, 1},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        dir.write(c.numbers3 ? kNum3File : kNum4File, c.content);
        SelectionModel m;
        const auto report =
            m.LoadUserSelect(dir.str(), tw::testing::gameOf(c.numbers3), 1, c.numbers3 ? kNum3Rows : kNum4Rows);
        EXPECT_TRUE(report.fileMatched) << c.what;
        EXPECT_EQ(texts(m.lstChgSelect()), c.select) << c.what;
        EXPECT_EQ(texts(m.lstChgMini()), c.mini) << c.what;
        EXPECT_EQ(report.skipped, c.skipped) << c.what;
        EXPECT_EQ(m.lngUserSelect(), static_cast<int32_t>(c.select.size() + c.mini.size())) << c.what;
    }
}

TEST(SelectionModel, LoadingReplacesTheListsButNotTheCandidates) {
    const auto p = tw::testing::numbers3Proposal();
    TempFolder dir;
    dir.write(kNum3File, "1\r\nB00@456\r\n");
    SelectionModel m;
    addFromGroup(m, true, 1, p, {12, 123});
    m.AddAllToMini();
    m.LoadUserSelect(dir.str(), tw::common::Game::Numbers3, 1, kNum3Rows);
    EXPECT_EQ(texts(m.lstChgSelect()), std::vector<std::string>{"456(予測Grp2)"});
    EXPECT_TRUE(m.lstChgMini().empty());
    EXPECT_EQ(m.lngUserSelect(), 1);
    EXPECT_EQ(m.lstChgGrpNums().size(), 3u);
}

} // namespace
