#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
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

TEST(InstanceLockTest, WithoutARuntimeFolderTheRuleStillHolds)
{
    QTemporaryDir tmp;
    EnvironmentVariable runtime("XDG_RUNTIME_DIR", QByteArray());
    EnvironmentVariable tmpdir("TMPDIR", tmp.path().toLocal8Bit());
    EXPECT_EQ(InstanceLock::lockFilePath(),
              tmp.filePath("MRV508_Instance-%1.lock").arg(getuid()).toStdString());
    LockHolder first;
    ASSERT_TRUE(first.acquired);
    InstanceLock second;
    EXPECT_FALSE(second.acquire());
}

TEST(InstanceLockTest, AnUnusableRuntimeFolderFallsBackToTheTemporaryFolder)
{
    QTemporaryDir tmp;
    EnvironmentVariable runtime("XDG_RUNTIME_DIR", "/nonexistent/runtime");
    EnvironmentVariable tmpdir("TMPDIR", tmp.path().toLocal8Bit());
    LockHolder first;
    ASSERT_TRUE(first.acquired);
    EXPECT_TRUE(QFile::exists(tmp.filePath("MRV508_Instance-%1.lock").arg(getuid())));
    InstanceLock second;
    EXPECT_FALSE(second.acquire());
}
