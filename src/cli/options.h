// The option reader the commands of tallowind-cli share: "--name value" and
// "--name=value", flags without a value, "--help"/"-h", and whole numbers with a
// range. Every refusal is one line of English that the command prints after its
// name and then exits with status 2: an unknown option or a stray argument, an
// option given twice, a value missing, a value given to a flag, a number that is
// not a whole number, and one outside its range ("... is out of range ...").
// Standard library only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tw::cli {

struct OptionSpec {
    std::string name;       // with its dashes: "--game"
    bool takesValue = true; // false for a flag such as "--json"
};

struct ParsedOptions {
    bool help = false;                         // --help or -h was met (reading stopped there)
    std::string error;                         // the refusal, empty when the arguments are fine
    std::map<std::string, std::string> values; // options given, with their values ("" for a flag)
    std::vector<std::string> operands;         // arguments that are not options (a file name), in order

    bool has(const std::string& name) const { return values.count(name) != 0; }
    // The value of an option, or `fallback` when it was not given.
    std::string value(const std::string& name, const std::string& fallback = {}) const;
};

// Reads `args` (the arguments after the command's name) against `specs`.
// `command` names the command in the hint of an unknown option. Up to
// `maxOperands` arguments that do not start with '-' are operands (a command
// taking a file name); every argument after "--" is one too, so that a file
// named "-x" can be given. Further operands are refused.
ParsedOptions parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                           const std::string& command, std::size_t maxOperands = 0);

// A whole number in min..max: optional '-', then decimal digits, nothing else.
// On a refusal returns nullopt and sets `error` to "<name> must be a whole
// number, not '<text>'" or "<name> <text> is out of range (<min> .. <max>)";
// `rangeText` replaces "<min> .. <max>" when given.
std::optional<int64_t> readWhole(const std::string& name, const std::string& text, int64_t min, int64_t max,
                                 std::string& error, const std::string& rangeText = {});
std::optional<uint64_t> readWholeUnsigned(const std::string& name, const std::string& text, uint64_t max,
                                          std::string& error);

// The text with its line breaks as spaces, so that a message stays one line.
std::string oneLine(std::string text);

// Prints "tallowind-cli <command>: <message>" on stderr as one line and returns
// the exit status of a refusal, 2.
int refuse(const std::string& command, const std::string& message);

// Prints "tallowind-cli <command>: warning: <message>" on stderr as one line;
// the command goes on.
void warn(const std::string& command, const std::string& message);

} // namespace tw::cli
