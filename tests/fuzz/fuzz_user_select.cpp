// libFuzzer target: the user selection file. Whatever the file holds, reading it
// for the round of its first line either finds nothing or gives entries that,
// written back and read again, are the same entries.
#include "selection/user_select_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

std::string g_dir;

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw_fuzz_select_XXXXXX").string();
    check(::mkdtemp(pattern.data()) != nullptr);
    g_dir = pattern;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const tw::common::Game game = (data[0] & 1) != 0 ? tw::common::Game::Numbers3 : tw::common::Game::Numbers4;
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string path = (std::filesystem::path(g_dir) / tw::selection::userSelectFileName(game)).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    check(f != nullptr);
    check(std::fwrite(content.data(), 1, content.size(), f) == content.size());
    check(std::fclose(f) == 0);

    // The round the file claims, when its first line is one.
    const std::string first = content.substr(0, content.find('\n'));
    const long claimed = std::strtol(first.c_str(), nullptr, 10);
    const auto round = static_cast<int16_t>(claimed);

    const tw::selection::UserSelectRead read = tw::selection::ReadUserSelectFile(g_dir, game, round);
    if (!read.ok) {
        check(read.entries.empty());
        return 0;
    }
    for (const std::string& e : read.entries)
        check(!e.empty() && e.find(',') == std::string::npos && e.find('\n') == std::string::npos);
    check(static_cast<bool>(tw::selection::WriteUserSelectFile(g_dir, game, round, read.entries)));
    const tw::selection::UserSelectRead again = tw::selection::ReadUserSelectFile(g_dir, game, round);
    check(again.ok && again.entries == read.entries);
    return 0;
}
