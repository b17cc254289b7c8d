#include "cli/command_history.h"

#include "cli/options.h"
#include "history/table_file.h"

#include <filesystem>
#include <utility>

namespace tw::cli {

std::optional<CommandHistory> readHistory(const std::string& command, const std::string& dataDir, common::Game game) {
    const std::string path = (std::filesystem::path(dataDir) / common::tableFileName(game)).string();
    history::LoadResult loaded = history::loadTableFile(path, game);
    if (loaded.error) {
        refuse(command, loaded.error.message());
        return std::nullopt;
    }
    if (loaded.warning)
        warn(command, loaded.warning.message());
    if (loaded.table.count == 0) {
        refuse(command, "the history file '" + path + "' holds no rounds");
        return std::nullopt;
    }
    return CommandHistory{path, std::move(loaded.table)};
}

} // namespace tw::cli
