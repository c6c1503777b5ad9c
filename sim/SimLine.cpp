#include "sim/SimLine.h"

#include <cstdio>

namespace {

std::string escaped(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            text += hex;
        }
    }
    return text;
}

std::optional<int> slaveNumber(std::string_view frame)
{
    if (frame.size() < 2 || frame[0] < '0' || frame[0] > '9' || frame[1] < '0' || frame[1] > '9')
        return std::nullopt;
    return (frame[0] - '0') * 10 + (frame[1] - '0');
}

} // namespace

SimLine::SimLine(const std::vector<int>& slaves, SimFaults faults)
    : m_rs485(!slaves.empty()), m_faults(std::move(faults))
{
    if (!m_rs485)
        m_stations.push_back({});
    for (const int slave : slaves)
        m_stations.push_back({slave, {}});
}

std::vector<SimLine::Response> SimLine::receive(std::string_view bytes)
{
    std::vector<Response> responses;
    for (const char c : bytes) {
        if (m_hungUp)
            break;
        if (c == '\n') {
            if (!m_pendingTooLong)
                m_pending += c;
            responses.push_back(handleFrame(m_pending, m_pendingTooLong));
            m_pending.clear();
            m_pendingTooLong = false;
        } else if (m_pending.size() < MaxFrame) {
            m_pending += c;
        } else if (!m_pendingTooLong) {
            // Keep the start, where the slave number is, and drop the rest of the frame.
            m_pendingTooLong = true;
            Response dropped;
            dropped.log =
                "dropping a frame longer than " + std::to_string(MaxFrame) + " bytes up to its LF";
            responses.push_back(std::move(dropped));
        }
    }
    return responses;
}

SimLine::Response SimLine::handleFrame(std::string_view frame, bool tooLong)
{
    ++m_frames;
    Response response;
    std::string account;
    Station* station = addressedStation(frame);
    if (!station) {
        account =
            slaveNumber(frame) ? "ignored: not for this line's slaves" : "ignored: no slave number";
    } else {
        const std::string_view prefix = m_rs485 ? frame.substr(0, 2) : std::string_view();
        if (m_rs485)
            account = "slave " + std::string(prefix) + " ";
        response.station = static_cast<int>(station - m_stations.data());
        const std::string reply =
            answer(*station, frame.substr(prefix.size()), tooLong, response, account);
        if (m_faults.silent)
            account += " (silent)";
        else
            response.reply = std::string(prefix) + reply + (m_faults.noLineEnd ? "" : "\r\n");
    }
    response.hangUp = m_frames == m_faults.hangUpAfter;
    if (response.hangUp) {
        account += ", then hanging up";
        m_hungUp = true;
    }
    response.log = escaped(frame) + (tooLong ? "..." : "") + "  " + account;
    return response;
}

SimLine::Station* SimLine::addressedStation(std::string_view frame)
{
    if (!m_rs485)
        return &m_stations.front();
    const auto slave = slaveNumber(frame);
    for (Station& station : m_stations) {
        if (station.slave == slave)
            return &station;
    }
    return nullptr;
}

std::string SimLine::answer(Station& station, std::string_view command, bool tooLong,
                            Response& response, std::string& account)
{
    std::string error = "frame longer than " + std::to_string(MaxFrame) + " bytes";
    std::optional<SimCommand> parsed;
    if (!tooLong)
        parsed = parseSimCommand(command, error);
    if (!parsed) {
        account += "E3: " + error;
        return "E3";
    }
    account += describeSimCommand(*parsed);
    if (m_frames == m_faults.errorOn) {
        account += " -> E3 (error on request)";
        return "E3";
    }
    std::string reply = m_faults.reply.empty() ? "GO" : m_faults.reply;
    if (reply == "GO") {
        station.device.apply(*parsed);
        response.applied = std::move(parsed);
    }
    account += " -> " + reply;
    return reply;
}
