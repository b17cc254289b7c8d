#include "app/working_folder.h"

#include "app/app_state.h"
#include "common/file_replace.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tw::app {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

fs::path absoluteFrom(const fs::path& base, const fs::path& dir) {
    if (dir.is_absolute() || base.empty())
        return dir;
    return (base / dir).lexically_normal();
}

// Reads the sample file and writes it into the folder through a temporary file.
bool copyInto(const fs::path& from, const fs::path& to, std::string& detail) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        detail = from.string() + ": " + std::strerror(errno);
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        detail = from.string() + ": " + std::strerror(EIO);
        return false;
    }
    const common::ReplaceResult result = common::replaceFileContents(to.string(), bytes);
    if (!result.ok()) {
        detail = to.string() + ": " + std::strerror(result.error);
        return false;
    }
    return true;
}

} // namespace

FolderChoice chooseWorkingFolder(const FolderFacts& facts) {
    if (!facts.optionDir.empty())
        return {absoluteFrom(facts.currentDir, facts.optionDir), FolderSource::Option};
    if (!facts.envDir.empty())
        return {absoluteFrom(facts.currentDir, facts.envDir), FolderSource::Environment};
    const bool currentUsable = !facts.currentDir.empty() && facts.currentHoldsTables && facts.currentWritable;
    if (facts.userDataDir.empty() || (currentUsable && !facts.userDataRequested))
        return {facts.currentDir.empty() ? fs::path(".") : facts.currentDir, FolderSource::Current};
    return {facts.userDataDir, FolderSource::UserData};
}

bool holdsTableFile(const fs::path& dir) {
    return isFile(dir / kNum3FileName) || isFile(dir / kNum4FileName);
}

bool isSampleFolder(const fs::path& dir) {
    return !dir.empty() && isFile(dir / kNum3FileName) && isFile(dir / kNum4FileName);
}

UserFolderResult prepareUserDataFolder(const fs::path& dir, const fs::path& sampleDir) {
    using Status = UserFolderResult::Status;
    UserFolderResult result;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        result.status = Status::Failed;
        result.detail = dir.string() + ": " + (ec ? ec.message() : std::string(std::strerror(ENOTDIR)));
        return result;
    }

    std::vector<const char*> wanted;
    if (!holdsTableFile(dir)) {
        if (!isSampleFolder(sampleDir)) {
            result.status = Status::NoSamples;
            result.detail = sampleDir.string();
            return result;
        }
        wanted = {kNum3FileName, kNum4FileName};
        result.status = Status::Filled;
    }
    if (!isFile(dir / kAviFileName) && isFile(sampleDir / kAviFileName))
        wanted.push_back(kAviFileName);

    for (const char* name : wanted) {
        if (!copyInto(sampleDir / name, dir / name, result.detail)) {
            // A table copied just before would keep the next start from filling
            // the folder again, so the fill is undone and tried whole next time.
            for (const std::string& done : result.copied)
                if (done != kAviFileName)
                    fs::remove(dir / done, ec);
            result.copied.clear();
            result.status = Status::Failed;
            return result;
        }
        result.copied.emplace_back(name);
    }
    return result;
}

} // namespace tw::app
