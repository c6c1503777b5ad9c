#include "link/SerialPort.h"
#include "link/CommLink.h"
#include "link/LinkSupervision.h"
#include "link/LockHolder.h"
#include "link/PortSurvey.h"
#include "link/SystemConsole.h"
#include "platform/Profile.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"
#include "support/LinkTest.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <map>
#include <ostream>
#include <poll.h>
#include <pwd.h>
#include <random>
#include <signal.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <tuple>
#include <utility>
#include <unistd.h>

using testing::StartsWith;

namespace {

// A pseudo-terminal whose master side the test drives itself, in place of a device.
class RawPty
{
public:
    RawPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0 &&
            ptsname_r(master, name, sizeof name) == 0)
            slave = name;
    }
    ~RawPty()
    {
        if (master >= 0)
            close(master);
    }
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    // One write() per call: the tool's port receives the bytes together.
    void send(const std::string& bytes) const
    {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What the tool has written to the line, waiting up to a generous bound for `count` bytes.
    std::string receive(size_t count) const
    {
        std::string bytes;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (bytes.size() < count && std::chrono::steady_clock::now() < giveUp) {
            pollfd readable{master, POLLIN, 0};
            if (poll(&readable, 1, 100) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, static_cast<size_t>(n));
        }
        return bytes;
    }

    int master = -1;
    std::string slave;
};

void pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- Opening the port -------------------------------------------------------------------------

TEST(SerialPortTest, OpensAPseudoTerminalInTheDevicesLineFormat)
{
    RawPty pty;
    ASSERT_FALSE(pty.slave.empty());
    SerialPort port;
    ASSERT_EQ(port.open(pty.slave), "");
    ASSERT_TRUE(port.isOpen());
    EXPECT_TRUE(port.setEventMask());
    EXPECT_TRUE(port.setQueues());
    EXPECT_TRUE(port.setTimeouts());
    EXPECT_TRUE(port.setLineState());

    termios state{};
    ASSERT_EQ(tcgetattr(port.descriptor(), &state), 0);
    EXPECT_EQ(cfgetispeed(&state), B9600);
    EXPECT_EQ(cfgetospeed(&state), B9600);
    EXPECT_EQ(state.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(state.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(state.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    // A pseudo-terminal drops PARENB on its own, so even parity cannot be read back here.
    EXPECT_EQ(state.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(state.c_iflag & (INPCK | ICRNL | IGNCR | INLCR | ISTRIP), 0u);
    EXPECT_EQ(state.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(state.c_oflag & OPOST, 0u);
    EXPECT_EQ(state.c_cc[VSTART], 0x11);
    EXPECT_EQ(state.c_cc[VSTOP], 0x13);
    EXPECT_EQ(state.c_cc[VMIN], 0);
    EXPECT_EQ(state.c_cc[VTIME], 0);
}

TEST(SerialPortTest, TheLineSettingsFoundAtOpenAreBackAfterClose)
{
    RawPty pty;
    ASSERT_FALSE(pty.slave.empty());
    termios earlier{};
    ASSERT_EQ(tcgetattr(pty.master, &earlier), 0); // a pty's master reads its slave's settings
    cfsetspeed(&earlier, B2400);
    earlier.c_lflag |= ICANON | ECHO;
    earlier.c_cc[VMIN] = 1;
    ASSERT_EQ(tcsetattr(pty.master, TCSANOW, &earlier), 0);
    ASSERT_EQ(tcgetattr(pty.master, &earlier), 0);
    SerialPort port;
    ASSERT_EQ(port.open(pty.slave), "");
    ASSERT_TRUE(port.setTimeouts() && port.setLineState());
    port.close();
    termios after{};
    ASSERT_EQ(tcgetattr(pty.master, &after), 0);
    EXPECT_EQ(std::tie(after.c_iflag, after.c_oflag, after.c_cflag, after.c_lflag, after.c_ospeed),
              std::tie(earlier.c_iflag, earlier.c_oflag, earlier.c_cflag, earlier.c_lflag,
                       earlier.c_ospeed));
    EXPECT_TRUE(std::equal(std::begin(after.c_cc), std::end(after.c_cc), earlier.c_cc));
}

TEST(SerialPortTest, EverySetUpStepFailsOnAPortThatIsNotOpen)
{
    SerialPort port;
    EXPECT_NE(port.open("/nonexistent/ttyX"), "");
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.setEventMask());
    EXPECT_FALSE(port.setQueues());
    EXPECT_FALSE(port.setTimeouts());
    EXPECT_FALSE(port.setLineState());
    EXPECT_FALSE(port.write("P0101\r\n", 7, 100));
    char buffer[8];
    EXPECT_LT(port.read(buffer, sizeof buffer), 0);
}

TEST(SerialPortTest, APortHeldByAnotherOpenCannotBeSharedUntilItIsClosed)
{
    RawPty pty;
    SerialPort holder;
    ASSERT_EQ(holder.open(pty.slave), "");
    SerialPort second;
    EXPECT_EQ(second.open(pty.slave), pty.slave + ": held by another program.");
    EXPECT_FALSE(second.isOpen());
    holder.close();
    EXPECT_EQ(second.open(pty.slave), "");
}

// Another program may have the port open without its lock (a terminal, a simulator's own side):
// the one named is the lock's holder, by a name that cannot steer the terminal.
TEST(SerialPortTest, TheProgramNamedAsHolderIsTheOneHoldingTheLock)
{
    RawPty pty;
    const int openWithoutLock = open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(openWithoutLock, 0);
    EXPECT_EQ(LockHolder(pty.slave), "");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_NAME, "holder\x1b[2J");
        SerialPort port;
        const char held = port.open(pty.slave).empty() ? 'y' : 'n';
        [[maybe_unused]] const ssize_t ignored = write(ready[1], &held, 1);
        ::pause();
        _exit(0);
    }
    char held = 'n';
    EXPECT_EQ(read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_EQ(LockHolder(pty.slave), "holder\\x1b[2J (pid " + std::to_string(child) + ")");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    close(openWithoutLock);
}

TEST(SerialPortTest, APrintedNameShowsControlCharactersAndBrokenUtf8Escaped)
{
    const std::pair<std::string, std::string> names[] = {
        {"mrv508-send", "mrv508-send"},
        {"漢字", "漢字"},
        {"a\\b", "a\\\\b"},
        {"\x1b[2J\x7f\t", "\\x1b[2J\\x7f\\x09"},
        {"\xc2\x9b[1m\xc2\xa0", "\\xc2\\x9b[1m\xc2\xa0"},
        {"cut\xe6\xbc", "cut\\xe6\\xbc"},
        {"\xff\xc0\xaf\xed\xa0\x80", "\\xff\\xc0\\xaf\\xed\\xa0\\x80"}};
    for (const auto& [name, shown] : names)
        EXPECT_EQ(PrintableName(name), shown);
}

// Opens the path as an ordinary user would and returns the reason of a failure. Root passes every
// permission check, so then the open is tried by a child that gave up root.
std::string openUnprivileged(const std::string& path)
{
    if (geteuid() != 0) {
        SerialPort port;
        return port.open(path);
    }
    getgrgid(0); // load the group lookup before fork(), not in the child
    int reasonPipe[2];
    if (pipe(reasonPipe) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(reasonPipe[0]);
        std::string reason = "could not drop root";
        if (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0) {
            SerialPort port;
            reason = port.open(path);
        }
        [[maybe_unused]] const ssize_t ignored = write(reasonPipe[1], reason.data(), reason.size());
        _exit(0);
    }
    close(reasonPipe[1]);
    std::string reason = child < 0 ? "fork failed" : "";
    pollfd readable{reasonPipe[0], POLLIN, 0};
    char buffer[512];
    while (child > 0 && poll(&readable, 1, 10000) > 0) {
        const ssize_t n = read(reasonPipe[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        reason.append(buffer, static_cast<size_t>(n));
    }
    close(reasonPipe[0]);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return reason;
}

// Joining the device's group helps only where the group may read and write it.
TEST(SerialPortTest, ADeviceWithoutPermissionSaysWhoMayOpenIt)
{
    RawPty pty;
    struct stat info = {};
    ASSERT_EQ(stat(pty.slave.c_str(), &info), 0);
    const std::string owner = getpwuid(info.st_uid)->pw_name;
    const std::string group = getgrgid(info.st_gid)->gr_name;
    const std::pair<mode_t, std::string> cases[] = {
        {0600, " Only its owner, " + owner + ", may open it; a udev rule"},
        {0660, " Join the group \"" + group + "\" that owns the device."}};
    for (const auto& [mode, advice] : cases) {
        ASSERT_EQ(chmod(pty.slave.c_str(), mode), 0);
        EXPECT_THAT(openUnprivileged(pty.slave), StartsWith(pty.slave + ": permission denied." + advice))
            << std::oct << mode;
    }
}

// A port must be free again for anyone once its holder has closed it or has been killed, while
// the other side of the pseudo-terminal stays open (a simulator across a restart of the tool).
TEST(SerialPortTest, APortIsFreeForAnyoneOnceItsHolderClosedItOrDied)
{
    RawPty pty;
    ASSERT_EQ(chmod(pty.slave.c_str(), 0666), 0);
    SerialPort port;
    ASSERT_EQ(port.open(pty.slave), "");
    port.close();
    EXPECT_EQ(openUnprivileged(pty.slave), "");

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        SerialPort held;
        const char opened = held.open(pty.slave).empty() ? 'y' : 'n';
        [[maybe_unused]] const ssize_t ignored = write(ready[1], &opened, 1);
        ::pause();
        _exit(0);
    }
    char opened = 'n';
    EXPECT_EQ(read(ready[0], &opened, 1), 1);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(opened, 'y');
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(openUnprivileged(pty.slave), "");
}

// ---- Terminals that are no line to a device ---------------------------------------------------

// "listed" stands for a pseudo-terminal that the kernel's console list names, "free" for one it
// does not name, "link" for a link to /dev/tty1.
struct ConsoleCase
{
    const char* name;
    std::string path;
    bool refused = true;
};

void PrintTo(const ConsoleCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConsoleRefusalTest : public testing::TestWithParam<ConsoleCase>
{
};

// Tried as an ordinary user, who may open no console: a check that came after open() would fail
// the row instead of touching a console. The port survey must say the same.
TEST_P(ConsoleRefusalTest, NeitherTheToolNorTheSenderOpensAConsole)
{
    RawPty listed, free;
    QTemporaryDir folder;
    const std::string link = folder.filePath("tty").toStdString();
    ASSERT_EQ(chmod(listed.slave.c_str(), 0666) | chmod(free.slave.c_str(), 0666) |
                  chmod(qPrintable(folder.path()), 0755) | symlink("/dev/tty1", link.c_str()),
              0);
    SetActiveConsoles("ttyS9 " + listed.slave.substr(std::strlen("/dev/")));
    const std::map<std::string, std::string> made{
        {"listed", listed.slave}, {"free", free.slave}, {"link", link}};
    const ConsoleCase& c = GetParam();
    const std::string path = made.contains(c.path) ? made.at(c.path) : c.path;
    EXPECT_EQ(openUnprivileged(path), c.refused ? path + ": is the system console." : "");
    EXPECT_EQ(PortSurvey::Take().status(path).presence == PortPresence::SystemConsole, c.refused);
    SetActiveConsoles("");
}

INSTANTIATE_TEST_SUITE_P(Paths, ConsoleRefusalTest,
                         testing::Values(ConsoleCase{"FirstVirtualConsole", "/dev/tty0"},
                                         ConsoleCase{"LastVirtualConsole", "/dev/tty63"},
                                         ConsoleCase{"ControllingTerminal", "/dev/tty"},
                                         ConsoleCase{"Console", "/dev/console"},
                                         ConsoleCase{"LinkToAVirtualConsole", "link"},
                                         ConsoleCase{"InTheKernelsList", "listed"},
                                         ConsoleCase{"PseudoTerminal", "free", false}),
                         [](const testing::TestParamInfo<ConsoleCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- Open failures seen by the operator -------------------------------------------------------

struct OpenFailureCase
{
    const char* name;
    // Prepares the profile and the port; returns the reason expected under "Miss! File Open".
    std::string (*prepare)(QTemporaryDir& folder, RawPty& pty, SerialPort& holder);
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const OpenFailureCase& c, std::ostream* out)
{
    *out << c.name;
}

class OpenFailureTest : public LinkTest, public testing::WithParamInterface<OpenFailureCase>
{
protected:
    QTemporaryDir folder;
    RawPty pty;
    SerialPort holder;
};

TEST_P(OpenFailureTest, ShowsTheFiveMessagesInOrderAndKeepsRunning)
{
    const std::string reason = GetParam().prepare(folder, pty, holder);

    SerialLink.StartLink();

    const std::vector<std::string> expected = {"Miss! File Open\n\n" + reason, "Miss! Mask Set",
                                               "Miss! Buffer Set", "Miss! Time Out Set",
                                               "Miss! Set Comm State"};
    EXPECT_EQ(boxes().shownTexts(), expected);
    for (const BoxRequest& box : boxes().shown) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.icon, BoxIcon::Error);
        EXPECT_EQ(box.sound, BoxSound::QuestionSound);
        EXPECT_EQ(box.owner, BoxOwner::None);
    }
    EXPECT_FALSE(SerialLink.portOpen());
    EXPECT_TRUE(SerialLink.readerStarted());

    // A command on the failed link goes nowhere and says nothing; supervision will catch it.
    SerialLink.SendCommand("P0101\r\n");
    EXPECT_EQ(boxes().shown.size(), 5u);
    EXPECT_EQ(DeviceSettings.awaitingReply, 1);

    SerialLink.StopLink();
    EXPECT_FALSE(SerialLink.readerStarted());
}

void mapCom1(const std::string& path)
{
    MapPortInProfile(1, path);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, OpenFailureTest,
    testing::Values(
        OpenFailureCase{"MissingDevice",
                        [](QTemporaryDir& folder, RawPty&, SerialPort&) {
                            const std::string path = folder.filePath("ttyGone").toStdString();
                            mapCom1(path);
                            return path + ": no such device.\n" +
                                   MissingDeviceAdvice(0, PortSurvey{});
                        }},
        OpenFailureCase{"Directory",
                        [](QTemporaryDir& folder, RawPty&, SerialPort&) {
                            const std::string path = folder.path().toStdString();
                            mapCom1(path);
                            return path + ": a folder, not a serial device.";
                        }},
        OpenFailureCase{"RegularFile",
                        [](QTemporaryDir& folder, RawPty&, SerialPort&) {
                            const std::string path = folder.filePath("plain").toStdString();
                            QFile file(QString::fromStdString(path));
                            file.open(QIODevice::WriteOnly);
                            file.write("GO\r\n");
                            file.close();
                            mapCom1(path);
                            return path + ": not a serial device.";
                        }},
        OpenFailureCase{"DeviceThatIsNotATerminal",
                        [](QTemporaryDir&, RawPty&, SerialPort&) {
                            mapCom1("/dev/null");
                            return std::string("/dev/null: not a serial device.");
                        }},
        OpenFailureCase{"PortHeldByAnotherOpen",
                        [](QTemporaryDir&, RawPty& pty, SerialPort& holder) {
                            EXPECT_EQ(holder.open(pty.slave), "");
                            mapCom1(pty.slave);
                            return pty.slave + ": held by another program. It is held by " +
                                   LockHolder(pty.slave) + ".";
                        }},
        OpenFailureCase{"ComPort9",
                        [](QTemporaryDir&, RawPty& pty, SerialPort&) {
                            mapCom1(pty.slave); // must not be opened in its place
                            WriteProfileInt("com_port", 9);
                            return std::string(
                                "The profile's com_port 9 names none of COM1 to COM6 (0 to 5).");
                        }},
        OpenFailureCase{"ComPortMinus1",
                        [](QTemporaryDir&, RawPty& pty, SerialPort&) {
                            mapCom1(pty.slave);
                            WriteProfileInt("com_port", -1);
                            return std::string(
                                "The profile's com_port -1 names none of COM1 to COM6 (0 to 5).");
                        }}),
    [](const testing::TestParamInfo<OpenFailureCase>& info) {
        return std::string(info.param.name);
    });

// ---- Raw bytes on the line --------------------------------------------------------------------

// The link on COM1, mapped to a pseudo-terminal that the test writes replies into.
class RawLineTest : public LinkTest
{
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        ASSERT_FALSE(pty.slave.empty());
        MapPortInProfile(1, pty.slave);
        SerialLink.StartLink();
        ASSERT_TRUE(SerialLink.portOpen());
        ASSERT_TRUE(boxes().shown.empty());
    }

    // The reader has taken a complete line (any line clears awaitingReply).
    static bool lineTaken()
    {
        return QTest::qWaitFor([] { return DeviceSettings.awaitingReply == 0; }, 5000);
    }

    // The bytes sent so far made lines that showed nothing: the next "GO" is the first box.
    void expectGoIsTheOnlyBox()
    {
        NoteCommandSent();
        pty.send("GO\r\n");
        ASSERT_TRUE(boxes().waitForBoxes(1));
        QTest::qWait(100);
        EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
        EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    }

    RawPty pty;
};

TEST_F(RawLineTest, FramesGoOnTheWireExactly)
{
    SerialLink.SendCommand("P0101\r\n");
    EXPECT_EQ(pty.receive(7), "P0101\r\n");

    DeviceSettings.rsControl = 1;
    for (const auto& [slave, prefix] : {std::pair{0, "00"}, {9, "09"}, {12, "12"}, {31, "31"}}) {
        DeviceSettings.slaveNo = slave;
        SerialLink.SendCommand("P0101\r\n");
        EXPECT_EQ(pty.receive(9), std::string(prefix) + "P0101\r\n");
    }
}

TEST_F(RawLineTest, AReplyThatArrivesWhileTheFrameIsStillBeingWrittenAnswersIt)
{
    // Output stopped, as a device's XOFF stops it: the write waits out its timeout while the
    // reply comes in. Stopped here directly, since an XOFF on the line takes effect later.
    const int port = linkDescriptorOf(pty.slave);
    ASSERT_EQ(tcflow(port, TCOOFF), 0);
    std::thread device([&] {
        pause(200);
        pty.send("GO\r\n");
    });
    SerialLink.SendCommand("P0101\r\n");
    device.join();
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    ASSERT_TRUE(boxes().waitForBoxes(1));
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
    tcflow(port, TCOON);
}

TEST_F(RawLineTest, NulBytesEndTheLinesText)
{
    NoteCommandSent();
    pty.send(std::string("\0\0\0GO\r\n", 7));
    ASSERT_TRUE(lineTaken());

    NoteCommandSent();
    pty.send(std::string("G\0O\r\n", 5));
    ASSERT_TRUE(lineTaken());

    expectGoIsTheOnlyBox();
}

TEST_F(RawLineTest, RandomBytesMakeOneUnrecognisedLine)
{
    // DC1 and DC3 are flow control on this line, and LF would end the line early.
    std::mt19937 random(508);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> chunk(1, 150);
    NoteCommandSent();
    for (int sent = 0; sent < 3000;) {
        std::string bytes;
        for (int n = chunk(random); n > 0; --n) {
            int b = byte(random);
            while (b == '\n' || b == 0x11 || b == 0x13)
                b = byte(random);
            bytes += static_cast<char>(b);
        }
        pty.send(bytes);
        sent += static_cast<int>(bytes.size());
        pause(2);
    }
    pause(100);
    EXPECT_EQ(DeviceSettings.awaitingReply, 1);
    pty.send("\r\n");
    ASSERT_TRUE(lineTaken());

    expectGoIsTheOnlyBox();
}

TEST_F(RawLineTest, AThousandBytesWithoutLfKeepTheLineOpenAndBounded)
{
    NoteCommandSent();
    pty.send(std::string(1000, 'x'));
    pause(200);
    EXPECT_EQ(DeviceSettings.awaitingReply, 1);
    // The line is full: the reply's letters are dropped and only its LF ends the line.
    pty.send("GO\r\n");
    ASSERT_TRUE(lineTaken());
    QTest::qWait(100);
    EXPECT_TRUE(boxes().shown.empty());

    expectGoIsTheOnlyBox();
}

TEST_F(RawLineTest, TwoRepliesInOneReadAreTwoLines)
{
    NoteCommandSent();
    pty.send("E3\r\nGO\r\n");
    ASSERT_TRUE(boxes().waitForBoxes(2));
    EXPECT_EQ(boxes().shown[0], ErrorBox(Message::CommandError));
    EXPECT_EQ(boxes().shown[1].text, std::string(Message::Success));
    EXPECT_EQ(DeviceSettings.replyError, 0);
}

struct SplitCase
{
    std::string reply;
    int rsControl;
    size_t cut;
    std::string message;
};

void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << c.reply.size() << "-byte reply cut at " << c.cut;
}

class SplitReplyTest : public RawLineTest, public testing::WithParamInterface<SplitCase>
{
};

TEST_P(SplitReplyTest, AReplyInTwoReadsIsInterpretedOnce)
{
    const SplitCase& c = GetParam();
    DeviceSettings.rsControl = c.rsControl;
    NoteCommandSent();
    pty.send(c.reply.substr(0, c.cut));
    pause(100);
    EXPECT_EQ(DeviceSettings.awaitingReply, 1) << "the first piece ended the line";
    pty.send(c.reply.substr(c.cut));
    ASSERT_TRUE(boxes().waitForBoxes(1));
    QTest::qWait(100);
    EXPECT_EQ(boxes().shownTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
}

std::vector<SplitCase> everyCut(const std::string& reply, int rsControl, const std::string& message)
{
    std::vector<SplitCase> cases;
    for (size_t cut = 1; cut < reply.size(); ++cut)
        cases.push_back({reply, rsControl, cut, message});
    return cases;
}

std::string splitName(const testing::TestParamInfo<SplitCase>& info)
{
    std::string name;
    for (const char c : info.param.reply)
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name + "CutAt" + std::to_string(info.param.cut);
}

INSTANTIATE_TEST_SUITE_P(Rs232Go, SplitReplyTest,
                         testing::ValuesIn(everyCut("GO\r\n", 0, "Success")), splitName);
INSTANTIATE_TEST_SUITE_P(Rs485Go, SplitReplyTest,
                         testing::ValuesIn(everyCut("05GO\r\n", 1, "Success")), splitName);
INSTANTIATE_TEST_SUITE_P(Rs232Menu, SplitReplyTest,
                         testing::ValuesIn(everyCut("MENU\r\n", 0, "Menu Display")), splitName);

} // namespace
