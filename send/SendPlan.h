#pragma once

#include "send/SendOptions.h"

#include <optional>
#include <string>
#include <vector>

// One line of the record for one slave: what it sets and its bytes on the wire, or no frame
// and why the line is skipped.
struct PlannedLine
{
    int slave = 0;
    std::string what;
    std::optional<std::string> frame;
    std::string problem;

    bool operator==(const PlannedLine&) const = default;
};

// Every line of the record in the window tool's order (titles as "全設定" sends them, then the
// white levels, the offsets and the picture numbers), for each slave in turn. On RS-232C the
// slave is 0 and the frames have no prefix.
std::vector<PlannedLine> BuildSendPlan(const SendOptions& options);

// A frame as one readable line: CR and LF as \r and \n, other control bytes as \xNN.
std::string ReadableFrame(const std::string& frame);
