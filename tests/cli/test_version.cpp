// --version of both programs, run as programs: the version CMake's project()
// gives, on stdout, status 0. The window program answers it without a display,
// before its application object exists; a bad option of the window program is
// refused on stderr with status 2 before any window opens.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs a shell command line and collects its stdout (stderr joins it with 2>&1).
Outcome run(const std::string& command) {
    Outcome o;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return o;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        o.out.append(buf, n);
    const int raw = ::pclose(pipe);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return o;
}

const std::string kVersion = TALLOWIND_PROJECT_VERSION;

TEST(Version, CliPrintsTheProjectVersion) {
    const Outcome o = run("'" TALLOWIND_CLI "' --version 2>&1");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "tallowind-cli " + kVersion + "\n");
    EXPECT_NE(run("'" TALLOWIND_CLI "' --help").out.find("--version"), std::string::npos);
}

#ifdef TALLOWIND_GUI
TEST(Version, WindowProgramAnswersWithoutADisplay) {
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" TALLOWIND_GUI "'";
    const Outcome version = run(noDisplay + " --version 2>&1");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tallowind " + kVersion + "\n");

    const Outcome help = run(noDisplay + " --help 2>&1");
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"--workdir", "--user-data", "TALLOWIND_WORKDIR", "--version"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

TEST(Version, WindowProgramRefusesABadOptionBeforeAnyWindow) {
    const Outcome o = run("QT_QPA_PLATFORM=offscreen '" TALLOWIND_GUI "' --workdir 2>&1 >/dev/null");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.out.find("tallowind: option --workdir needs a folder\n"), std::string::npos) << o.out;
}
#endif

} // namespace
