// The real program as an operator runs it: on a real X server, against the device simulator on a
// pseudo-terminal, with a profile and folders of its own, as an ordinary user.
#include "support/BuildPaths.h"
#include "support/SimulatorProcess.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include "settings/SettingsFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QString MainTitle = QStringLiteral("MRV-508");

// An ordinary user's home for the program: runtime, config and state folders, with a profile that
// maps COM1 to `device` and, when given, what a last run left unsaved, all the user's own. Tests
// that run as root run the program as nobody, since root passes the checks that lock an ordinary
// user out (a terminal's exclusive mode among them).
class OperatorHome
{
public:
    explicit OperatorHome(const QString& device, const std::string& unsaved = {})
    {
        const QDir home(folder.path());
        home.mkpath(QStringLiteral("runtime"));
        if (!unsaved.empty() && home.mkpath(QStringLiteral("state/mrv508")))
            std::ofstream(recoveryPath().toStdString(), std::ios::binary) << unsaved;
        // Private, or the program keeps its lock in a folder that every run of the user shares.
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        home.mkpath(QStringLiteral("config/mrv508"));
        QSettings(home.filePath(QStringLiteral("config/mrv508/mrv508.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("Ports/COM1"), device);
        // The leak checker of a sanitized build reads them as that user.
        QFile::copy(QString::fromStdString(SanitizerFilesFolder() + "/lsan-tool.supp"),
                    home.filePath(QStringLiteral("lsan.supp")));
        if (geteuid() != 0)
            return;
        QDirIterator entries(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            giveToNobody(entries.next());
        giveToNobody(folder.path());
        launcher = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                               QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                               QStringLiteral("--")};
    }

    QProcessEnvironment settings(const QString& display) const
    {
        QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
        settings.remove(QStringLiteral("WAYLAND_DISPLAY"));
        settings.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        settings.insert(QStringLiteral("DISPLAY"), display);
        settings.insert(QStringLiteral("HOME"), folder.path());
        settings.insert(QStringLiteral("XDG_CONFIG_HOME"),
                        folder.filePath(QStringLiteral("config")));
        settings.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                        folder.filePath(QStringLiteral("runtime")));
        settings.insert(QStringLiteral("XDG_STATE_HOME"), folder.filePath(QStringLiteral("state")));
        settings.insert(QStringLiteral("ASAN_OPTIONS"),
                        QStringLiteral("detect_leaks=1:log_path=") +
                            folder.filePath(QStringLiteral("sanitizer")));
        settings.insert(QStringLiteral("LSAN_OPTIONS"),
                        QStringLiteral("print_suppressions=0:suppressions=") +
                            folder.filePath("lsan.supp"));
        return settings;
    }

    QString recoveryPath() const
    {
        return folder.filePath(QStringLiteral("state/mrv508/recovery.dat"));
    }

    QString lockPath() const
    {
        return folder.filePath(QStringLiteral("runtime/MRV508_Instance.lock"));
    }

    // What a sanitized build reported at the program's end; empty from any other build.
    QString sanitizerReports() const
    {
        QString reports;
        for (const QFileInfo& log : QDir(folder.path()).entryInfoList({"sanitizer.*"})) {
            QFile file(log.filePath());
            if (file.open(QIODevice::ReadOnly))
                reports += QString::fromLocal8Bit(file.readAll());
        }
        return reports;
    }

    QTemporaryDir folder;
    QStringList launcher;

private:
    static void giveToNobody(const QString& path)
    {
        EXPECT_EQ(chown(path.toLocal8Bit(), 65534, 65534), 0) << path.toStdString();
    }
};

// The program in a process of its own, as the operator of `home` starts it.
class Tool
{
public:
    Tool(const OperatorHome& home, const QString& display)
    {
        process.setProcessEnvironment(home.settings(display));
        const QStringList command = home.launcher + QStringList{QString::fromStdString(AppPath())};
        process.start(command.front(), command.mid(1));
        process.waitForStarted();
    }
    ~Tool()
    {
        process.kill();
        process.waitForFinished();
    }

    long long pid() const { return process.processId(); }

    bool holdsDevice(const QString& device) const
    {
        const QString fds = QStringLiteral("/proc/%1/fd").arg(pid());
        return QTest::qWaitFor(
            [&] {
                for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System))
                    if (fd.symLinkTarget() == device)
                        return true;
                return false;
            },
            20000);
    }

    // User and system time of all its threads so far.
    double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        // The fields after the command name, which is in parentheses and may hold blanks.
        const QList<QByteArray> fields = stat.readAll().split(')').last().simplified().split(' ');
        return (fields[11].toDouble() + fields[12].toDouble()) /
               static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    void signal(int number) const { kill(static_cast<pid_t>(pid()), number); }

    bool ended() { return process.waitForFinished(20000); }

    QProcess process;
};

ino_t InodeOf(const QString& path)
{
    struct stat status = {};
    return ::stat(path.toLocal8Bit().constData(), &status) == 0 ? status.st_ino : 0;
}

bool LockIsFree(const QString& path)
{
    const int fd = open(path.toLocal8Bit(), O_RDONLY | O_CLOEXEC);
    const bool free = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0)
        close(fd);
    return free;
}

// Free for a new open at once: nobody holds its lock, and no exclusive mode was left behind.
bool PortIsFree(const QString& device)
{
    const int fd = open(device.toLocal8Bit(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    int exclusive = 1;
    const bool free =
        fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && ioctl(fd, TIOCGEXCL, &exclusive) == 0;
    if (fd >= 0)
        close(fd);
    return free && exclusive == 0;
}

class ToolOnX : public testing::Test
{
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        if (geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            GTEST_SKIP() << "setpriv (util-linux) is needed to run the program as an ordinary user";
        ASSERT_TRUE(server->started()) << "Xvfb did not start";
        ASSERT_TRUE(x.connected());
        ASSERT_TRUE(sim.started());
        char path[PATH_MAX] = {};
        ASSERT_NE(realpath(sim.linkPath().c_str(), path), nullptr);
        ASSERT_EQ(chmod(path, 0666), 0);
        device = QString::fromLocal8Bit(path);
    }

    // Started on the simulator's port, its main window shown.
    std::unique_ptr<Tool> startTool(const OperatorHome& home)
    {
        auto tool = std::make_unique<Tool>(home, server->display());
        mainWindow = x.waitForWindow(tool->pid(), MainTitle);
        EXPECT_NE(mainWindow.id, 0u) << "no main window";
        EXPECT_TRUE(tool->holdsDevice(device));
        return tool;
    }

    static inline std::unique_ptr<XvfbServer> server;
    XClient x{server ? server->display() : QString()};
    SimulatorProcess sim;
    QString device;
    XClient::Window mainWindow;
};

} // namespace

TEST_F(ToolOnX, OpensThePortWithTheDevicesLineSettingsAndIdles)
{
    const OperatorHome home(device);
    const std::unique_ptr<Tool> tool = startTool(home);
    ASSERT_NE(mainWindow.id, 0u);

    const int fd = open(device.toLocal8Bit(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    termios line{};
    ASSERT_EQ(tcgetattr(fd, &line), 0);
    close(fd);
    EXPECT_EQ(cfgetispeed(&line), B9600);
    EXPECT_EQ(cfgetospeed(&line), B9600);
    // A pseudo-terminal drops the parity bit on its own, so even parity cannot be seen here.
    EXPECT_EQ(line.c_cflag & (CSIZE | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              CS8 | CRTSCTS | CLOCAL | CREAD);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | INPCK | ICRNL), IXON | IXOFF);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VSTART], 0x11);
    EXPECT_EQ(line.c_cc[VSTOP], 0x13);

    // Idle: two timers tick, the reader waits. A reader that spun would take a whole core.
    const double before = tool->cpuSeconds();
    QTest::qWait(3000);
    EXPECT_LT(tool->cpuSeconds() - before, 0.5);
}

TEST_F(ToolOnX, ASecondCopyIsRefusedWhileOneRunsAndAllowedAfterItIsKilled)
{
    const OperatorHome home(device);
    const std::unique_ptr<Tool> first = startTool(home);

    Tool second(home, server->display());
    const XClient::Window refusal = x.waitForWindow(second.pid(), QStringLiteral("mrv508"));
    ASSERT_NE(refusal.id, 0u);
    EXPECT_EQ(x.windowsOf(second.pid()).size(), 1u);
    x.type(refusal, {"Return"});
    ASSERT_TRUE(second.ended());
    EXPECT_NE(second.process.exitCode(), 0);
    EXPECT_EQ(first->process.state(), QProcess::Running);

    first->signal(SIGKILL);
    ASSERT_TRUE(first->ended());
    startTool(home);
}

// "Miss! File Open" and the four steps after it on the closed port, each dismissed with Enter.
TEST_F(ToolOnX, AMissingPortGivesFiveMessagesAndThenARunningWindow)
{
    const OperatorHome home(QStringLiteral("/nonexistent/ttyUSB0"));
    Tool tool(home, server->display());

    int boxes = 0;
    unsigned long lastBox = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const XClient::Window& window : x.windowsOf(tool.pid())) {
                if (window.title == MainTitle)
                    return true;
                if (window.title == QLatin1String("Error") && window.id != lastBox) {
                    lastBox = window.id;
                    ++boxes;
                    x.type(window, {"Return"});
                }
            }
            return false;
        },
        60000));
    EXPECT_EQ(boxes, 5);
    EXPECT_EQ(x.windowsOf(tool.pid()).size(), 1u);
    EXPECT_EQ(tool.process.state(), QProcess::Running);
}

struct Ending
{
    const char* name;
    std::function<void(Tool&, const XClient&, const XClient::Window&)> act;
    bool unsaved = false; // the settings a last run left are offered first
    bool restored = true; // and taken back, unsaved again; else the offer stays unanswered
};

void PrintTo(const Ending& ending, std::ostream* out)
{
    *out << ending.name;
}

class ToolEnding : public ToolOnX, public testing::WithParamInterface<Ending>
{
};

// However the operator or the session ends it, the program ends cleanly and at once leaves the
// lock to the next copy and the port to the next program. A sanitized build also checks that
// the run leaked nothing.
TEST_P(ToolEnding, EndsCleanlyAndLeavesLockAndPortFree)
{
    const bool unsaved = GetParam().unsaved;
    const OperatorHome home(device, unsaved ? "mrv508 recovery\r\n\r\n" + WriteSettingsFile() : "");
    const ino_t keptBefore = InodeOf(home.recoveryPath());
    const std::unique_ptr<Tool> tool = startTool(home);
    ASSERT_NE(mainWindow.id, 0u);
    const bool restored = unsaved && GetParam().restored;
    if (unsaved) {
        const XClient::Window question = x.waitForWindow(tool->pid(), QStringLiteral("mrv508"));
        ASSERT_NE(question.id, 0u);
        if (restored) {
            x.type(question, {"Return"});
            ASSERT_TRUE(QTest::qWaitFor([&] { return x.windowsOf(tool->pid()).size() == 1; }));
        }
    }

    GetParam().act(*tool, x, mainWindow);
    ASSERT_TRUE(tool->ended());
    // Kept anew, in a file of its own, only when something was left unsaved.
    EXPECT_EQ(QFileInfo::exists(home.recoveryPath()), unsaved);
    if (unsaved) {
        EXPECT_EQ(InodeOf(home.recoveryPath()) != keptBefore, restored);
    }
    EXPECT_EQ(tool->process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool->process.exitCode(), 0);
    const QString reports = home.sanitizerReports();
    EXPECT_TRUE(reports.isEmpty()) << reports.toStdString();
    EXPECT_TRUE(LockIsFree(home.lockPath()));
    EXPECT_TRUE(PortIsFree(device));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ToolEnding,
    testing::Values(
        Ending{"Sigterm", [](Tool& tool, const XClient&, const auto&) { tool.signal(SIGTERM); }},
        Ending{"Sigint", [](Tool& tool, const XClient&, const auto&) { tool.signal(SIGINT); }},
        Ending{"Sighup", [](Tool& tool, const XClient&, const auto&) { tool.signal(SIGHUP); }},
        Ending{"SigtermKeepsUnsavedSettings",
               [](Tool& tool, const XClient&, const auto&) { tool.signal(SIGTERM); }, true},
        Ending{"SigtermWhileOfferingKeepsTheOffer",
               [](Tool& tool, const XClient&, const auto&) { tool.signal(SIGTERM); }, true, false},
        Ending{"CloseBox",
               [](Tool&, const XClient& x, const XClient::Window& main) { x.close(main); }},
        // Alt alone takes the keyboard to the menu bar, Down opens "ファイル", X is the
        // mnemonic of "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)".
        Ending{"ExitFromTheMenu",
               [](Tool&, const XClient& x, const XClient::Window& main) {
                   x.type(main, {"Alt_L", "Down", "x"});
               }}),
    [](const testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });
