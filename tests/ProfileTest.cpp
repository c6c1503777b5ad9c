#include "platform/Profile.h"

#include "support/TestProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
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

struct ProfileWrite
{
    std::function<void()> write;
    const char* before; // the text the write replaces, with a neighbouring line where it adds
    const char* after;
    std::function<bool()> readsBack;
};

// An operator's own profile: only the written line may differ after each write, and the tool
// reads every value back as written.
TEST(ProfileTest, AWriteChangesOnlyItsOwnLine)
{
    QByteArray expected = "; mrv508, edited by hand\r\n"
                          "\r\n"
                          "[Ports]\r\n"
                          "# the adapter on the left\r\n"
                          "COM1 = /dev/ttyUSB0\r\n"
                          "COM3=/dev/ttyS2\r\n"
                          "\r\n"
                          "[MRV-508_Section]\r\n"
                          "com_port=0\r\n"
                          "operator=Sato ; kept\r\n"
                          "pic_c1=4\r\n"
                          "\r\n"
                          "[Other]\r\n"
                          "x=1";
    writeProfile(expected);
    const ProfileWrite writes[] = {
        {[] { WriteProfileInt("com_port", 2); }, "com_port=0", "com_port=2",
         [] { return GetProfileInt("com_port") == 2; }},
        {[] { WriteProfileInt("rs_control", 1); }, "pic_c1=4\r\n", "pic_c1=4\r\nrs_control=1\r\n",
         [] { return GetProfileInt("rs_control") == 1; }},
        {[] { WriteProfilePort(0, "/dev/serial/by-id/usb-FTDI_A1-if00-port0"); },
         "COM1 = /dev/ttyUSB0", "COM1=/dev/serial/by-id/usb-FTDI_A1-if00-port0",
         [] { return PortDevicePath(0) == "/dev/serial/by-id/usb-FTDI_A1-if00-port0"; }},
        {[] { WriteProfilePort(2, ""); }, "COM3=/dev/ttyS2\r\n", "",
         [] { return PortDevicePath(2) == "/dev/ttyS2" && ProfilePortEntry(2).empty(); }},
        {[] { WriteProfilePort(4, "/tmp/a,b; c"); }, "port0\r\n",
         "port0\r\nCOM5=\"/tmp/a,b; c\"\r\n", [] { return PortDevicePath(4) == "/tmp/a,b; c"; }},
        {[] { WriteProfilePort(5, ""); }, "", "", [] { return ProfilePortEntry(5).empty(); }},
    };
    for (const ProfileWrite& step : writes) {
        step.write();
        expected.replace(expected.indexOf(step.before), qsizetype(qstrlen(step.before)),
                         step.after);
        EXPECT_EQ(ProfileBytes(), expected) << "after writing " << step.after;
        EXPECT_TRUE(step.readsBack()) << step.after;
    }
    // A profile without the section gains it at its end.
    writeProfile("[Ports]\nCOM1=/dev/ttyUSB0");
    WriteProfileInt("pic_c2", 7);
    EXPECT_EQ(ProfileBytes(), "[Ports]\nCOM1=/dev/ttyUSB0\n\n[MRV-508_Section]\npic_c2=7\n");
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

TEST(ProfileTest, AnUnwritableConfigFolderReadsAsEmptyAndWritesAreReportedOnce)
{
    // A folder below a plain file cannot be made, not even by root.
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir folder;
    QFile blocker(folder.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", folder.filePath("file/config").toLocal8Bit());
    testing::internal::CaptureStderr();
    WriteProfileInt("com_port", 3);
    WriteProfilePort(0, "/dev/ttyUSB0");
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;
    EXPECT_EQ(GetProfileInt("com_port"), 0);
    EXPECT_EQ(PortDevicePath(0), "/dev/ttyS0");
    qputenv("XDG_CONFIG_HOME", saved);
}
