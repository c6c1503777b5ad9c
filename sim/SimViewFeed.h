#pragma once

#include "sim/SimViewState.h"

#include <mutex>

// Hands the state of the line from the loop's thread to the window's: the loop thread updates it
// under a lock and signals an eventfd that the window thread's event loop watches, so nothing
// crosses threads through the window library's own queues.
class SimViewFeed
{
public:
    explicit SimViewFeed(const SimLine& line); // throws std::system_error
    ~SimViewFeed();
    SimViewFeed(const SimViewFeed&) = delete;
    SimViewFeed& operator=(const SimViewFeed&) = delete;

    // Loop thread: the line as it is after response.
    void publish(const SimLine& line, const SimLine::Response& response);
    // Loop thread: the loop has ended; nothing more will come.
    void finish();

    // Readable while something new waits.
    int wakeFd() const { return m_wakeFd; }
    // Window thread: clears the wake-up and gives the latest state.
    SimViewState take();
    bool finished();

private:
    void wake();

    int m_wakeFd = -1;
    std::mutex m_lock;
    SimViewState m_state;
    bool m_finished = false;
};
