#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeProfile(const QByteArray& text)
{
    const QString path = QString::fromStdString(ProfileFilePath());
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

} // namespace

TEST(ProfileTest, LivesUnderTheConfigFolder)
{
    EXPECT_EQ(ProfileFilePath(),
              qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/mrv508/mrv508.ini");
}

TEST(ProfileTest, AbsentOrNonNumericKeysReadAsZero)
{
    writeProfile("[MRV-508_Section]\r\ncom_port=abc\r\nrs_control=1x\r\npic_c1=\r\npic_c2=31\r\n");
    EXPECT_EQ(GetProfileInt("com_port"), 0);
    EXPECT_EQ(GetProfileInt("rs_control"), 0);
    EXPECT_EQ(GetProfileInt("pic_c1"), 0);
    EXPECT_EQ(GetProfileInt("pic_c2"), 31);
    EXPECT_EQ(GetProfileInt("not_there"), 0);
    writeProfile("");
    EXPECT_EQ(GetProfileInt("pic_c2"), 0);
}

TEST(ProfileTest, OutOfRangeValuesAreReadAsTheyStand)
{
    writeProfile("[MRV-508_Section]\ncom_port=9\nrs_control=-1\npic_c1=99999999999\n");
    EXPECT_EQ(GetProfileInt("com_port"), 9);
    EXPECT_EQ(GetProfileInt("rs_control"), -1);
    EXPECT_EQ(GetProfileInt("pic_c1"), 0); // beyond an int: not a number we can use
}

TEST(ProfileTest, WrittenValuesReadBackAndLeaveOtherSectionsAlone)
{
    writeProfile("[Ports]\nCOM2=/dev/ttyUSB7\n");
    WriteProfileInt("com_port", 1);
    WriteProfileInt("rs_control", 1);
    EXPECT_EQ(GetProfileInt("com_port"), 1);
    EXPECT_EQ(GetProfileInt("rs_control"), 1);
    EXPECT_EQ(PortDevicePath(1), "/dev/ttyUSB7");
}

TEST(ProfileTest, PortsDefaultToTheFirstSixSerialDevices)
{
    writeProfile("[Ports]\nCOM1=/dev/ttyUSB0\n");
    EXPECT_EQ(PortDevicePath(0), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath(1), "/dev/ttyS1");
    EXPECT_EQ(PortDevicePath(5), "/dev/ttyS5");
    EXPECT_EQ(PortDevicePath(6), "");
    EXPECT_EQ(PortDevicePath(-1), "");
}

TEST(ProfileTest, AnUnwritableConfigFolderReadsAsEmptyAndWritesAreLost)
{
    // A folder below a plain file cannot be made, not even by root.
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir folder;
    QFile blocker(folder.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", folder.filePath("file/config").toLocal8Bit());
    WriteProfileInt("com_port", 3);
    EXPECT_EQ(GetProfileInt("com_port"), 0);
    EXPECT_EQ(PortDevicePath(0), "/dev/ttyS0");
    qputenv("XDG_CONFIG_HOME", saved);
}
