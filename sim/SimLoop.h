#pragma once

#include "sim/SimLine.h"
#include "sim/SimOptions.h"
#include "sim/SimPty.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Serves the line on the pseudo-terminal's master: reads frames, sends the replies when they are
// due and writes the state file. Blocks in poll() between events. With a baud rate, a frame is
// taken and a reply sent only once the line could have carried it; the log stamps each frame with
// that time.
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

    // Bytes from the tool, taken once they have come down the line.
    struct Input
    {
        Clock::time_point due;
        std::string bytes;
    };

    struct Output
    {
        Clock::time_point due;
        std::string bytes;
        bool hangUp = false;
    };

    bool readMaster();
    void arrive(std::string_view bytes);
    void takeDue();
    void schedule(const SimLine::Response& response, Clock::time_point arrival);
    void queue(Clock::time_point due, std::string bytes, bool hangUp);
    Clock::time_point carried(Clock::time_point from, std::size_t bytes);
    bool sendDue();
    void awaitLastReplyRead() const;
    std::optional<timespec> pollTimeout() const;
    void writeState();
    void log(std::string_view text, Clock::time_point at = Clock::now());

    const SimOptions& m_options;
    const SimPty& m_pty;
    std::FILE* m_log;
    SimLine m_line;
    Observer m_observer;
    std::deque<Input> m_inputs;
    std::deque<Output> m_outputs;
    bool m_reading = true;
    const Clock::time_point m_start = Clock::now();
    Clock::time_point m_lineFree; // when the line has carried all it was given
};
