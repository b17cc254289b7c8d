// The application state fixed once at start-up: the paths of the two draw table
// files and of the loading animation, taken from the working directory at that
// moment, and the weekday marks shown after dates. Standard library only; the
// draw tables themselves are owned by the application object (app/gui).
#pragma once

#include "common/lottery.h"

#include <array>
#include <filesystem>
#include <string>

namespace tw::app {

inline constexpr const char* kNum3FileName = "Num3Data.tbl";
inline constexpr const char* kNum4FileName = "Num4Data.tbl";
inline constexpr const char* kAviFileName = "FileCopy.avi";

struct AppState {
    std::string Num3FilePath;
    std::string Num4FilePath;
    std::string AviFilePath;
    // Indexed by weekday number, 1 = Sunday .. 7 = Saturday; 0 is a filler no date selects.
    std::array<std::string, 8> WeekdayMark;

    // The table file of the game.
    const std::string& tableFilePath(common::Game game) const;
    // The folder of the three files, which also receives the selection files and the reports.
    std::filesystem::path workingFolder() const;
};

// The game radio buttons of the main window: option 0 is NUMBERS3, option 1 NUMBERS4.
constexpr common::Game gameOfOption(int index) {
    return index == 0 ? common::Game::Numbers3 : common::Game::Numbers4;
}
constexpr int optionOfGame(common::Game game) {
    return game == common::Game::Numbers3 ? 0 : 1;
}

// Fills the state for files in `workingDir`. Touches no file.
AppState InitAppState(const std::filesystem::path& workingDir);
// The same for the process's working directory at the moment of the call.
AppState InitAppState();

// The weekday mark of a date serial (days since 1899-12-30), e.g. "(金)" for a Friday.
const std::string& weekdayMarkOf(const AppState& state, double serial);

} // namespace tw::app
