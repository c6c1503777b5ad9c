#pragma once

#include "sim/SimLine.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// What the live view shows: every device as the frames so far left it, the last frames with
// their replies, and what the last frame that a device took changed.
class SimViewState
{
public:
    static constexpr std::size_t LogLength = 200;

    struct LogEntry
    {
        std::string text;   // the frame and what became of it, as the log file has it
        bool error = false; // the addressed device did not take the frame, or none was addressed
    };

    struct Change
    {
        int frame = 0; // 1-based number of the frame on the line
        int station = 0;
        SimCommand command;
    };

    struct TitleRow
    {
        std::string label; // "Top", "Bottom 1" .. "Bottom32"
        std::string text;  // UTF-8, empty for an empty line
        bool changed = false;
    };

    explicit SimViewState(const SimLine& line);

    // Takes the line as it is after response.
    void update(const SimLine& line, const SimLine::Response& response);

    // "RS-232C", or "Slave 00" .. "Slave 31" for each station of an RS-485 line.
    std::vector<std::string> stationNames() const;
    const SimDevice::Channel& channel(int station, int channel) const;
    // The titles in the device's order: "Top" first, then "Bottom 1" to "Bottom32".
    std::vector<TitleRow> titles(int station, int channel) const;
    // Whether the last change set this value; position as in SimCommand.
    bool changed(int station, int channel, SimCommand::Kind kind, int position = 0) const;

    const std::optional<Change>& lastChange() const { return m_lastChange; }
    const std::deque<LogEntry>& log() const { return m_log; }
    // Entries ever logged, including those that fell out of log().
    std::size_t logged() const { return m_logged; }

private:
    bool m_rs485;
    std::vector<SimLine::Station> m_stations;
    std::optional<Change> m_lastChange;
    std::deque<LogEntry> m_log;
    std::size_t m_logged = 0;
};
