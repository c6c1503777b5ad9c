#pragma once

#include <chrono>
#include <optional>
#include <string>

enum class LineResult { NotSent, Accepted, Rejected, NotAnswered, Late, Skipped };

// What became of one planned line in a run.
struct LineOutcome
{
    // NotSent: never reached; the run was interrupted, the slave given up or the port lost.
    LineResult result = LineResult::NotSent;
    std::string reply;   // as the device sent it, without slave and line end
    std::string problem; // why a line was skipped or not sent
    std::optional<std::chrono::system_clock::time_point> sent;
    std::optional<std::chrono::system_clock::time_point> answered;
};
