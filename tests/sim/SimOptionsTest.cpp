#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

std::optional<SimOptions> parse(const std::vector<std::string_view>& args)
{
    std::string error;
    auto options = SimOptions::parse(args, error);
    EXPECT_EQ(options.has_value(), error.empty()) << error;
    return options;
}

TEST(SimOptions, ReadsEveryOption)
{
    const auto options =
        parse({"--link",         "/tmp/port", "--state", "s.json",   "--log",      "l.txt",
               "--rs485",        "--slaves",  "0,3,12",  "--silent", "--delay",    "250",
               "--split",        "0",         "--reply", "MENU",     "--error-on", "4",
               "--hangup-after", "9",         "--baud",  "9600",     "--help"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->link, "/tmp/port");
    EXPECT_EQ(options->state, "s.json");
    EXPECT_EQ(options->log, "l.txt");
    EXPECT_EQ(options->slaves, (std::vector<int>{0, 3, 12}));
    EXPECT_TRUE(options->faults.silent);
    EXPECT_EQ(options->delayMs, 250);
    EXPECT_EQ(options->splitMs, 0);
    EXPECT_EQ(options->faults.reply, "MENU");
    EXPECT_EQ(options->faults.errorOn, 4);
    EXPECT_EQ(options->faults.hangUpAfter, 9);
    EXPECT_EQ(options->baud, 9600);
    EXPECT_TRUE(options->help);
}

TEST(SimOptions, Rs485WithoutSlaveListHasSlaveZero)
{
    const auto options = parse({"--rs485"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->slaves, std::vector<int>{0});
}

TEST(SimOptions, RefusesBadArguments)
{
    const std::vector<std::vector<std::string_view>> cases = {
        {"--slaves", "3"},
        {"--rs485", "--slaves", "0,32"},
        {"--rs485", "--slaves", "3,3"},
        {"--rs485", "--slaves", "1,,2"},
        {"--rs485", "--slaves", "-1"},
        {"--rs485", "--slaves", ""},
        {"--delay", "x"},
        {"--delay", "-5"},
        {"--split", "10ms"},
        {"--error-on", "0"},
        {"--hangup-after", "0"},
        {"--baud", "0"},
        {"--reply", ""},
        {"--state"},
        {"--verbose"},
        {"--silent", "extra"},
    };
    for (const auto& args : cases) {
        std::string error;
        EXPECT_FALSE(SimOptions::parse(args, error)) << args.front();
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
