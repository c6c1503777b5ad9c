#include "sim/SimStateJson.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <typename Container, typename Format>
std::string jsonArray(const Container& items, Format format)
{
    std::string text = "[";
    for (const auto& item : items) {
        if (text.size() > 1)
            text += ',';
        text += format(item);
    }
    return text + ']';
}

std::string channelJson(const SimDevice::Channel& channel)
{
    return "{\"titles\":" + jsonArray(channel.titles, jsonString) + ",\"whiteLevels\":" +
           jsonArray(channel.whiteLevels, [](int v) { return std::to_string(v); }) +
           ",\"vOffset\":" + std::to_string(channel.vOffset) +
           ",\"hOffset\":" + std::to_string(channel.hOffset) +
           ",\"picture\":" + std::to_string(channel.picture) + "}";
}

std::string stationJson(const SimLine::Station& station)
{
    const std::string slave = station.slave ? std::to_string(*station.slave) : "null";
    return "{\"slave\":" + slave +
           ",\"channels\":" + jsonArray(station.device.channels(), channelJson) + "}";
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
    return std::string("{\"mode\":\"") + (line.rs485() ? "rs485" : "rs232c") +
           "\",\"frames\":" + std::to_string(line.frames()) +
           ",\"devices\":" + jsonArray(line.stations(), stationJson) + "}\n";
}

std::string jsonString(std::string_view text)
{
    std::string json = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(c));
                json += escape;
            } else {
                json += c;
            }
        }
    }
    return json + '"';
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
