#pragma once

#include "ledger/Ledger.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// One device of a line as the ledger knows it, beside the open settings.
struct DeviceHistory
{
    std::optional<int> slave; // on RS-485
    std::optional<std::chrono::system_clock::time_point> lastAcknowledged;
    int differing = 0; // lines of the settings that mrv508-send --changed would send
    int total = 0;
};

// The line's one device on RS-232C; on RS-485 each slave that the ledger knows on the line.
std::vector<DeviceHistory> ReadDeviceHistories(Ledger& ledger, const std::string& lineName,
                                               bool rs485);
