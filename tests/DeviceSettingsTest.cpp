#include "settings/DeviceSettings.h"

#include <gtest/gtest.h>

TEST(DeviceSettingsTest, ResetPutsEveryDeviceSettingToItsDefault)
{
    DeviceSettings.title[1][32] = "漢字";
    DeviceSettings.whiteLevel[0][5] = 2;
    DeviceSettings.vOffset[1] = 3;
    DeviceSettings.hOffset[0] = 1;
    DeviceSettings.pictureNo[1] = 7;
    DeviceSettings.curChannel = 1;
    DeviceSettings.slaveNo = 12;
    DeviceSettings.curPosition = 32;
    DeviceSettings.curWhitePicture = 31;
    DeviceSettings.modified = 1;
    DeviceSettings.awaitingReply = 1;
    DeviceSettings.noReplyTicks = 4;
    DeviceSettings.replyError = 1;

    ResetSettings();

    for (int c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(DeviceSettings.vOffset[c], 32);
        EXPECT_EQ(DeviceSettings.hOffset[c], 8);
        EXPECT_EQ(DeviceSettings.pictureNo[c], 0);
        for (int p = 0; p < PictureCount; ++p)
            EXPECT_EQ(DeviceSettings.whiteLevel[c][p], 8);
        for (int t = 0; t < TitleCount; ++t)
            EXPECT_TRUE(DeviceSettings.title[c][t].empty());
    }
    EXPECT_EQ(DeviceSettings.curChannel, 0);
    EXPECT_EQ(DeviceSettings.slaveNo, 0);
    EXPECT_EQ(DeviceSettings.curPosition, 0);
    EXPECT_EQ(DeviceSettings.curWhitePicture, 0);
    EXPECT_EQ(DeviceSettings.modified, 0);
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    EXPECT_EQ(DeviceSettings.noReplyTicks, 0);
    EXPECT_EQ(DeviceSettings.replyError, 0);
}

TEST(DeviceSettingsTest, ResetKeepsLinkSettingsBatchStateAndReplyPosition)
{
    DeviceSettings.comPort = 4;
    DeviceSettings.rsControl = 1;
    DeviceSettings.imeOpenStatus = 1;
    DeviceSettings.allSetStep = 3;
    DeviceSettings.replyPos = 5;
    currentFileName = "/tmp/a.dat";

    ResetSettings();

    EXPECT_EQ(DeviceSettings.comPort, 4);
    EXPECT_EQ(DeviceSettings.rsControl, 1);
    EXPECT_EQ(DeviceSettings.imeOpenStatus, 1);
    EXPECT_EQ(DeviceSettings.allSetStep, 3);
    EXPECT_EQ(DeviceSettings.replyPos, 5);
    EXPECT_EQ(currentFileName, "/tmp/a.dat");

    DeviceSettings.comPort = DeviceSettings.rsControl = DeviceSettings.imeOpenStatus = 0;
    DeviceSettings.allSetStep = DeviceSettings.replyPos = 0;
    currentFileName.clear();
}
