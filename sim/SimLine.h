#pragma once

#include "sim/SimDevice.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Misbehaviour asked for on the command line.
struct SimFaults
{
    bool silent = false;
    std::string reply;   // replaces "GO" when not empty; the state changes only on "GO"
    int errorOn = 0;     // 1-based frame number answered "E3", 0 for none
    int hangUpAfter = 0; // 1-based frame number after which the line goes dead, 0 for none
    bool noLineEnd = false; // answers go without their CR LF
};

// The devices on one serial line: gathers received bytes into frames, hands each frame to the
// addressed device and decides the reply.
class SimLine
{
public:
    static constexpr std::size_t MaxFrame = 512;

    struct Station
    {
        std::optional<int> slave; // RS-485 slave number, none on an RS-232C line
        SimDevice device;
    };

    struct Response
    {
        std::string log;   // one line, without its line end
        std::string reply; // bytes to send back, empty for silence
        bool hangUp = false;
        int station = -1;                  // index in stations(), -1 when none was addressed
        std::optional<SimCommand> applied; // what that station's device took, if anything
    };

    // An empty slave list makes an RS-232C line with one device.
    explicit SimLine(const std::vector<int>& slaves, SimFaults faults = {});

    // Feeds received bytes; gives one response per completed frame, and one when a frame is
    // dropped for its length. Nothing is taken after the frame that hangs up.
    std::vector<Response> receive(std::string_view bytes);

    bool rs485() const { return m_rs485; }
    int frames() const { return m_frames; }
    const std::vector<Station>& stations() const { return m_stations; }

private:
    Response handleFrame(std::string_view frame, bool tooLong);
    Station* addressedStation(std::string_view frame);
    std::string answer(Station& station, std::string_view command, bool tooLong, Response& response,
                       std::string& account);

    bool m_rs485;
    SimFaults m_faults;
    std::vector<Station> m_stations;
    std::string m_pending;
    bool m_pendingTooLong = false;
    int m_frames = 0;
    bool m_hungUp = false;
};
