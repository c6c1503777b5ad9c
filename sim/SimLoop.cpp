#include "sim/SimLoop.h"

#include "sim/SimStateJson.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <poll.h>
#include <thread>
#include <unistd.h>

SimLoop::SimLoop(const SimOptions& options, const SimPty& pty, std::FILE* log)
    : m_options(options), m_pty(pty), m_log(log), m_line(options.slaves, options.faults)
{
    writeState();
}

int SimLoop::run(int signalFd, int stopFd)
{
    while (true) {
        // After the frame that hangs up nothing more is read; dropping the master from the set
        // also keeps a hang-up of its own from waking poll() again and again.
        pollfd fds[3] = {{signalFd, POLLIN, 0},
                         {m_reading ? m_pty.master() : -1, POLLIN, 0},
                         {stopFd, POLLIN, 0}};
        const std::optional<timespec> timeout = pollTimeout();
        if (::ppoll(fds, 3, timeout ? &*timeout : nullptr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            log(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if (fds[0].revents != 0) {
            log("stopped by signal");
            return 0;
        }
        if (fds[2].revents != 0) {
            log("stopped: the view was closed");
            return 0;
        }
        if (fds[1].revents != 0 && !readMaster())
            return 1;
        takeDue();
        if (!sendDue()) {
            log("hung up on request");
            return 0;
        }
    }
}

bool SimLoop::readMaster()
{
    char buffer[4096];
    const ssize_t size = ::read(m_pty.master(), buffer, sizeof buffer);
    if (size < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    if (size <= 0) {
        log(std::string("pseudo-terminal failed: ") + (size < 0 ? std::strerror(errno) : "end"));
        return false;
    }
    arrive({buffer, static_cast<std::size_t>(size)});
    return true;
}

// Each frame is taken when its LF has come down the line.
void SimLoop::arrive(std::string_view bytes)
{
    const Clock::time_point now = Clock::now();
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1) + 1;
        m_inputs.push_back({carried(now, end), std::string(bytes.substr(0, end))});
        bytes.remove_prefix(end);
    }
}

void SimLoop::takeDue()
{
    bool taken = false;
    while (!m_inputs.empty() && m_inputs.front().due <= Clock::now()) {
        const Input input = std::move(m_inputs.front());
        m_inputs.pop_front();
        for (const SimLine::Response& response : m_line.receive(input.bytes)) {
            schedule(response, input.due);
            if (m_observer)
                m_observer(m_line, response);
            taken = true;
        }
    }
    if (taken)
        writeState();
}

void SimLoop::schedule(const SimLine::Response& response, Clock::time_point arrival)
{
    log(response.log, arrival);
    if (response.hangUp)
        m_reading = false;
    if (response.reply.empty() && !response.hangUp)
        return;
    const auto due = arrival + std::chrono::milliseconds(m_options.delayMs);
    if (m_options.byteGapMs && !response.reply.empty()) {
        const auto gap = std::chrono::milliseconds(*m_options.byteGapMs);
        for (size_t i = 0; i < response.reply.size(); ++i)
            queue(due + static_cast<int>(i) * gap, response.reply.substr(i, 1),
                  response.hangUp && i + 1 == response.reply.size());
    } else if (m_options.splitMs && response.reply.size() > 1) {
        queue(due, response.reply.substr(0, 1), false);
        queue(due + std::chrono::milliseconds(*m_options.splitMs), response.reply.substr(1),
              response.hangUp);
    } else {
        queue(due, response.reply, response.hangUp);
    }
}

void SimLoop::queue(Clock::time_point due, std::string bytes, bool hangUp)
{
    // Replies leave in the order of their frames, even when a split one is still half sent.
    if (!m_outputs.empty() && due < m_outputs.back().due)
        due = m_outputs.back().due;
    due = carried(due, bytes.size());
    m_outputs.push_back({due, std::move(bytes), hangUp});
}

// When `bytes` put on the line at `from` have passed it. The line is half duplex: they wait for
// whatever it still carries, in either direction.
SimLoop::Clock::time_point SimLoop::carried(Clock::time_point from, std::size_t bytes)
{
    if (m_options.baud == 0)
        return from;
    constexpr long long BitsPerByte = 11; // start, 8 data, parity, stop
    const long long nanoseconds =
        static_cast<long long>(bytes) * BitsPerByte * 1'000'000'000LL / m_options.baud;
    m_lineFree = std::max(from, m_lineFree) + std::chrono::nanoseconds(nanoseconds);
    return m_lineFree;
}

bool SimLoop::sendDue()
{
    while (!m_outputs.empty() && m_outputs.front().due <= Clock::now()) {
        const Output& output = m_outputs.front();
        const ssize_t written = ::write(m_pty.master(), output.bytes.data(), output.bytes.size());
        if (written < static_cast<ssize_t>(output.bytes.size()))
            log("could not send the whole reply; nobody reads the port");
        if (output.hangUp) {
            awaitLastReplyRead();
            return false;
        }
        m_outputs.pop_front();
    }
    return true;
}

// Closing the master discards what the slave has not read yet, so give the tool a moment to read
// the last reply before the line goes dead. The kernel moves written bytes to the slave's queue a
// little later, hence the first pause.
void SimLoop::awaitLastReplyRead() const
{
    const auto giveUp = Clock::now() + std::chrono::seconds(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    while (m_pty.unreadBySlave() > 0 && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// To the nanosecond: on a fast line a wait rounded up to whole milliseconds would stretch every
// frame and reply.
std::optional<timespec> SimLoop::pollTimeout() const
{
    std::optional<Clock::time_point> next;
    if (!m_outputs.empty())
        next = m_outputs.front().due;
    if (!m_inputs.empty() && (!next || m_inputs.front().due < *next))
        next = m_inputs.front().due;
    if (!next)
        return std::nullopt;
    const auto wait = std::max(*next - Clock::now(), Clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    return timespec{seconds.count(),
                    std::chrono::duration_cast<std::chrono::nanoseconds>(wait - seconds).count()};
}

void SimLoop::writeState()
{
    if (!m_options.state.empty() && !writeFileAtomically(m_options.state, simStateJson(m_line)))
        log("could not write the state file " + m_options.state);
}

void SimLoop::log(std::string_view text, Clock::time_point at)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at - m_start).count();
    std::fprintf(m_log, "%lld ms  %.*s\n", static_cast<long long>(ms),
                 static_cast<int>(text.size()), text.data());
    std::fflush(m_log);
}
