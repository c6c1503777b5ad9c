#include "link/PortSurvey.h"
#include "link/SerialPort.h"
#include "platform/SystemDeviceFinder.h"
#include "support/SimulatorProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const SerialDevice Adapter{"/dev/ttyUSB0", "", "FTDI", "FT232R USB UART", "A1B2C3", "0403:6001"};

// The simulator's pseudo-terminal stands for an adapter, reached also through a by-id link.
TEST(PortSurveyTest, SaysWhatEachPathStandsForAndNeverOpensTheConsole)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    QTemporaryDir folder;
    const std::string link = sim.linkPath();
    const std::string byId = folder.filePath(QStringLiteral("usb-FTDI_A1B2C3")).toStdString();
    QFile::link(QString::fromStdString(link), QString::fromStdString(byId));
    const std::string missing = folder.filePath(QStringLiteral("ttyGONE")).toStdString();
    SerialDevice found = Adapter;
    found.path = link;
    found.stablePath = byId;
    const PortSurvey survey{{found}, {}};
    const PortSurvey console{{found}, {"/dev/tty0", byId}};
    EXPECT_EQ(PortStatusLine(survey.status(missing)), missing + " (not present)");
    EXPECT_EQ(PresenceText(survey.status(folder.path().toStdString())), "not a serial device");
    EXPECT_EQ(PortStatusLine(survey.status(byId)), byId + " (FTDI FT232R USB UART, A1B2C3)");
    EXPECT_EQ(PortStatusLine(console.status(link)),
              link + " (system console, FTDI FT232R USB UART, A1B2C3)");
    EXPECT_EQ(DeviceChoiceText(found), byId + " (FTDI FT232R USB UART, A1B2C3, USB 0403:6001)");

    SerialPort port;
    ASSERT_EQ(port.open(link), "");
    EXPECT_EQ(PresenceText(survey.status(byId)), "open in this program");
    EXPECT_EQ(port.modemLines(), std::nullopt) << "a pseudo-terminal has no modem lines";
    port.close();
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QString::fromStdString(link), "sleep", "30"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !survey.status(link).holder.empty(); }, 5000));
    EXPECT_EQ(PresenceText(survey.status(link)),
              "in use by flock (pid " + std::to_string(holder.processId()) + ")");
    holder.kill();
    holder.waitForFinished();
}

TEST(PortSurveyTest, AMissingDeviceNamesTheDevicesFoundButTheConsole)
{
    const SerialDevice onBoard{"/dev/ttyS1", "", "", "", "", ""};
    const SerialDevice console{"/dev/ttyS0", "", "", "", "", ""};
    const std::string where = " under 通信 > 通信の設定 > ポート割り当て.";
    EXPECT_EQ(MissingDeviceAdvice(0, {{Adapter, console, onBoard}, {"/dev/ttyS0"}}),
              "Serial ports found: /dev/ttyUSB0 (FTDI FT232R USB UART, A1B2C3), /dev/ttyS1. "
              "Assign one to COM1" +
                  where);
    EXPECT_EQ(MissingDeviceAdvice(5, {{console}, {"/dev/ttyS0"}}),
              "No serial ports found. Plug in the adapter, or assign a device to COM6" + where);
}

// The machine's own devices, whatever they are: each is a device node, and none is opened.
TEST(SystemDeviceFinderTest, FindsDeviceNodes)
{
    const SystemDeviceFinder system;
    for (const SerialDevice& device : system.present()) {
        EXPECT_TRUE(device.path.starts_with("/dev/")) << device.path;
        EXPECT_TRUE(device.stablePath.empty() || device.stablePath.starts_with("/dev/serial/"));
    }
}

} // namespace
