#include "editors/OffsetCommand.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>

using OffsetLine = std::tuple<std::string, int, int, std::optional<std::string>>;

class OffsetCommandTest : public testing::TestWithParam<OffsetLine>
{
};

TEST_P(OffsetCommandTest, LettersChannelAndTwoDigitOffsetOrNoLineOutsideTheLists)
{
    const auto& [letters, channel, offset, line] = GetParam();
    EXPECT_EQ(MakeOffsetCommand(letters, channel, offset), line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, OffsetCommandTest,
    testing::Values(OffsetLine{"VER", 0, 32, "VER0132\r\n"}, OffsetLine{"HOR", 1, 8, "HOR0208\r\n"},
                    OffsetLine{"VER", 0, 5, "VER0105\r\n"}, OffsetLine{"VER", 1, 63, "VER0263\r\n"},
                    OffsetLine{"VER", 0, 0, "VER0100\r\n"}, OffsetLine{"HOR", 1, 15, "HOR0215\r\n"},
                    OffsetLine{"VER", 0, 64, std::nullopt}, OffsetLine{"HOR", 0, 16, std::nullopt},
                    OffsetLine{"HOR", 0, -1, std::nullopt}, OffsetLine{"VER", 2, 0, std::nullopt},
                    OffsetLine{"VER", -1, 0, std::nullopt}, OffsetLine{"P", 0, 1, std::nullopt}));
