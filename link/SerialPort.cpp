#include "link/SerialPort.h"

#include "link/SystemConsole.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Whom to ask when the device refuses us: its group's members where the group may read and
// write it, else only its owner, whose group a udev rule would first have to let in.
std::string permissionAdvice(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    if ((info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP)) {
        const struct group* group = getgrgid(info.st_gid);
        const std::string name = group ? group->gr_name : std::to_string(info.st_gid);
        return " Join the group \"" + name + "\" that owns the device.";
    }
    const struct passwd* owner = getpwuid(info.st_uid);
    const std::string name = owner ? owner->pw_name : std::to_string(info.st_uid);
    return " Only its owner, " + name +
           ", may open it; a udev rule can give its group access (see the operator's guide).";
}

OpenFailure failureOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::HeldByAnother;
    case EISDIR:
    case ENOTTY:
        return OpenFailure::NotSerial;
    default:
        return OpenFailure::Other;
    }
}

std::string openFailureReason(const std::string& path, int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return path + ": no such device.";
    case EACCES:
    case EPERM:
        return path + ": permission denied." + permissionAdvice(path);
    case EBUSY:
    case EWOULDBLOCK:
        return path + ": held by another program.";
    case EISDIR:
        return path + ": a folder, not a serial device.";
    case ENOTTY:
        return path + ": not a serial device.";
    default:
        return path + ": " + std::strerror(error) + ".";
    }
}

// glibc's tcsetattr reads the state back and fails when a pseudo-terminal drops the parity bit;
// the kernel's own answer to the request is what counts.
bool applyState(int fd, const termios& state)
{
    return ioctl(fd, TCSETS, &state) == 0;
}

} // namespace

SerialPort::~SerialPort()
{
    close();
}

std::string SerialPort::open(const std::string& path)
{
    close();
    openFailure = OpenFailure::Other;
    // Before open(), which already raises a serial console's modem lines.
    if (IsSystemConsole(path, SystemConsoles()))
        return path + ": is the system console.";
    const int opened = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        openFailure = failureOf(errno);
        return openFailureReason(path, errno);
    }
    // Other programs are kept out by flock alone, which the kernel drops when its holder dies.
    // An exclusive mode (TIOCEXCL) would belong to the terminal instead, and a pseudo-terminal
    // whose other side stays open keeps it after a killed holder, refusing every later open.
    int error = 0;
    if (!isatty(opened))
        error = ENOTTY;
    else if (flock(opened, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    if (error != 0) {
        ::close(opened);
        openFailure = failureOf(error);
        return openFailureReason(path, error);
    }
    openFailure = OpenFailure::None;
    fd = opened;
    if (termios state{}; tcgetattr(fd, &state) == 0)
        earlierState = state;
    return {};
}

bool SerialPort::setEventMask()
{
    // The reader waits for received characters with poll(); all a mask needs is a terminal.
    termios current{};
    return fd >= 0 && tcgetattr(fd, &current) == 0;
}

bool SerialPort::setQueues()
{
    // A tty's queues have the driver's own size; start them empty.
    return fd >= 0 && tcflush(fd, TCIOFLUSH) == 0;
}

bool SerialPort::setTimeouts()
{
    // A read returns at once with what has arrived; the write timeout is kept by write().
    termios state{};
    if (fd < 0 || tcgetattr(fd, &state) != 0)
        return false;
    state.c_cc[VMIN] = 0;
    state.c_cc[VTIME] = 0;
    return applyState(fd, state);
}

bool SerialPort::setLineState()
{
    termios state{};
    if (fd < 0)
        return false;
    tcgetattr(fd, &state);
    cfmakeraw(&state);
    cfsetispeed(&state, B9600);
    cfsetospeed(&state, B9600);
    state.c_cflag &= ~(CSIZE | PARODD | CSTOPB);
    state.c_cflag |= CS8 | PARENB | CRTSCTS | CLOCAL | CREAD;
    state.c_iflag &= ~INPCK; // parity errors are neither detected nor reported
    state.c_iflag |= IXON | IXOFF;
    state.c_cc[VSTART] = 0x11;
    state.c_cc[VSTOP] = 0x13;
    state.c_cc[VMIN] = 0;
    state.c_cc[VTIME] = 0;
    if (!applyState(fd, state))
        return false;
    // DTR stays asserted while the port is open; a pseudo-terminal has no modem lines.
    const int dtr = TIOCM_DTR;
    ioctl(fd, TIOCMBIS, &dtr);
    return true;
}

void SerialPort::close()
{
    if (fd < 0)
        return;
    // Output held back by flow control would keep the last close waiting for the line, up to the
    // driver's closing wait (30 s on a serial port), on the window thread.
    tcflush(fd, TCOFLUSH);
    if (earlierState)
        applyState(fd, *earlierState);
    earlierState.reset();
    ::close(fd);
    fd = -1;
}

bool SerialPort::write(const char* data, size_t size, int timeoutMs)
{
    if (fd < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if ((n < 0 && errno != EAGAIN) || !waitWritable(deadline)) {
            // The line carries whole frames or nothing: the part of this frame that waits in the
            // driver must not go out later, glued to the next frame.
            tcflush(fd, TCOFLUSH);
            return false;
        }
    }
    return true;
}

bool SerialPort::waitWritable(std::chrono::steady_clock::time_point deadline) const
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd writable{fd, POLLOUT, 0};
        const int ready = poll(&writable, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && !(writable.revents & (POLLERR | POLLHUP | POLLNVAL));
    }
}

ssize_t SerialPort::read(char* buffer, size_t size)
{
    return fd >= 0 ? ::read(fd, buffer, size) : -1;
}

void SerialPort::purgeInput()
{
    if (fd >= 0)
        tcflush(fd, TCIFLUSH);
}

std::optional<int> SerialPort::modemLines() const
{
    int lines = 0;
    if (fd < 0 || ioctl(fd, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return lines;
}
