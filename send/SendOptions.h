#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

// The sender's command line.
struct SendOptions
{
    std::string file;
    int comPort = -1;        // COM1..COM6 as 0..5; -1 for the profile's com_port
    std::string device;      // a device path that overrides comPort
    std::vector<int> slaves; // RS-485 slave numbers, empty for RS-232C
    bool titles = true;
    bool levels = true;
    bool offsets = true;
    std::optional<int> pictures[2]; // picture index 0..31 of each channel
    int paceMs = 600;
    int timeoutMs = 2000;
    bool dryRun = false;
    bool help = false;

    bool rs485() const { return !slaves.empty(); }

    // Parses the whole command line, program name first. On failure returns nothing and says
    // why in error.
    static std::optional<SendOptions> parse(const QStringList& arguments, std::string& error);
    static std::string usage();
};
