#pragma once

#include "platform/SerialDeviceFinder.h"

// The system's serial devices through udev (Qt SerialPort).
class SystemDeviceFinder : public SerialDeviceFinder
{
public:
    std::vector<SerialDevice> present() const override;
    std::string stableLink(const std::string& node) const override;
};
