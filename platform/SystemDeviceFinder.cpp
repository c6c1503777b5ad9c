#include "platform/SystemDeviceFinder.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

// udev's by-id link for the device node, if it made one.
std::string byIdLink(const QString& node)
{
    const QString target = QFileInfo(node).canonicalFilePath();
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files)) {
        if (!target.isEmpty() && link.canonicalFilePath() == target)
            return link.absoluteFilePath().toStdString();
    }
    return {};
}

} // namespace

std::vector<SerialDevice> SystemDeviceFinder::present() const
{
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = port.systemLocation().toStdString();
        device.stablePath = byIdLink(port.systemLocation());
        device.maker = port.manufacturer().toStdString();
        device.model = port.description().toStdString();
        device.serialNumber = port.serialNumber().toStdString();
        if (port.hasVendorIdentifier() && port.hasProductIdentifier())
            device.usbId = QStringLiteral("%1:%2")
                               .arg(port.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                               .arg(port.productIdentifier(), 4, 16, QLatin1Char('0'))
                               .toStdString();
        devices.push_back(device);
    }
    return devices;
}

std::string SystemDeviceFinder::stableLink(const std::string& node) const
{
    return byIdLink(QString::fromStdString(node));
}
