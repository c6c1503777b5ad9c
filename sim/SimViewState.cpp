#include "sim/SimViewState.h"

#include <string>

namespace {

constexpr int TopPosition = SimDevice::TitleCount - 1;

std::string titleLabel(int position)
{
    if (position == TopPosition)
        return "Top";
    // "Bottom 1" .. "Bottom32": the number takes two places.
    const std::string number = std::to_string(position + 1);
    return (number.size() < 2 ? "Bottom " : "Bottom") + number;
}

} // namespace

SimViewState::SimViewState(const SimLine& line) : m_rs485(line.rs485()), m_stations(line.stations())
{}

void SimViewState::update(const SimLine& line, const SimLine::Response& response)
{
    m_stations = line.stations();
    if (response.applied)
        m_lastChange = Change{line.frames(), response.station, *response.applied};
    m_log.push_back({response.log, !response.applied});
    if (m_log.size() > LogLength)
        m_log.pop_front();
    ++m_logged;
}

std::vector<std::string> SimViewState::stationNames() const
{
    std::vector<std::string> names;
    for (const SimLine::Station& station : m_stations) {
        const std::string number = std::to_string(station.slave.value_or(0));
        names.push_back(m_rs485 ? (number.size() < 2 ? "Slave 0" : "Slave ") + number : "RS-232C");
    }
    return names;
}

const SimDevice::Channel& SimViewState::channel(int station, int channel) const
{
    return m_stations.at(station).device.channels().at(channel);
}

std::vector<SimViewState::TitleRow> SimViewState::titles(int station, int channel) const
{
    const auto& texts = this->channel(station, channel).titles;
    std::vector<TitleRow> rows;
    for (int i = 0; i < SimDevice::TitleCount; ++i) {
        // Top first: the device keeps it after the bottom lines.
        const int position = (i + TopPosition) % SimDevice::TitleCount;
        rows.push_back({titleLabel(position), texts[position],
                        changed(station, channel, SimCommand::Kind::Title, position)});
    }
    return rows;
}

bool SimViewState::changed(int station, int channel, SimCommand::Kind kind, int position) const
{
    if (!m_lastChange)
        return false;
    const SimCommand& command = m_lastChange->command;
    const bool positioned = kind == SimCommand::Kind::Title || kind == SimCommand::Kind::WhiteLevel;
    return m_lastChange->station == station && command.channel == channel && command.kind == kind &&
           (!positioned || command.position == position);
}
