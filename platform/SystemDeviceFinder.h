#pragma once

#include "platform/SerialDeviceFinder.h"

// The system's serial devices through udev (Qt SerialPort), and the console list the kernel
// keeps in /sys/class/tty/console/active.
class SystemDeviceFinder : public SerialDeviceFinder
{
public:
    std::vector<SerialDevice> present() const override;
    std::vector<std::string> consoles() const override;
};
