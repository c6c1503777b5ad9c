#include "sim/SimStateJson.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Ordered, so that the keys keep the order in which a person reading the file expects them.
using Json = nlohmann::ordered_json;

Json channelJson(const SimDevice::Channel& channel)
{
    return {{"titles", channel.titles},
            {"whiteLevels", channel.whiteLevels},
            {"vOffset", channel.vOffset},
            {"hOffset", channel.hOffset},
            {"picture", channel.picture}};
}

Json stationJson(const SimLine::Station& station)
{
    Json channels = Json::array();
    for (const SimDevice::Channel& channel : station.device.channels())
        channels.push_back(channelJson(channel));
    return {{"slave", station.slave ? Json(*station.slave) : Json(nullptr)},
            {"channels", std::move(channels)}};
}

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::string simStateJson(const SimLine& line)
{
    Json devices = Json::array();
    for (const SimLine::Station& station : line.stations())
        devices.push_back(stationJson(station));
    const Json state = {{"mode", line.rs485() ? "rs485" : "rs232c"},
                        {"frames", line.frames()},
                        {"devices", std::move(devices)}};
    // Titles are decoded text and always valid UTF-8; should one ever not be, a replacement
    // character is better than an exception that ends the simulator.
    return state.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}

bool writeFileAtomically(const std::string& path, std::string_view text)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    ::fchmod(fd, 0644); // mkstemp makes it private; the state is meant to be read
    const bool written = writeAll(fd, text);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}
