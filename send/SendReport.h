#pragma once

#include "send/LineOutcome.h"
#include "send/SendOptions.h"
#include "send/SendPlan.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The line a run goes out on.
struct SendLine
{
    int comPort = -1; // COM1..COM6 as 0..5; -1 for a device path given outright
    std::string path; // the device path
    std::string name; // its stable name, under which the ledger knows it
    bool rs485 = false;
    std::vector<int> slaves; // on RS-485
};

// What a run did, line by line: written by --report, read by --retry.
struct SendReport
{
    SendLine line;
    std::vector<SlaveFile> files; // each slave's settings file; slave 0 on RS-232C
    std::vector<PlannedLine> plan;
    std::vector<LineOutcome> outcomes; // one for each line of the plan
    std::chrono::system_clock::time_point started;
    std::chrono::system_clock::time_point finished;
};

std::string SendReportJson(const SendReport& report);

// The report in `file`, every frame checked to be a command for its slave; nothing, with why in
// error as "FILE: what is wrong", for anything else.
std::optional<SendReport> ReadSendReport(const std::string& file, std::string& error);
