#include "common/append_line.h"

#include <cstdio>
#include <filesystem>

namespace tw::common {

bool AppendLineToFile(const std::string& dir, const std::string& name, std::string_view line) {
    const std::filesystem::path path = std::filesystem::path(dir) / name;
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        return false;
    bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    ok = std::fwrite("\r\n", 1, 2, f) == 2 && ok;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace tw::common
