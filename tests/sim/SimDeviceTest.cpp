#include "sim/SimDevice.h"

#include <gtest/gtest.h>

namespace {

TEST(SimDevice, EachCommandChangesOnlyItsOwnField)
{
    SimDevice device;
    using Kind = SimCommand::Kind;
    device.apply({Kind::Title, 1, 32, 0, "漢字"});
    device.apply({Kind::Title, 0, 0, 0, "あい"});
    device.apply({Kind::WhiteLevel, 1, 16, 3, {}});
    device.apply({Kind::VerticalOffset, 0, 0, 63, {}});
    device.apply({Kind::HorizontalOffset, 1, 0, 0, {}});
    device.apply({Kind::Picture, 1, 0, 12, {}});

    const SimDevice::Channel& first = device.channels()[0];
    const SimDevice::Channel& second = device.channels()[1];
    EXPECT_EQ(first.titles[0], "あい");
    EXPECT_EQ(first.titles[32], "");
    EXPECT_EQ(second.titles[32], "漢字");
    EXPECT_EQ(second.titles[0], "");
    EXPECT_EQ(second.whiteLevels[16], 3);
    EXPECT_EQ(second.whiteLevels[15], 8);
    EXPECT_EQ(first.whiteLevels[16], 8);
    EXPECT_EQ(first.vOffset, 63);
    EXPECT_EQ(second.vOffset, 32);
    EXPECT_EQ(second.hOffset, 0);
    EXPECT_EQ(first.hOffset, 8);
    EXPECT_EQ(second.picture, 12);
    EXPECT_EQ(first.picture, 1);
}

} // namespace
