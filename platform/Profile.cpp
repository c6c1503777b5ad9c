#include "platform/Profile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString Section = QStringLiteral("MRV-508_Section");

QString profilePath()
{
    return QString::fromStdString(ProfileFilePath());
}

} // namespace

std::string ProfileFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("mrv508/mrv508.ini")).toStdString();
}

int GetProfileInt(const char* key)
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    bool isNumber = false;
    const int value =
        profile.value(Section + '/' + QLatin1String(key)).toString().trimmed().toInt(&isNumber);
    return isNumber ? value : 0;
}

void WriteProfileInt(const char* key, int value)
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    profile.setValue(Section + '/' + QLatin1String(key), value);
}

std::string PortDevicePath(int comPort)
{
    if (comPort < 0 || comPort >= ComPortCount)
        return {};
    QSettings profile(profilePath(), QSettings::IniFormat);
    const QString fallback = QStringLiteral("/dev/ttyS%1").arg(comPort);
    return profile.value(QStringLiteral("Ports/COM%1").arg(comPort + 1), fallback)
        .toString()
        .toStdString();
}
