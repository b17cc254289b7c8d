#include "app/app_state.h"

#include "common/date_serial.h"

namespace tw::app {

namespace {
const std::array<std::string, 8> kWeekdayMarks = {
    "(？)", "(日)", "(月)", "(火)", "(水)", "(木)", "(金)", "(土)",
};

std::string joined(const std::filesystem::path& dir, const char* name) {
    return (dir / name).string();
}
} // namespace

const std::string& AppState::tableFilePath(common::Game game) const {
    return game == common::Game::Numbers4 ? Num4FilePath : Num3FilePath;
}

std::filesystem::path AppState::workingFolder() const {
    return std::filesystem::path(Num3FilePath).parent_path();
}

AppState InitAppState(const std::filesystem::path& workingDir) {
    AppState state;
    state.Num3FilePath = joined(workingDir, kNum3FileName);
    state.Num4FilePath = joined(workingDir, kNum4FileName);
    state.AviFilePath = joined(workingDir, kAviFileName);
    state.WeekdayMark = kWeekdayMarks;
    return state;
}

AppState InitAppState() {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::current_path(ec);
    // A working directory that has vanished still gives names relative to ".", so
    // the loader reports the missing file instead of the program failing here.
    if (ec)
        dir = ".";
    return InitAppState(dir);
}

const std::string& weekdayMarkOf(const AppState& state, double serial) {
    const int weekday = common::weekdayNumber(serial);
    return state.WeekdayMark[weekday >= 1 && weekday <= 7 ? static_cast<std::size_t>(weekday) : 0];
}

} // namespace tw::app
