// The option reader of tallowind-cli: the forms an option may take, the
// refusals, and whole numbers with their range.
#include "cli/options.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using tw::cli::OptionSpec;
using tw::cli::parseOptions;

const std::vector<OptionSpec> kSpecs = {{"--game"}, {"--round"}, {"--data-dir"}, {"--json", false}};

struct Case {
    const char* what;
    std::vector<std::string> args;
    std::map<std::string, std::string> values; // when accepted
    std::string error;                         // when refused
    bool help = false;
};

TEST(CliOptions, FormsAndRefusals) {
    const Case cases[] = {
        {"nothing", {}, {}, ""},
        {"separate values", {"--game", "3", "--round", "9"}, {{"--game", "3"}, {"--round", "9"}}, ""},
        {"joined values", {"--game=4", "--data-dir=/a=b"}, {{"--game", "4"}, {"--data-dir", "/a=b"}}, ""},
        {"empty joined value", {"--round="}, {{"--round", ""}}, ""},
        {"a value that looks like an option", {"--data-dir", "--json"}, {{"--data-dir", "--json"}}, ""},
        {"flag", {"--json", "--game", "3"}, {{"--json", ""}, {"--game", "3"}}, ""},
        {"repeated", {"--game", "3", "--game=4"}, {}, "--game is given twice"},
        {"repeated flag", {"--json", "--json"}, {}, "--json is given twice"},
        {"unknown", {"--colour", "red"}, {}, "unknown option '--colour' (see tallowind-cli test --help)"},
        {"unknown joined", {"--colour=red"}, {}, "unknown option '--colour=red' (see tallowind-cli test --help)"},
        {"stray argument", {"--game", "3", "9"}, {}, "unknown option '9' (see tallowind-cli test --help)"},
        {"single dash", {"-game", "3"}, {}, "unknown option '-game' (see tallowind-cli test --help)"},
        {"value missing at the end", {"--game", "3", "--round"}, {}, "--round needs a value"},
        {"value given to a flag", {"--json=yes"}, {}, "--json takes no value"},
        {"help", {"--help"}, {}, "", true},
        {"help after options", {"--game", "3", "-h", "--colour"}, {}, "", true},
        {"an error before help wins",
         {"--colour", "--help"},
         {},
         "unknown option '--colour' (see tallowind-cli test --help)"},
        {"control characters echoed as ?",
         {"--a\nb\x1b"},
         {},
         "unknown option '--a?b?' (see tallowind-cli test --help)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const tw::cli::ParsedOptions parsed = parseOptions(c.args, kSpecs, "test");
        EXPECT_EQ(parsed.error, c.error);
        EXPECT_EQ(parsed.help, c.help);
        if (c.error.empty() && !c.help) {
            EXPECT_EQ(parsed.values, c.values);
        }
    }
}

struct OperandCase {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;
    std::string error;
};

// A command taking one file name besides its options.
TEST(CliOptions, OneOperand) {
    const OperandCase cases[] = {
        {"file after options", {"--game", "3", "a.csv"}, {"a.csv"}, {{"--game", "3"}}, ""},
        {"file before options", {"a.csv", "--json"}, {"a.csv"}, {{"--json", ""}}, ""},
        {"an option's value is not the file", {"--data-dir", "d", "f"}, {"f"}, {{"--data-dir", "d"}}, ""},
        {"no file", {"--json"}, {}, {{"--json", ""}}, ""},
        {"a file named like an option after --", {"--json", "--", "-x.csv"}, {"-x.csv"}, {{"--json", ""}}, ""},
        {"a second file", {"a.csv", "b.csv"}, {}, {}, "unexpected argument 'b.csv' (see tallowind-cli test --help)"},
        {"an unknown option still refused",
         {"a.csv", "--colour"},
         {},
         {},
         "unknown option '--colour' (see tallowind-cli test --help)"},
    };
    for (const OperandCase& c : cases) {
        SCOPED_TRACE(c.what);
        const tw::cli::ParsedOptions parsed = parseOptions(c.args, kSpecs, "test", 1);
        EXPECT_EQ(parsed.error, c.error);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.operands, c.operands);
            EXPECT_EQ(parsed.values, c.values);
        }
    }
}

struct NumberCase {
    const char* text;
    int64_t min;
    int64_t max;
    std::optional<int64_t> value;
    std::string error;
};

TEST(CliOptions, WholeNumbersInRange) {
    const NumberCase cases[] = {
        {"9", 2, 7055, 9, ""},
        {"-4", INT64_MIN, INT64_MAX, -4, ""},
        {"7055", 2, 7055, 7055, ""},
        {"7056", 2, 7055, std::nullopt, "--round 7056 is out of range (2 .. 7055)"},
        {"1", 2, 7055, std::nullopt, "--round 1 is out of range (2 .. 7055)"},
        {"99999999999", INT32_MIN, INT32_MAX, std::nullopt,
         "--round 99999999999 is out of range (-2147483648 .. 2147483647)"},
        {"99999999999999999999", INT64_MIN, INT64_MAX, std::nullopt,
         "--round 99999999999999999999 is out of range (-9223372036854775808 .. 9223372036854775807)"},
        {"-99999999999999999999", INT64_MIN, INT64_MAX, std::nullopt,
         "--round -99999999999999999999 is out of range (-9223372036854775808 .. 9223372036854775807)"},
        {"12a", 0, 10, std::nullopt, "--round must be a whole number, not '12a'"},
        {"", 0, 10, std::nullopt, "--round must be a whole number, not ''"},
        {"-", 0, 10, std::nullopt, "--round must be a whole number, not '-'"},
        {"+5", 0, 10, std::nullopt, "--round must be a whole number, not '+5'"},
        {" 5", 0, 10, std::nullopt, "--round must be a whole number, not ' 5'"},
        {"5.0", 0, 10, std::nullopt, "--round must be a whole number, not '5.0'"},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_EQ(tw::cli::readWhole("--round", c.text, c.min, c.max, error), c.value);
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    EXPECT_EQ(tw::cli::readWhole("--round", "0", 2, 10, error, "rounds of the history"), std::nullopt);
    EXPECT_EQ(error, "--round 0 is out of range (rounds of the history)");

    EXPECT_EQ(tw::cli::readWholeUnsigned("--seed", "18446744073709551615", UINT64_MAX, error), UINT64_MAX);
    EXPECT_EQ(tw::cli::readWholeUnsigned("--seed", "18446744073709551616", UINT64_MAX, error), std::nullopt);
    EXPECT_EQ(error, "--seed 18446744073709551616 is out of range (0 .. 18446744073709551615)");
    EXPECT_EQ(tw::cli::readWholeUnsigned("--seed", "-1", UINT64_MAX, error), std::nullopt);
    EXPECT_EQ(error, "--seed must be a whole number 0..18446744073709551615, not '-1'");
}

} // namespace
