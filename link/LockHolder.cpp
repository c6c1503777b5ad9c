#include "link/LockHolder.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// A lock table line: "1: FLOCK  ADVISORY  WRITE 1234 00:19:7 0 EOF". Lines of programs waiting
// for a lock have "->" after the number and are not holders.
int holderPid(const std::string& line, const std::string& fileId)
{
    std::istringstream fields(line);
    std::string number, kind, mode, access, file;
    int pid = 0;
    if (!(fields >> number >> kind) || kind != "FLOCK")
        return 0;
    if (!(fields >> mode >> access >> pid >> file) || file != fileId)
        return 0;
    return pid;
}

std::string programName(int pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

} // namespace

std::string LockHolder(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    // The table names a file by its file system's device, in hex, and its inode.
    char fileId[64];
    std::snprintf(fileId, sizeof fileId, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        const int pid = holderPid(line, fileId);
        if (pid <= 0)
            continue;
        const std::string name = programName(pid);
        return name.empty() ? std::string() : name + " (pid " + std::to_string(pid) + ")";
    }
    return {};
}
