#pragma once

#include "send/SendPlan.h"

#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

class SerialPort;

struct SlaveTally
{
    int slave = 0;
    int sent = 0;
    int accepted = 0;
    int rejected = 0;
    int notAnswered = 0;
    int skipped = 0;
    bool givenUp = false;

    bool allAccepted() const { return rejected == 0 && notAnswered == 0 && skipped == 0; }
};

// Sends planned lines one at a time on an open port and waits for each reply, without a reader
// thread: the descriptor is polled until the reply line or the timeout.
class LineSender
{
public:
    static constexpr int TimeoutsToGiveUp = 3;

    // stopFd, when readable, ends the sending after the line under way; -1 for none.
    LineSender(SerialPort& port, bool rs485, int paceMs, int timeoutMs, int stopFd = -1);

    // One tally per slave, in the plan's order; each problem is reported on log as it happens,
    // and with progress the line under way too.
    std::vector<SlaveTally> send(const std::vector<PlannedLine>& plan, std::ostream& log,
                                 bool progress);

private:
    enum class Reply { Accepted, Rejected, NoReply, PortLost, Stopped };
    Reply awaitReply(int slave, std::string& meaning);
    // A write that failed because the line is gone, not because it was slow.
    bool hungUp() const;
    // Waits until `until`; false when a stop came first.
    bool pause(std::chrono::steady_clock::time_point until) const;
    // The meaning of a complete line, or nothing for a line from another slave.
    std::optional<Reply> interpret(const char* line, int slave, std::string& meaning) const;

    SerialPort& port;
    bool rs485;
    int paceMs;
    int timeoutMs;
    int stopFd;
};
