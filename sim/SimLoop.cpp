#include "sim/SimLoop.h"

#include "sim/SimStateJson.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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
        if (::poll(fds, 3, pollTimeout()) < 0) {
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
    const auto responses = m_line.receive({buffer, static_cast<std::size_t>(size)});
    for (const SimLine::Response& response : responses) {
        schedule(response);
        if (m_observer)
            m_observer(m_line, response);
    }
    if (!responses.empty())
        writeState();
    return true;
}

void SimLoop::schedule(const SimLine::Response& response)
{
    log(response.log);
    if (response.hangUp)
        m_reading = false;
    if (response.reply.empty() && !response.hangUp)
        return;
    const auto due = Clock::now() + std::chrono::milliseconds(m_options.delayMs);
    if (m_options.splitMs && response.reply.size() > 1) {
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
    m_outputs.push_back({due, std::move(bytes), hangUp});
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

int SimLoop::pollTimeout() const
{
    if (m_outputs.empty())
        return -1;
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(m_outputs.front().due - Clock::now());
    return static_cast<int>(std::max<long long>(wait.count(), 0));
}

void SimLoop::writeState()
{
    if (!m_options.state.empty() && !writeFileAtomically(m_options.state, simStateJson(m_line)))
        log("could not write the state file " + m_options.state);
}

void SimLoop::log(std::string_view text)
{
    std::fprintf(m_log, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(m_log);
}
