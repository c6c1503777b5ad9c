#pragma once

#include "platform/SerialDeviceFinder.h"

// A device list that tests set; installed for the whole test process, so that no test finds, let
// alone opens, a device of the machine it runs on.
class FakeDeviceFinder : public SerialDeviceFinder
{
public:
    std::vector<SerialDevice> present() const override { return devices; }

    static FakeDeviceFinder& installed()
    {
        static FakeDeviceFinder finder;
        return finder;
    }

    std::vector<SerialDevice> devices;
};
