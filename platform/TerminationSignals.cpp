#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Requests[] = {SIGTERM, SIGHUP, SIGINT};
int requestWriteFd = -1;

// A signal handler may do next to nothing; it leaves a byte for the window thread's event loop.
void noteRequest(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(requestWriteFd, &byte, 1);
    errno = savedErrno;
}

void handleRequests(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Requests)
        sigaction(signal, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals()
{
    if (pipe2(requestPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    requestWriteFd = requestPipe[1];
    handleRequests(noteRequest);
}

void TerminationSignals::answerWith(std::function<void()> onRequest)
{
    if (requestPipe[0] < 0)
        return;
    this->onRequest = std::move(onRequest);
    notifier = std::make_unique<QSocketNotifier>(requestPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { takeRequest(); });
}

TerminationSignals::~TerminationSignals()
{
    if (requestPipe[0] < 0)
        return;
    handleRequests(SIG_DFL);
    notifier.reset();
    requestWriteFd = -1;
    close(requestPipe[0]);
    close(requestPipe[1]);
}

void TerminationSignals::takeRequest()
{
    char bytes[16];
    while (read(requestPipe[0], bytes, sizeof bytes) > 0) {
    }
    onRequest();
}
