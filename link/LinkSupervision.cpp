#include "link/LinkSupervision.h"

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

std::string SilenceReason(std::optional<int> modemLines)
{
    if (!modemLines || (*modemLines & TIOCM_CTS) != 0)
        return {};
    return "CTS is off: the device is off, or the cable has no handshake lines.";
}
