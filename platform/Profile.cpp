#include "platform/Profile.h"

#include "platform/ProfileText.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <iostream>

namespace {

const QString Section = QStringLiteral("MRV-508_Section");

QString profilePath()
{
    return QString::fromStdString(ProfileFilePath());
}

QString portKey(int comPort)
{
    return QStringLiteral("COM%1").arg(comPort + 1);
}

void writeProfileKey(const QString& section, const QString& key,
                     const std::optional<std::string>& value)
{
    const QString path = profilePath();
    QFile current(path);
    const std::string text =
        current.open(QIODevice::ReadOnly) ? current.readAll().toStdString() : std::string();
    const std::string changed =
        WithProfileKey(text, section.toStdString(), key.toStdString(), value);
    if (changed == text)
        return;
    const WriteResult written = QDir().mkpath(QFileInfo(path).path())
                                    ? WriteFileSafely(path.toStdString(), changed)
                                    : WriteResult{"its folder cannot be made"};
    if (written)
        return;
    // Every later write would fail the same way; the operator hears of it once.
    static bool reported = false;
    if (!reported)
        std::cerr << "mrv508: cannot write the profile " << path.toStdString() << ": "
                  << written.failure << '\n';
    reported = true;
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
    writeProfileKey(Section, QLatin1String(key), std::to_string(value));
}

std::string PortDevicePath(int comPort)
{
    if (comPort < 0 || comPort >= ComPortCount)
        return {};
    QSettings profile(profilePath(), QSettings::IniFormat);
    const QString fallback = QString::fromStdString(DefaultPortDevicePath(comPort));
    return profile.value(QStringLiteral("Ports/") + portKey(comPort), fallback)
        .toString()
        .toStdString();
}

std::string DefaultPortDevicePath(int comPort)
{
    return "/dev/ttyS" + std::to_string(comPort);
}

std::string ProfilePortEntry(int comPort)
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    return profile.value(QStringLiteral("Ports/") + portKey(comPort)).toString().toStdString();
}

void WriteProfilePort(int comPort, const std::string& path)
{
    writeProfileKey(QStringLiteral("Ports"), portKey(comPort),
                    path.empty() ? std::nullopt : std::optional(path));
}
