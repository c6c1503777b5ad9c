#include "support/ChildProcess.h"

#include <csignal>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int NotLimited = 2;

bool Limit(const ChildLimits& limits)
{
    if (limits.largestFile) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size = {*limits.largestFile, *limits.largestFile};
        if (setrlimit(RLIMIT_FSIZE, &size) != 0)
            return false;
    }
    return !limits.asNobody || geteuid() != 0 ||
           (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0);
}

} // namespace

std::optional<bool> InChild(const std::function<bool()>& action, ChildLimits limits)
{
    getgrgid(0); // load the group lookup before fork(), not in the child
    const pid_t child = fork();
    if (child == 0)
        _exit(!Limit(limits) ? NotLimited : action() ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    if (child < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == NotLimited))
        return std::nullopt;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
