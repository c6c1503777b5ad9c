#include "app/DeviceHistory.h"

#include "send/SendLedger.h"
#include "send/SendPlan.h"

std::vector<DeviceHistory> ReadDeviceHistories(Ledger& ledger, const std::string& lineName,
                                               bool rs485)
{
    SendLine line;
    line.name = lineName;
    line.rs485 = rs485;
    if (rs485)
        line.slaves = ledger.slaves(lineName);
    SendOptions settings;
    settings.rs485 = rs485;
    settings.slaves = line.slaves;
    std::vector<DeviceHistory> devices;
    for (const SlaveChanges& changes : FindChangedLines(BuildSendPlan(settings), ledger, line))
        devices.push_back({rs485 ? std::optional<int>(changes.slave) : std::nullopt,
                           LastAcknowledged(changes.held),
                           static_cast<int>(changes.differing.size()), changes.total});
    return devices;
}
