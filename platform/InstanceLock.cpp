#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* LockFileName = "/MRV508_Instance.lock";

// A folder that nobody but this user can create files in, so that nobody else can take the lock
// first (blocking every start) or swap the lock file (defeating the rule).
bool isPrivateFolder(const std::string& path)
{
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// $TMPDIR/mrv508-<uid> (or /tmp/...), made private to this user if it does not exist yet.
std::string privateTemporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    struct stat info = {};
    const std::string base =
        tmp && *tmp && stat(tmp, &info) == 0 && S_ISDIR(info.st_mode) ? tmp : "/tmp";
    const std::string folder = base + "/mrv508-" + std::to_string(getuid());
    mkdir(folder.c_str(), S_IRWXU);
    return isPrivateFolder(folder) ? folder : "";
}

} // namespace

InstanceLock::~InstanceLock()
{
    release();
}

std::string InstanceLock::lockFilePath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && isPrivateFolder(runtime))
        return runtime + std::string(LockFileName);
    const std::string folder = privateTemporaryFolder();
    return folder.empty() ? "" : folder + LockFileName;
}

bool InstanceLock::acquire()
{
    release();
    const std::string path = lockFilePath();
    if (!path.empty())
        lockFd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd < 0) {
        // Refusing to start would let anybody who can squat a folder in /tmp stop the operator's
        // work; the serial port's own lock still keeps two copies off one device.
        std::fprintf(stderr,
                     "mrv508: no private folder for the instance lock (%s); "
                     "starting without the single-instance rule\n",
                     path.empty() ? "none usable" : path.c_str());
        return true;
    }
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
