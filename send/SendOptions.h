#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

struct SlaveFile
{
    int slave;
    std::string file;
};

// The sender's command line.
struct SendOptions
{
    std::string file;                  // the one settings file, empty with SLAVE=FILE pairs
    std::vector<SlaveFile> slaveFiles; // a settings file for each slave, in the order given
    int comPort = -1;                  // COM1..COM6 as 0..5; -1 for the profile's com_port
    std::string device;                // a device path that overrides comPort
    std::optional<bool> rs485Asked;    // --rs485 or --rs232c, nothing when neither is given
    bool rs485 = false;                // the line's mode, as settleLine decided it
    std::vector<int> slaves;           // RS-485 slave numbers, empty for RS-232C
    bool titles = true;
    bool levels = true;
    bool offsets = true;
    std::optional<int> pictures[2]; // picture index 0..31 of each channel
    int paceMs = 600;
    int timeoutMs = 3500;
    bool dryRun = false;
    bool changed = false;   // only lines the ledger does not show the slave acknowledged
    std::string reportFile; // where the run's outcome goes as JSON; empty for none
    std::string retryFile;  // a report whose lines that were not accepted go again
    bool history = false;   // prints what the ledger holds instead of sending
    bool json = false;      // --history as JSON
    bool help = false;
    bool listPorts = false;

    const std::string& fileOf(int slave) const;

    // Parses the whole command line, program name first. On failure returns nothing and says
    // why in error.
    static std::optional<SendOptions> parse(const QStringList& arguments, std::string& error);
    // Decides the line's mode: as --rs232c or --rs485 say, otherwise RS-232C on a --device and
    // the profile's rs_control on a port; false, with why in error, when the slaves do not fit it.
    bool settleLine(bool profileRs485, std::string& error);
    static std::string usage();
};
