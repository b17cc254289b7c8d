#include "app/start_args.h"

namespace tw::app {

StartArgs parseStartArgs(const std::vector<std::string>& args) {
    StartArgs parsed;
    auto failOnce = [&parsed](std::string message) {
        if (parsed.error.empty())
            parsed.error = std::move(message);
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--version") {
            parsed.version = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--user-data") {
            parsed.userData = true;
        } else if (arg == "--workdir" || arg.rfind("--workdir=", 0) == 0) {
            std::string value;
            if (arg.size() > std::string("--workdir").size()) {
                value = arg.substr(std::string("--workdir=").size());
            } else if (i + 1 < args.size()) {
                value = args[++i];
            }
            if (value.empty())
                failOnce("option --workdir needs a folder");
            else if (!parsed.workdir.empty())
                failOnce("option --workdir given twice");
            else
                parsed.workdir = value;
        } else {
            failOnce("unknown argument '" + arg + "' (see tallowind --help)");
        }
    }
    if (parsed.userData && !parsed.workdir.empty())
        failOnce("--workdir and --user-data choose different folders; give one of them");
    return parsed;
}

std::string startUsage() {
    return "usage: tallowind [--workdir DIR | --user-data] [Qt options such as -platform NAME]\n"
           "\n"
           "Starts Tallowind. The working folder holds Num3Data.tbl, Num4Data.tbl and\n"
           "FileCopy.avi, and receives the selection files and the reports. It is the\n"
           "first of these that applies:\n"
           "  --workdir DIR        the folder DIR\n"
           "  TALLOWIND_WORKDIR    the folder this environment variable names\n"
           "  --user-data          the per-user data folder (the desktop entry passes this)\n"
           "  the current directory, when it holds Num3Data.tbl or Num4Data.tbl and is writable\n"
           "  otherwise the per-user data folder\n"
           "The per-user data folder (usually ~/.local/share/Tallowind) is created and filled\n"
           "with the installed sample history the first time it is used.\n"
           "\n"
           "  --version            prints the version and exits\n"
           "  --help               this text\n";
}

} // namespace tw::app
