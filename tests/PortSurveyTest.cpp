#include "link/PortSurvey.h"
#include "link/SerialPort.h"
#include "platform/SystemDeviceFinder.h"
#include "support/FakeDeviceFinder.h"
#include "support/SimulatorProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PortSurveyTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.started());
        link = sim.linkPath();
        byId = folder.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"))
                   .toStdString();
        QFile::link(QString::fromStdString(link), QString::fromStdString(byId));
    }
    void TearDown() override { FakeDeviceFinder::installed() = FakeDeviceFinder(); }

    SimulatorProcess sim;
    QTemporaryDir folder;
    std::string link; // the simulator's pseudo-terminal, through a link
    std::string byId; // a second link to it, as udev makes for an adapter
    const SerialDevice adapter{"", "", "FTDI", "FT232R USB UART", "A1B2C3", "0403:6001"};
};

TEST_F(PortSurveyTest, SaysWhatEachPathStandsFor)
{
    SerialDevice found = adapter;
    found.path = link;
    found.stablePath = byId;
    const std::string missing = folder.filePath(QStringLiteral("ttyGONE")).toStdString();
    const PortSurvey survey{{found}, {missing + "-console", byId}};
    EXPECT_EQ(PortStatusLine(survey.status(missing)), missing + " (not present)");
    EXPECT_EQ(PortStatusLine(survey.status(link)),
              link + " (system console, FTDI FT232R USB UART, A1B2C3)");
    EXPECT_EQ(DeviceChoiceText(found), byId + " (FTDI FT232R USB UART, A1B2C3, USB 0403:6001)");

    const PortSurvey noConsole{{found}, {}};
    EXPECT_EQ(PortStatusLine(noConsole.status(byId)), byId + " (FTDI FT232R USB UART, A1B2C3)");
    SerialPort port;
    ASSERT_EQ(port.open(link), "");
    EXPECT_EQ(PresenceText(noConsole.status(byId)), "open in this program");
    EXPECT_EQ(port.modemLines(), std::nullopt) << "a pseudo-terminal has no modem lines";
    port.close();
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QString::fromStdString(link), "sleep", "30"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !noConsole.status(link).holder.empty(); }, 5000));
    EXPECT_EQ(PresenceText(noConsole.status(link)),
              "in use by flock (pid " + std::to_string(holder.processId()) + ")");
    holder.kill();
    holder.waitForFinished();
}

// Through the installed finder's console list, which every opening of a port consults.
TEST_F(PortSurveyTest, TheSystemConsoleIsNeverOpened)
{
    FakeDeviceFinder::installed().consoleList = {"/dev/tty0", byId};
    SerialPort port;
    EXPECT_EQ(port.open(link), link + ": is the system console.");
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PortSurveyTest, AMissingDeviceNamesTheDevicesFound)
{
    SerialDevice onBoard;
    onBoard.path = "/dev/ttyS1";
    SerialDevice found = adapter;
    found.path = "/dev/ttyUSB0";
    found.stablePath = byId;
    SerialDevice console;
    console.path = "/dev/ttyS0";
    EXPECT_EQ(MissingDeviceAdvice(0, {{found, console, onBoard}, {"/dev/tty0", "/dev/ttyS0"}}),
              "Serial ports found: " + byId +
                  " (FTDI FT232R USB UART, A1B2C3), /dev/ttyS1. Assign one to COM1 under "
                  "通信 > 通信の設定 > ポート割り当て.");
    EXPECT_EQ(MissingDeviceAdvice(5, {{console}, {"/dev/ttyS0"}}),
              "No serial ports found. Plug in the adapter, or assign a device to COM6 under "
              "通信 > 通信の設定 > ポート割り当て.");
}

// The machine's own devices, whatever they are: each is a device node, and none is opened.
TEST(SystemDeviceFinderTest, FindsDeviceNodesAndConsoles)
{
    const SystemDeviceFinder system;
    for (const SerialDevice& device : system.present()) {
        EXPECT_TRUE(device.path.starts_with("/dev/")) << device.path;
        EXPECT_TRUE(device.stablePath.empty() ||
                    device.stablePath.starts_with("/dev/serial/by-id/"))
            << device.stablePath;
    }
    for (const std::string& console : system.consoles())
        EXPECT_TRUE(console.starts_with("/dev/")) << console;
}

} // namespace
