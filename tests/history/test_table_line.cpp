// One table line: the two shapes, the rule that the digit text decides the
// shape, the faults a line can have, and the line the saver writes.
#include "history/table_file.h"

#include "common/date_serial.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::history;
using tw::common::dateSerial;

TEST(TableLine, Numbers3LineFillsAllFivePrizes) {
    const auto rec = ParseTableLine("1,1994/10/07,191,119800,39900,79800,19900,11900");
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->lngRound, 1);
    EXPECT_EQ(rec->dteDraw, dateSerial({1994, 10, 7}));
    EXPECT_EQ(rec->bytNum, (std::array<uint8_t, 5>{0, 1, 9, 1, 0}));
    EXPECT_EQ(rec->lngStraight, 119800);
    EXPECT_EQ(rec->lngBox, 39900);
    EXPECT_EQ(rec->lngSetStraight, 79800);
    EXPECT_EQ(rec->lngSetBox, 19900);
    EXPECT_EQ(rec->lngMini, 11900);
    EXPECT_FALSE(rec->blnUnsaved);
}

TEST(TableLine, Numbers4LineHasNoMiniAndKeepsLeadingZeroDigits) {
    const auto rec = ParseTableLine("3,1994/10/21,0097,1516600,126300,821400,63100");
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->lngRound, 3);
    EXPECT_EQ(rec->bytNum, (std::array<uint8_t, 5>{0, 0, 0, 9, 7}));
    EXPECT_EQ(rec->lngStraight, 1516600);
    EXPECT_EQ(rec->lngBox, 126300);
    EXPECT_EQ(rec->lngSetStraight, 821400);
    EXPECT_EQ(rec->lngSetBox, 63100);
    EXPECT_EQ(rec->lngMini, 0);
}

// The digit text, not the file, decides the shape: a 3-digit line needs the Mini
// field and a 4-digit line must not have one.
TEST(TableLine, DigitTextDecidesTheShape) {
    EXPECT_TRUE(ParseTableLine("5,2000/01/04,123,1,2,3,4,5"));
    EXPECT_TRUE(ParseTableLine("5,2000/01/04,1234,1,2,3,4"));
    EXPECT_FALSE(ParseTableLine("5,2000/01/04,123,1,2,3,4"));
    EXPECT_FALSE(ParseTableLine("5,2000/01/04,1234,1,2,3,4,5"));
}

TEST(TableLine, LimitsOfTheNumbers) {
    const auto rec = ParseTableLine("2147483647,2000/01/04,000,0,0,0,0,2147483647");
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->lngRound, 2147483647);
    EXPECT_EQ(rec->lngMini, 2147483647);
    EXPECT_EQ(rec->bytNum, (std::array<uint8_t, 5>{}));
    EXPECT_EQ(ParseTableLine("7,2000/01/04,999,00012,0,0,0,0")->lngStraight, 12);
    EXPECT_EQ(ParseTableLine("7,2000/01/04,999,0000000012,0,0,0,0")->lngStraight, 12); // ten digits at most
}

struct BadLine {
    const char* line;
    const char* fault; // part of the Japanese description
};

TEST(TableLine, MalformedLinesSayWhatIsWrong) {
    const BadLine cases[] = {
        {"", "空の行"},
        {"1,1994/10/07", "項目が足りません"},
        {"1,1994/10/07,191,119800,39900", "項目が足りません（8 項目のはずが 5 項目です）"},
        {"1,1994/10/07,1149,942600,78500,510500", "項目が足りません（7 項目のはずが 6 項目です）"},
        {"1,1994/10/07,191,119800,39900,79800,19900", "ミニの金額がありません"},
        {"1,1994/10/07,1149,942600,78500,510500,39200,0", "項目が多すぎます"},
        {"1,1994/10/07,191,119800,39900,79800,19900,11900,", "項目が多すぎます"},
        {"x1,1994/10/07,191,119800,39900,79800,19900,11900", "回号が数字ではありません「x1」"},
        {",1994/10/07,191,119800,39900,79800,19900,11900", "回号が空です"},
        {"1,1994/13/07,191,119800,39900,79800,19900,11900", "抽選日が正しくありません「1994/13/07」"},
        {"1,1994-10-07,191,119800,39900,79800,19900,11900", "抽選日が正しくありません"},
        {"1,1994/10/07,19,119800,39900,79800,19900", "3 桁に足りません「19」"},
        {"1,1994/10/07,,119800,39900,79800,19900", "3 桁に足りません"},
        {"1,1994/10/07,1a1,119800,39900,79800,19900,11900", "数字でない文字があります「1a1」"},
        {"1,1994/10/07,12345,119800,39900,79800,19900", "4 桁を超えています"},
        {"1,1994/10/07,191,119800,-39900,79800,19900,11900", "ボックスの金額が負の数です「-39900」"},
        {"1,1994/10/07,191,2147483648,39900,79800,19900,11900", "ストレートの金額が大きすぎます"},
        {"1,1994/10/07,191,119800,39900,79800,99999999999999999999,11900", "セット（ボックス）の金額が大きすぎます"},
        {"1,1994/10/07,191,119800,39900,,19900,11900", "セット（ストレート）の金額が空です"},
        {"1,1994/10/07,191,00000119800,39900,79800,19900,11900", "ストレートの金額の桁数が多すぎます（10 桁まで）"},
        {"00000000001,1994/10/07,191,119800,39900,79800,19900,11900", "回号の桁数が多すぎます"},
        {"1,1994/10/07,191,119800,39900,79800,19900,11900 ", "ミニの金額が数字ではありません"},
        {"1,1994/10/07,191,119800,39900,79800,19900,11\r900", "ミニの金額が数字ではありません「11?900」"},
        {"1,1994/10/07,1149,942600,78500,510500,+39200", "セット（ボックス）の金額が数字ではありません"},
    };
    for (const BadLine& c : cases) {
        std::string fault;
        EXPECT_FALSE(ParseTableLine(c.line, &fault)) << c.line;
        EXPECT_NE(fault.find(c.fault), std::string::npos) << c.line << " -> " << fault;
    }
}

NumData sampleRecord() {
    NumData rec;
    rec.lngRound = 999;                                   // not written: the slot number is
    rec.dteDraw = dateSerial({2026, 8, 21}) + 17.75 / 24; // 17:45
    rec.bytNum = {0, 0, 8, 6, 5};
    rec.lngStraight = 100100;
    rec.lngBox = 16600;
    rec.lngSetStraight = 58300;
    rec.lngSetBox = 8300;
    rec.lngMini = 10000;
    rec.blnUnsaved = true;
    return rec;
}

TEST(TableLine, FormatWritesTheSlotTheDateAloneAndTheGamesFields) {
    const NumData rec = sampleRecord();
    EXPECT_EQ(FormatTableLine(rec, 7055, tw::common::Game::Numbers3),
              "7055,2026/08/21,086,100100,16600,58300,8300,10000");
    EXPECT_EQ(FormatTableLine(rec, 7055, tw::common::Game::Numbers4), "7055,2026/08/21,0865,100100,16600,58300,8300");
    NumData zero = rec;
    zero.lngStraight = zero.lngBox = zero.lngSetStraight = zero.lngSetBox = zero.lngMini = 0;
    EXPECT_EQ(FormatTableLine(zero, 1, tw::common::Game::Numbers3), "1,2026/08/21,086,0,0,0,0,0");
}

TEST(TableLine, FormattedLinesReadBackForBothGames) {
    for (const tw::common::Game game : tw::common::kGames) {
        NumData rec = sampleRecord();
        rec.dteDraw = dateSerial({2026, 8, 21});
        rec.lngRound = 12;
        rec.blnUnsaved = false;
        if (game == tw::common::Game::Numbers3)
            rec.bytNum[4] = 0;
        else
            rec.lngMini = 0;
        EXPECT_EQ(ParseTableLine(FormatTableLine(rec, 12, game)), rec) << tw::common::gameCode(game);
    }
}

} // namespace
