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

// Hand-written profiles, each written as the tool's dialogs write and read back as the tool reads:
// the reader takes every line as the writer does.
struct RoundTrip
{
    const char* name;
    QByteArray before;
    std::function<void()> write;
    QByteArray after;
    int comPort;
    std::string com1;      // ProfilePortEntry(0) is empty where this is the default
    bool reported = false; // a profile the tool may not write over: said once
};

using ProfileRoundTrip = testing::TestWithParam<RoundTrip>;

TEST_P(ProfileRoundTrip, ReadsWhatItWrote)
{
    const RoundTrip& row = GetParam();
    writeProfile(row.before);
    testing::internal::CaptureStderr();
    row.write();
    EXPECT_EQ(GetProfileInt("com_port"), row.comPort);
    EXPECT_EQ(PortDevicePath(0), row.com1);
    EXPECT_EQ(ProfilePortEntry(0), row.com1 == DefaultPortDevicePath(0) ? "" : row.com1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), row.reported ? 1 : 0) << said;
    EXPECT_EQ(ProfileBytes(), row.after);
}

const QByteArray Bom = "\xEF\xBB\xBF";
const char* const Sections = "[MRV-508_Section]\ncom_port=1\n[Ports]\nCOM1=/dev/ttyUSB0\n";
const char* const Outside = "com_port=3\nCOM1=/dev/ttyUSB0\n[Ports]\n# COM1=/y\n; COM1=/x\n";
const char* const Quoted = "[Ports]\r\nCOM1=\"/tmp/a;\\\"b\\\\\" ; quoted\r\n";
const char* const Operator = "; mrv508, edited by hand\r\n\r\n[Ports]\r\n# the left adapter\r\n"
                             "COM2=/dev/ttyUSB0\r\n\r\n[MRV-508_Section]\r\ncom_port=0\r\n"
                             "operator=Sato ; kept\r\n\r\n[Other]\r\nx=1";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Profiles, ProfileRoundTrip, testing::Values(
    RoundTrip{"OnlyItsOwnLineChanges", Operator, [] { WriteProfileInt("com_port", 2); },
              QByteArray(Operator).replace("com_port=0", "com_port=2"), 2, "/dev/ttyS0"},
    RoundTrip{"NewKeyEndsItsSectionQuotedWhereItMustBe", Operator,
              [] { WriteProfilePort(0, "/tmp/a,b; c"); },
              QByteArray(Operator).replace("USB0\r\n", "USB0\r\nCOM1=\"/tmp/a,b; c\"\r\n"), 0,
              "/tmp/a,b; c"},
    RoundTrip{"RemovingAnAbsentKeyChangesNothing", Operator, [] { WriteProfilePort(0, ""); },
              Operator, 0, "/dev/ttyS0"},
    RoundTrip{"ByteOrderMarkHidesNoSection",
              Bom + "[Ports]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[MRV-508_Section]\r\ncom_port=2\r\n",
              [] { WriteProfilePort(0, ""); },
              Bom + "[Ports]\r\n\r\n[MRV-508_Section]\r\ncom_port=2\r\n", 2, "/dev/ttyS0"},
    RoundTrip{"KeyGivenTwiceGoesWhole", "[Ports]\nCOM1=/dev/ttyUSB0\nCOM1=/dev/ttyUSB1\n",
              [] { WriteProfilePort(0, ""); }, "[Ports]\n", 0, "/dev/ttyS0"},
    RoundTrip{"SectionAndKeyGivenTwiceAreSetAlike",
              QByteArray(Sections) + "[MRV-508_Section]\ncom_port = 3\n",
              [] { WriteProfileInt("com_port", 4); },
              QByteArray(Sections).replace("=1", "=4") + "[MRV-508_Section]\ncom_port=4\n", 4,
              "/dev/ttyUSB0"},
    RoundTrip{"QuotedValueReadsAsItsContent", Quoted, [] { WriteProfileInt("com_port", 5); },
              QByteArray(Quoted) + "\r\n[MRV-508_Section]\r\ncom_port=5\r\n", 5, "/tmp/a;\"b\\"},
    RoundTrip{"KeysOutsideSectionsAndCommentsSetNothing", Outside,
              [] { WriteProfilePort(0, "/dev/ttyACM0"); },
              QByteArray(Outside) + "COM1=/dev/ttyACM0\n", 0, "/dev/ttyACM0"},
    RoundTrip{"CommentAfterAValue", "[MRV-508_Section]\r\ncom_port = 2 ; COM3\r\n",
              [] { WriteProfilePort(0, "/dev/ttyUSB0"); },
              "[MRV-508_Section]\r\ncom_port = 2 ; COM3\r\n\r\n[Ports]\r\nCOM1=/dev/ttyUSB0\r\n",
              2, "/dev/ttyUSB0"},
    RoundTrip{"EmptyEntryMeansTheDefault", "[Ports]\nCOM1=\n",
              [] { WriteProfileInt("com_port", 1); },
              "[Ports]\nCOM1=\n\n[MRV-508_Section]\ncom_port=1\n", 1, "/dev/ttyS0"},
    RoundTrip{"UnparsableIsLeftAlone", "[Ports]\nCOM1=/dev/ttyUSB0\nCOM2 /dev/ttyUSB1\n",
              [] { WriteProfilePort(0, ""); }, "[Ports]\nCOM1=/dev/ttyUSB0\nCOM2 /dev/ttyUSB1\n",
              0, "/dev/ttyS0", true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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
