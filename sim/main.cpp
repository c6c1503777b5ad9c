#include "sim/SimLoop.h"
#include "sim/SimOptions.h"
#include "sim/SimPty.h"
#include "sim/SimViewApp.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <string_view>
#include <sys/signalfd.h>
#include <vector>

namespace {

// Signals arrive as readable bytes in the poll loop, so that the loop can remove the symlink and
// close the pseudo-terminal on its way out.
int stopSignalFd()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0)
        return -1;
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options =
        SimOptions::parse(std::vector<std::string_view>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "mrv508-sim: %s\n\n%s", error.c_str(), SimOptions::usage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(SimOptions::usage().c_str(), stdout);
        return 0;
    }

    std::FILE* log = options->log.empty() ? stderr : std::fopen(options->log.c_str(), "w");
    const int signalFd = stopSignalFd();
    if (!log || signalFd < 0) {
        std::perror("mrv508-sim");
        return 1;
    }
    // Without --view nothing of Qt starts, and no display is needed.
    std::unique_ptr<SimViewApp> view;
    if (options->view)
        view = std::make_unique<SimViewApp>(argv[0]);
    try {
        SimPty pty;
        // The initial state file comes first, so that whoever waits for the link finds it too.
        SimLoop loop(*options, pty, log);
        if (!options->link.empty())
            pty.link(options->link);
        std::printf("PTY %s\n", pty.slavePath().c_str());
        std::fflush(stdout);
        if (view)
            return view->run(loop, signalFd, "mrv508-sim " + pty.slavePath());
        return loop.run(signalFd);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mrv508-sim: %s\n", e.what());
        return 1;
    }
}
