#pragma once

#include "link/SystemConsole.h"
#include "platform/SerialDeviceFinder.h"

#include <string>
#include <vector>

// What a device path stands for on this machine, as the port dialogs and the sender show it.
enum class PortPresence { Present, NotPresent, NotSerialDevice, InUse, OpenHere, SystemConsole };

struct PortStatus
{
    std::string path;
    std::string identity; // of a device found behind the path: "FTDI FT232R USB UART, A1B2C3"
    PortPresence presence = PortPresence::NotPresent;
    std::string holder; // for InUse: "name (pid N)"
};

// The devices found and the consoles, looked up once for any number of paths.
struct PortSurvey
{
    std::vector<SerialDevice> devices;
    std::vector<std::string> consoles;

    static PortSurvey Take(); // from the installed device finder and the kernel's consoles

    PortStatus status(const std::string& path) const;
    const SerialDevice* deviceAt(const std::string& path) const;
};

// The path to assign for a found device: udev's stable link where it made one.
std::string AssignablePath(const SerialDevice& device);
// The name a line keeps across plugging and port assignments, under which the ledger knows it:
// udev's /dev/serial/by-id link to the device behind `path` where there is one, else the path
// made absolute. Asks for that one link only: finding every device costs a sender run more than
// its frames to a line of 32 devices.
std::string StableLineName(const std::string& path);
// "FTDI FT232R USB UART, A1B2C3"; empty when the device tells nothing about itself.
std::string DeviceIdentity(const SerialDevice& device);
// A drop-down item: the path, with identity and USB id where known.
std::string DeviceChoiceText(const SerialDevice& device);

// "present", "not present", "not a serial device", "in use by NAME", "open in this program",
// "system console".
std::string PresenceText(const PortStatus& status);
// "/dev/ttyUSB0 (FTDI FT232R USB UART, A1B2C3)", "/dev/ttyS0 (not present)", ...
std::string PortStatusLine(const PortStatus& status);

// Beneath "Miss! File Open" when COMn's device does not exist: the devices found that are no
// console, and where to assign one.
std::string MissingDeviceAdvice(int comPort, const PortSurvey& survey);

// COM1..COM6 with their paths and states, then the devices found that no COM name stands for;
// one line each.
std::string PortListing(const PortSurvey& survey);
