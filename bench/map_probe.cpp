// Starts a program and times it from the spawn to the moment the X server maps its top-level
// window; one second later it reads the program's peak resident memory, then ends the program.
// Prints "<milliseconds> <KiB>" on standard output.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto MapTimeout = 30s;
constexpr auto SettleTime = 1s;
constexpr auto EndTimeout = 5s;

long windowPid(Display* display, Window window)
{
    const Atom netWmPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &data) == Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return pid;
}

bool exited(pid_t pid)
{
    return waitpid(pid, nullptr, WNOHANG) == pid;
}

// The moment the MapNotify of a window of `pid` arrived on the root; nothing when the program ends
// first or the timeout passes.
std::optional<Clock::time_point> awaitMap(Display* display, pid_t pid)
{
    const auto deadline = Clock::now() + MapTimeout;
    while (Clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            const auto arrived = Clock::now();
            // Menus and tooltips are override-redirect; the top-level window is not.
            if (event.type == MapNotify && !event.xmap.override_redirect &&
                windowPid(display, event.xmap.window) == pid)
                return arrived;
        }
        if (exited(pid))
            return std::nullopt;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 100);
    }
    return std::nullopt;
}

long peakResidentKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// SIGTERM first, so that the tool releases its port as it does for the operator.
void end(pid_t pid)
{
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + EndTimeout;
    while (!exited(pid)) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: map_probe PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_probe: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = Clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::perror("map_probe: spawn");
        return 2;
    }
    const auto mapped = awaitMap(display, pid);
    if (!mapped) {
        std::fprintf(stderr, "map_probe: %s mapped no window\n", argv[1]);
        end(pid);
        return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(*mapped - start).count();
    std::this_thread::sleep_for(SettleTime);
    const long kib = peakResidentKib(pid);
    end(pid);
    std::printf("%.1f %ld\n", ms, kib);
    XCloseDisplay(display);
    return 0;
}
