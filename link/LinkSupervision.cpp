#include "link/LinkSupervision.h"

#include "res/Messages.h"
#include "settings/DeviceSettings.h"

#include <sys/ioctl.h>

void NoteCommandSent()
{
    std::lock_guard lock(DeviceSettings.replyFlagsLock);
    DeviceSettings.awaitingReply = 1;
}

void NoteReplyLine()
{
    std::lock_guard lock(DeviceSettings.replyFlagsLock);
    DeviceSettings.noReplyTicks = 0;
    DeviceSettings.awaitingReply = 0;
}

bool CountNoReplyTick()
{
    constexpr int TicksBeforeNoConnect = 5;
    std::lock_guard lock(DeviceSettings.replyFlagsLock);
    if (DeviceSettings.awaitingReply == 0)
        return false;
    const int before = DeviceSettings.noReplyTicks++;
    if (before <= TicksBeforeNoConnect)
        return false;
    DeviceSettings.noReplyTicks = 0;
    return true;
}

std::vector<std::string> SilenceReasons(std::optional<int> modemLines, long long bytesWithoutLine)
{
    std::vector<std::string> reasons;
    if (modemLines && (*modemLines & TIOCM_CTS) == 0)
        reasons.emplace_back(Message::CtsOff);
    if (bytesWithoutLine > 0)
        reasons.push_back(std::to_string(bytesWithoutLine) + ' ' + Message::BytesWithoutLine);
    return reasons;
}
