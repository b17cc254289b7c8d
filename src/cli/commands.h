// The commands of tallowind-cli. Each command file registers itself with one
// static CommandRegistration; main.cpp dispatches on the name. A command returns
// the process exit status: 0 success, 2 bad usage or input (one line on stderr).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tw::cli {

using Args = std::vector<std::string>; // the arguments after the command name
using CommandFn = int (*)(const Args& args);

struct Command {
    std::string summary;
    CommandFn run = nullptr;
};

std::map<std::string, Command>& commandTable();

struct CommandRegistration {
    CommandRegistration(const char* name, const char* summary, CommandFn run) {
        commandTable()[name] = Command{summary, run};
    }
};

} // namespace tw::cli
