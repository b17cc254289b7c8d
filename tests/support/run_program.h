// Running a program of the build (tallowind-cli, tallowind) as a user runs it
// from a shell, with its exit status, standard output and standard error kept
// apart as bytes.
#pragma once

#include <string>
#include <vector>

namespace tw::testing {

struct ProgramRun {
    int status = -1; // the exit status; -1 when it did not exit normally or did not start
    std::string out;
    std::string err;
};

// `text` in single quotes for sh, a quote inside written '\''.
std::string shellQuoted(const std::string& text);

// Runs `program` with each of `args` as one argument.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

// Runs `program` with the rest of the command line as written for sh (quote
// what needs quoting with shellQuoted).
ProgramRun runProgramLine(const std::string& program, const std::string& commandLine);

// Empty when `run` was refused the way the commands refuse a bad invocation:
// status 2, nothing on standard output and exactly one line on standard error;
// otherwise what differs, for the failure message.
std::string oneLineRefusalProblem(const ProgramRun& run);

} // namespace tw::testing
