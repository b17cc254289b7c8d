// --version of both programs, run as programs: the version CMake's project()
// gives, on stdout, status 0. The window program answers it without a display,
// before its application object exists; a bad option of the window program is
// refused on stderr with status 2 before any window opens.
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tw::testing::ProgramRun;
using tw::testing::runProgram;

const std::string kVersion = TALLOWIND_PROJECT_VERSION;

TEST(Version, CliPrintsTheProjectVersion) {
    const ProgramRun o = runProgram(TALLOWIND_CLI, {"--version"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "tallowind-cli " + kVersion + "\n");
    EXPECT_EQ(o.err, "");
    EXPECT_NE(runProgram(TALLOWIND_CLI, {"--help"}).out.find("--version"), std::string::npos);
}

#ifdef TALLOWIND_GUI
// The window program with no display of any kind in its environment.
ProgramRun runWithoutDisplay(const std::string& option) {
    return runProgram("env",
                      {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", TALLOWIND_GUI, option});
}

TEST(Version, WindowProgramAnswersWithoutADisplay) {
    const ProgramRun version = runWithoutDisplay("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tallowind " + kVersion + "\n");
    EXPECT_EQ(version.err, "");

    const ProgramRun help = runWithoutDisplay("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"--workdir", "--user-data", "TALLOWIND_WORKDIR", "--version"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

TEST(Version, WindowProgramRefusesABadOptionBeforeAnyWindow) {
    const ProgramRun o = tw::testing::runProgramLine("env", "QT_QPA_PLATFORM=offscreen " +
                                                                tw::testing::shellQuoted(TALLOWIND_GUI) + " --workdir");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("tallowind: option --workdir needs a folder\n"), std::string::npos) << o.err;
}
#endif

} // namespace
