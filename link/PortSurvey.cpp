#include "link/PortSurvey.h"

#include "link/LockHolder.h"
#include "platform/Profile.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0;
}

// Serial ports and pseudo-terminals are character devices; a folder or a plain file is no port,
// however present it is.
bool isCharacterDevice(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

std::string joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!text.empty())
            text += separator;
        text += part;
    }
    return text;
}

} // namespace

PortSurvey PortSurvey::Take()
{
    return {DeviceFinder().present(), SystemConsoles()};
}

const SerialDevice* PortSurvey::deviceAt(const std::string& path) const
{
    const std::string target = ResolvedDevicePath(path);
    for (const SerialDevice& device : devices) {
        if (ResolvedDevicePath(device.path) == target)
            return &device;
    }
    return nullptr;
}

PortStatus PortSurvey::status(const std::string& path) const
{
    PortStatus status;
    status.path = path;
    if (const SerialDevice* device = deviceAt(path))
        status.identity = DeviceIdentity(*device);
    if (IsSystemConsole(path, consoles)) {
        status.presence = PortPresence::SystemConsole;
    } else if (!exists(path)) {
        status.presence = PortPresence::NotPresent;
    } else if (!isCharacterDevice(path)) {
        status.presence = PortPresence::NotSerialDevice;
    } else if (const std::string holder = LockHolder(path); holder.empty()) {
        status.presence = PortPresence::Present;
    } else {
        const bool ours = holder.ends_with("(pid " + std::to_string(getpid()) + ")");
        status.presence = ours ? PortPresence::OpenHere : PortPresence::InUse;
        status.holder = holder;
    }
    return status;
}

std::string AssignablePath(const SerialDevice& device)
{
    return device.stablePath.empty() ? device.path : device.stablePath;
}

std::string StableLineName(const std::string& path)
{
    if (std::string byId = DeviceFinder().stableLink(path); !byId.empty())
        return byId;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string DeviceIdentity(const SerialDevice& device)
{
    return joined({joined({device.maker, device.model}, " "), device.serialNumber}, ", ");
}

std::string DeviceChoiceText(const SerialDevice& device)
{
    const std::string usb = device.usbId.empty() ? "" : "USB " + device.usbId;
    const std::string about = joined({DeviceIdentity(device), usb}, ", ");
    return AssignablePath(device) + (about.empty() ? "" : " (" + about + ")");
}

std::string PresenceText(const PortStatus& status)
{
    switch (status.presence) {
    case PortPresence::Present:
        return "present";
    case PortPresence::NotPresent:
        return "not present";
    case PortPresence::NotSerialDevice:
        return "not a serial device";
    case PortPresence::InUse:
        return "in use by " + status.holder;
    case PortPresence::OpenHere:
        return "open in this program";
    case PortPresence::SystemConsole:
        return "system console";
    }
    return {};
}

std::string PortStatusLine(const PortStatus& status)
{
    // A device that is simply there is told by what it is.
    const bool plain = status.presence == PortPresence::Present && !status.identity.empty();
    const std::string about =
        plain ? status.identity : joined({PresenceText(status), status.identity}, ", ");
    return status.path + " (" + about + ")";
}

std::string MissingDeviceAdvice(int comPort, const PortSurvey& survey)
{
    std::vector<std::string> found;
    for (const SerialDevice& device : survey.devices) {
        if (IsSystemConsole(device.path, survey.consoles))
            continue;
        const std::string identity = DeviceIdentity(device);
        found.push_back(AssignablePath(device) + (identity.empty() ? "" : " (" + identity + ")"));
    }
    const std::string where = "通信 > 通信の設定 > ポート割り当て.";
    const std::string com = "COM" + std::to_string(comPort + 1);
    if (found.empty())
        return "No serial ports found. Plug in the adapter, or assign a device to " + com +
               " under " + where;
    return "Serial ports found: " + joined(found, ", ") + ". Assign one to " + com + " under " +
           where;
}

std::string PortListing(const PortSurvey& survey)
{
    std::string listing;
    std::vector<const SerialDevice*> assigned;
    for (int port = 0; port < ComPortCount; ++port) {
        const PortStatus status = survey.status(PortDevicePath(port));
        listing += "COM" + std::to_string(port + 1) + "  " + status.path + "  " +
                   joined({PresenceText(status), status.identity}, ", ") + '\n';
        assigned.push_back(survey.deviceAt(status.path));
    }
    for (const SerialDevice& device : survey.devices) {
        if (std::find(assigned.begin(), assigned.end(), &device) != assigned.end())
            continue;
        const std::string console =
            IsSystemConsole(device.path, survey.consoles) ? ", system console" : "";
        listing += "found  " + DeviceChoiceText(device) + console + '\n';
    }
    return listing;
}
