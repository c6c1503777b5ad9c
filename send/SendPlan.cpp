#include "send/SendPlan.h"

#include "editors/OffsetCommand.h"
#include "editors/PictureCommand.h"
#include "editors/TitleCommand.h"
#include "editors/WhiteLevelCommand.h"
#include "ledger/CommandItem.h"
#include "link/CommandFrame.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"

namespace {

struct Command
{
    std::string what;
    std::optional<std::string> line;
    std::string problem;
};

std::optional<std::string> titleCommand(int channel, int position)
{
    if (!PadTitle(channel, position))
        return std::nullopt;
    return MakeTitleCommand(channel, position, paddedTitle);
}

std::vector<Command> recordCommands(const SendOptions& options)
{
    const DeviceSettingsRecord& s = DeviceSettings;
    std::vector<Command> commands;
    auto add = [&commands](std::string what, std::optional<std::string> line, const char* problem) {
        std::string why = line ? "" : problem;
        commands.push_back({std::move(what), std::move(line), std::move(why)});
    };
    constexpr const char* OutOfRange = "value out of range";
    if (options.titles)
        for (int channel = 0; channel < ChannelCount; ++channel)
            for (int position = 0; position < TitleCount; ++position)
                add(TitleItem(channel, position), titleCommand(channel, position), Message::NotJis);
    if (options.levels)
        for (int channel = 0; channel < ChannelCount; ++channel)
            for (int picture = 0; picture < PictureCount; ++picture)
                add(WhiteLevelItem(channel, picture),
                    MakeWhiteLevelCommand(channel, picture, s.whiteLevel[channel][picture]),
                    OutOfRange);
    // The settings file's order: both vertical offsets, then both horizontal ones.
    if (options.offsets) {
        for (int channel = 0; channel < ChannelCount; ++channel)
            add(OffsetItem("VER", channel), MakeOffsetCommand("VER", channel, s.vOffset[channel]),
                OutOfRange);
        for (int channel = 0; channel < ChannelCount; ++channel)
            add(OffsetItem("HOR", channel), MakeOffsetCommand("HOR", channel, s.hOffset[channel]),
                OutOfRange);
    }
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (options.pictures[channel])
            add(PictureItem(channel) + ' ' + std::to_string(*options.pictures[channel] + 1),
                MakePictureCommand(channel, *options.pictures[channel]), OutOfRange);
    return commands;
}

} // namespace

std::vector<PlannedLine> BuildSendPlan(const SendOptions& options)
{
    const std::vector<Command> commands = recordCommands(options);
    const std::vector<int> slaves = options.rs485 ? options.slaves : std::vector<int>{0};
    std::vector<PlannedLine> plan;
    for (int slave : slaves)
        for (const Command& command : commands) {
            PlannedLine line{slave, command.what, std::nullopt, command.problem};
            if (command.line)
                line.frame = MakeCommandFrame(*command.line, options.rs485 ? 1 : 0, slave);
            plan.push_back(std::move(line));
        }
    return plan;
}

std::string ReadableFrame(const std::string& frame)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : frame) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\\')
            text += "\\\\";
        else if (byte < 0x20 || byte >= 0x7F)
            text.append("\\x").append(1, Hex[byte >> 4]).append(1, Hex[byte & 0xF]);
        else
            text += c;
    }
    return text;
}
