// The window program's options: the folder options, --version and --help (which
// answer even beside bad arguments), and the refused lines.
#include "app/start_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tw::app::parseStartArgs;

TEST(StartArgs, OptionsAndRefusals) {
    struct Case {
        std::vector<std::string> args;
        const char* workdir;
        bool userData;
        bool version;
        bool help;
        const char* error; // a piece of the message; "" for a good line
    };
    const Case cases[] = {
        {{}, "", false, false, false, ""},
        {{"--workdir", "hist"}, "hist", false, false, false, ""},
        {{"--workdir=/data/hist"}, "/data/hist", false, false, false, ""},
        {{"--user-data"}, "", true, false, false, ""},
        {{"--version"}, "", false, true, false, ""},
        {{"--bogus", "--version"}, "", false, true, false, "unknown argument '--bogus'"},
        {{"-h"}, "", false, false, true, ""},
        {{"--help", "--workdir"}, "", false, false, true, "needs a folder"},
        {{"--workdir"}, "", false, false, false, "needs a folder"},
        {{"--workdir="}, "", false, false, false, "needs a folder"},
        {{"--workdir", "a", "--workdir", "b"}, "a", false, false, false, "twice"},
        {{"--workdir", "a", "--user-data"}, "a", true, false, false, "give one of them"},
        {{"hist"}, "", false, false, false, "unknown argument 'hist'"},
        {{"--workdirx"}, "", false, false, false, "unknown argument"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const auto parsed = parseStartArgs(c.args);
        EXPECT_EQ(parsed.workdir.string(), c.workdir);
        EXPECT_EQ(parsed.userData, c.userData);
        EXPECT_EQ(parsed.version, c.version);
        EXPECT_EQ(parsed.help, c.help);
        if (*c.error == '\0')
            EXPECT_EQ(parsed.error, "");
        else
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
}

} // namespace
