#include "link/CommandFrame.h"

#include "settings/DeviceSettings.h"

std::optional<std::string> MakeCommandFrame(const std::string& command, int rsControl, int slaveNo)
{
    if (rsControl == 0)
        return command;
    if (slaveNo < 0 || slaveNo >= SlaveCount)
        return std::nullopt;
    const char prefix[] = {char('0' + slaveNo / 10), char('0' + slaveNo % 10)};
    return std::string(prefix, 2) + command;
}
