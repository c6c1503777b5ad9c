#include "send/SendOptions.h"
#include "link/SystemConsole.h"
#include "send/RunSender.h"
#include "support/BuildPaths.h"
#include "support/FakeDeviceFinder.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

namespace {

QStringList command(const QStringList& arguments)
{
    return QStringList{"mrv508-send"} + arguments;
}

struct BadCase
{
    const char* name;
    QStringList arguments;
    const char* error;
};

class BadArgumentsTest : public testing::TestWithParam<BadCase>
{
};

} // namespace

TEST(SendOptionsTest, ReadsEveryOption)
{
    std::string error;
    const auto options =
        SendOptions::parse(command({"f.dat", "--port", "com4", "--rs485", "--slaves", "9,0-1,5",
                                    "--only", "levels,offsets", "--pictures", "5,32", "--pace", "0",
                                    "--timeout", "150", "--dry-run"}),
                           error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->file, "f.dat");
    EXPECT_EQ(options->comPort, 3);
    EXPECT_EQ(options->slaves, (std::vector<int>{9, 0, 1, 5}));
    EXPECT_FALSE(options->titles);
    EXPECT_TRUE(options->levels && options->offsets);
    EXPECT_EQ(options->pictures[0], 4);
    EXPECT_EQ(options->pictures[1], 31);
    EXPECT_EQ(options->paceMs, 0);
    EXPECT_EQ(options->timeoutMs, 150);
    EXPECT_TRUE(options->dryRun);
}

TEST_P(BadArgumentsTest, ExitWithStatus2AndSayWhy)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunSender(command(GetParam().arguments), out, err), SendBadInput);
    EXPECT_NE(err.str().find(GetParam().error), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadArgumentsTest,
    testing::Values(
        BadCase{"NoFile", {}, "exactly one settings file"},
        BadCase{"FileAndPairs", {"a.dat", "3=b.dat", "--rs485"}, "not both"},
        BadCase{"PairsAndSlaves", {"3=b.dat", "--rs485", "--slaves", "3"}, "leave out --slaves"},
        BadCase{"SlaveNamedTwice", {"3=b.dat", "03=c.dat", "--rs485"}, "slave 3 is named twice"},
        BadCase{"PairsOnRs232c", {"3=b.dat", "--device", "/dev/x"}, "need an RS-485 line"},
        BadCase{"Rs485WithoutSlaves", {"a.dat", "--rs485"}, "name the slaves with --slaves"},
        BadCase{"BothLineModes", {"a.dat", "--rs232c", "--rs485"}, "exclude each other"},
        BadCase{"Com7", {"a.dat", "--port", "COM7"}, "COM1 to COM6"},
        BadCase{"PortAndDevice", {"a.dat", "--port", "COM1", "--device", "/dev/x"}, "exclude"},
        BadCase{"SlavesWithoutRs485", {"a.dat", "--slaves", "1"}, "needs --rs485"},
        BadCase{"Slave32", {"a.dat", "--rs485", "--slaves", "0,32"}, "distinct numbers"},
        BadCase{"BackwardRange", {"a.dat", "--rs485", "--slaves", "7-5"}, "distinct numbers"},
        BadCase{"OverlappingRanges", {"a.dat", "--rs485", "--slaves", "0-3,2"}, "distinct numbers"},
        BadCase{"UnknownPart", {"a.dat", "--only", "titles,names"}, "--only takes"},
        BadCase{"Picture33", {"a.dat", "--pictures", "5,33"}, "--pictures needs"},
        BadCase{"MissingFile", {"/nonexistent/a.dat", "--dry-run"}, "cannot read"},
        BadCase{"HistoryWithAFile", {"a.dat", "--history"}, "--history sends nothing"},
        BadCase{"JsonWithoutHistory", {"a.dat", "--json"}, "--json goes with --history"},
        BadCase{"RetryWithAFile", {"a.dat", "--retry", "r.json"}, "leave out the settings files"},
        BadCase{"RetryWithSlaves", {"--retry", "r.json", "--slaves", "3"}, "leave out"},
        BadCase{"ReportOfADryRun", {"a.dat", "--dry-run", "--report", "r.json"}, "sends nothing"},
        BadCase{"MissingReport", {"--retry", "/nonexistent/r.json"}, "cannot read the report"},
        BadCase{"AReportsFrameForAnotherSlave",
                {"--retry", QString::fromStdString(TestDataFolder() + "/misaddressed-report.json"),
                 "--dry-run"},
                "not a report of mrv508-send: a frame of slave 3 is no command for it"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SendOptionsTest, ListPortsNamesEachComNameThenTheOtherDevicesFound)
{
    ClearProfile();
    QTemporaryDir folder;
    const QString mapped = folder.filePath(QStringLiteral("ttyMAPPED"));
    QFile::link(QStringLiteral("/dev/null"), mapped); // a character device, as an adapter is
    MapPortInProfile(2, mapped.toStdString());
    FakeDeviceFinder::installed().devices = {
        {mapped.toStdString(), "", "FTDI", "FT232R USB UART", "A1B2C3", "0403:6001"},
        {"/dev/ttyUSB9", "/dev/serial/by-id/usb-B", "", "PL2303", "", "067b:2303"},
        {"/dev/ttyS0", "", "", "", "", ""}};
    SetActiveConsoles("ttyS0");
    std::ostringstream out, err;
    EXPECT_EQ(RunSender(command({"--list-ports"}), out, err), SendAllAccepted);
    std::string expected;
    for (int port = 1; port <= 6; ++port)
        expected += "COM" + std::to_string(port) + "  " +
                    (port == 2 ? mapped.toStdString() + "  present, FTDI FT232R USB UART, A1B2C3"
                               : UnmappedPortPath(port).toStdString() + "  not present") +
                    '\n';
    expected += "found  /dev/serial/by-id/usb-B (PL2303, USB 067b:2303)\n"
                "found  /dev/ttyS0, system console\n";
    EXPECT_EQ(out.str(), expected);
    FakeDeviceFinder::installed() = FakeDeviceFinder();
    SetActiveConsoles("");
}
