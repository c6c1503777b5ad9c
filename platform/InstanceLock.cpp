#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isPrivateDirectory(const char* path)
{
    struct stat info = {};
    return path && *path && stat(path, &info) == 0 && S_ISDIR(info.st_mode) &&
           access(path, W_OK) == 0;
}

std::string temporaryLockPath()
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = isPrivateDirectory(tmp) ? tmp : "/tmp";
    return dir + "/MRV508_Instance-" + std::to_string(getuid()) + ".lock";
}

int openLockFile(const std::string& path)
{
    return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

InstanceLock::~InstanceLock()
{
    release();
}

std::string InstanceLock::lockFilePath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime))
        return std::string(runtime) + "/MRV508_Instance.lock";
    return temporaryLockPath();
}

bool InstanceLock::acquire()
{
    release();
    lockFd = openLockFile(lockFilePath());
    if (lockFd < 0)
        lockFd = openLockFile(temporaryLockPath());
    if (lockFd < 0)
        return true;
    if (flock(lockFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    const bool heldElsewhere = errno == EWOULDBLOCK;
    release();
    return !heldElsewhere;
}

void InstanceLock::release()
{
    if (lockFd >= 0)
        close(lockFd);
    lockFd = -1;
}
