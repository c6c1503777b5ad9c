#include "editors/OffsetCommand.h"

#include "settings/DeviceSettings.h"

namespace {

int offsetCount(std::string_view letters)
{
    if (letters == "VER")
        return VerticalOffsetCount;
    if (letters == "HOR")
        return HorizontalOffsetCount;
    return 0;
}

} // namespace

std::optional<std::string> MakeOffsetCommand(std::string_view letters, int channel, int offset)
{
    if (channel < 0 || channel >= ChannelCount || offset < 0 || offset >= offsetCount(letters))
        return std::nullopt;
    std::string line = std::string(letters) + "0100\r\n";
    if (channel != 0)
        line[4] = '2';
    line[5] = char('0' + offset / 10);
    line[6] = char('0' + offset % 10);
    return line;
}
