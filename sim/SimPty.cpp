#include "sim/SimPty.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::system_error(errno, std::generic_category(), what);
}

std::string linkTarget(const std::string& path)
{
    char target[PATH_MAX];
    const ssize_t size = ::readlink(path.c_str(), target, sizeof target);
    return size < 0 ? std::string() : std::string(target, static_cast<std::size_t>(size));
}

} // namespace

SimPty::SimPty()
{
    try {
        open();
    } catch (...) {
        close();
        throw;
    }
}

SimPty::~SimPty()
{
    close();
}

void SimPty::open()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    check(m_master >= 0, "posix_openpt");
    check(::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0, "unlockpt");
    char path[PATH_MAX];
    check(::ptsname_r(m_master, path, sizeof path) == 0, "ptsname");
    m_slavePath = path;

    m_slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    check(m_slave >= 0, "open " + m_slavePath);
    // Raw before anyone else opens it, so that early bytes are neither echoed nor cooked.
    termios mode{};
    check(::tcgetattr(m_slave, &mode) == 0, "tcgetattr");
    ::cfmakeraw(&mode);
    check(::tcsetattr(m_slave, TCSANOW, &mode) == 0, "tcsetattr");
}

void SimPty::link(const std::string& path)
{
    struct stat existing
    {
    };
    if (::lstat(path.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        errno = EEXIST;
        check(false, path + " exists and is no symlink");
    }
    // A new link renamed over the old one: the path never goes missing in between.
    const std::string temporary = path + ".new." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    check(::symlink(m_slavePath.c_str(), temporary.c_str()) == 0, "symlink " + temporary);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        check(false, "rename to " + path);
    }
    m_link = path;
}

int SimPty::unreadBySlave() const
{
    int count = 0;
    return ::ioctl(m_slave, TIOCINQ, &count) == 0 ? count : 0;
}

void SimPty::close()
{
    // Leave the link alone if somebody has pointed it elsewhere meanwhile.
    if (!m_link.empty() && linkTarget(m_link) == m_slavePath)
        ::unlink(m_link.c_str());
    m_link.clear();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}
