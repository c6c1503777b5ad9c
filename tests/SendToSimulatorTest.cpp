#include "ledger/Ledger.h"
#include "link/SerialPort.h"
#include "platform/Cp932.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"
#include "support/BuildPaths.h"
#include "support/LedgerRows.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <sstream>

namespace {

class SendToSimulatorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // Each test its own ledger, which the sender it starts finds too.
        qputenv("XDG_STATE_HOME", folder.filePath(QStringLiteral("state")).toLocal8Bit());
        ClearProfile();
        ResetSettings();
        DeviceSettings.title[0][0] = "\x8A\xBF\x8E\x9A"; // 漢字
        for (int picture = 0; picture < PictureCount; ++picture)
            DeviceSettings.whiteLevel[1][picture] = picture % 10;
        DeviceSettings.vOffset[1] = 63;
        DeviceSettings.hOffset[0] = 15;
        ASSERT_TRUE(WriteSettingsFileAt(file()));
    }

    std::string file() const { return folder.filePath(QStringLiteral("s.dat")).toStdString(); }

    // The fixture's file, unless files (or none) are given.
    void start(const QStringList& options, const std::optional<QStringList>& files = std::nullopt)
    {
        sender.start(QString::fromStdString(SenderPath()),
                     files.value_or(QStringList{QString::fromStdString(file())}) +
                         QStringList{"--pace", "0"} + options);
    }

    // The exit status, or -1 for a crash; keeps what the sender wrote in out and err.
    int send(const QStringList& options, const std::optional<QStringList>& files = std::nullopt)
    {
        start(options, files);
        return finish();
    }

    int finish()
    {
        sender.waitForFinished(120000);
        out = QString::fromUtf8(sender.readAllStandardOutput());
        err = QString::fromUtf8(sender.readAllStandardError());
        return sender.exitStatus() == QProcess::NormalExit ? sender.exitCode() : -1;
    }

    static QStringList device(const SimulatorProcess& sim)
    {
        return {"--device", QString::fromStdString(sim.linkPath())};
    }

    static void expectRecord(const QJsonObject& state, int device)
    {
        const QJsonArray channels = state["devices"][device]["channels"].toArray();
        ASSERT_EQ(channels.size(), ChannelCount);
        for (int c = 0; c < ChannelCount; ++c) {
            EXPECT_EQ(channels[c]["vOffset"].toInt(), DeviceSettings.vOffset[c]) << c;
            EXPECT_EQ(channels[c]["hOffset"].toInt(), DeviceSettings.hOffset[c]) << c;
            for (int picture = 0; picture < PictureCount; ++picture)
                EXPECT_EQ(channels[c]["whiteLevels"][picture].toInt(),
                          DeviceSettings.whiteLevel[c][picture]);
        }
        EXPECT_EQ(channels[0]["titles"][0].toString(), FromCp932(DeviceSettings.title[0][0]));
    }

    // The ledger's rows, as LedgerRows gives them, of the entries `where` selects.
    static std::string entries(const std::string& where)
    {
        const std::string query =
            "SELECT slave, frame, result FROM entries WHERE " + where + " ORDER BY id";
        return LedgerRows(Ledger::DefaultPath(), query.c_str());
    }

    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }

    QTemporaryDir folder;
    QProcess sender;
    QString out, err;
};

} // namespace

TEST_F(SendToSimulatorTest, AWholeFileReachesAnRs232cDeviceThroughItsComPort)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(4);
    EXPECT_EQ(send({"--port", "COM4", "--pictures", "3,32"}), 0) << err.toStdString();
    const QJsonObject state = sim.state(136);
    EXPECT_EQ(state["frames"].toInt(), 136);
    expectRecord(state, 0);
    EXPECT_EQ(state["devices"][0]["channels"][1]["picture"].toInt(), 32);
    EXPECT_TRUE(out.contains(QRegularExpression("RS-232C +136 +136 +0 +0 +0")));
}

TEST_F(SendToSimulatorTest, EverySlaveOnRs485GetsTheFileAndAMissingOneIsGivenUp)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3,12"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--rs485", "--slaves", "12,5,0", "--timeout", "1000"}),
              1);
    const QJsonObject state = sim.state(2 * 134);
    expectRecord(state, 0);
    expectRecord(state, 2);
    EXPECT_NE(state["devices"][1]["channels"][1]["vOffset"].toInt(), 63) << "slave 3 untouched";
    EXPECT_TRUE(err.contains("slave 5 does not answer: given up"));
    EXPECT_TRUE(out.contains(QRegularExpression("12 +134 +134 +0 +0 +0 +0\n")));
    EXPECT_TRUE(out.contains(QRegularExpression(" 5 +3 +0 +0 +3 +0 +131  given up")));
    EXPECT_TRUE(out.contains(QRegularExpression(" 0 +134 +134 +0 +0 +0 +0\n")))
        << out.toStdString();
}

TEST_F(SendToSimulatorTest, RejectedAndSkippedLinesAreNamed)
{
    DeviceSettings.title[0][4] = "AB"; // CP932, but no two-byte code
    DeviceSettings.title[1][32] = "A";
    ASSERT_TRUE(WriteSettingsFileAt(file()));
    SimulatorProcess sim({"--error-on", "2"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--only", "titles,offsets"}), 1);
    EXPECT_TRUE(err.contains("ch.1 title Bottom2: Command Error (E3)"));
    const QString notJis =
        QStringLiteral(": ＪＩＳ第１水準,第２水準以外の字が選択されてます (skipped)");
    EXPECT_TRUE(err.contains("ch.1 title Bottom5" + notJis) &&
                err.contains("ch.2 title Top" + notJis));
    EXPECT_TRUE(out.contains(QRegularExpression("RS-232C +68 +67 +1 +0 +2")));
}

TEST_F(SendToSimulatorTest, AFileUnfitToSendIsRefusedWhole)
{
    DeviceSettings.hOffset[1] = 16;
    ASSERT_TRUE(WriteSettingsFileAt(file()));
    // A port that cannot be opened would end in exit status 3: the file stops the sender first.
    for (const QStringList& options : {QStringList{}, QStringList{"--dry-run"}}) {
        EXPECT_EQ(send(QStringList{"--device", "/nonexistent"} + options), 2);
        EXPECT_EQ(err.toStdString(),
                  "mrv508-send: " + file() + ":4: a horizontal offset is 0 to 15, not \"16\"\n");
        EXPECT_EQ(out, "");
    }
}

TEST_F(SendToSimulatorTest, APortHeldByAnotherProgramIsLeftAlone)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    SerialPort holder;
    ASSERT_EQ(holder.open(sim.linkPath()), "");
    EXPECT_EQ(send(device(sim)), 3);
    EXPECT_TRUE(err.contains(
        QStringLiteral("held by another program. It is held by %1 (pid %2).")
            .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15))
            .arg(QCoreApplication::applicationPid())))
        << err.toStdString();
    EXPECT_TRUE(sim.framesReceived().isEmpty());
}

TEST_F(SendToSimulatorTest, ALineThatHangsUpEndsTheRun)
{
    SimulatorProcess sim({"--hangup-after", "2"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--pace", "0"}), 1);
    EXPECT_TRUE(err.contains("the port was lost; nothing more is sent")) << err.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("RS-232C +3 +2 +0 +1 +0 +131")))
        << out.toStdString();
}

TEST_F(SendToSimulatorTest, ADryRunPrintsTheFramesWithoutAPort)
{
    EXPECT_EQ(send({"--dry-run", "--device", "/nonexistent", "--rs485", "--slaves", "7", "--only",
                    "offsets"}),
              0)
        << err.toStdString();
    EXPECT_EQ(out, "07VER0132\\r\\n\n07VER0263\\r\\n\n07HOR0115\\r\\n\n07HOR0208\\r\\n\n");
}

TEST_F(SendToSimulatorTest, AnInterruptWaitsForTheReplyUnderWayAndCountsTheRestNotSent)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3", "--delay", "1000"});
    ASSERT_TRUE(sim.started());
    start(device(sim) + QStringList{"--rs485", "--slaves", "0,3"});
    ASSERT_EQ(sim.state(1, 60000)["frames"].toInt(), 1);
    ::kill(static_cast<pid_t>(sender.processId()), SIGINT);
    EXPECT_EQ(finish(), 130);
    EXPECT_TRUE(err.contains("interrupted; nothing more is sent"));
    EXPECT_TRUE(out.contains(QRegularExpression(" 0 +1 +1 +0 +0 +0 +133\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(" 3 +0 +0 +0 +0 +0 +134\n")));
}

TEST_F(SendToSimulatorTest, ASimulatorWithABaudRateStampsFramesAtTheLinesPace)
{
    SimulatorProcess sim({"--baud", "1200"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--only", "offsets"}), 0) << err.toStdString();
    EXPECT_EQ(sim.framesReceived(),
              (QStringList{"VER0132\\r\\n", "VER0263\\r\\n", "HOR0115\\r\\n", "HOR0208\\r\\n"}));
    // After the reply before (4 bytes) and its own 9 bytes: 13 bytes of 11 bits at 1200 baud.
    const QList<SimulatorProcess::TimedFrame> frames = sim.framesWithTimes();
    for (qsizetype i = 1; i < frames.size(); ++i)
        EXPECT_GE(frames[i].ms - frames[i - 1].ms, 119) << i;
}

TEST_F(SendToSimulatorTest, WithoutADeviceTheProfilesComPortAndLineModeAreUsed)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3,12"});
    ASSERT_TRUE(sim.started());
    sim.mapPort(2);
    WriteProfileValue("com_port", 1);
    WriteProfileValue("rs_control", 1);
    EXPECT_EQ(send({"--only", "offsets"}), 2);
    EXPECT_TRUE(err.contains("name the slaves with --slaves")) << err.toStdString();
    EXPECT_EQ(send({"--only", "offsets", "--slaves", "0,3,12"}), 0) << err.toStdString();
    EXPECT_TRUE(out.startsWith(
        QStringLiteral("COM2 = %1, RS-485, slaves 0,3,12\n").arg(sim.linkPath().c_str())))
        << out.toStdString();
    EXPECT_EQ(sim.state(12)["frames"].toInt(), 12);
}

TEST_F(SendToSimulatorTest, EachSlaveGetsItsOwnFile)
{
    const std::string stage = folder.filePath(QStringLiteral("stage.dat")).toStdString();
    DeviceSettings.title[0][0] = "\x82\x60"; // Ａ
    DeviceSettings.vOffset[1] = 7;
    DeviceSettings.whiteLevel[0][3] = 2;
    ASSERT_TRUE(WriteSettingsFileAt(stage));
    SimulatorProcess sim({"--rs485", "--slaves", "3,12"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--rs485"},
                   QStringList{"12=" + QString::fromStdString(stage),
                               "3=" + QString::fromStdString(file())}),
              0)
        << err.toStdString();
    const QJsonObject state = sim.state(2 * 134);
    for (const auto& [station, path] : {std::pair{0, file()}, std::pair{1, stage}}) {
        ResetSettings();
        ASSERT_TRUE(ReadSettingsFileAt(path));
        expectRecord(state, station);
    }
}

TEST_F(SendToSimulatorTest, SlavesTakeTurnsInOrderAtTheirPaceAndTheLineNeverIdlesWhileOneIsDue)
{
    constexpr int Pace = 300;
    SimulatorProcess sim({"--rs485", "--slaves", "0,3,12", "--baud", "96000"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--rs485", "--slaves", "0,3,12", "--only", "offsets",
                                             "--pace", QString::number(Pace)}),
              0)
        << err.toStdString();
    const QStringList order{"VER0132\\r\\n", "VER0263\\r\\n", "HOR0115\\r\\n", "HOR0208\\r\\n"};
    const QList<SimulatorProcess::TimedFrame> frames = sim.framesWithTimes();
    ASSERT_EQ(frames.size(), 3 * order.size());
    std::map<QString, QList<qint64>> arrivals{{"00", {}}, {"03", {}}, {"12", {}}};
    for (qsizetype i = 0; i < frames.size(); ++i) {
        QList<qint64>& times = arrivals[frames[i].frame.left(2)];
        ASSERT_LT(times.size(), order.size()) << i;
        EXPECT_EQ(frames[i].frame.mid(2), order[times.size()]) << i;
        // Generous bounds: a stamp is taken when the simulator gets round to the frame.
        if (!times.empty()) {
            EXPECT_GE(frames[i].ms - times.back(), Pace - 50) << i;
        }
        if (i > 0) {
            qint64 firstDue = std::numeric_limits<qint64>::max();
            for (const auto& [slave, sent] : arrivals)
                if (sent.size() < order.size())
                    firstDue = std::min(firstDue, sent.empty() ? 0 : sent.back() + Pace);
            EXPECT_LE(frames[i].ms, std::max(frames[i - 1].ms, firstDue) + Pace / 2) << i;
        }
        times.push_back(frames[i].ms);
    }
}

namespace {

struct LateCase
{
    const char* name;
    QStringList line;
    const char* slave;
};

void PrintTo(const LateCase& c, std::ostream* out)
{
    *out << c.name;
}

class LateReplyTest : public SendToSimulatorTest, public testing::WithParamInterface<LateCase>
{
};

} // namespace

TEST_P(LateReplyTest, ALateReplyIsReportedForItsOwnLineAndNoOther)
{
    SimulatorProcess sim(GetParam().line + QStringList{"--delay", "1500", "--error-on", "2"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(
        send(device(sim) + GetParam().line + QStringList{"--only", "offsets", "--timeout", "1000"}),
        1);
    const QString slave = GetParam().slave;
    for (const char* late : {"ch.1 vertical offset: late reply GO after 1\\.[5-9] s",
                             "ch.2 vertical offset: late reply E3 after 1\\.[5-9] s"})
        EXPECT_TRUE(err.contains(QRegularExpression(slave + late))) << err.toStdString();
    EXPECT_FALSE(err.contains("Command Error"));
    EXPECT_TRUE(out.contains(QRegularExpression(" +3 +0 +0 +3 +0 +1  given up")))
        << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lines, LateReplyTest,
                         testing::Values(LateCase{"Rs232c", {}, ""},
                                         LateCase{
                                             "Rs485", {"--rs485", "--slaves", "3"}, "slave 3, "}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct PiecesCase
{
    const char* name;
    QStringList line;
    QStringList delivery;
    QStringList devices; // as the summary names them
};

void PrintTo(const PiecesCase& c, std::ostream* out)
{
    *out << c.name;
}

class RepliesInPiecesTest : public SendToSimulatorTest,
                            public testing::WithParamInterface<PiecesCase>
{
};

} // namespace

// A real UART hands a reply over in pieces: every line is still accepted, on either line mode.
TEST_P(RepliesInPiecesTest, EveryLineIsAccepted)
{
    SimulatorProcess sim(GetParam().line + GetParam().delivery);
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + GetParam().line + QStringList{"--only", "offsets"}), 0)
        << err.toStdString();
    for (const QString& name : GetParam().devices)
        EXPECT_TRUE(out.contains(QRegularExpression("\n *" + name + " +4 +4 +0 +0 +0 +0\n")))
            << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Deliveries, RepliesInPiecesTest,
    testing::Values(PiecesCase{"Rs232cSplit", {}, {"--split", "100"}, {"RS-232C"}},
                    PiecesCase{"Rs232cByteWise", {}, {"--byte-gap", "20"}, {"RS-232C"}},
                    PiecesCase{"Rs485Split",
                               {"--rs485", "--slaves", "0,3,12"},
                               {"--split", "100"},
                               {"0", "3", "12"}},
                    PiecesCase{"Rs485ByteWise",
                               {"--rs485", "--slaves", "0,3,12"},
                               {"--byte-gap", "20"},
                               {"0", "3", "12"}}),
    [](const auto& info) { return std::string(info.param.name); });

// On a half-duplex pair a frame to another slave would collide with a late reply: none goes
// while one may come, and the run waits for the last line's.
TEST_F(SendToSimulatorTest, NoFrameGoesWhileALateReplyMayComeAndTheLastOneIsReported)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3", "--delay", "1500", "--byte-gap", "10"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--rs485", "--slaves", "0,3", "--only", "offsets",
                                             "--timeout", "1000"}),
              1);
    const QList<SimulatorProcess::TimedFrame> frames = sim.framesWithTimes();
    ASSERT_EQ(frames.size(), 6) << "three lines each before both are given up";
    for (qsizetype i = 1; i < frames.size(); ++i)
        EXPECT_GE(frames[i].ms - frames[i - 1].ms, 1500) << i;
    EXPECT_TRUE(err.contains(
        QRegularExpression("slave 3, ch.1 horizontal offset: late reply GO after 1\\.[5-9] s")))
        << err.toStdString();
}

TEST_F(SendToSimulatorTest, BytesThatMakeNoReplyLineAreNamedWithTheMissingReply)
{
    SimulatorProcess sim({"--no-line-end"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(send(device(sim) + QStringList{"--only", "offsets", "--timeout", "500"}), 1);
    EXPECT_TRUE(err.contains("ch.1 vertical offset: no reply: 2 bytes came without a reply line: "
                             "the device's speed or parity may differ"))
        << err.toStdString();
}

// ---- The ledger, --changed, --report, --retry and --history ----------------------------------

TEST_F(SendToSimulatorTest, WithChangedOnlyWhatASlaveHasNotAcknowledgedGoesAgain)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3,12"});
    ASSERT_TRUE(sim.started());
    const QStringList line = device(sim) + QStringList{"--rs485"};
    EXPECT_EQ(send(line + QStringList{"--slaves", "0,3"}), 0) << err.toStdString();
    ASSERT_EQ(sim.state(2 * 134)["frames"].toInt(), 2 * 134);

    EXPECT_EQ(send(line + QStringList{"--slaves", "0,3", "--changed"}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(
        "\nslave 0: 0 of 134 lines differ from what it acknowledged on \\d{4}-\\d\\d-\\d\\d "
        "\\d\\d:\\d\\d\nslave 3: 0 of 134 lines differ")))
        << out.toStdString();

    DeviceSettings.title[1][32] = "\x82\x60"; // Ａ
    ASSERT_TRUE(WriteSettingsFileAt(file()));
    EXPECT_EQ(send(line + QStringList{"--slaves", "0,3,12", "--changed"}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("slave 0: 1 of 134 lines differ") &&
                out.contains("slave 3: 1 of 134 lines differ") &&
                out.contains("slave 12: 134 of 134 lines differ: it has acknowledged none"))
        << out.toStdString();
    const QStringList frames = sim.framesReceived();
    ASSERT_EQ(frames.size(), 2 * 134 + 2 + 134);
    for (const QString slave : {"00", "03", "12"})
        EXPECT_EQ(frames.mid(qsizetype{2} * 134)
                      .filter(QRegularExpression("^" + slave + "CA02TOP2341"))
                      .size(),
                  1)
            << slave.toStdString();
}

TEST_F(SendToSimulatorTest, ARetrySendsOnlyTheLinesTheReportShowsNotAccepted)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3", "--error-on", "3"});
    ASSERT_TRUE(sim.started());
    const QStringList line = device(sim) + QStringList{"--rs485"};
    EXPECT_EQ(send(line + QStringList{"--slaves", "0,3", "--only", "offsets", "--report",
                                      path("run.json")}),
              1);
    QFile file(path("run.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(report["line"]["path"].toString().toStdString(), sim.linkPath());
    EXPECT_EQ(report["line"]["mode"].toString(), "RS-485");
    const QJsonArray lines = report["slaves"][0]["lines"].toArray();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1]["item"].toString(), "ch.2 vertical offset");
    EXPECT_EQ(lines[1]["frame"].toString(), "00VER0263\r\n");
    EXPECT_EQ(lines[1]["result"].toString(), "rejected");
    EXPECT_EQ(lines[1]["reply"].toString(), "E3");
    EXPECT_EQ(lines[0]["result"].toString(), "accepted");
    EXPECT_TRUE(
        QDateTime::fromString(lines[0]["answered"].toString(), Qt::ISODateWithMs).isValid());

    SimulatorProcess other;
    ASSERT_TRUE(other.started());
    EXPECT_EQ(send(device(other) + QStringList{"--retry", path("run.json")}, QStringList{}), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("is a report of %1, not of %2")
                                 .arg(sim.linkPath().c_str(), other.linkPath().c_str())))
        << err.toStdString();
    EXPECT_EQ(send({"--retry", path("run.json"), "--report", path("retry.json")}, QStringList{}), 0)
        << err.toStdString();
    EXPECT_EQ(sim.framesReceived().mid(8), QStringList{"00VER0263\\r\\n"});
    EXPECT_TRUE(out.contains(QRegularExpression(" 3 +0 +0 +0 +0 +0 +0\n"))) << out.toStdString();
    EXPECT_EQ(entries("frame = '00VER0263\r\n'"),
              "0|00VER0263\r\n|rejected;0|00VER0263\r\n|accepted;");
}

TEST_F(SendToSimulatorTest, HistoryPrintsWhatEachSlaveAcknowledged)
{
    SimulatorProcess sim({"--rs485", "--slaves", "3"});
    ASSERT_TRUE(sim.started());
    const QStringList line = device(sim) + QStringList{"--rs485", "--slaves", "3,5"};
    EXPECT_EQ(send(device(sim) + QStringList{"--rs485", "--slaves", "3"}), 0) << err.toStdString();
    const int frames = sim.state(134)["frames"].toInt();

    EXPECT_EQ(send(line + QStringList{"--history"}, QStringList{}), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(
        "^" + QRegularExpression::escape(sim.linkPath().c_str()) +
        ", RS-485\nslave 3: 134 of 136 items acknowledged, the last on [-0-9: ]{19}\n"
        "  ch.1 title Bottom1 +[-0-9: ]{19}  mrv508-send  漢字\n")))
        << out.toStdString();
    EXPECT_TRUE(out.contains("  ch.2 vertical offset        ") &&
                out.endsWith("  never acknowledged: ch.1 picture, ch.2 picture\n"
                             "slave 5: nothing acknowledged\n"))
        << out.toStdString();

    EXPECT_EQ(send(line + QStringList{"--history", "--json"}, QStringList{}), 0)
        << err.toStdString();
    const QJsonObject history = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(history["device"].toString().toStdString(), sim.linkPath());
    const QJsonArray slaves = history["slaves"].toArray();
    ASSERT_EQ(slaves.size(), 2);
    EXPECT_EQ(slaves[0]["items"].toArray().size(), 134);
    EXPECT_EQ(slaves[0]["items"][0]["shown"].toString(), QStringLiteral("漢字"));
    EXPECT_EQ(slaves[0]["items"][0]["program"].toString(), "mrv508-send");
    EXPECT_EQ(slaves[0]["never"].toArray(), (QJsonArray{"ch.1 picture", "ch.2 picture"}));
    EXPECT_EQ(slaves[1]["slave"].toInt(), 5);
    EXPECT_EQ(slaves[1]["never"].toArray().size(), 136);
    EXPECT_EQ(sim.state()["frames"].toInt(), frames) << "nothing sent";
}

// Each entry is its own transaction: a sender killed mid-run leaves a ledger that opens whole and
// holds every line acknowledged before.
TEST_F(SendToSimulatorTest, AKilledSenderLeavesEveryAcknowledgedLineInTheLedger)
{
    SimulatorProcess sim({"--delay", "50"});
    ASSERT_TRUE(sim.started());
    start(device(sim));
    ASSERT_GE(sim.state(20, 60000)["frames"].toInt(), 20);
    ::kill(static_cast<pid_t>(sender.processId()), SIGKILL);
    EXPECT_EQ(finish(), -1);
    std::ostringstream problems;
    const Ledger ledger(Ledger::DefaultPath(), "mrv508", problems);
    EXPECT_EQ(problems.str(), "");
    EXPECT_EQ(LedgerRows(Ledger::DefaultPath(), "PRAGMA integrity_check"), "ok;");
    const QStringList frames = sim.framesReceived();
    std::string received;
    for (QString frame : frames)
        received += "NULL|" + frame.replace("\\r\\n", "\r\n").toStdString() + "|accepted;";
    const std::string recorded = entries("1");
    EXPECT_TRUE(received.starts_with(recorded)) << recorded;
    EXPECT_GE(std::count(recorded.begin(), recorded.end(), ';'), frames.size() - 1);
}
