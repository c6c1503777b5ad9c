#include "editors/WhiteLevelCommand.h"

#include "settings/DeviceSettings.h"

std::optional<std::string> MakeWhiteLevelCommand(int channel, int pictureIndex, int level)
{
    if (channel < 0 || channel >= ChannelCount || pictureIndex < 0 ||
        pictureIndex >= PictureCount || level < 0 || level >= WhiteLevelCount)
        return std::nullopt;
    std::string line = "WL01011\r\n";
    if (channel != 0)
        line[3] = '2';
    const int number = pictureIndex + 1;
    line[4] = char('0' + number / 10);
    line[5] = char('0' + number % 10);
    line[6] = char('0' + level);
    return line;
}
