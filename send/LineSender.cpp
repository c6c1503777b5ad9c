#include "send/LineSender.h"

#include "link/LinkSupervision.h"
#include "link/ReplyInterpreter.h"
#include "link/ReplyLineGatherer.h"
#include "link/SerialPort.h"
#include "send/LineScheduler.h"
#include "send/SendProgress.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>

namespace {

constexpr int WriteTimeoutMs = 1000;

} // namespace

struct LineSender::Device
{
    std::string prefix; // the two digits a reply from this slave starts with
    std::vector<const PlannedLine*> lines;
    size_t next = 0;
    SlaveTally tally;
    int timeoutsInARow = 0;
    // The last line that timed out: its reply is late, but still its own, until the next frame.
    std::optional<Sent> late;
};

LineSender::LineSender(SerialPort& port, bool rs485, int paceMs, int timeoutMs, int stopFd)
    : port(port), rs485(rs485), paceMs(paceMs), timeoutMs(timeoutMs), stopFd(stopFd)
{}

LineSender::~LineSender() = default;

std::vector<SlaveTally> LineSender::send(const std::vector<PlannedLine>& plan,
                                         SendProgress& progress, const OutcomeHandler& onOutcome)
{
    this->progress = &progress;
    this->onOutcome = onOutcome;
    planStart = plan.data();
    lineOutcomes.assign(plan.size(), LineOutcome{});
    group(plan);
    scheduler = std::make_unique<LineScheduler>(devices.size(), std::chrono::milliseconds(paceMs));
    std::vector<std::string> names;
    std::vector<int> totals;
    for (const Device& device : devices) {
        names.push_back(rs485 ? "slave " + std::to_string(device.tally.slave) : "RS-232C");
        totals.push_back(static_cast<int>(device.lines.size()));
    }
    progress.begin(names, totals);
    for (size_t device = 0; device < devices.size(); ++device)
        advance(device);
    while (true) {
        if (!awaited && !stopped && !lost)
            sendNext();
        handOver();
        const std::optional<Clock::time_point> wake = nextWake();
        if (!wake)
            break;
        switch (await(*wake)) {
        case Event::Input:
            readReplies();
            break;
        case Event::Time:
            if (awaited && Clock::now() >= awaited->at + std::chrono::milliseconds(timeoutMs))
                timeOut();
            break;
        case Event::Stop:
            stopped = true;
            progress.message("interrupted; nothing more is sent");
            break;
        case Event::Lost:
            lost = true;
            if (awaited)
                timeOut();
            progress.message("the port was lost; nothing more is sent");
            break;
        }
    }
    std::vector<SlaveTally> tallies;
    for (Device& device : devices) {
        leaveUnsent(device, stopped ? "interrupted" : "the port was lost");
        tallies.push_back(device.tally);
    }
    return tallies;
}

void LineSender::group(const std::vector<PlannedLine>& plan)
{
    devices.clear();
    for (const PlannedLine& line : plan) {
        auto device = std::find_if(devices.begin(), devices.end(), [&line](const Device& d) {
            return d.tally.slave == line.slave;
        });
        if (device == devices.end()) {
            char prefix[3];
            std::snprintf(prefix, sizeof prefix, "%02d", line.slave);
            device = devices.insert(devices.end(), Device{prefix, {}, 0, {line.slave}, 0, {}});
        }
        device->lines.push_back(&line);
    }
}

void LineSender::sendNext()
{
    const Clock::time_point now = Clock::now();
    const std::optional<size_t> chosen = scheduler->next(now);
    if (!chosen)
        return;
    Device& device = devices[*chosen];
    const PlannedLine& line = *device.lines[device.next];
    // Whatever is still on the way belongs to no line; the next reply starts afresh.
    gatherer.restart();
    device.late.reset();
    scheduler->sent(*chosen, now);
    ++device.tally.sent;
    outcomeOf(line).sent = std::chrono::system_clock::now();
    awaited = Sent{*chosen, &line, now};
    if (!port.write(line.frame->data(), line.frame->size(), WriteTimeoutMs)) {
        if (hungUp())
            lost = true;
        timeOut();
        if (lost)
            progress->message("the port was lost; nothing more is sent");
    }
}

LineSender::Event LineSender::await(Clock::time_point until)
{
    while (true) {
        // To the nanosecond, so that a fast line's pace is not stretched to whole milliseconds.
        const auto left = std::max(until - Clock::now(), Clock::duration::zero());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{
            seconds.count(),
            std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count()};
        // After a stop the request stays readable; only the line is watched then.
        const int watchStop = stopped ? -1 : stopFd;
        pollfd waits[2] = {{port.descriptor(), POLLIN, 0}, {watchStop, POLLIN, 0}};
        const int ready = ppoll(waits, 2, &wait, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Event::Lost;
        if (ready == 0)
            return Event::Time;
        if (waits[1].revents != 0)
            return Event::Stop;
        if (waits[0].revents & POLLIN)
            return Event::Input;
        return Event::Lost;
    }
}

void LineSender::readReplies()
{
    char buffer[100];
    const ssize_t count = port.read(buffer, sizeof buffer);
    if (count <= 0 && ((count < 0 && errno != EAGAIN && errno != EINTR) || hungUp())) {
        lost = true;
        if (awaited)
            timeOut();
        progress->message("the port was lost; nothing more is sent");
        return;
    }
    if (count > 0)
        gatherer.append(buffer, static_cast<size_t>(count),
                        [this](const char* reply) { take(reply); });
}

void LineSender::take(const char* reply)
{
    const char* text = ReplyText(reply, rs485 ? 1 : 0);
    const auto from = [&](const Device& device) {
        return !rs485 || std::strncmp(reply, device.prefix.c_str(), 2) == 0;
    };
    if (awaited && from(devices[awaited->device])) {
        answer(text);
        return;
    }
    // A reply from nobody awaited is late for its own line, or else it belongs to no line.
    for (Device& device : devices)
        if (device.late && from(device)) {
            answerLate(device, text);
            return;
        }
}

void LineSender::answer(const char* text)
{
    Device& device = devices[awaited->device];
    const PlannedLine& line = *awaited->line;
    device.timeoutsInARow = 0;
    const bool accepted = std::strcmp(text, "GO\r\n") == 0;
    settle(line, accepted ? LineResult::Accepted : LineResult::Rejected, text);
    if (accepted) {
        ++device.tally.accepted;
    } else {
        ++device.tally.rejected;
        const ReplyOutcome outcome = InterpretReplyLine(text, 0, 1);
        report(device, line,
               outcome.box ? outcome.box->text + " (" + ShownReply(text) + ")"
                           : "unknown reply " + ShownReply(text));
    }
    const size_t index = awaited->device;
    awaited.reset();
    ++device.next;
    advance(index);
}

void LineSender::answerLate(Device& device, const char* text)
{
    const std::chrono::duration<double> after = Clock::now() - device.late->at;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", after.count());
    report(device, *device.late->line,
           "late reply " + ShownReply(text) + " after " + seconds + " s");
    settle(*device.late->line, LineResult::Late, text);
    if (lateWindow && lateWindow->device == device.late->device) {
        lateWindow.reset();
        scheduler->release();
    }
    device.late.reset();
}

void LineSender::timeOut()
{
    const size_t index = awaited->device;
    Device& device = devices[index];
    ++device.tally.notAnswered;
    report(device, *awaited->line, silence());
    settle(*awaited->line, LineResult::NotAnswered, nullptr);
    device.late = awaited;
    awaited.reset();
    ++device.next;
    // A late reply may still come: on a half-duplex pair a frame to any slave would collide with
    // it, and on any line it could pass for the next frame's reply.
    lateWindow = LateWindow{index, Clock::now() + std::chrono::milliseconds(timeoutMs)};
    scheduler->hold(lateWindow->until);
    if (++device.timeoutsInARow == TimeoutsToGiveUp && !lost) {
        device.tally.givenUp = true;
        leaveUnsent(device, "the device does not answer: given up");
        progress->message(
            (rs485 ? "slave " + std::to_string(device.tally.slave) : std::string("the device")) +
            " does not answer: given up");
    }
    advance(index);
}

std::string LineSender::silence() const
{
    std::string said = "no reply";
    const char* separator = ": ";
    for (const std::string& reason :
         SilenceReasons(port.modemLines(), gatherer.bytesWithoutLine())) {
        said += separator + reason;
        separator = " ";
    }
    return said;
}

// When to look at the line next: the awaited reply's timeout, the next device's turn, or the end
// of a late reply's window, so that a late reply to the last line is still reported; nothing once
// the run is over.
std::optional<LineSender::Clock::time_point> LineSender::nextWake() const
{
    if (awaited)
        return awaited->at + std::chrono::milliseconds(timeoutMs);
    if (stopped || lost)
        return std::nullopt;
    if (const std::optional<Clock::time_point> due = scheduler->nextDue())
        return due;
    if (lateWindow && lateWindow->until > Clock::now())
        return lateWindow->until;
    return std::nullopt;
}

// Skips the device's lines that have no frame, and finishes a device that has no line left.
void LineSender::advance(size_t index)
{
    Device& device = devices[index];
    while (device.next < device.lines.size() && !device.lines[device.next]->frame) {
        const PlannedLine& line = *device.lines[device.next];
        report(device, line, line.problem + " (skipped)");
        outcomeOf(line) = {LineResult::Skipped, "", line.problem, std::nullopt, std::nullopt};
        ++device.tally.skipped;
        ++device.next;
    }
    if (device.next == device.lines.size())
        scheduler->finish(index);
    progress->update(index, device.tally);
}

void LineSender::report(const Device& device, const PlannedLine& line, const std::string& what)
{
    progress->message((rs485 ? "slave " + std::to_string(device.tally.slave) + ", " : "") +
                      line.what + ": " + what);
}

bool LineSender::hungUp() const
{
    pollfd state{port.descriptor(), 0, 0};
    return poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL));
}

LineOutcome& LineSender::outcomeOf(const PlannedLine& line)
{
    return lineOutcomes[static_cast<size_t>(&line - planStart)];
}

void LineSender::settle(const PlannedLine& line, LineResult result, const char* reply)
{
    LineOutcome& outcome = outcomeOf(line);
    outcome.result = result;
    if (reply) {
        outcome.reply = ShownReply(reply);
        outcome.answered = std::chrono::system_clock::now();
    }
    settled.emplace_back(&line, outcome);
}

void LineSender::handOver()
{
    if (onOutcome)
        for (const auto& [line, outcome] : settled)
            onOutcome(*line, outcome);
    settled.clear();
}

void LineSender::leaveUnsent(Device& device, const std::string& why)
{
    for (; device.next < device.lines.size(); ++device.next) {
        outcomeOf(*device.lines[device.next]) = {LineResult::NotSent, "", why, std::nullopt,
                                                 std::nullopt};
        ++device.tally.notSent;
    }
}
