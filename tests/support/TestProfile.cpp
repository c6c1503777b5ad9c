#include "support/TestProfile.h"

#include "support/RecordingBoxes.h"

#include "link/CommLink.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

QString profilePath()
{
    return QString::fromStdString(ProfileFilePath());
}

QString sectionKey(const char* key)
{
    return QStringLiteral("MRV-508_Section/") + QLatin1String(key);
}

} // namespace

void WriteProfileValue(const char* key, const QVariant& value)
{
    QSettings(profilePath(), QSettings::IniFormat).setValue(sectionKey(key), value);
}

std::optional<int> StoredProfileInt(const char* key)
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    if (!profile.contains(sectionKey(key)))
        return std::nullopt;
    return profile.value(sectionKey(key)).toInt();
}

QByteArray ProfileBytes()
{
    QFile file(profilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteProfileBytes(const QByteArray& text)
{
    QFile file(profilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
}

void ClearProfile()
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    profile.clear();
    // The defaults behind COM1..COM6 are devices of the machine the tests run on.
    for (int port = 1; port <= ComPortCount; ++port)
        profile.setValue(QStringLiteral("Ports/COM%1").arg(port), UnmappedPortPath(port));
}

QString UnmappedPortPath(int comNumber)
{
    return QFileInfo(profilePath()).path() + QStringLiteral("/absent/ttyCOM%1").arg(comNumber);
}

void ResetLinkAndProfile()
{
    SerialLink.StopLink();
    QCoreApplication::processEvents(); // boxes relayed by a stopped reader
    RecordingBoxes::installed().clear();
    ClearProfile();
    ResetSettings();
    DeviceSettings.comPort = 0;
    DeviceSettings.rsControl = 0;
    DeviceSettings.allSetStep = 0;
    DeviceSettings.replyPos = 0;
}
