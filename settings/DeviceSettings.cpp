#include "settings/DeviceSettings.h"

DeviceSettingsRecord DeviceSettings;
std::string currentFileName;

void ResetSettings()
{
    DeviceSettingsRecord& s = DeviceSettings;
    s.replyError = 0;
    s.curWhitePicture = 0;
    s.curPosition = 0;
    s.slaveNo = 0;
    {
        std::lock_guard lock(s.replyFlagsLock);
        s.modified = 0;
        s.noReplyTicks = 0;
        s.awaitingReply = 0;
    }
    s.curChannel = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        s.vOffset[c] = 32;
        s.hOffset[c] = 8;
        s.pictureNo[c] = 0;
    }
    for (auto& channel : s.whiteLevel)
        for (int& level : channel)
            level = 8;
    for (auto& channel : s.title)
        for (std::string& line : channel)
            line.clear();
}

std::string TitlePositionName(int position)
{
    if (position == TitleCount - 1)
        return "Top";
    // The blank keeps the names sorted: "Bottom 1" sorts before the digits of "Bottom10".
    const int number = position + 1;
    return "Bottom" + std::string(number < 10 ? " " : "") + std::to_string(number);
}
