// Replacing a file in a folder that holds more than the file: entries under
// temporary-looking names are never opened, a file reached through a symbolic
// link is replaced where it lives and the link stays, and a failure names the
// file it happened to.
#include "common/file_replace.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using tw::common::replaceFileContents;
using tw::common::ReplaceResult;
using tw::testing::TempFolder;

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Before, the temporary file was "<name>.tmp", opened without O_EXCL and
// following links: a link under that name sent the new bytes into the file it
// points to, and a stale read-only one made every replacement fail.
TEST(FileReplace, WhatLiesUnderTheTemporaryNameIsLeftAlone) {
    struct Case {
        const char* name;
        void (*plant)(const TempFolder& dir);
    };
    const Case cases[] = {
        {"a symbolic link named <name>.tmp",
         [](const TempFolder& dir) { fs::create_symlink(dir.path() / "victim", dir.path() / "table.tbl.tmp"); }},
        {"a stale read-only <name>.tmp",
         [](const TempFolder& dir) {
             dir.write("table.tbl.tmp", "half a table");
             ::chmod((dir.path() / "table.tbl.tmp").c_str(), 0444);
         }},
        {"a folder named <name>.tmp",
         [](const TempFolder& dir) { fs::create_directory(dir.path() / "table.tbl.tmp"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        dir.write("table.tbl", "old\r\n");
        dir.write("victim", "someone else's file\r\n");
        c.plant(dir);
        const auto before = namesIn(dir.path());
        const std::string planted =
            fs::is_directory(dir.path() / "table.tbl.tmp") ? std::string() : dir.read("table.tbl.tmp");

        ASSERT_TRUE(replaceFileContents((dir.path() / "table.tbl").string(), "new\r\n"));
        EXPECT_EQ(dir.read("table.tbl"), "new\r\n");
        EXPECT_EQ(dir.read("victim"), "someone else's file\r\n");
        EXPECT_EQ(namesIn(dir.path()), before);
        if (!planted.empty()) {
            EXPECT_EQ(dir.read("table.tbl.tmp"), planted);
        }
    }
}

// Before, the rename replaced the link itself by a regular file, and the file
// the link pointed to kept the old data.
TEST(FileReplace, ALinkedFileIsReplacedWhereItLivesAndTheLinkStays) {
    TempFolder dir;
    fs::create_directories(dir.path() / "store" / "deep");
    dir.write("store/deep/table.tbl", "old\r\n");
    ::chmod((dir.path() / "store/deep/table.tbl").c_str(), 0640);
    fs::create_symlink("deep/table.tbl", dir.path() / "store" / "hop.tbl"); // relative, and a chain
    fs::create_symlink(dir.path() / "store" / "hop.tbl", dir.path() / "table.tbl");

    const std::string link = (dir.path() / "table.tbl").string();
    EXPECT_EQ(tw::common::replacementTarget(link), fs::canonical(dir.path() / "store/deep/table.tbl").string());
    ASSERT_TRUE(replaceFileContents(link, "new\r\n"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "store" / "hop.tbl")));
    EXPECT_EQ(dir.read("store/deep/table.tbl"), "new\r\n");
    EXPECT_EQ(fs::status(dir.path() / "store/deep/table.tbl").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(namesIn(dir.path() / "store" / "deep"), std::vector<std::string>{"table.tbl"});
}

TEST(FileReplace, AFailureNamesTheFileItHappenedTo) {
    TempFolder dir;
    dir.write("plain", "a file, not a folder");
    const ReplaceResult noFolder = replaceFileContents((dir.path() / "plain" / "table.tbl").string(), "x");
    EXPECT_FALSE(noFolder);
    EXPECT_EQ(noFolder.error, ENOTDIR);
    EXPECT_EQ(noFolder.step, ReplaceResult::Step::CreateTemporary);
    EXPECT_EQ(fs::path(noFolder.failedPath).parent_path(), dir.path() / "plain");
    EXPECT_EQ(fs::path(noFolder.failedPath).filename().string().rfind("table.tbl.tmp-", 0), 0u);

    fs::create_directories(dir.path() / "table.tbl" / "inside"); // the target is a folder that is not empty
    const ReplaceResult folder = replaceFileContents((dir.path() / "table.tbl").string(), "x");
    EXPECT_FALSE(folder);
    EXPECT_EQ(folder.step, ReplaceResult::Step::Rename);
    EXPECT_EQ(folder.failedPath, (dir.path() / "table.tbl").string());
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"plain", "table.tbl"}));

    bool asked = false;
    dir.write("kept.tbl", "old");
    const ReplaceResult stopped = replaceFileContents((dir.path() / "kept.tbl").string(), "new", [&] {
        asked = true;
        return false;
    });
    EXPECT_TRUE(asked);
    EXPECT_TRUE(stopped.abortedBeforeRename);
    EXPECT_EQ(dir.read("kept.tbl"), "old");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"kept.tbl", "plain", "table.tbl"}));
}

} // namespace
