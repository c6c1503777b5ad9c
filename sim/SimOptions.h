#pragma once

#include "sim/SimLine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The simulator's command line.
struct SimOptions
{
    std::string link;        // symlink to the pseudo-terminal's slave, none when empty
    std::string state;       // JSON state file, none when empty
    std::string log;         // log file, standard error when empty
    std::vector<int> slaves; // RS-485 slave numbers, empty for RS-232C
    SimFaults faults;
    int delayMs = 0;
    int baud = 0; // 0: frames and replies take no time on the line
    std::optional<int> splitMs;
    std::optional<int> byteGapMs;
    bool view = false;
    bool help = false;

    // Parses the arguments after the program name. On failure returns nothing and says why in
    // error. Uses getopt_long, whose state is global: one parse at a time.
    static std::optional<SimOptions> parse(const std::vector<std::string_view>& args,
                                           std::string& error);
    static std::string usage();
};
