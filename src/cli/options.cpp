#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <system_error>

namespace tw::cli {

namespace {

enum class Whole { Ok, NotANumber, OutOfRange };

// An argument as a refusal echoes it: control characters become '?', so that
// the refusal stays one line whatever was typed or passed by a script.
std::string shown(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return out;
}

// Digits only (after an optional '-'), so "+5", " 5", "5 " and "" are not numbers;
// a run of digits too long for the type is a number out of range.
template <typename T> Whole parseWhole(const std::string& text, T& value) {
    const std::size_t digitsFrom = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digitsFrom || !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digitsFrom), text.end(),
                                                  [](char c) { return c >= '0' && c <= '9'; }))
        return Whole::NotANumber;
    if (digitsFrom == 1 && std::is_unsigned_v<T>)
        return Whole::NotANumber;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range)
        return Whole::OutOfRange;
    return ec == std::errc() && ptr == end ? Whole::Ok : Whole::NotANumber;
}

} // namespace

std::string ParsedOptions::value(const std::string& name, const std::string& fallback) const {
    const auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
}

ParsedOptions parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs,
                           const std::string& command, std::size_t maxOperands) {
    ParsedOptions out;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (maxOperands > 0 && (optionsEnded || (!arg.empty() && arg[0] != '-'))) {
            if (out.operands.size() >= maxOperands) {
                out.error = "unexpected argument '" + shown(arg) + "' (see tallowind-cli " + command + " --help)";
                return out;
            }
            out.operands.push_back(arg);
            continue;
        }
        if (maxOperands > 0 && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            return out;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const auto spec =
            std::find_if(specs.begin(), specs.end(), [&name](const OptionSpec& s) { return s.name == name; });
        if (spec == specs.end()) {
            out.error = "unknown option '" + shown(arg) + "' (see tallowind-cli " + command + " --help)";
            return out;
        }
        if (out.has(name)) {
            out.error = name + " is given twice";
            return out;
        }
        if (!spec->takesValue) {
            if (value) {
                out.error = name + " takes no value";
                return out;
            }
            value = std::string();
        } else if (!value) {
            if (i + 1 >= args.size()) {
                out.error = name + " needs a value";
                return out;
            }
            value = args[++i];
        }
        out.values[name] = *value;
    }
    return out;
}

std::optional<int64_t> readWhole(const std::string& name, const std::string& text, int64_t min, int64_t max,
                                 std::string& error, const std::string& rangeText) {
    int64_t value = 0;
    const Whole w = parseWhole(text, value);
    if (w == Whole::NotANumber) {
        error = name + " must be a whole number, not '" + shown(text) + "'";
        return std::nullopt;
    }
    if (w == Whole::OutOfRange || value < min || value > max) {
        error = name + " " + shown(text) + " is out of range (" +
                (rangeText.empty() ? std::to_string(min) + " .. " + std::to_string(max) : rangeText) + ")";
        return std::nullopt;
    }
    return value;
}

std::optional<uint64_t> readWholeUnsigned(const std::string& name, const std::string& text, uint64_t max,
                                          std::string& error) {
    uint64_t value = 0;
    const Whole w = parseWhole(text, value);
    if (w == Whole::NotANumber) {
        error = name + " must be a whole number 0.." + std::to_string(max) + ", not '" + shown(text) + "'";
        return std::nullopt;
    }
    if (w == Whole::OutOfRange || value > max) {
        error = name + " " + shown(text) + " is out of range (0 .. " + std::to_string(max) + ")";
        return std::nullopt;
    }
    return value;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

int refuse(const std::string& command, const std::string& message) {
    std::cerr << "tallowind-cli " << command << ": " << oneLine(message) << "\n";
    return 2;
}

void warn(const std::string& command, const std::string& message) {
    std::cerr << "tallowind-cli " << command << ": warning: " << oneLine(message) << "\n";
}

} // namespace tw::cli
