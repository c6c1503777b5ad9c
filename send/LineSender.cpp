#include "send/LineSender.h"

#include "link/ReplyInterpreter.h"
#include "link/ReplyLineGatherer.h"
#include "link/SerialPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ostream>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int WriteTimeoutMs = 1000;

} // namespace

LineSender::LineSender(SerialPort& port, bool rs485, int paceMs, int timeoutMs, int stopFd)
    : port(port), rs485(rs485), paceMs(paceMs), timeoutMs(timeoutMs), stopFd(stopFd)
{}

std::vector<SlaveTally> LineSender::send(const std::vector<PlannedLine>& plan, std::ostream& log,
                                         bool progress)
{
    // On a terminal the progress line is rewritten in place; messages first wipe it.
    const char* const clear = progress ? "\r\x1b[K" : "";
    std::vector<SlaveTally> tallies;
    size_t done = 0;
    int timeoutsInARow = 0;
    bool stopped = false;
    std::optional<Clock::time_point> lastSent;
    for (const PlannedLine& line : plan) {
        ++done;
        if (tallies.empty() || tallies.back().slave != line.slave) {
            tallies.push_back({line.slave});
            timeoutsInARow = 0;
        }
        SlaveTally& tally = tallies.back();
        const std::string where =
            (rs485 ? "slave " + std::to_string(line.slave) + ", " : "") + line.what;
        if (!stopped && lastSent && !pause(*lastSent + std::chrono::milliseconds(paceMs))) {
            stopped = true;
            log << clear << "interrupted; nothing more is sent\n";
        }
        if (!line.frame || tally.givenUp || stopped) {
            if (!line.frame)
                log << clear << where << ": " << line.problem << " (skipped)\n";
            ++tally.skipped;
            continue;
        }
        // A late reply to an earlier line must not pass for the reply to this one.
        port.purgeInput();
        lastSent = Clock::now();
        ++tally.sent;
        if (progress)
            log << clear << done << '/' << plan.size() << ' ' << where << std::flush;
        std::string meaning;
        const Reply reply = port.write(line.frame->data(), line.frame->size(), WriteTimeoutMs)
                                ? awaitReply(line.slave, meaning)
                                : (hungUp() ? Reply::PortLost : Reply::NoReply);
        if (reply == Reply::Accepted) {
            ++tally.accepted;
            timeoutsInARow = 0;
        } else if (reply == Reply::Rejected) {
            ++tally.rejected;
            timeoutsInARow = 0;
            log << clear << where << ": " << meaning << '\n';
        } else {
            ++tally.notAnswered;
            log << clear << where << ": no reply\n";
            if (reply == Reply::PortLost || reply == Reply::Stopped) {
                stopped = true;
                log << (reply == Reply::Stopped ? "interrupted" : "the port was lost")
                    << "; nothing more is sent\n";
            } else if (++timeoutsInARow == TimeoutsToGiveUp) {
                tally.givenUp = true;
                log << (rs485 ? "slave " + std::to_string(line.slave) : std::string("the device"))
                    << " does not answer: given up\n";
            }
        }
    }
    log << clear;
    return tallies;
}

LineSender::Reply LineSender::awaitReply(int slave, std::string& meaning)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int replyPos = 0;
    ReplyLineGatherer gatherer(replyPos);
    char buffer[100];
    while (true) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Reply::NoReply;
        pollfd waits[2] = {{port.descriptor(), POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = poll(waits, stopFd >= 0 ? 2 : 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return ready == 0 ? Reply::NoReply : Reply::PortLost;
        if (waits[1].revents != 0)
            return Reply::Stopped;
        const pollfd& wait = waits[0];
        const ssize_t count = wait.revents & POLLIN ? port.read(buffer, sizeof buffer) : 0;
        if (count > 0) {
            if (const char* line = gatherer.append(buffer, static_cast<size_t>(count)))
                if (const auto reply = interpret(line, slave, meaning))
                    return *reply;
            continue;
        }
        if ((count < 0 && errno != EAGAIN && errno != EINTR) ||
            (wait.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return Reply::PortLost;
    }
}

bool LineSender::hungUp() const
{
    pollfd state{port.descriptor(), 0, 0};
    return poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool LineSender::pause(Clock::time_point until) const
{
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        pollfd wait{stopFd, POLLIN, 0};
        // Without a stop descriptor this only sleeps.
        if (poll(&wait, stopFd >= 0 ? 1 : 0,
                 static_cast<int>(std::max<long long>(left.count(), 0))) > 0)
            return false;
        if (Clock::now() >= until)
            return true;
    }
}

std::optional<LineSender::Reply> LineSender::interpret(const char* line, int slave,
                                                       std::string& meaning) const
{
    if (rs485) {
        const char prefix[] = {char('0' + slave / 10), char('0' + slave % 10), '\0'};
        if (std::strncmp(line, prefix, 2) != 0)
            return std::nullopt;
    }
    const char* text = rs485 ? line + 2 : line;
    if (std::strcmp(text, "GO\r\n") == 0)
        return Reply::Accepted;
    const ReplyOutcome outcome = InterpretReplyLine(line, rs485 ? 1 : 0, 1);
    std::string shown(text);
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
        shown.pop_back();
    meaning = outcome.box ? outcome.box->text + " (" + shown + ")" : "unknown reply " + shown;
    return Reply::Rejected;
}
