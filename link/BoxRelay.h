#pragma once

#include "platform/MessageBoxes.h"

class WindowThreadCalls;

#include <memory>
#include <mutex>

// Shows a box asked for by the reader thread on the window thread and keeps the reader waiting
// until the operator closes it. A stop abandons the wait, so a window thread that stops the link
// from inside a nested event loop never deadlocks with the reader.
class BoxRelay
{
public:
    explicit BoxRelay(WindowThreadCalls& windowThread) : windowThread(windowThread) {}

    void show(const BoxRequest& box); // reader thread
    void abandonWaits();              // window thread
    void rearm();                     // window thread, before a reader starts

private:
    struct Wait;
    WindowThreadCalls& windowThread;
    std::mutex lock;
    std::shared_ptr<Wait> current;
    bool abandoned = false;
};
