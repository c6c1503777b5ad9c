#include "link/LinkSupervision.h"

#include "settings/DeviceSettings.h"

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
