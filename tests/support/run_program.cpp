#include "support/run_program.h"

#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <cstdio>

#include <sys/wait.h>

namespace tw::testing {

std::string shellQuoted(const std::string& text) {
    std::string quoted(1, '\'');
    for (char c : text) {
        if (c == '\'')
            quoted.append("'\\''");
        else
            quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
}

ProgramRun runProgramLine(const std::string& program, const std::string& commandLine) {
    const TempFolder scratch;
    const std::string errFile = scratch.file("stderr.txt");
    std::string command = shellQuoted(program);
    if (!commandLine.empty())
        command.append(1, ' ').append(commandLine);
    command.append(" 2>").append(shellQuoted(errFile));
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = readBytes(errFile);
    return run;
}

std::string oneLineRefusalProblem(const ProgramRun& run) {
    std::string problem;
    if (run.status != 2)
        problem += "status " + std::to_string(run.status) + ", not 2; ";
    if (!run.out.empty())
        problem += "standard output not empty: " + run.out + "; ";
    if (run.err.empty() || run.err.find('\n') != run.err.size() - 1)
        problem += "standard error is not one line: " + run.err;
    return problem;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args) {
    std::string commandLine;
    for (const std::string& arg : args) {
        if (!commandLine.empty())
            commandLine.push_back(' ');
        commandLine.append(shellQuoted(arg));
    }
    return runProgramLine(program, commandLine);
}

} // namespace tw::testing
