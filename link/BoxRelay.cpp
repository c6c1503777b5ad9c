#include "link/BoxRelay.h"

#include "link/WindowThreadCalls.h"

#include <condition_variable>

struct BoxRelay::Wait
{
    std::mutex lock;
    std::condition_variable changed;
    bool finished = false;
};

void BoxRelay::show(const BoxRequest& box)
{
    // After a stop the box is still shown, but nobody waits for it.
    auto wait = std::make_shared<Wait>();
    {
        std::lock_guard guard(lock);
        if (abandoned)
            wait->finished = true;
        else
            current = wait;
    }
    windowThread.post([box, wait] {
        Boxes().show(box);
        std::lock_guard guard(wait->lock);
        wait->finished = true;
        wait->changed.notify_all();
    });
    {
        std::unique_lock guard(wait->lock);
        wait->changed.wait(guard, [&] { return wait->finished; });
    }
    std::lock_guard guard(lock);
    current.reset();
}

void BoxRelay::abandonWaits()
{
    std::lock_guard guard(lock);
    abandoned = true;
    if (!current)
        return;
    std::lock_guard waitGuard(current->lock);
    current->finished = true;
    current->changed.notify_all();
}

void BoxRelay::rearm()
{
    std::lock_guard guard(lock);
    abandoned = false;
}
