#include "link/PortOpening.h"

#include "link/LockHolder.h"
#include "link/PortSurvey.h"
#include "link/SerialPort.h"
#include "platform/Profile.h"

namespace {

// comPort is -1 for a path given outright, which no COM name is to be assigned.
std::string openWithAdvice(SerialPort& port, const std::string& path, int comPort)
{
    std::string reason = port.open(path);
    switch (port.lastOpenFailure()) {
    case OpenFailure::HeldByAnother:
        if (const std::string holder = LockHolder(path); !holder.empty())
            reason += " It is held by " + holder + ".";
        break;
    case OpenFailure::NoSuchDevice:
        if (comPort >= 0)
            reason += '\n' + MissingDeviceAdvice(comPort, PortSurvey::Take());
        break;
    default:
        break;
    }
    return reason;
}

} // namespace

std::string OpenComPort(SerialPort& port, int comPort)
{
    const std::string path = PortDevicePath(comPort);
    if (path.empty())
        return "The profile's com_port " + std::to_string(comPort) +
               " names none of COM1 to COM6 (0 to 5).";
    return openWithAdvice(port, path, comPort);
}

std::string OpenDevicePort(SerialPort& port, const std::string& path)
{
    return openWithAdvice(port, path, -1);
}
