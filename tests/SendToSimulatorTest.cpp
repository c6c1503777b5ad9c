#include "link/SerialPort.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"
#include "support/SimulatorProcess.h"

#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct SendResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

class SendToSimulatorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetSettings();
        DeviceSettings.title[0][0] = "\x8A\xBF\x8E\x9A"; // 漢字
        DeviceSettings.title[1][32] = "\x82\xA0";        // あ
        for (int channel = 0; channel < ChannelCount; ++channel)
            for (int picture = 0; picture < PictureCount; ++picture)
                DeviceSettings.whiteLevel[channel][picture] = (picture + channel) % 10;
        DeviceSettings.vOffset[0] = 63;
        DeviceSettings.vOffset[1] = 12;
        DeviceSettings.hOffset[0] = 15;
        DeviceSettings.hOffset[1] = 4;
        ASSERT_TRUE(WriteSettingsFileAt(file()));
    }

    std::string file() const { return folder.filePath(QStringLiteral("s.dat")).toStdString(); }

    SendResult send(const QStringList& options) const
    {
        QProcess process;
        process.start(QStringLiteral(MRV508_SEND_PATH),
                      QStringList{QString::fromStdString(file()), QStringLiteral("--pace"),
                                  QStringLiteral("0")} +
                          options);
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static QStringList device(const SimulatorProcess& sim)
    {
        return {QStringLiteral("--device"), QString::fromStdString(sim.linkPath())};
    }

    static void expectRecord(const QJsonObject& state, int device)
    {
        const QJsonArray channels =
            state["devices"].toArray()[device].toObject()["channels"].toArray();
        ASSERT_EQ(channels.size(), ChannelCount);
        for (int c = 0; c < ChannelCount; ++c) {
            const QJsonObject channel = channels[c].toObject();
            EXPECT_EQ(channel["vOffset"].toInt(), DeviceSettings.vOffset[c]) << c;
            EXPECT_EQ(channel["hOffset"].toInt(), DeviceSettings.hOffset[c]) << c;
            const QJsonArray levels = channel["whiteLevels"].toArray();
            for (int picture = 0; picture < PictureCount; ++picture)
                EXPECT_EQ(levels[picture].toInt(), DeviceSettings.whiteLevel[c][picture]);
        }
        EXPECT_EQ(channels[0].toObject()["titles"].toArray()[0].toString(), QStringLiteral("漢字"));
        EXPECT_EQ(channels[1].toObject()["titles"].toArray()[32].toString(), QStringLiteral("あ"));
        EXPECT_EQ(channels[1].toObject()["titles"].toArray()[5].toString(), QString());
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(SendToSimulatorTest, AWholeFileReachesAnRs232cDeviceThroughItsComPort)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(4);
    const SendResult result = send({"--port", "COM4", "--pictures", "3,32"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonObject state = sim.state(136);
    EXPECT_EQ(state["frames"].toInt(), 136);
    expectRecord(state, 0);
    EXPECT_TRUE(result.out.contains(QRegularExpression("RS-232C +136 +136 +0 +0 +0")))
        << result.out.toStdString();
}

TEST_F(SendToSimulatorTest, EverySlaveOnRs485GetsTheWholeFile)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3,12"});
    ASSERT_TRUE(sim.started());
    const SendResult result = send(device(sim) + QStringList{"--rs485", "--slaves", "12,0"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonObject state = sim.state(2 * 134);
    expectRecord(state, 0);
    expectRecord(state, 2);
    EXPECT_NE(state["devices"][1]["channels"][0]["vOffset"].toInt(), DeviceSettings.vOffset[0])
        << "slave 3 untouched";
    EXPECT_TRUE(result.out.contains(QRegularExpression("12 +134 +134 +0 +0 +0")));
}

TEST_F(SendToSimulatorTest, AMissingSlaveIsGivenUpAfterThreeTimeouts)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0"});
    ASSERT_TRUE(sim.started());
    const SendResult result =
        send(device(sim) + QStringList{"--rs485", "--slaves", "5,0", "--only", "offsets",
                                       "--pictures", "1,2", "--timeout", "100"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("slave 5 does not answer: given up"))
        << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QRegularExpression(" 5 +3 +0 +0 +3 +3")))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QRegularExpression(" 0 +6 +6 +0 +0 +0")));
}

TEST_F(SendToSimulatorTest, RejectedLinesAreCountedWithTheirMeaning)
{
    SimulatorProcess sim({"--error-on", "2"});
    ASSERT_TRUE(sim.started());
    const SendResult result = send(device(sim) + QStringList{"--only", "offsets"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("ch.2 vertical offset: Command Error (E3)"))
        << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QRegularExpression("RS-232C +4 +3 +1 +0 +0")));
}

TEST_F(SendToSimulatorTest, APortHeldByAnotherProgramIsLeftAlone)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    SerialPort holder;
    ASSERT_EQ(holder.open(sim.linkPath()), "");
    const SendResult result = send(device(sim));
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains("held by another program")) << result.err.toStdString();
    EXPECT_TRUE(sim.framesReceived().isEmpty());
}

TEST_F(SendToSimulatorTest, ARejectedTitleIsNamedAndSkipped)
{
    DeviceSettings.title[0][4] = "\xFA\x7F";
    ASSERT_TRUE(WriteSettingsFileAt(file()));
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    const SendResult result = send(device(sim) + QStringList{"--only", "titles"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(
        "ch.1 title Bottom5: ＪＩＳ第１水準,第２水準以外の字が選択されてます (skipped)"))
        << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QRegularExpression("RS-232C +65 +65 +0 +0 +1")));
    EXPECT_EQ(sim.state(65)["frames"].toInt(), 65);
}

TEST_F(SendToSimulatorTest, ADryRunPrintsTheFramesWithoutAPort)
{
    const SendResult result = send(
        {"--dry-run", "--device", "/nonexistent", "--rs485", "--slaves", "7", "--only", "offsets"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "07VER0163\\r\\n\n07VER0212\\r\\n\n07HOR0115\\r\\n\n07HOR0204\\r\\n\n");
}

TEST_F(SendToSimulatorTest, AnInterruptEndsTheRunWithItsSummary)
{
    SimulatorProcess sim({"--silent"});
    ASSERT_TRUE(sim.started());
    QProcess sender;
    sender.start(QStringLiteral(MRV508_SEND_PATH),
                 QStringList{QString::fromStdString(file()), "--timeout", "600000"} + device(sim));
    ASSERT_EQ(sim.state(1, 60000)["frames"].toInt(), 1);
    ::kill(static_cast<pid_t>(sender.processId()), SIGINT);
    ASSERT_TRUE(sender.waitForFinished(60000));
    EXPECT_EQ(sender.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sender.exitCode(), 1);
    EXPECT_TRUE(sender.readAllStandardError().contains("interrupted; nothing more is sent"));
    EXPECT_TRUE(QString::fromUtf8(sender.readAllStandardOutput())
                    .contains(QRegularExpression("RS-232C +1 +0 +0 +1 +133")));
}
