#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A second process that takes the lock, says so through a pipe and then waits to be killed.
class LockHolder
{
public:
    LockHolder()
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            InstanceLock lock;
            const char held = lock.acquire() ? 'y' : 'n';
            [[maybe_unused]] const ssize_t ignored = write(ready[1], &held, 1);
            pause();
            _exit(0);
        }
        close(ready[1]);
        char held = 'n';
        acquired = read(ready[0], &held, 1) == 1 && held == 'y';
        close(ready[0]);
    }
    ~LockHolder() { kill(); }

    void kill()
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    bool acquired = false;

private:
    pid_t pid = -1;
};

class EnvironmentVariable
{
public:
    EnvironmentVariable(const char* name, const QByteArray& value)
        : name(name), saved(qgetenv(name)), wasSet(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentVariable()
    {
        if (wasSet)
            qputenv(name, saved);
        else
            qunsetenv(name);
    }

private:
    const char* name;
    QByteArray saved;
    bool wasSet;
};

} // namespace

TEST(InstanceLockTest, RefusedWhileAnotherProcessRunsAllowedAfterItIsKilled)
{
    LockHolder first;
    ASSERT_TRUE(first.acquired);
    InstanceLock second;
    EXPECT_FALSE(second.acquire());
    first.kill();
    EXPECT_TRUE(second.acquire());
}

TEST(InstanceLockTest, AStaleLockFileDoesNotBlockTheNextStart)
{
    QFile stale(QString::fromStdString(InstanceLock::lockFilePath()));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("left by a killed copy");
    stale.close();
    InstanceLock lock;
    EXPECT_TRUE(lock.acquire());
}

TEST(InstanceLockTest, ReleasingLetsTheNextCopyStart)
{
    InstanceLock first;
    ASSERT_TRUE(first.acquire());
    first.release();
    LockHolder next;
    EXPECT_TRUE(next.acquired);
}

// Where the lock lives for each state of the runtime folder and of the temporary folder. The
// lock file must never land in a folder that another user can write to or replace.
struct FolderCase
{
    const char* name;
    bool needsRoot;     // to give a folder to another user
    QByteArray runtime; // "<runtime>" stands for a private folder of the test's
    // Prepares the folders; returns the expected lock path, "<tmp>" for the temporary folder.
    void (*prepare)(const QString& runtime, const QString& tmp);
    QString expected;
};

void PrintTo(const FolderCase& c, std::ostream* out)
{
    *out << c.name;
}

class LockFolderTest : public testing::TestWithParam<FolderCase>
{
};

QString ownFolder(const QString& tmp)
{
    return tmp + QStringLiteral("/mrv508-%1").arg(getuid());
}

TEST_P(LockFolderTest, TheLockFileLivesInAPrivateFolderOnly)
{
    const FolderCase& c = GetParam();
    if (c.needsRoot && geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    QTemporaryDir runtimeDir;
    QTemporaryDir tmp;
    const QString runtime = runtimeDir.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkdir(runtime));
    ASSERT_EQ(chmod(runtime.toLocal8Bit(), 0700), 0);
    c.prepare(runtime, tmp.path());
    EnvironmentVariable runtimeVariable(
        "XDG_RUNTIME_DIR", c.runtime == "<runtime>" ? runtime.toLocal8Bit() : c.runtime);
    EnvironmentVariable tmpdir("TMPDIR", tmp.path().toLocal8Bit());

    QString expected = c.expected;
    expected.replace(QStringLiteral("<runtime>"), runtime)
        .replace(QStringLiteral("<own>"), ownFolder(tmp.path()));
    EXPECT_EQ(QString::fromStdString(InstanceLock::lockFilePath()), expected);

    if (expected.isEmpty()) {
        InstanceLock unguarded;
        EXPECT_TRUE(unguarded.acquire()) << "the start goes on";
        return;
    }
    struct stat folder = {};
    ASSERT_EQ(lstat(QFileInfo(expected).path().toLocal8Bit(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    LockHolder first;
    ASSERT_TRUE(first.acquired);
    InstanceLock second;
    EXPECT_FALSE(second.acquire());
}

void noPreparation(const QString&, const QString&) {}

INSTANTIATE_TEST_SUITE_P(
    Folders, LockFolderTest,
    testing::Values(FolderCase{"PrivateRuntimeFolder", false, "<runtime>", noPreparation,
                               "<runtime>/MRV508_Instance.lock"},
                    FolderCase{"NoRuntimeFolder", false, QByteArray(), noPreparation,
                               "<own>/MRV508_Instance.lock"},
                    FolderCase{"MissingRuntimeFolder", false, "/nonexistent/runtime", noPreparation,
                               "<own>/MRV508_Instance.lock"},
                    FolderCase{"RuntimeFolderOpenToOthers", false, "<runtime>",
                               [](const QString& runtime, const QString&) {
                                   chmod(runtime.toLocal8Bit(), 0777);
                               },
                               "<own>/MRV508_Instance.lock"},
                    FolderCase{"RuntimeFolderOfAnotherUser", true, "<runtime>",
                               [](const QString& runtime, const QString&) {
                                   EXPECT_EQ(chown(runtime.toLocal8Bit(), 65534, 65534), 0);
                               },
                               "<own>/MRV508_Instance.lock"},
                    FolderCase{"OwnFolderTakenByAnotherUser", true, QByteArray(),
                               [](const QString&, const QString& tmp) {
                                   EXPECT_TRUE(QDir().mkdir(ownFolder(tmp)));
                                   EXPECT_EQ(chown(ownFolder(tmp).toLocal8Bit(), 65534, 65534), 0);
                               },
                               QString()},
                    FolderCase{"OwnFolderOpenToOthers", false, QByteArray(),
                               [](const QString&, const QString& tmp) {
                                   EXPECT_TRUE(QDir().mkdir(ownFolder(tmp)));
                                   chmod(ownFolder(tmp).toLocal8Bit(), 0777);
                               },
                               QString()},
                    FolderCase{"OwnFolderIsASymlink", false, QByteArray(),
                               [](const QString& runtime, const QString& tmp) {
                                   EXPECT_TRUE(QFile::link(runtime, ownFolder(tmp)));
                               },
                               QString()}),
    [](const testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });
