#pragma once

#include "platform/SerialDeviceFinder.h"

// A device list that tests set; installed for the whole test process, so that no test finds, let
// alone opens, a device of the machine it runs on.
class FakeDeviceFinder : public SerialDeviceFinder
{
public:
    std::vector<SerialDevice> present() const override { return devices; }
    std::string stableLink(const std::string& node) const override
    {
        for (const SerialDevice& device : devices) {
            if (device.path == node)
                return device.stablePath;
        }
        return {};
    }

    static FakeDeviceFinder& installed()
    {
        static FakeDeviceFinder finder;
        return finder;
    }

    std::vector<SerialDevice> devices;
};
