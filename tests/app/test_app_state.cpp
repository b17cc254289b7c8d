// The start-up state: file paths from the working directory, weekday marks.
#include "app/app_state.h"
#include "common/date_serial.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using tw::app::AppState;
using tw::app::InitAppState;

TEST(AppState, PathsJoinTheGivenFolderAndTheFixedNames) {
    const AppState state = InitAppState(std::filesystem::path("lotto") / "history");
    EXPECT_EQ(state.Num3FilePath, "lotto/history/Num3Data.tbl");
    EXPECT_EQ(state.Num4FilePath, "lotto/history/Num4Data.tbl");
    EXPECT_EQ(state.AviFilePath, "lotto/history/FileCopy.avi");
    EXPECT_EQ(&state.tableFilePath(tw::common::Game::Numbers3), &state.Num3FilePath);
    EXPECT_EQ(&state.tableFilePath(tw::common::Game::Numbers4), &state.Num4FilePath);
}

// The files are sought in the working directory at the moment of start-up, not
// beside the executable.
TEST(AppState, PathsComeFromTheWorkingDirectoryAtTheCall) {
    const std::filesystem::path before = std::filesystem::current_path();
    const std::filesystem::path temp = std::filesystem::canonical(std::filesystem::temp_directory_path());
    std::filesystem::current_path(temp);
    const AppState state = InitAppState();
    std::filesystem::current_path(before);

    EXPECT_EQ(state.Num3FilePath, (temp / "Num3Data.tbl").string());
    EXPECT_EQ(state.AviFilePath, (temp / "FileCopy.avi").string());
}

TEST(AppState, WeekdayMarksInOrderFromTheFiller) {
    const AppState state = InitAppState(std::filesystem::path("."));
    const std::array<std::string, 8> expected = {"(？)", "(日)", "(月)", "(火)", "(水)", "(木)", "(金)", "(土)"};
    EXPECT_EQ(state.WeekdayMark, expected);
}

TEST(AppState, WeekdayMarkOfADate) {
    struct Case {
        tw::common::CivilDate date;
        const char* mark;
    };
    const Case cases[] = {
        {{2024, 1, 5}, "(金)"},                            // a Friday
        {{2024, 1, 7}, "(日)"},                            // Sunday, index 1
        {{2024, 1, 6}, "(土)"},                            // Saturday, index 7
        {{2024, 2, 29}, "(木)"}, {{1899, 12, 30}, "(土)"}, // serial 0
    };
    const AppState state = InitAppState(std::filesystem::path("."));
    for (const Case& c : cases)
        EXPECT_EQ(tw::app::weekdayMarkOf(state, tw::common::dateSerial(c.date)), c.mark)
            << c.date.year << "-" << c.date.month << "-" << c.date.day;
}

} // namespace
