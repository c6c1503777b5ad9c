#pragma once

#include "sim/SimLine.h"
#include "sim/SimOptions.h"
#include "sim/SimPty.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

// Serves the line on the pseudo-terminal's master: reads frames, sends the replies when they are
// due and writes the state file. Blocks in poll() between events.
class SimLoop
{
public:
    // Writes the initial state file.
    SimLoop(const SimOptions& options, const SimPty& pty, std::FILE* log);

    // Called on the loop's thread after each frame, with the line as the frame left it.
    using Observer = std::function<void(const SimLine& line, const SimLine::Response& response)>;
    void observe(Observer observer) { m_observer = std::move(observer); }

    // Runs until signalFd or stopFd becomes readable, the line hangs up on request or the master
    // fails. Returns the exit status.
    int run(int signalFd, int stopFd = -1);

    const SimLine& line() const { return m_line; }

private:
    using Clock = std::chrono::steady_clock;

    struct Output
    {
        Clock::time_point due;
        std::string bytes;
        bool hangUp = false;
    };

    bool readMaster();
    void schedule(const SimLine::Response& response);
    void queue(Clock::time_point due, std::string bytes, bool hangUp);
    bool sendDue();
    void awaitLastReplyRead() const;
    int pollTimeout() const;
    void writeState();
    void log(std::string_view text);

    const SimOptions& m_options;
    const SimPty& m_pty;
    std::FILE* m_log;
    SimLine m_line;
    Observer m_observer;
    std::deque<Output> m_outputs;
    bool m_reading = true;
};
