#include "common/append_line.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

TEST(AppendLine, CreatesThenAppendsWithCrLf) {
    tw::testing::TempDir dir;
    EXPECT_TRUE(tw::common::AppendLineToFile(dir.str(), "out.html", "<html>"));
    EXPECT_TRUE(tw::common::AppendLineToFile(dir.str(), "out.html", ""));
    EXPECT_TRUE(tw::common::AppendLineToFile(dir.str(), "out.html", "\x82\xA0"));   // bytes kept as given
    EXPECT_EQ(dir.read("out.html"), "<html>\r\n\r\n\x82\xA0\r\n");
}

TEST(AppendLine, MissingFolderFails) {
    tw::testing::TempDir dir;
    EXPECT_FALSE(tw::common::AppendLineToFile((dir.path() / "absent").string(), "out.html", "x"));
}

} // namespace
