#include "editors/PictureCommand.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

struct PictureLine
{
    int channel;
    int pictureIndex;
    const char* line;
};

void PrintTo(const PictureLine& line, std::ostream* out)
{
    *out << "ch." << line.channel + 1 << ", picture index " << line.pictureIndex;
}

class PictureCommandTest : public testing::TestWithParam<PictureLine>
{
};

TEST_P(PictureCommandTest, BuildsChannelDigitAndTwoDigitPictureNumber)
{
    const PictureLine& expected = GetParam();
    EXPECT_EQ(MakePictureCommand(expected.channel, expected.pictureIndex), expected.line);
}

// Below 10 the number keeps a leading "0"; from 10 on both digits are its own.
INSTANTIATE_TEST_SUITE_P(
    Lines, PictureCommandTest,
    testing::Values(PictureLine{0, 0, "P0101\r\n"}, PictureLine{0, 4, "P0105\r\n"},
                    PictureLine{0, 8, "P0109\r\n"}, PictureLine{0, 9, "P0110\r\n"},
                    PictureLine{1, 11, "P0212\r\n"}, PictureLine{1, 19, "P0220\r\n"},
                    PictureLine{1, 31, "P0232\r\n"}),
    [](const testing::TestParamInfo<PictureLine>& info) {
        return "Channel" + std::to_string(info.param.channel + 1) + "Picture" +
               std::to_string(info.param.pictureIndex + 1);
    });

} // namespace
