#include "link/CommLink.h"
#include "ledger/Ledger.h"
#include "link/LinkSupervision.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"
#include "support/LedgerRows.h"
#include "support/LinkTest.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <ostream>
#include <sys/ioctl.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

class CommLinkTest : public LinkTest
{
protected:
    // Starts the link from the profile on a simulator mapped to COM1.
    static void startOn(const SimulatorProcess& sim)
    {
        ASSERT_TRUE(sim.started());
        sim.mapPort(1);
        SerialLink.StartLink();
        ASSERT_TRUE(SerialLink.portOpen());
        ASSERT_TRUE(boxes().shown.empty()) << boxes().shownTexts().front();
    }

    // Sends a command and waits for the one box its reply brings.
    static BoxRequest sendAndAwaitBox(const std::string& command)
    {
        const size_t before = boxes().shown.size();
        SerialLink.SendCommand(command);
        if (!boxes().waitForBoxes(before + 1))
            return {};
        QTest::qWait(50); // a second box would be a fault
        EXPECT_EQ(boxes().shown.size(), before + 1);
        return boxes().shown.back();
    }
};

int picture(const QJsonObject& state, int device, int channel)
{
    const QJsonObject station = state["devices"].toArray()[device].toObject();
    return station["channels"].toArray()[channel].toObject()["picture"].toInt();
}

// Runs a call that must return, and ends the test program loudly if it hangs instead.
template <typename Call> void mustReturn(Call call)
{
    std::atomic<bool> done = false;
    std::thread guard([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done) {
            if (std::chrono::steady_clock::now() > giveUp) {
                std::fprintf(stderr, "a call that must return is still blocked\n");
                std::abort();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    call();
    done = true;
    guard.join();
}

int openDescriptors()
{
    int count = 0;
    DIR* folder = opendir("/proc/self/fd");
    while (folder && readdir(folder))
        ++count;
    if (folder)
        closedir(folder);
    return count;
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// ---- Start-up from the profile ----------------------------------------------------------------

TEST_F(CommLinkTest, AProfileWithoutKeysOpensCom1InRs232c)
{
    SimulatorProcess sim;
    DeviceSettings.comPort = 3;
    DeviceSettings.rsControl = 1;
    startOn(sim);
    EXPECT_EQ(DeviceSettings.comPort, 0);
    EXPECT_EQ(DeviceSettings.rsControl, 0);
    EXPECT_TRUE(SerialLink.readerStarted());

    SerialLink.SendCommand("P0105\r\n");
    CountNoReplyTick();
    CountNoReplyTick();
    ASSERT_TRUE(boxes().waitForBoxes(1));
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    EXPECT_EQ(DeviceSettings.noReplyTicks, 0);
    EXPECT_EQ(DeviceSettings.replyError, 0);

    const QJsonObject state = sim.state(1);
    EXPECT_EQ(state["mode"].toString(), "rs232c");
    EXPECT_EQ(state["frames"].toInt(), 1);
    EXPECT_EQ(picture(state, 0, 0), 5);
}

TEST_F(CommLinkTest, ComPort5OpensCom6)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    MapPortInProfile(1, "/nonexistent/ttyCOM1");
    sim.mapPort(6);
    WriteProfileInt("com_port", 5);
    SerialLink.StartLink();
    EXPECT_TRUE(boxes().shown.empty());
    ASSERT_TRUE(SerialLink.portOpen());

    EXPECT_EQ(sendAndAwaitBox("P0207\r\n"), SuccessBox);
    EXPECT_EQ(picture(sim.state(1), 0, 1), 7);
}

TEST_F(CommLinkTest, AnyNonzeroLineModeInTheProfileIsRs485)
{
    SimulatorProcess sim({"--rs485"});
    WriteProfileInt("rs_control", 7);
    startOn(sim);
    EXPECT_EQ(DeviceSettings.rsControl, 7);

    DeviceSettings.slaveNo = 0;
    EXPECT_EQ(sendAndAwaitBox("P0105\r\n"), SuccessBox);
    const QJsonObject state = sim.state(1);
    EXPECT_EQ(state["mode"].toString(), "rs485");
    EXPECT_EQ(picture(state, 0, 0), 5);
    EXPECT_TRUE(sim.log().contains("slave 00")) << sim.log().toStdString();
}

// ---- Sending and replies ----------------------------------------------------------------------

TEST_F(CommLinkTest, Rs485ReachesOnlyTheAddressedSlave)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3"});
    WriteProfileInt("rs_control", 1);
    startOn(sim);

    DeviceSettings.slaveNo = 5;
    SerialLink.SendCommand("P0105\r\n");
    EXPECT_EQ(sim.state(1)["frames"].toInt(), 1);
    QTest::qWait(300);
    EXPECT_TRUE(boxes().shown.empty());
    EXPECT_EQ(DeviceSettings.awaitingReply, 1);
    EXPECT_TRUE(sim.log().contains("not for this line's slaves")) << sim.log().toStdString();

    DeviceSettings.slaveNo = 3;
    EXPECT_EQ(sendAndAwaitBox("P0105\r\n"), SuccessBox);
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    const QJsonObject state = sim.state(2);
    EXPECT_EQ(state["devices"].toArray()[1].toObject()["slave"].toInt(), 3);
    EXPECT_EQ(picture(state, 1, 0), 5);
    EXPECT_EQ(picture(state, 0, 0), 1);
}

class SlaveOutOfRangeTest : public CommLinkTest, public testing::WithParamInterface<int>
{
};

TEST_P(SlaveOutOfRangeTest, SendsNothingAndWarns)
{
    SimulatorProcess sim({"--rs485"});
    WriteProfileInt("rs_control", 1);
    startOn(sim);

    DeviceSettings.slaveNo = GetParam();
    SerialLink.SendCommand("P0105\r\n");
    ASSERT_EQ(boxes().shown.size(), 1u);
    EXPECT_EQ(boxes().shown[0].caption, "Error");
    EXPECT_EQ(boxes().shown[0].icon, BoxIcon::Warning);
    EXPECT_EQ(boxes().shown[0].owner, BoxOwner::MessageOwner);
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);

    // Only the addressed command that follows reaches the line.
    DeviceSettings.slaveNo = 0;
    EXPECT_EQ(sendAndAwaitBox("P0106\r\n"), SuccessBox);
    const QJsonObject state = sim.state(1);
    EXPECT_EQ(state["frames"].toInt(), 1);
    EXPECT_EQ(picture(state, 0, 0), 6);
}

INSTANTIATE_TEST_SUITE_P(Slaves, SlaveOutOfRangeTest, testing::Values(-1, 32),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param < 0 ? std::string("NoSlaveChosen")
                                                   : "Slave" + std::to_string(info.param);
                         });

struct ErrorReplyCase
{
    const char* name;
    QStringList options;
    const char* message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ErrorReplyCase& c, std::ostream* out)
{
    *out << c.name;
}

class ErrorReplyTest : public CommLinkTest, public testing::WithParamInterface<ErrorReplyCase>
{
};

TEST_P(ErrorReplyTest, ShowsTheDevicesErrorAndSetsReplyError)
{
    SimulatorProcess sim(GetParam().options);
    startOn(sim);
    EXPECT_EQ(sendAndAwaitBox("P0105\r\n"), ErrorBox(GetParam().message));
    EXPECT_EQ(DeviceSettings.replyError, 1);
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ErrorReplyTest,
    testing::Values(ErrorReplyCase{"ModeError", {"--reply", "GN"}, "Mode Error"},
                    ErrorReplyCase{"MenuDisplay", {"--reply", "MENU"}, "Menu Display"},
                    ErrorReplyCase{"FramingError", {"--reply", "E0"}, "Framing Error"},
                    ErrorReplyCase{"ParityError", {"--reply", "E1"}, "Parity Error"},
                    ErrorReplyCase{"OverRunError", {"--reply", "E2"}, "Over Run Error"},
                    ErrorReplyCase{"CommandError", {"--error-on", "1"}, "Command Error"}),
    [](const testing::TestParamInfo<ErrorReplyCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(CommLinkTest, ALaterGoClearsReplyError)
{
    SimulatorProcess sim({"--error-on", "2"});
    startOn(sim);
    EXPECT_EQ(sendAndAwaitBox("P0102\r\n"), SuccessBox);
    EXPECT_EQ(DeviceSettings.replyError, 0);
    EXPECT_EQ(sendAndAwaitBox("P0103\r\n"), ErrorBox("Command Error"));
    EXPECT_EQ(DeviceSettings.replyError, 1);
    EXPECT_EQ(sendAndAwaitBox("P0104\r\n"), SuccessBox);
    EXPECT_EQ(DeviceSettings.replyError, 0);
    EXPECT_EQ(picture(sim.state(3), 0, 0), 4);
}

// The window tool records each frame's outcome in the ledger, as the sender does: an
// acknowledged line, a refused one and one that met silence, found when the next frame goes.
TEST_F(CommLinkTest, EveryLineIsRecordedInTheLedgerWithWhatBecameOfIt)
{
    SimulatorProcess sim({"--rs485", "--slaves", "3", "--error-on", "2"});
    WriteProfileInt("rs_control", 1);
    startOn(sim);
    DeviceSettings.slaveNo = 3;
    EXPECT_EQ(sendAndAwaitBox("P0105\r\n"), SuccessBox);
    EXPECT_EQ(sendAndAwaitBox("P0106\r\n"), ErrorBox("Command Error"));
    DeviceSettings.slaveNo = 5;
    SerialLink.SendCommand("P0107\r\n");
    DeviceSettings.slaveNo = 3;
    SerialLink.SendCommand("VER0112\r\n");
    ASSERT_TRUE(boxes().waitForBoxes(3));
    const std::string line = "'" + sim.linkPath() + "'";
    EXPECT_EQ(LedgerRows(Ledger::DefaultPath(),
                         ("SELECT program, slave, item, value, frame, result, reply FROM entries "
                          "WHERE device = " +
                          line + " ORDER BY id")
                             .c_str()),
              "mrv508|3|ch.1 picture|05|03P0105\r\n|accepted|GO;"
              "mrv508|3|ch.1 picture|06|03P0106\r\n|rejected|E3;"
              "mrv508|5|ch.1 picture|07|05P0107\r\n|not answered|;"
              "mrv508|3|ch.1 vertical offset|12|03VER0112\r\n|accepted|GO;");
}

TEST_F(CommLinkTest, AReplyInTwoPiecesIsInterpretedOnce)
{
    SimulatorProcess sim({"--split", "200"});
    startOn(sim);
    SerialLink.SendCommand("P0105\r\n");
    ASSERT_TRUE(boxes().waitForBoxes(1));
    QTest::qWait(400);
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
}

TEST_F(CommLinkTest, TwoRepliesInOneReadAreBothInterpreted)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    // Both replies wait in the port until the reader starts, so one read takes them together.
    SerialLink.OpenPort();
    ASSERT_TRUE(SerialLink.portOpen());
    SerialLink.SendCommand("P0105\r\n");
    SerialLink.SendCommand("P0106\r\n");
    EXPECT_EQ(sim.state(2)["frames"].toInt(), 2);
    const int port = linkDescriptorOf(sim.linkPath());
    int unread = 0;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ioctl(port, FIONREAD, &unread) == 0 && unread == 8; }, 5000));
    SerialLink.StartReader();
    ASSERT_TRUE(boxes().waitForBoxes(2));
    EXPECT_EQ(boxes().shown, (std::vector<BoxRequest>{SuccessBox, SuccessBox}));
}

TEST_F(CommLinkTest, BytesThatMakeNoReplyLineAreNamedAsAReasonForTheSilence)
{
    SimulatorProcess sim({"--reply", "G?", "--no-line-end"});
    startOn(sim);
    SerialLink.SendCommand("P0105\r\n");
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return SerialLink.silenceReason().starts_with("2 bytes came without"); }, 5000))
        << SerialLink.silenceReason();
    EXPECT_EQ(DeviceSettings.awaitingReply, 1);
}

// ---- Hang-up, stop and restart ----------------------------------------------------------------

std::string descriptorTarget(int fd)
{
    char target[PATH_MAX] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    return readlink(link.c_str(), target, sizeof target - 1) > 0 ? target : "";
}

TEST_F(CommLinkTest, AHungUpLineIsReleasedNeitherSpinsNorCrashesAndEndsInNoConnect)
{
    SimulatorProcess sim({"--hangup-after", "1"});
    startOn(sim);
    const int portFd = linkDescriptorOf(sim.linkPath());
    const std::string device = descriptorTarget(portFd);
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(sendAndAwaitBox("P0105\r\n"), SuccessBox);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.log().contains("hung up on request"); }, 5000));

    // The window thread closes the dead port, so that its device node is let go.
    ASSERT_TRUE(QTest::qWaitFor([] { return !SerialLink.portOpen(); }, 5000));
    EXPECT_NE(descriptorTarget(portFd), device);

    // The reader waits for its stop alone instead of polling the dead line.
    const double cpuBefore = processCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_LT(processCpuSeconds() - cpuBefore, 0.3);

    SerialLink.SendCommand("P0106\r\n");
    EXPECT_EQ(DeviceSettings.awaitingReply, 1);
    for (int tick = 1; tick <= 6; ++tick)
        EXPECT_FALSE(CountNoReplyTick()) << "tick " << tick;
    EXPECT_TRUE(CountNoReplyTick());

    mustReturn([] { SerialLink.StopLink(); });
    EXPECT_FALSE(SerialLink.readerStarted());
}

TEST_F(CommLinkTest, StopLinkReturnsWhileAReplyBoxIsPending)
{
    SimulatorProcess sim;
    startOn(sim);
    SerialLink.SendCommand("P0105\r\n");
    // The window thread serves no events here, so the reader stays blocked on its box.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (DeviceSettings.awaitingReply != 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(DeviceSettings.awaitingReply, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    mustReturn([] { SerialLink.StopLink(); });
    EXPECT_FALSE(SerialLink.readerStarted());
    EXPECT_TRUE(boxes().shown.empty());
    ASSERT_TRUE(boxes().waitForBoxes(1));
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});

    // A restarted reader shows its boxes again.
    SerialLink.OpenPort();
    SerialLink.StartReader();
    EXPECT_EQ(sendAndAwaitBox("P0106\r\n"), SuccessBox);
}

TEST_F(CommLinkTest, StopAndRestartCloseEveryDescriptorOnce)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    const int baseline = openDescriptors();

    SerialLink.StartLink();
    ASSERT_TRUE(SerialLink.portOpen());
    EXPECT_GT(openDescriptors(), baseline);
    SerialLink.StopLink();
    EXPECT_EQ(openDescriptors(), baseline);

    // The freed numbers go to new files; a second stop must not close them.
    const int reused[] = {open("/dev/null", O_RDONLY), open("/dev/null", O_RDONLY)};
    SerialLink.StopLink();
    for (const int fd : reused) {
        EXPECT_NE(fcntl(fd, F_GETFD), -1) << "descriptor " << fd << " closed by a second stop";
        close(fd);
    }
    EXPECT_EQ(openDescriptors(), baseline);

    for (int restart = 0; restart < 3; ++restart) {
        SerialLink.StopLink();
        SerialLink.OpenPort();
        SerialLink.StartReader();
        ASSERT_TRUE(SerialLink.portOpen());
        EXPECT_EQ(sendAndAwaitBox("P0105\r\n"), SuccessBox);
    }
    SerialLink.StopLink();
    EXPECT_EQ(openDescriptors(), baseline);
}

} // namespace
