#pragma once

#include "link/ReplyLineGatherer.h"
#include "send/LineOutcome.h"
#include "send/SendPlan.h"
#include "send/SlaveTally.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class LineScheduler;
class SendProgress;
class SerialPort;

// Sends planned lines on an open port without a reader thread: the descriptor is polled until
// each reply line or its timeout. On RS-485 the slaves take turns, each at its own pace; one
// frame is on the line at a time, and none while a late reply may still come.
class LineSender
{
public:
    static constexpr int TimeoutsToGiveUp = 3;

    // stopFd, when readable, ends the sending once the line under way has its reply or timeout;
    // -1 for none.
    LineSender(SerialPort& port, bool rs485, int paceMs, int timeoutMs, int stopFd = -1);
    ~LineSender();

    // Called for each sent line's outcome once it is known (accepted, rejected, not answered,
    // late), as soon as the next frame is on its way or none goes: on a busy line the frame need
    // not wait for the handler.
    using OutcomeHandler = std::function<void(const PlannedLine&, const LineOutcome&)>;

    // One tally per slave, in the order the plan first names them; each problem is reported to
    // progress as it happens.
    std::vector<SlaveTally> send(const std::vector<PlannedLine>& plan, SendProgress& progress,
                                 const OutcomeHandler& onOutcome = {});
    bool interrupted() const { return stopped; }
    // What became of each line of the last plan sent, in the plan's order.
    const std::vector<LineOutcome>& outcomes() const { return lineOutcomes; }

private:
    using Clock = std::chrono::steady_clock;
    struct Device;
    struct Sent
    {
        size_t device;
        const PlannedLine* line;
        Clock::time_point at;
    };
    enum class Event { Input, Time, Stop, Lost };

    void group(const std::vector<PlannedLine>& plan);
    void sendNext();
    Event await(Clock::time_point until);
    void readReplies();
    void take(const char* reply);
    void answer(const char* text);
    void answerLate(Device& device, const char* text);
    void timeOut();
    // "no reply", and why where the line tells.
    std::string silence() const;
    std::optional<Clock::time_point> nextWake() const;
    void advance(size_t device);
    void report(const Device& device, const PlannedLine& line, const std::string& what);
    LineOutcome& outcomeOf(const PlannedLine& line);
    // The line's outcome is known.
    void settle(const PlannedLine& line, LineResult result, const char* reply);
    // Gives the outcomes settled since the last time to onOutcome.
    void handOver();
    // The lines from the device's next on are not sent, for `why`.
    void leaveUnsent(Device& device, const std::string& why);
    // A write that failed because the line is gone, not because it was slow.
    bool hungUp() const;

    SerialPort& port;
    bool rs485;
    int paceMs;
    int timeoutMs;
    int stopFd;
    std::vector<Device> devices;
    std::unique_ptr<LineScheduler> scheduler;
    SendProgress* progress = nullptr;
    const PlannedLine* planStart = nullptr;
    std::vector<LineOutcome> lineOutcomes;
    OutcomeHandler onOutcome;
    std::vector<std::pair<const PlannedLine*, LineOutcome>> settled;
    std::optional<Sent> awaited;
    int replyPos = 0;
    ReplyLineGatherer gatherer{replyPos};
    // While it is open a timed-out line's late reply may still come, and no frame goes out.
    struct LateWindow
    {
        size_t device;
        Clock::time_point until;
    };
    std::optional<LateWindow> lateWindow;
    bool stopped = false;
    bool lost = false;
};
