// A device behind a serial device server, as the guide tells the operator to reach it: ser2net
// puts the simulator's line on a TCP port, socat makes a local pseudo-terminal for that port.
#include "editors/PictureCommand.h"
#include "link/CommLink.h"
#include "support/BuildPaths.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/ToolTest.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/prctl.h>

namespace {

class SerialServerTest : public ToolTest
{
protected:
    void TearDown() override
    {
        for (QProcess* process : {&socat, &ser2net}) {
            process->kill();
            process->waitForFinished(5000);
        }
        ToolTest::TearDown();
    }

    static void start(QProcess& process, const QString& program, const QStringList& arguments)
    {
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(program, arguments);
    }

    QTemporaryDir folder;
    QProcess ser2net;
    QProcess socat;
};

TEST_F(SerialServerTest, TheToolAndTheSenderReachADeviceBehindSer2netAndSocat)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    QTcpServer probe; // a port that is free now
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QFile config(folder.filePath(QStringLiteral("ser2net.yaml")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("connection: &mrv508\n  accepter: tcp,127.0.0.1,%1\n"
                                "  connector: serialdev,%2,9600e81,local\n")
                     .arg(port)
                     .arg(QFileInfo(QString::fromStdString(sim.linkPath())).canonicalFilePath())
                     .toUtf8());
    config.close();
    start(ser2net, QStringLiteral("ser2net"), {"-n", "-d", "-c", config.fileName()});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            return socket.waitForConnected(200);
        },
        10000))
        << "ser2net (a Debian package) does not listen";
    const QString link = folder.filePath(QStringLiteral("ttyNET"));
    start(socat, QStringLiteral("socat"),
          {"pty,link=" + link + ",raw,echo=0", QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(link); }, 10000)) << "no socat link";

    MapPortInProfile(1, link.toStdString());
    startTool();
    SerialLink.SendCommand(MakePictureCommand(0, 4));
    ASSERT_TRUE(boxes().waitForBoxes(1));
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
    frame.reset();
    SerialLink.StopLink();

    // The same link again, opened by the sender for a whole file.
    QProcess sender;
    sender.start(QString::fromStdString(SenderPath()),
                 {QString::fromStdString(TestDataFolder() + "/defaults.dat"), "--device", link,
                  "--pace", "0", "--pictures", "3,32"});
    ASSERT_TRUE(sender.waitForFinished(120000));
    EXPECT_EQ(sender.exitCode(), 0) << sender.readAllStandardError().toStdString();
    EXPECT_EQ(sim.state(137)[QStringLiteral("frames")].toInt(), 137) << "a picture, 136 lines";
    EXPECT_EQ(sim.channel(0)[QStringLiteral("picture")].toInt(), 3);
    EXPECT_EQ(sim.channel(1)[QStringLiteral("picture")].toInt(), 32);
}

} // namespace
