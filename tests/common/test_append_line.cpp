#include "common/append_line.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(AppendLine, CreatesThenAppendsWithCrLf) {
    tw::testing::TempFolder dir;
    EXPECT_TRUE(tw::common::AppendLineToFile(dir.str(), "out.html", "<html>"));
    EXPECT_TRUE(tw::common::AppendLineToFile(dir.str(), "out.html", ""));
    EXPECT_TRUE(tw::common::AppendLineToFile(dir.str(), "out.html", "\x82\xA0")); // bytes kept as given
    EXPECT_EQ(dir.read("out.html"), "<html>\r\n\r\n\x82\xA0\r\n");
}

TEST(AppendLine, WholeBytesInOneAppend) {
    tw::testing::TempFolder dir;
    dir.write("page.html", "first page\r\n");
    EXPECT_TRUE(tw::common::AppendToFile(dir.str(), "page.html", std::string(100000, 'x') + "\r\n"));
    EXPECT_EQ(dir.read("page.html"), "first page\r\n" + std::string(100000, 'x') + "\r\n");
    std::filesystem::create_directory(dir.path() / "folder.html");
    EXPECT_FALSE(tw::common::AppendToFile(dir.str(), "folder.html", "x"));
}

TEST(AppendLine, MissingFolderFails) {
    tw::testing::TempFolder dir;
    EXPECT_FALSE(tw::common::AppendLineToFile((dir.path() / "absent").string(), "out.html", "x"));
}

} // namespace
