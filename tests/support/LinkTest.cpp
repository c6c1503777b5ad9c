#include "support/LinkTest.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

int LinkTest::linkDescriptorOf(const std::string& path)
{
    char device[PATH_MAX] = {};
    if (!realpath(path.c_str(), device))
        return -1;
    DIR* folder = opendir("/proc/self/fd");
    int found = -1;
    while (dirent* entry = folder ? readdir(folder) : nullptr) {
        char target[PATH_MAX] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        if (readlink(link.c_str(), target, sizeof target - 1) > 0 && std::string(target) == device)
            found = std::atoi(entry->d_name);
    }
    if (folder)
        closedir(folder);
    return found;
}
