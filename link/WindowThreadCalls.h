#pragma once

#include <QPointer>
#include <functional>
#include <mutex>
#include <vector>

class QSocketNotifier;

// Calls that the reader thread hands to the window thread, which alone may touch windows and the
// port's closing. Qt's own cross-thread posting is not used: Qt is not built with
// ThreadSanitizer, which then reports Qt's internal event lists as shared without a lock and
// could not tell those reports from real races. The calls wait under a lock of ours, and an
// eventfd watched by the window thread's event loop wakes it.
class WindowThreadCalls
{
public:
    WindowThreadCalls();
    ~WindowThreadCalls();
    WindowThreadCalls(const WindowThreadCalls&) = delete;
    WindowThreadCalls& operator=(const WindowThreadCalls&) = delete;

    // Window thread, once its event loop exists and before the first post.
    void listen();
    // Any thread; returns at once.
    void post(std::function<void()> call);

private:
    void deliver();

    std::mutex lock;
    std::vector<std::function<void()>> waiting;
    int wakeFd = -1;
    QPointer<QSocketNotifier> notifier;
};
