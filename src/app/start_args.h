// The window program's own command-line options. Qt's options (-platform and
// the like) are taken out by the application object before the strict parse;
// --version and --help are looked for first, so they work where no display is.
// Standard library only.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tw::app {

struct StartArgs {
    std::filesystem::path workdir; // --workdir DIR; empty when not given
    bool userData = false;         // --user-data
    bool version = false;          // --version
    bool help = false;             // --help / -h
    std::string error;             // a bad option or a missing value; empty when the line is good
};

// Parses the arguments after the program name. --version and --help are
// reported even when other arguments are bad, so they answer before anything
// else is set up. Options may also be written --name=value.
StartArgs parseStartArgs(const std::vector<std::string>& args);

// The text of --help.
std::string startUsage();

} // namespace tw::app
