#include "link/WindowThreadCalls.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

WindowThreadCalls::WindowThreadCalls() : wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WindowThreadCalls::~WindowThreadCalls()
{
    delete notifier;
    if (wakeFd >= 0)
        close(wakeFd);
}

void WindowThreadCalls::listen()
{
    if (notifier || wakeFd < 0)
        return;
    // Owned by the application, so that it goes with the event loop it belongs to.
    notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [this] { deliver(); });
}

void WindowThreadCalls::post(std::function<void()> call)
{
    {
        std::lock_guard guard(lock);
        waiting.push_back(std::move(call));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakeFd, &one, sizeof one);
}

void WindowThreadCalls::deliver()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t ignored = read(wakeFd, &count, sizeof count);
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard guard(lock);
        calls.swap(waiting);
    }
    // A call may run a nested event loop (a message box); calls posted meanwhile are delivered
    // from there, and these keep their order.
    for (const auto& call : calls)
        call();
}
