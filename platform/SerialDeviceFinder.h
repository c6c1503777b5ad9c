#pragma once

#include <string>
#include <vector>

// A serial device that the system knows, with what tells it apart from its neighbours.
struct SerialDevice
{
    std::string path;       // the kernel's node: /dev/ttyUSB0
    std::string stablePath; // udev's /dev/serial/by-id/... link, which keeps across plugging
    std::string maker;
    std::string model;
    std::string serialNumber;
    std::string usbId; // vendor:product, "0403:6001"; empty off USB
};

// Finds the serial devices present. Tests install their own list.
class SerialDeviceFinder
{
public:
    virtual ~SerialDeviceFinder() = default;
    virtual std::vector<SerialDevice> present() const = 0;
    // udev's by-id link for one device node, or empty; without looking for every device.
    virtual std::string stableLink(const std::string& node) const = 0;
};

// The installed finder; the system's own until another is installed.
const SerialDeviceFinder& DeviceFinder();
void SetDeviceFinder(const SerialDeviceFinder* finder);
