#include "sim/SimCommand.h"

#include "sim/SimJis.h"

#include <cstdio>

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t TitleChars = 14;
constexpr std::string_view FullWidthSpace = "\u3000";

std::optional<int> decimal(std::string_view digits)
{
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> hexCode(std::string_view digits)
{
    int value = 0;
    for (const char c : digits) {
        if (c >= '0' && c <= '9')
            value = value * 16 + (c - '0');
        else if (c >= 'A' && c <= 'F')
            value = value * 16 + (c - 'A' + 10);
        else
            return std::nullopt;
    }
    return value;
}

std::string hex4(std::uint16_t code)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", code);
    return text;
}

std::optional<int> checked(std::optional<int> value, int low, int high, std::string_view what,
                           std::string& error)
{
    if (!value) {
        error = "malformed " + std::string(what);
        return std::nullopt;
    }
    if (*value < low || *value > high) {
        error = "out of range: " + std::string(what) + " " + std::to_string(*value);
        return std::nullopt;
    }
    return value;
}

// The one-digit channel field that follows a "0" in the WL, VER, HOR and P commands.
std::optional<int> channelField(std::string_view field, std::string& error)
{
    const auto channel = checked(decimal(field), 1, 2, "channel", error);
    return channel ? std::optional<int>(*channel - 1) : std::nullopt;
}

std::optional<int> titlePosition(std::string_view field, std::string& error)
{
    if (field == "TOP")
        return 32;
    if (field[0] != 'B') {
        error = "malformed position";
        return std::nullopt;
    }
    const auto bottom = checked(decimal(field.substr(1)), 1, 32, "position", error);
    return bottom ? std::optional<int>(*bottom - 1) : std::nullopt;
}

std::optional<std::string> titleText(std::string_view hex, std::string& error)
{
    std::string text;
    for (std::size_t i = 0; i < TitleChars; ++i) {
        const auto code = hexCode(hex.substr(i * 4, 4));
        if (!code) {
            error = "malformed JIS code";
            return std::nullopt;
        }
        const auto jis = static_cast<std::uint16_t>(*code);
        const auto character = jisToUtf8(jis);
        if (!character) {
            error = "no character for JIS code " + hex4(jis);
            return std::nullopt;
        }
        text += *character;
    }
    while (text.ends_with(FullWidthSpace))
        text.resize(text.size() - FullWidthSpace.size());
    return text;
}

std::optional<SimCommand> parseTitle(std::string_view body, std::string& error)
{
    if (body.size() != 63) {
        error = "wrong length for CA";
        return std::nullopt;
    }
    const auto channel = checked(decimal(body.substr(2, 2)), 1, 2, "channel", error);
    if (!channel)
        return std::nullopt;
    const auto position = titlePosition(body.substr(4, 3), error);
    if (!position)
        return std::nullopt;
    auto text = titleText(body.substr(7), error);
    if (!text)
        return std::nullopt;
    return SimCommand{SimCommand::Kind::Title, *channel - 1, *position, 0, std::move(*text)};
}

std::optional<SimCommand> parseWhiteLevel(std::string_view body, std::string& error)
{
    if (body.size() != 7 || body[2] != '0') {
        error = "malformed WL";
        return std::nullopt;
    }
    const auto channel = channelField(body.substr(3, 1), error);
    if (!channel)
        return std::nullopt;
    const auto picture = checked(decimal(body.substr(4, 2)), 1, 32, "picture", error);
    if (!picture)
        return std::nullopt;
    const auto level = checked(decimal(body.substr(6, 1)), 0, 9, "level", error);
    if (!level)
        return std::nullopt;
    return SimCommand{SimCommand::Kind::WhiteLevel, *channel, *picture - 1, *level, {}};
}

std::optional<SimCommand> parseOffset(std::string_view body, SimCommand::Kind kind, int highest,
                                      std::string& error)
{
    if (body.size() != 7 || body[3] != '0') {
        error = "malformed " + std::string(body.substr(0, 3));
        return std::nullopt;
    }
    const auto channel = channelField(body.substr(4, 1), error);
    if (!channel)
        return std::nullopt;
    const auto offset = checked(decimal(body.substr(5, 2)), 0, highest, "offset", error);
    if (!offset)
        return std::nullopt;
    return SimCommand{kind, *channel, 0, *offset, {}};
}

std::optional<SimCommand> parsePicture(std::string_view body, std::string& error)
{
    if (body.size() != 5 || body[1] != '0') {
        error = "malformed P";
        return std::nullopt;
    }
    const auto channel = channelField(body.substr(2, 1), error);
    if (!channel)
        return std::nullopt;
    const auto picture = checked(decimal(body.substr(3, 2)), 1, 32, "picture", error);
    if (!picture)
        return std::nullopt;
    return SimCommand{SimCommand::Kind::Picture, *channel, 0, *picture, {}};
}

std::string positionName(int position)
{
    if (position == 32)
        return "TOP";
    char name[16];
    std::snprintf(name, sizeof name, "B%02d", position + 1);
    return name;
}

} // namespace

std::optional<SimCommand> parseSimCommand(std::string_view line, std::string& error)
{
    if (!line.ends_with(LineEnd)) {
        error = "malformed: no CR before LF";
        return std::nullopt;
    }
    const std::string_view body = line.substr(0, line.size() - LineEnd.size());
    if (body.starts_with("CA"))
        return parseTitle(body, error);
    if (body.starts_with("WL"))
        return parseWhiteLevel(body, error);
    if (body.starts_with("VER"))
        return parseOffset(body, SimCommand::Kind::VerticalOffset, 63, error);
    if (body.starts_with("HOR"))
        return parseOffset(body, SimCommand::Kind::HorizontalOffset, 15, error);
    if (body.starts_with("P"))
        return parsePicture(body, error);
    error = "unknown command";
    return std::nullopt;
}

std::string describeSimCommand(const SimCommand& command)
{
    const std::string channel = " ch" + std::to_string(command.channel + 1);
    switch (command.kind) {
    case SimCommand::Kind::Title:
        return "CA" + channel + " " + positionName(command.position) + " \"" + command.title + "\"";
    case SimCommand::Kind::WhiteLevel:
        return "WL" + channel + " picture " + std::to_string(command.position + 1) + " level " +
               std::to_string(command.value);
    case SimCommand::Kind::VerticalOffset:
        return "VER" + channel + " offset " + std::to_string(command.value);
    case SimCommand::Kind::HorizontalOffset:
        return "HOR" + channel + " offset " + std::to_string(command.value);
    case SimCommand::Kind::Picture:
        return "P" + channel + " picture " + std::to_string(command.value);
    }
    return {};
}
