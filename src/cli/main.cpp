// tallowind-cli: the program's analysis without windows, for scripts and checks.
#include "cli/commands.h"
#include "tallowind_version.h"

#include <iostream>

namespace tw::cli {
std::map<std::string, Command>& commandTable() {
    static std::map<std::string, Command> table;
    return table;
}
} // namespace tw::cli

namespace {

void printUsage(std::ostream& out) {
    out << "usage: tallowind-cli <command> [options]\n\ncommands:\n";
    for (const auto& [name, command] : tw::cli::commandTable())
        out << "  " << name << std::string(name.size() < 10 ? 10 - name.size() : 1, ' ') << command.summary << "\n";
    out << "\n'tallowind-cli <command> --help' describes a command's options;\n"
           "'tallowind-cli --version' prints the version.\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        printUsage(std::cout);
        return 0;
    }
    if (name == "--version") {
        std::cout << "tallowind-cli " << tw::kVersion << "\n";
        return 0;
    }
    const auto& table = tw::cli::commandTable();
    const auto it = table.find(name);
    if (it == table.end()) {
        std::cerr << "tallowind-cli: unknown command '" << name << "' (see tallowind-cli --help)\n";
        return 2;
    }
    return it->second.run(tw::cli::Args(argv + 2, argv + argc));
}
