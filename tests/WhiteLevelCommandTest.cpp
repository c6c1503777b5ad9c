#include "editors/WhiteLevelCommand.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>

using WhiteLevelLine = std::tuple<int, int, int, std::optional<std::string>>;

class WhiteLevelCommandTest : public testing::TestWithParam<WhiteLevelLine>
{
};

TEST_P(WhiteLevelCommandTest, ChannelTwoDigitPictureAndLevelDigitOrNoLineOutsideTheLists)
{
    const auto& [channel, pictureIndex, level, line] = GetParam();
    EXPECT_EQ(MakeWhiteLevelCommand(channel, pictureIndex, level), line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WhiteLevelCommandTest,
    testing::Values(WhiteLevelLine{0, 4, 8, "WL01058\r\n"}, WhiteLevelLine{1, 11, 0, "WL02120\r\n"},
                    WhiteLevelLine{0, 0, 0, "WL01010\r\n"}, WhiteLevelLine{0, 8, 9, "WL01099\r\n"},
                    WhiteLevelLine{0, 9, 1, "WL01101\r\n"}, WhiteLevelLine{1, 31, 9, "WL02329\r\n"},
                    WhiteLevelLine{0, 0, -1, std::nullopt}, WhiteLevelLine{0, 0, 10, std::nullopt},
                    WhiteLevelLine{0, -1, 0, std::nullopt}, WhiteLevelLine{0, 32, 0, std::nullopt},
                    WhiteLevelLine{-1, 0, 0, std::nullopt}, WhiteLevelLine{2, 0, 0, std::nullopt}));
