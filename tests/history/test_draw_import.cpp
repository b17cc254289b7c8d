// Reading import files into rows: cell forms and column names of CSV files,
// encodings, JSON shapes, the table format, file errors, and real rows of public
// result feeds.
#include "history/draw_import.h"

#include "common/cp932.h"
#include "table_test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using tw::common::Game;
using namespace tw::history;
using tw::testing::TempFolder;
using tw::testing::writeBytes;
using Prizes = std::array<std::optional<int32_t>, 5>;

const std::string kHeader3 =
    "draw_no,draw_date,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n";

ImportRow onlyRow(const std::string& text, Game game) {
    const ImportFile file = readImportBytes(text, game);
    EXPECT_FALSE(file.error) << file.error.message();
    EXPECT_EQ(file.rows.size(), 1u) << text;
    return file.rows.empty() ? ImportRow{} : file.rows.front();
}

std::string fixture(const std::string& name) {
    return std::string(TALLOWIND_TEST_DATA_DIR) + "/import/" + name;
}

// One CSV row each: how the cells are read, or which fault the row gets.
TEST(DrawImport, CsvCellsAndFaults) {
    struct Case {
        const char* what;
        std::string text;
        Game game;
        int32_t round;
        ImportDate date;
        std::array<uint8_t, 4> digits;
        Prizes prizes;
        std::optional<RefusalCode> fault;
        DrawField faultField = DrawField::Round;
    };
    const Prizes p7054{100100, 16600, 58300, 8300, 10000};
    const Prizes none{};
    const Case cases[] = {
        {"plain English layout",
         kHeader3 + "7054,2026-08-21,286,100100,16600,58300,8300,10000",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         p7054,
         {}},
        {"Japanese names in another order, 第n回, 年月日, yen signs and separators",
         "当せん番号,抽せん日,回号,ミニ,セット（ボックス）,セット（ストレート）,ボックス,ストレート\n"
         "286,2026年8月21日,第7054回,\"10,000円\",\"8,300\",\"￥58,300\",16600円,\"¥100,100\"",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         p7054,
         {}},
        {"upper-case English names, slashes, a weekday after the date",
         "DRAW_NO,Draw_Date,Number,Straight,Box,Set_Straight,Set_Box,Mini\n"
         "7054,2026/08/21(金),286,100100,16600,58300,8300,10000",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         p7054,
         {}},
        {"other Japanese names: 抽選回, 当選番号, …当せん金額",
         "抽選回,抽選日,当選番号,ストレート当せん金額,ボックス当せん金額,セットストレート,セットボックス,ミニ金額\n"
         "７０５４,2026.8.21,２８６,100100,16600,58300,8300,10000",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         p7054,
         {}},
        {"digits in one column each, leading zero kept, no prizes",
         "round,date,digit1,digit2,digit3,digit4\n3,1994-10-21,0,0,9,7",
         Game::Numbers4,
         3,
         {1994, 10, 21},
         {0, 0, 9, 7},
         none,
         {}},
        {"NUMBERS4 has no Mini: its column is not read",
         "draw_no,draw_date,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n"
         "1,1994-10-07,1149,942600,78500,510500,39200,x",
         Game::Numbers4,
         1,
         {1994, 10, 7},
         {1, 1, 4, 9},
         Prizes{942600, 78500, 510500, 39200, std::nullopt},
         {}},
        {"empty and dashed prizes are missing",
         kHeader3 + "7054,2026-08-21,286,100100,,-,8300,－",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         Prizes{100100, std::nullopt, std::nullopt, 8300, std::nullopt},
         {}},
        {"all digits equal: empty Box and Set mean 0",
         kHeader3 + "7034,2026-07-24,777,80400,-,,,8000",
         Game::Numbers3,
         7034,
         {2026, 7, 24},
         {7, 7, 7, 0},
         Prizes{80400, 0, 0, 0, 8000},
         {}},
        {"month and day without a year",
         "round,date,num\n7062,09/02,8300",
         Game::Numbers4,
         7062,
         {0, 9, 2},
         {8, 3, 0, 0},
         none,
         {}},
        {"a compact date",
         "round,date,num\n7,20260821,123\n",
         Game::Numbers3,
         7,
         {2026, 8, 21},
         {1, 2, 3, 0},
         none,
         {}},
        {"an ISO date with a time",
         "round,date,num\n7,2026-08-21T18:45:00+09:00,123\n",
         Game::Numbers3,
         7,
         {2026, 8, 21},
         {1, 2, 3, 0},
         none,
         {}},
        {"unreadable round",
         kHeader3 + "7054回目,2026-08-21,286,1,1,1,1,1",
         Game::Numbers3,
         0,
         {},
         {},
         {},
         RefusalCode::BadRound},
        {"round 0", kHeader3 + "0,2026-08-21,286,1,1,1,1,1", Game::Numbers3, 0, {}, {}, {}, RefusalCode::BadRound},
        {"no date", kHeader3 + "7054,,286,1,1,1,1,1", Game::Numbers3, 7054, {}, {}, {}, RefusalCode::BadDate},
        {"no such day",
         kHeader3 + "7054,2026-02-30,286,1,1,1,1,1",
         Game::Numbers3,
         7054,
         {},
         {},
         {},
         RefusalCode::BadDate},
        {"a two-digit year",
         kHeader3 + "7054,26-08-21,286,1,1,1,1,1",
         Game::Numbers3,
         7054,
         {},
         {},
         {},
         RefusalCode::BadDate},
        {"no number",
         kHeader3 + "7054,2026-08-21,,1,1,1,1,1",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {},
         {},
         RefusalCode::NoNumber},
        {"a leading zero lost",
         kHeader3 + "7054,2026-08-21,86,1,1,1,1,1",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {},
         {},
         RefusalCode::WrongLength},
        {"the other game's number",
         kHeader3 + "7054,2026-08-21,9577,1,1,1,1,1",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {},
         {},
         RefusalCode::WrongLength},
        {"a letter in the number",
         kHeader3 + "7054,2026-08-21,2B6,1,1,1,1,1",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {},
         {},
         RefusalCode::BadNumber},
        {"four digit columns for NUMBERS3",
         "round,date,digit1,digit2,digit3,digit4\n1,1994-10-07,1,1,4,9",
         Game::Numbers3,
         1,
         {1994, 10, 7},
         {},
         {},
         RefusalCode::WrongLength},
        {"number and digit columns disagree",
         "draw_no,draw_date,winning_number,digit1,digit2,digit3\n7054,2026-08-21,286,2,8,7",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         none,
         RefusalCode::NumberMismatch},
        {"an amount that is not one",
         kHeader3 + "7054,2026-08-21,286,100100,16.6k,58300,8300,10000",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         Prizes{100100, std::nullopt, 58300, 8300, 10000},
         RefusalCode::BadAmount,
         DrawField::Box},
        {"a negative amount",
         kHeader3 + "7054,2026-08-21,286,100100,16600,58300,8300,-1",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         Prizes{100100, 16600, 58300, 8300, std::nullopt},
         RefusalCode::BadAmount,
         DrawField::Mini},
        {"an amount beyond 32 bits",
         kHeader3 + "7054,2026-08-21,286,2147483648,16600,58300,8300,1",
         Game::Numbers3,
         7054,
         {2026, 8, 21},
         {2, 8, 6, 0},
         Prizes{std::nullopt, 16600, 58300, 8300, 1},
         RefusalCode::BadAmount,
         DrawField::Straight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportRow row = onlyRow(c.text, c.game);
        ASSERT_EQ(row.fault.has_value(), c.fault.has_value()) << (row.fault ? refusalText(*row.fault, c.game) : "");
        if (c.fault) {
            EXPECT_EQ(row.fault->code, *c.fault) << refusalText(*row.fault, c.game);
            if (*c.fault == RefusalCode::BadAmount) {
                EXPECT_EQ(row.fault->field, c.faultField);
            }
            EXPECT_EQ(row.round, c.round);
            continue;
        }
        EXPECT_EQ(row.round, c.round);
        EXPECT_EQ(row.date, c.date);
        EXPECT_EQ(row.digits, c.digits);
        EXPECT_EQ(row.prizes, c.prizes);
    }
}

TEST(DrawImport, FaultTextsNameTheCell) {
    const ImportRow wrong = onlyRow(kHeader3 + "7054,2026-08-21,9577,1,1,1,1,1", Game::Numbers3);
    ASSERT_TRUE(wrong.fault);
    EXPECT_EQ(refusalText(*wrong.fault, Game::Numbers3), "当選番号が 4 桁です「9577」（NUMBERS3 は 3 桁）");
    const ImportRow amount = onlyRow(kHeader3 + "7054,2026-08-21,286,100100,16.6k,58300,8300,10000", Game::Numbers3);
    ASSERT_TRUE(amount.fault);
    EXPECT_EQ(refusalText(*amount.fault, Game::Numbers3), "ボックスの金額が読めません「16.6k」");
    const ImportRow longCell = onlyRow(kHeader3 + "1,2026-08-21,\x01"
                                                  "23456789012345678901,1,1,1,1,1",
                                       Game::Numbers3);
    ASSERT_TRUE(longCell.fault);
    EXPECT_EQ(longCell.fault->cell, "?234567890123456…");
}

TEST(DrawImport, CsvColumnsHeaderAndQuoting) {
    // A title line above the header is passed over; unknown columns are listed.
    const ImportFile file = readImportBytes("ナンバーズ3 抽せん結果\n"
                                            "\n"
                                            "回別,抽選日,当選番号,ストレート口数,ストレート,備考\n"
                                            "\"12\",\"1994/12/23\",\"247\",3,\"45,800\",\"a note\n"
                                            "over two lines\"\n"
                                            "13,1994/12/30,229,2,\"112,700\",\n"
                                            ",,,,,\n",
                                            Game::Numbers3);
    ASSERT_FALSE(file.error) << file.error.message();
    EXPECT_EQ(file.format, ImportFormat::Csv);
    EXPECT_EQ(file.ignoredColumns, (std::vector<std::string>{"ストレート口数", "備考"}));
    ASSERT_EQ(file.rows.size(), 2u);
    EXPECT_EQ(file.rows[0].line, 4);
    EXPECT_EQ(file.rows[0].prizes[0], 45800);
    EXPECT_EQ(file.rows[1].line, 6);
    EXPECT_EQ(file.rows[1].round, 13);
    EXPECT_EQ(file.rows[1].prizes[0], 112700);

    // Tab-separated text reads the same way.
    const ImportFile tabs = readImportBytes("回号\t抽せん日\t当せん番号\n第12回\t1994-12-23\t247\n", Game::Numbers3);
    ASSERT_EQ(tabs.rows.size(), 1u);
    EXPECT_EQ(tabs.rows[0].round, 12);
    EXPECT_FALSE(tabs.rows[0].fault);

    // A header alone is a file without draws, not an error.
    const ImportFile headerOnly = readImportBytes(kHeader3, Game::Numbers3);
    EXPECT_FALSE(headerOnly.error);
    EXPECT_TRUE(headerOnly.rows.empty());
}

TEST(DrawImport, MissingRequiredColumnsAreOneError) {
    struct Case {
        std::string header;
        Game game;
        std::vector<DrawField> missing;
    };
    const Case cases[] = {
        {"draw_no,winning_number,straight_payout", Game::Numbers3, {DrawField::Date}},
        {"date,number", Game::Numbers3, {DrawField::Round}},
        {"round,date,digit1,digit2", Game::Numbers3, {DrawField::Number}},
        {"round,date,digit1,digit2,digit3", Game::Numbers4, {DrawField::Number}},
        {"a,b,c", Game::Numbers4, {DrawField::Round, DrawField::Date, DrawField::Number}},
    };
    for (const Case& c : cases) {
        const ImportFile file = readImportBytes(c.header + "\n1,2,3,4,5\n", c.game);
        EXPECT_EQ(file.error.code, ImportErrorCode::MissingColumns) << c.header;
        EXPECT_EQ(file.error.missing, c.missing) << c.header;
        EXPECT_TRUE(file.rows.empty());
    }
    ImportError e;
    e.code = ImportErrorCode::MissingColumns;
    e.path = "dir/results.csv";
    e.missing = {DrawField::Date, DrawField::Number};
    EXPECT_EQ(e.message(),
              "ファイル「results.csv」に抽選日、当選番号の列がありません。（見出しの行に列の名前が必要です）");
}

// The same Japanese file in the three encodings gives the same rows.
TEST(DrawImport, EncodingsAreDetected) {
    const std::string utf8 = "回号,抽せん日,当せん番号,ストレート,ボックス,セット（ストレート）,セット（ボックス）\n"
                             "第6886回,2025年12月25日,6333,\"434,000円\",\"108,500円\",\"271,200円\",\"54,200円\"\n";
    const tw::common::Cp932Result sjis = tw::common::toCp932(utf8);
    ASSERT_TRUE(sjis.ok());
    ASSERT_FALSE(tw::common::isValidUtf8(sjis.bytes));
    struct Case {
        std::string bytes;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {utf8, TextEncoding::Utf8}, {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8Bom}, {sjis.bytes, TextEncoding::Cp932}};
    for (const Case& c : cases) {
        const ImportFile file = readImportBytes(c.bytes, Game::Numbers4);
        ASSERT_FALSE(file.error) << file.error.message();
        EXPECT_EQ(file.encoding, c.encoding);
        ASSERT_EQ(file.rows.size(), 1u);
        EXPECT_FALSE(file.rows[0].fault);
        EXPECT_EQ(file.rows[0].round, 6886);
        EXPECT_EQ(file.rows[0].date, (ImportDate{2025, 12, 25}));
        EXPECT_EQ(file.rows[0].prizes, (Prizes{434000, 108500, 271200, 54200, std::nullopt}));
    }

    // Code page 932 stores the yen sign as 0x5C.
    const ImportFile yen =
        readImportBytes(tw::common::toCp932("回号,抽選日,当選番号,ストレート\n1,1994/10/07,191,").bytes + "\"\x5C"
                                                                                                          "119,800\"\n",
                        Game::Numbers3);
    ASSERT_EQ(yen.rows.size(), 1u);
    EXPECT_EQ(yen.encoding, TextEncoding::Cp932);
    EXPECT_EQ(yen.rows[0].prizes[0], 119800);

    // Bytes that are neither: a CP932 lead byte followed by a space; and a byte
    // order mark in front of text that is not UTF-8.
    const ImportFile neither = readImportBytes("round,date\n1,\x82 x\n", Game::Numbers3);
    EXPECT_EQ(neither.error.code, ImportErrorCode::Undecodable);
    EXPECT_EQ(neither.error.detail, "14");
    EXPECT_EQ(readImportBytes("\xEF\xBB\xBF" + sjis.bytes, Game::Numbers4).error.code, ImportErrorCode::Undecodable);
}

TEST(DrawImport, JsonShapes) {
    struct Case {
        const char* what;
        std::string text;
        Game game;
        int32_t round;
        ImportDate date;
        std::array<uint8_t, 4> digits;
        Prizes prizes;
    };
    const Prizes p1{119800, 39900, 79800, 19900, 11900};
    const Case cases[] = {
        {"flat payouts in an array",
         R"([{"draw_no":1,"draw_date":"1994-10-07","winning_number":"191","straight_payout":119800,"box_payout":39900,)"
         R"("set_straight_payout":79800,"set_box_payout":19900,"mini_payout":11900}])",
         Game::Numbers3,
         1,
         {1994, 10, 7},
         {1, 9, 1, 0},
         p1},
        {"result.display and a prize object inside an object",
         R"({"game":"numbers3","draws":[{"draw_no":"第1回","draw_date":"1994/10/07","result":{"display":"191"},)"
         R"("prize":{"straight":"119,800","box":39900,"set_straight":79800,"set_box":19900,"mini":11900}}]})",
         Game::Numbers3,
         1,
         {1994, 10, 7},
         {1, 9, 1, 0},
         p1},
        {"result.values, a null prize, an integral float",
         R"([{"draw_no":3,"draw_date":"1994-10-21","result":{"values":[0,0,9,7]},)"
         R"("prize":{"straight":1516600.0,"box":null,"set_straight":821400,"set_box":63100}}])",
         Game::Numbers4,
         3,
         {1994, 10, 21},
         {0, 0, 9, 7},
         Prizes{1516600, std::nullopt, 821400, 63100, std::nullopt}},
        {"a number written as an integer keeps its leading zeros",
         R"([{"round":15,"date":"1995-01-10","number":19}])",
         Game::Numbers3,
         15,
         {1995, 1, 10},
         {0, 1, 9, 0},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportFile file = readImportBytes(c.text, c.game);
        ASSERT_FALSE(file.error) << file.error.message();
        EXPECT_EQ(file.format, ImportFormat::Json);
        ASSERT_EQ(file.rows.size(), 1u);
        const ImportRow& row = file.rows[0];
        ASSERT_FALSE(row.fault) << refusalText(*row.fault, c.game);
        EXPECT_EQ(row.line, 1);
        EXPECT_EQ(row.round, c.round);
        EXPECT_EQ(row.date, c.date);
        EXPECT_EQ(row.digits, c.digits);
        EXPECT_EQ(row.prizes, c.prizes);
    }
}

TEST(DrawImport, JsonFaultsAndErrors) {
    const ImportFile mixed = readImportBytes(R"([{"round":1,"date":"1994-10-07","num":"191"}, 42,
        {"round":2,"date":"1994-10-14","num":[9,8,8]}, {"round":3,"date":true,"num":"194"}])",
                                             Game::Numbers3);
    ASSERT_FALSE(mixed.error);
    ASSERT_EQ(mixed.rows.size(), 4u);
    EXPECT_FALSE(mixed.rows[0].fault);
    ASSERT_TRUE(mixed.rows[1].fault);
    EXPECT_EQ(mixed.rows[1].fault->code, RefusalCode::NotADraw);
    EXPECT_EQ(mixed.rows[1].line, 2);
    ASSERT_TRUE(mixed.rows[2].fault);
    EXPECT_EQ(mixed.rows[2].fault->code, RefusalCode::BadNumber);
    ASSERT_TRUE(mixed.rows[3].fault);
    EXPECT_EQ(mixed.rows[3].fault->code, RefusalCode::BadDate);

    struct Case {
        std::string text;
        ImportErrorCode code;
        std::string detail;
    };
    const Case cases[] = {
        {"[\n{\"round\":1,\n\"date\":}\n]", ImportErrorCode::BadJson, "3 行目"},
        // Nested far beyond any draw file: refused before the JSON library recurses into it.
        {std::string(100000, '[') + std::string(100000, ']'), ImportErrorCode::BadJson, "入れ子が深すぎます"},
        {"[{\"round\":1,\"num\":\"[[[[\"}]", ImportErrorCode::MissingColumns, ""},
        {R"({"updated":"2026-09-02","results":[]})", ImportErrorCode::None, ""},
        {R"({"updated":"2026-09-02","count":0})", ImportErrorCode::NoDraws, ""},
        {R"([{"id":1,"value":"191"}])", ImportErrorCode::MissingColumns, ""},
        {"  \r\n", ImportErrorCode::Empty, ""},
    };
    for (const Case& c : cases) {
        const ImportFile file = readImportBytes(c.text, Game::Numbers3);
        EXPECT_EQ(file.error.code, c.code) << c.text.substr(0, 80);
        EXPECT_EQ(file.error.detail, c.detail) << c.text.substr(0, 80);
        EXPECT_TRUE(file.rows.empty());
    }
}

TEST(DrawImport, TableFormatFromAnotherCopy) {
    const ImportFile file = readImportBytes("1,1994/10/07,191,119800,39900,79800,19900,11900\r\n"
                                            "7,1994/10/14,988,333500,111100,222300,55500,33300\r\n"
                                            "3,1994/10/21,1949,1,1,1,1\r\n"
                                            "\r\n"
                                            "5,1994/11/04,592,113400,18900,66100,9400",
                                            Game::Numbers3);
    ASSERT_FALSE(file.error);
    EXPECT_EQ(file.format, ImportFormat::Table);
    ASSERT_EQ(file.rows.size(), 5u);
    // Line n is round n, whatever the first field says, as when the program loads its table.
    EXPECT_EQ(file.rows[1].round, 2);
    EXPECT_EQ(file.rows[1].prizes, (Prizes{333500, 111100, 222300, 55500, 33300}));
    ASSERT_TRUE(file.rows[2].fault);
    EXPECT_EQ(file.rows[2].fault->code, RefusalCode::WrongLength);
    ASSERT_TRUE(file.rows[3].fault);
    EXPECT_EQ(file.rows[3].fault->code, RefusalCode::BadLine);
    ASSERT_TRUE(file.rows[4].fault);
    EXPECT_EQ(refusalText(*file.rows[4].fault, Game::Numbers3),
              "行の形が正しくありません（3 桁の当選番号の行にミニの金額がありません）");

    const ImportFile bundled = readImportFile(std::string(TALLOWIND_DATA_DIR) + "/Num4Data.tbl", Game::Numbers4);
    EXPECT_EQ(bundled.format, ImportFormat::Table);
    EXPECT_EQ(bundled.rows.size(), 7054u);
    EXPECT_TRUE(std::none_of(bundled.rows.begin(), bundled.rows.end(), [](const ImportRow& r) { return r.fault; }));
}

TEST(DrawImport, FileErrors) {
    TempFolder folder;
    EXPECT_EQ(readImportFile(folder.file("none.csv"), Game::Numbers3).error.code, ImportErrorCode::FileMissing);
    EXPECT_EQ(readImportFile(folder.path().string(), Game::Numbers3).error.code, ImportErrorCode::FileUnreadable);
    const std::string big = folder.file("big.csv");
    writeBytes(big, kHeader3);
    std::filesystem::resize_file(big, kMaxImportBytes + 1); // sparse: no disk space used
    const ImportFile tooLarge = readImportFile(big, Game::Numbers3);
    EXPECT_EQ(tooLarge.error.code, ImportErrorCode::FileTooLarge);
    EXPECT_EQ(tooLarge.error.message(), "ファイル「big.csv」は大きすぎて取り込めません。（32 MB まで）");
}

// Real rows as the feeds publish them.
TEST(DrawImport, PublicFeeds) {
    const ImportFile v2 = readImportFile(fixture("hazimekom_numbers3_results_v2.csv"), Game::Numbers3);
    ASSERT_FALSE(v2.error) << v2.error.message();
    ASSERT_EQ(v2.rows.size(), 10u);
    EXPECT_TRUE(v2.ignoredColumns.empty());
    EXPECT_EQ(v2.rows[3].round, 35);
    EXPECT_EQ(v2.rows[3].prizes, (Prizes{65500, 0, 0, 0, 6500}));
    EXPECT_EQ(v2.rows[5].digits, (std::array<uint8_t, 4>{5, 5, 5, 0}));

    const ImportFile jp = readImportFile(fixture("hazimekom_numbers4_results.csv"), Game::Numbers4);
    ASSERT_FALSE(jp.error) << jp.error.message();
    ASSERT_EQ(jp.rows.size(), 6u);
    EXPECT_EQ(jp.rows[0].round, 6886);
    EXPECT_EQ(jp.rows[5].digits, (std::array<uint8_t, 4>{0, 9, 0, 0}));
    EXPECT_EQ(jp.rows[5].prizes, (Prizes{881100, 220200, 550600, 110100, std::nullopt}));

    const ImportFile digitsOnly = readImportFile(fixture("webzeney_NUMBERS3_ALL.csv"), Game::Numbers3);
    ASSERT_FALSE(digitsOnly.error) << digitsOnly.error.message();
    ASSERT_EQ(digitsOnly.rows.size(), 11u);
    EXPECT_EQ(digitsOnly.rows[5].round, 7055);
    EXPECT_EQ(digitsOnly.rows[5].date, (ImportDate{2026, 8, 24}));
    EXPECT_EQ(digitsOnly.rows[5].prizes, Prizes{});

    const ImportFile pwa = readImportFile(fixture("wyzman73_numbers4_data.json"), Game::Numbers4);
    ASSERT_FALSE(pwa.error) << pwa.error.message();
    ASSERT_EQ(pwa.rows.size(), 11u);
    EXPECT_EQ(pwa.rows[0].round, 7062);
    EXPECT_EQ(pwa.rows[0].date, (ImportDate{0, 9, 2}));
    EXPECT_EQ(pwa.rows[1].digits, (std::array<uint8_t, 4>{0, 6, 3, 9}));
    for (const ImportFile* f : {&v2, &jp, &digitsOnly, &pwa})
        EXPECT_TRUE(std::none_of(f->rows.begin(), f->rows.end(), [](const ImportRow& r) { return r.fault; }));
}

} // namespace
