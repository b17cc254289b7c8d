#include "selection/user_select_file.h"

#include "common/file_replace.h"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string_view>
#include <system_error>

namespace tw::selection {

namespace {

constexpr std::size_t kEntriesPerLine = 20;
constexpr std::size_t kMaxEntries = std::numeric_limits<int16_t>::max();

// Paths are byte strings here, so the UTF-8 name is used as it is.
std::filesystem::path filePath(const std::string& dir, common::Game game) {
    return std::filesystem::path(dir) / userSelectFileName(game);
}

// Value of the round line: optional blanks, an optional sign and digits, with
// nothing after them but blanks. Anything else is not a round.
bool parseRound(std::string_view line, long& value) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (!line.empty() && line.front() == '+')
        line.remove_prefix(1);
    if (line.empty())
        return false;
    const char* end = line.data() + line.size();
    const auto [ptr, ec] = std::from_chars(line.data(), end, value);
    return ec == std::errc() && ptr == end;
}

std::function<bool()>& replaceHook() {
    static std::function<bool()> hook;
    return hook;
}

} // namespace

std::string userSelectFileName(common::Game game) {
    return game == common::Game::Numbers3 ? "NUMBERS３ユーザー選出.dat" : "NUMBERS４ユーザー選出.dat";
}

void setUserSelectReplaceHookForTests(std::function<bool()> hook) {
    replaceHook() = std::move(hook);
}

common::ReplaceResult WriteUserSelectFile(const std::string& dir, common::Game game, int16_t round,
                                          const std::vector<std::string>& entries) {
    if (entries.size() > kMaxEntries)
        return {EOVERFLOW, false, common::ReplaceResult::Step::None, filePath(dir, game).string()};

    std::string content = std::to_string(round) + "\r\n";
    for (std::size_t j = 0; j < entries.size(); ++j) {
        if (j % kEntriesPerLine != 0)
            content += ',';
        content += entries[j];
        if (j % kEntriesPerLine == kEntriesPerLine - 1 || j + 1 == entries.size())
            content += "\r\n";
    }

    // A failure leaves the previous selection file as it was.
    return common::replaceFileContents(filePath(dir, game).string(), content, replaceHook());
}

UserSelectRead ReadUserSelectFile(const std::string& dir, common::Game game, int16_t round) {
    UserSelectRead result;
    std::error_code ec;
    const std::filesystem::path path = filePath(dir, game);
    if (!std::filesystem::is_regular_file(path, ec))
        return result;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return result;
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return result;

    std::vector<std::string_view> lines;
    std::string_view rest = content;
    while (!rest.empty()) {
        const std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos)
            break;
        rest.remove_prefix(nl + 1);
    }

    long stored = 0;
    if (lines.empty() || !parseRound(lines.front(), stored) || stored != round)
        return result;

    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        while (true) {
            const std::size_t comma = line.find(',');
            const std::string_view field = line.substr(0, comma);
            if (!field.empty()) {
                if (result.entries.size() == kMaxEntries)
                    break;
                result.entries.emplace_back(field);
            }
            if (comma == std::string_view::npos)
                break;
            line.remove_prefix(comma + 1);
        }
    }
    result.ok = true;
    return result;
}

} // namespace tw::selection
