// The working-folder rules over their facts, and the first fill of the per-user
// data folder from the sample files: what is copied, what is never touched, and
// what a failed copy leaves behind.
#include "app/working_folder.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tw::app::chooseWorkingFolder;
using tw::app::FolderFacts;
using tw::app::FolderSource;
using tw::app::prepareUserDataFolder;
using tw::testing::TempFolder;
using Status = tw::app::UserFolderResult::Status;

const char* sourceName(FolderSource source) {
    switch (source) {
    case FolderSource::Option:
        return "Option";
    case FolderSource::Environment:
        return "Environment";
    case FolderSource::Current:
        return "Current";
    case FolderSource::UserData:
        return "UserData";
    }
    return "?";
}

TEST(WorkingFolder, FirstMatchingRuleChoosesTheFolder) {
    struct Case {
        const char* what;
        const char* option;
        const char* env;
        bool userData;
        const char* current;
        bool tables;
        bool writable;
        const char* userDir;
        FolderSource source;
        const char* dir;
    };
    const Case cases[] = {
        {"current folder with tables, writable", "", "", false, "/w", true, true, "/u", FolderSource::Current, "/w"},
        {"no tables, writable (a home folder)", "", "", false, "/w", false, true, "/u", FolderSource::UserData, "/u"},
        {"no tables, not writable (a desktop start in /)", "", "", false, "/", false, false, "/u",
         FolderSource::UserData, "/u"},
        {"tables where nothing can be saved", "", "", false, "/ro", true, false, "/u", FolderSource::UserData, "/u"},
        {"desktop entry, even where tables are", "", "", true, "/w", true, true, "/u", FolderSource::UserData, "/u"},
        {"--workdir beats everything", "/o", "/e", true, "/w", true, true, "/u", FolderSource::Option, "/o"},
        {"--workdir relative to the current folder", "mine/../hist", "", false, "/w", false, false, "/u",
         FolderSource::Option, "/w/hist"},
        {"environment beats the desktop entry", "", "/e", true, "/w", true, true, "/u", FolderSource::Environment,
         "/e"},
        {"environment relative to the current folder", "", "hist", false, "/w", true, true, "/u",
         FolderSource::Environment, "/w/hist"},
        {"explicit folder is taken as it is", "/nowhere", "", false, "/w", true, true, "/u", FolderSource::Option,
         "/nowhere"},
        {"no per-user folder on this system", "", "", true, "/w", false, false, "", FolderSource::Current, "/w"},
        {"current folder unknown", "", "", false, "", false, false, "/u", FolderSource::UserData, "/u"},
        {"current folder unknown, nothing else", "", "", false, "", false, false, "", FolderSource::Current, "."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FolderFacts facts;
        facts.optionDir = c.option;
        facts.envDir = c.env;
        facts.userDataRequested = c.userData;
        facts.currentDir = c.current;
        facts.currentHoldsTables = c.tables;
        facts.currentWritable = c.writable;
        facts.userDataDir = c.userDir;
        const auto choice = chooseWorkingFolder(facts);
        EXPECT_STREQ(sourceName(choice.source), sourceName(c.source));
        EXPECT_EQ(choice.dir, fs::path(c.dir));
    }
}

TEST(WorkingFolder, HoldsTableFileNeedsOneOfTheTwoTables) {
    TempFolder dir;
    EXPECT_FALSE(tw::app::holdsTableFile(dir.path()));
    dir.write("FileCopy.avi", "clip");
    fs::create_directory(dir.path() / "Num3Data.tbl"); // a folder of that name is no table
    EXPECT_FALSE(tw::app::holdsTableFile(dir.path()));
    dir.write("Num4Data.tbl", "");
    EXPECT_TRUE(tw::app::holdsTableFile(dir.path()));
}

class UserDataFolder : public ::testing::Test {
protected:
    TempFolder samples;
    TempFolder home;
    fs::path dir() const { return home.path() / "share" / "Tallowind"; }

    void SetUp() override {
        samples.write("Num3Data.tbl", "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n");
        samples.write("Num4Data.tbl", "1,1994/10/07,1911,1198000,399000,798000,199000\r\n");
        samples.write("FileCopy.avi", std::string("RIFF\0\0\0\0AVI ", 12));
    }
    std::string read(const char* name) const { return tw::testing::readBytes(dir() / name); }
    bool exists(const char* name) const { return fs::exists(dir() / name); }
};

TEST_F(UserDataFolder, FirstStartCreatesTheFolderAndCopiesTheSamples) {
    const auto result = prepareUserDataFolder(dir(), samples.path());
    EXPECT_EQ(result.status, Status::Filled);
    EXPECT_EQ(result.copied, (std::vector<std::string>{"Num3Data.tbl", "Num4Data.tbl", "FileCopy.avi"}));
    for (const char* name : {"Num3Data.tbl", "Num4Data.tbl", "FileCopy.avi"})
        EXPECT_EQ(read(name), samples.read(name)) << name;
    EXPECT_FALSE(exists("Num3Data.tbl.tmp"));

    // The next start finds the tables: nothing is copied, nothing to say.
    const auto again = prepareUserDataFolder(dir(), samples.path());
    EXPECT_EQ(again.status, Status::Ready);
    EXPECT_TRUE(again.copied.empty());
}

TEST_F(UserDataFolder, TheUsersTablesAreNeverReplaced) {
    fs::create_directories(dir());
    const std::string own = "1,1994/10/07,555,1,1,1,1,1\r\n2,1994/10/14,123,1,1,1,1,1\r\n";
    ASSERT_TRUE(tw::testing::writeBytes(dir() / "Num3Data.tbl", own));
    // One table alone is not completed from the samples, and it stays as it is;
    // only the clip, which holds no data, is added.
    const auto result = prepareUserDataFolder(dir(), samples.path());
    EXPECT_EQ(result.status, Status::Ready);
    EXPECT_EQ(result.copied, (std::vector<std::string>{"FileCopy.avi"}));
    EXPECT_EQ(read("Num3Data.tbl"), own);
    EXPECT_FALSE(exists("Num4Data.tbl"));
}

TEST_F(UserDataFolder, WithoutSamplesNothingIsCopied) {
    TempFolder empty;
    for (const fs::path& from : {fs::path(), empty.path()}) {
        const auto result = prepareUserDataFolder(dir(), from);
        EXPECT_EQ(result.status, Status::NoSamples);
        EXPECT_TRUE(result.copied.empty());
        EXPECT_TRUE(fs::is_empty(dir()));
    }
}

TEST_F(UserDataFolder, AFailedCopyLeavesNoTableBehind) {
    // The second table cannot be written (a folder stands where it would go):
    // the first one, already copied, is taken away again so that the next start
    // fills the folder whole instead of loading half of it.
    fs::create_directories(dir() / "Num4Data.tbl");
    const auto result = prepareUserDataFolder(dir(), samples.path());
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_NE(result.detail.find("Num4Data.tbl"), std::string::npos) << result.detail;
    EXPECT_FALSE(exists("Num3Data.tbl"));
    EXPECT_TRUE(result.copied.empty());

    fs::remove(dir() / "Num4Data.tbl");
    EXPECT_EQ(prepareUserDataFolder(dir(), samples.path()).status, Status::Filled);
}

TEST_F(UserDataFolder, AFolderThatCannotBeMadeIsAFailure) {
    home.write("share", "a file where the folder would go");
    const auto result = prepareUserDataFolder(dir(), samples.path());
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_NE(result.detail.find("share"), std::string::npos) << result.detail;
}

} // namespace
