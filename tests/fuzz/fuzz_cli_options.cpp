// libFuzzer target: the option reader of the command-line tool. The input is a
// list of arguments separated by NUL bytes. Accepted options are only those
// declared, and written back in the "--name=value" form they read the same;
// a refusal is one line, whatever the arguments hold. Numbers read within their range print back to the
// same value.
#include "cli/options.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

const std::vector<tw::cli::OptionSpec> kSpecs = {{"--game"},       {"--from"}, {"--to"},         {"--data-dir"},
                                                 {"--portfolios"}, {"--seed"}, {"--json", false}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const tw::cli::ParsedOptions parsed = tw::cli::parseOptions(args, kSpecs, "fuzz");
    if (parsed.help)
        return 0;
    if (!parsed.error.empty()) {
        check(parsed.error.find_first_of("\r\n") == std::string::npos);
        return 0;
    }
    std::vector<std::string> again;
    for (const auto& [name, value] : parsed.values) {
        bool declared = false;
        for (const tw::cli::OptionSpec& spec : kSpecs)
            if (spec.name == name) {
                declared = true;
                again.push_back(spec.takesValue ? name + "=" + value : name);
            }
        check(declared);
        std::string error;
        if (const std::optional<int64_t> n = tw::cli::readWhole(name, value, -1000, INT64_MAX, error)) {
            check(*n >= -1000 && error.empty());
            std::string back;
            check(tw::cli::readWhole(name, std::to_string(*n), -1000, INT64_MAX, back) == n);
        } else {
            check(!error.empty() && error.find_first_of("\r\n") == std::string::npos);
        }
    }
    const tw::cli::ParsedOptions reread = tw::cli::parseOptions(again, kSpecs, "fuzz");
    check(reread.error.empty() && !reread.help && reread.values == parsed.values);
    return 0;
}
