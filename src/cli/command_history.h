// The history file a command reads: <data folder>/<table file of the game>.
#pragma once

#include "common/lottery.h"
#include "history/num_data.h"

#include <optional>
#include <string>

namespace tw::cli {

struct CommandHistory {
    std::string path; // the file read, as the messages name it
    history::DrawTable table;
};

// Loads the game's table file from `dataDir` for `command`. A load error or a
// history without rounds is refused on stderr and nothing is returned (the
// command then exits with status 2); a warning of the loader is printed and the
// command goes on.
std::optional<CommandHistory> readHistory(const std::string& command, const std::string& dataDir, common::Game game);

} // namespace tw::cli
