#include "link/WindowThreadCall.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <mutex>

namespace {

// Qt's event queue orders a queued call after its post, but Qt is not built with ThreadSanitizer,
// which then sees the call's captures built on one thread and read or freed on the other with
// nothing between. This lock carries that order where the sanitizer can see it: the poster holds
// it until Qt has let go of the call, and the call takes it before it touches a capture.
std::mutex handover;

} // namespace

void PostToWindowThread(std::function<void()> call)
{
    std::lock_guard posting(handover);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [call = std::move(call)] {
            {
                std::lock_guard taken(handover);
            }
            call();
        },
        Qt::QueuedConnection);
}
