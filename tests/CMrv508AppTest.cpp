#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "link/CommLink.h"
#include "platform/InstanceLock.h"
#include "settings/DeviceSettings.h"

#include "support/SimulatorProcess.h"

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
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const BoxRequest AlreadyRunning{"既に起動しています。", "mrv508", BoxIcon::Warning,
                                BoxSound::SimpleBeep, BoxOwner::None};

// The real program in a process of its own, with `settings` added to the test's environment,
// run through `launcher` (setpriv, say) when one is given.
class ToolProcess
{
public:
    explicit ToolProcess(const QProcessEnvironment& settings, const QStringList& launcher = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(settings);
        process.setProcessEnvironment(environment);
        const QStringList command = launcher + QStringList{QStringLiteral(MRV508_APP_PATH)};
        process.start(command.front(), command.mid(1));
    }
    ~ToolProcess()
    {
        process.kill();
        process.waitForFinished();
    }

    // Waits until the program has `device` open.
    bool holdsDevice(const std::string& device, int timeoutMs = 20000)
    {
        const QString fds = QStringLiteral("/proc/%1/fd").arg(process.processId());
        return QTest::qWaitFor(
            [&] {
                for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System))
                    if (fd.symLinkTarget().toStdString() == device)
                        return true;
                return false;
            },
            timeoutMs);
    }

    QProcess process;
};

QProcessEnvironment RuntimeSetting(const QString& runtimeFolder)
{
    QProcessEnvironment settings;
    settings.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    return settings;
}

// An ordinary user's home for the program: runtime and config folders, with a profile that maps
// COM1 to `device`, all the user's own. Tests that run as root run the program as nobody, since
// root passes the checks that lock an ordinary user out.
class OperatorHome
{
public:
    explicit OperatorHome(const std::string& device)
    {
        const QDir home(folder.path());
        home.mkpath(QStringLiteral("runtime"));
        home.mkpath(QStringLiteral("config/mrv508"));
        QSettings(home.filePath(QStringLiteral("config/mrv508/mrv508.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("Ports/COM1"), QString::fromStdString(device));
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

    QProcessEnvironment settings() const
    {
        QProcessEnvironment settings = RuntimeSetting(folder.filePath(QStringLiteral("runtime")));
        settings.insert(QStringLiteral("HOME"), folder.path());
        settings.insert(QStringLiteral("XDG_CONFIG_HOME"),
                        folder.filePath(QStringLiteral("config")));
        return settings;
    }

    QTemporaryDir folder;
    QStringList launcher;

private:
    static void giveToNobody(const QString& path)
    {
        EXPECT_EQ(chown(path.toLocal8Bit(), 65534, 65534), 0) << path.toStdString();
    }
};

class RuntimeFolder
{
public:
    RuntimeFolder() : saved(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
    }
    ~RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", saved); }

    QTemporaryDir folder;
    QByteArray saved;
};

} // namespace

TEST(CMrv508AppTest, StartsWithDefaultsAndAShownMainWindow)
{
    DeviceSettings.whiteLevel[0][0] = 3;
    RunningApp running;
    ASSERT_TRUE(running.started);
    EXPECT_TRUE(running.frame().isVisible());
    EXPECT_EQ(DeviceSettings.whiteLevel[0][0], 8);
    EXPECT_EQ(DeviceSettings.curPosition, 0);
    EXPECT_TRUE(SerialLink.readerStarted());
}

TEST(CMrv508AppTest, ASecondCopyIsRefusedWhileTheFirstRunsAndAllowedAfterItIsKilled)
{
    RuntimeFolder runtime;
    ToolProcess first(RuntimeSetting(runtime.folder.path()));
    ASSERT_TRUE(first.process.waitForStarted());
    // The lock file appears the moment the first copy takes its lock.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(QString::fromStdString(InstanceLock::lockFilePath())); },
        10000));
    QTest::qWait(200);

    RecordingBoxes::installed().clear();
    DeviceSettings.whiteLevel[0][0] = 3;
    {
        RunningApp second;
        EXPECT_FALSE(second.started);
        EXPECT_EQ(second.app.mainFrame(), nullptr);
        EXPECT_EQ(RecordingBoxes::installed().shown, std::vector<BoxRequest>{AlreadyRunning});
        EXPECT_EQ(DeviceSettings.whiteLevel[0][0], 3);
        EXPECT_FALSE(SerialLink.readerStarted());
        EXPECT_FALSE(SerialLink.portOpen());
    }

    first.process.kill();
    ASSERT_TRUE(first.process.waitForFinished());
    RunningApp next;
    EXPECT_TRUE(next.started);
    EXPECT_NE(next.app.mainFrame(), nullptr);
}

TEST(CMrv508AppTest, QtsOwnButtonsSpeakTheOperatorsLanguage)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    {
        RunningApp running;
        ASSERT_TRUE(running.started);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"),
                  QString::fromUtf8("はい(&Y)"));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"),
                  QString::fromUtf8("いいえ(&N)"));
    }
    QLocale::setDefault(saved);
}

// However a copy ends, the next one gets the port and the lock at once, also as an ordinary user,
// whom a terminal's exclusive mode left behind by a killed copy would lock out of the port.
TEST(CMrv508AppTest, ACopyEndedFromOutsideLeavesPortAndLockToTheNext)
{
    if (geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        GTEST_SKIP() << "setpriv (util-linux) is needed to run the program as an ordinary user";
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    char device[PATH_MAX] = {};
    ASSERT_NE(realpath(sim.linkPath().c_str(), device), nullptr);
    ASSERT_EQ(chmod(device, 0666), 0);
    const OperatorHome home(device);

    for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
        ToolProcess tool(home.settings(), home.launcher);
        ASSERT_TRUE(tool.holdsDevice(device)) << "before " << strsignal(signal);
        kill(static_cast<pid_t>(tool.process.processId()), signal);
        ASSERT_TRUE(tool.process.waitForFinished(20000));
        if (signal != SIGKILL) {
            EXPECT_EQ(tool.process.exitStatus(), QProcess::NormalExit) << strsignal(signal);
            EXPECT_EQ(tool.process.exitCode(), 0) << strsignal(signal);
        }
    }
    ToolProcess next(home.settings(), home.launcher);
    EXPECT_TRUE(next.holdsDevice(device));
}
