// The option reader of brimvale-tool and the checked numbers behind it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/options.h"
#include "common/numbers.h"

namespace {

// Parses `args` as a subcommand with every kind of option would; returns
// the status and the stderr it printed.
struct Parsed {
    int status;
    std::string err;
    std::string text;
    long long count = 7;
    double weight = 2;
    bool fast = false;
    std::vector<std::string> words;
};

Parsed parse(std::vector<std::string> args, cli::Words kind = cli::Words::Files, const char* help = "help\n") {
    Parsed p;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    p.status = cli::Options("test", help)
                   .text("-o", p.text, "--output")
                   .whole("--count", p.count, 1, 100)
                   .real("--weight", p.weight, -10, 10)
                   .flag("--fast", p.fast)
                   .words(kind, p.words, 2)
                   .parse(static_cast<int>(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();
    p.err = testing::internal::GetCapturedStderr();
    return p;
}

}  // namespace

TEST(CheckedNumbers, TheWholeTextAndTheRange) {
    long long v = -1;
    EXPECT_TRUE(common::parseWhole("007", 0, 10, v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"", "12abc", "abc", " 1", "1 ", "+1", "-0", "11", "99999999999999999999"})
        EXPECT_FALSE(common::parseWhole(bad, 0, 10, v)) << bad;
    EXPECT_TRUE(common::parseWhole("-5", -10, 10, v));
    EXPECT_EQ(v, -5);
    EXPECT_TRUE(common::parseWhole("+5", -10, 10, v));
    EXPECT_TRUE(common::parseWhole("-9223372036854775808", -9223372036854775807LL - 1, 0, v));
    double d = 0;
    EXPECT_TRUE(common::parseReal("0.5", 0, 1, d));
    EXPECT_EQ(d, 0.5);
    for (const char* bad : {"", "abc", "1x", " 1", "inf", "nan", "2"}) EXPECT_FALSE(common::parseReal(bad, 0, 1, d)) << bad;
}

TEST(Options, ReadsEveryKindInOrder) {
    const Parsed p = parse({"a", "--output", "x", "--count", "12", "--fast", "-", "--weight", "-2.5", "-o", "y"});
    EXPECT_EQ(p.status, -1) << p.err;
    EXPECT_EQ(p.text, "y");  // the last one given
    EXPECT_EQ(p.count, 12);
    EXPECT_EQ(p.weight, -2.5);
    EXPECT_TRUE(p.fast);
    EXPECT_EQ(p.words, (std::vector<std::string>{"a", "-"}));
    EXPECT_EQ(parse({}).count, 7);  // defaults stay
}

TEST(Options, RefusalsAreOneLineAndStatus2InOrderWithHelp) {
    const std::vector<std::vector<std::string>> refused = {
        {"--count", "12abc"}, {"--count", "0"}, {"--count"}, {"--weight", "x"}, {"--bogus"},
        {"-x"},               {"a", "b", "c"},  {"-o"},      {"--bogus", "--help"}};
    for (const auto& args : refused) {
        const Parsed p = parse(args);
        EXPECT_EQ(p.status, 2) << args[0];
        EXPECT_EQ(p.err.rfind("brimvale-tool test: ", 0), 0u) << p.err;
        EXPECT_EQ(p.err.find('\n'), p.err.size() - 1) << p.err;
    }
    EXPECT_EQ(parse({"--help", "--bogus"}).status, 0);
    EXPECT_EQ(parse({"-h"}).status, 0);
    EXPECT_EQ(parse({"--help"}, cli::Words::Files, nullptr).status, 2);  // no help: an unknown option
    EXPECT_EQ(parse({"a"}, cli::Words::None).status, 2);
}

TEST(Options, TokensMayStartWithOneDash) {
    const Parsed p = parse({"-x", "--", "--help"}, cli::Words::Tokens);
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(parse({"-x", "--"}, cli::Words::Tokens).words, (std::vector<std::string>{"-x", "--"}));
    EXPECT_EQ(parse({"--bogus"}, cli::Words::Tokens).status, 2);
}

TEST(Options, DoubleDashEndsTheOptionsAndAFileNameIsNeverEmpty) {
    Parsed p = parse({"--fast", "--", "-o", "--help"});
    EXPECT_EQ(p.status, -1) << p.err;
    EXPECT_TRUE(p.fast && p.text.empty());
    EXPECT_EQ(p.words, (std::vector<std::string>{"-o", "--help"}));
    EXPECT_EQ(parse({"--", "--"}).words, (std::vector<std::string>{"--"}));
    for (const std::vector<std::string>& args : {std::vector<std::string>{""}, {"a", "--", ""}}) {
        p = parse(args);
        EXPECT_EQ(p.status, 2);
        EXPECT_EQ(p.err, "brimvale-tool test: an empty argument is no file name (see --help)\n");
    }
}
