#include "platform/Profile.h"

#include "platform/PrivateFolder.h"
#include "platform/ProfileText.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <iostream>

namespace {

const std::string Section = "MRV-508_Section";
const std::string Ports = "Ports";
const std::string LeftAlone = "; working with the defaults, the file is left as it is";
// Far beyond any profile, and small enough to read at once.
constexpr qint64 LargestProfile = qint64{1024} * 1024;

std::string portKey(int comPort)
{
    return "COM" + std::to_string(comPort + 1);
}

// Every later read or write meets the same problem; the operator hears of it once.
void report(const std::string& problem)
{
    static std::string said;
    if (problem == said)
        return;
    said = problem;
    std::cerr << "mrv508: " << problem << '\n';
}

// The profile's text, empty where there is none; nothing where there is one that cannot be read
// or parsed, which is reported: what the operator wrote there must not be lost to a write.
std::optional<std::string> profileText()
{
    const std::string path = ProfileFilePath();
    QFile file(QString::fromStdString(path));
    if (!file.exists())
        return std::string();
    if (!QFileInfo(file).isFile() || file.size() > LargestProfile) {
        report(path + ": no file of a profile's size" + LeftAlone);
        return std::nullopt;
    }
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError) {
        report("cannot read the profile " + path + ": " + file.errorString().toStdString() +
               LeftAlone);
        return std::nullopt;
    }
    std::string text = bytes.toStdString();
    if (const std::optional<std::string> problem = ProfileTextProblem(text)) {
        report(path + ":" + *problem + LeftAlone);
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> profileValue(const std::string& section, const std::string& key)
{
    const std::optional<std::string> text = profileText();
    return text ? ProfileValue(*text, section, key) : std::nullopt;
}

void writeProfileKey(const std::string& section, const std::string& key,
                     const std::optional<std::string>& value)
{
    const std::optional<std::string> text = profileText();
    if (!text)
        return;
    const std::string changed = WithProfileKey(*text, section, key, value);
    if (changed == *text)
        return;
    const std::string path = ProfileFilePath();
    const WriteResult written = MakePrivateFolder(path.substr(0, path.rfind('/')))
                                    ? WriteFileSafely(path, changed)
                                    : WriteResult{"its folder cannot be made"};
    if (!written)
        report("cannot write the profile " + path + ": " + written.failure);
}

} // namespace

std::string ProfileFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("mrv508/mrv508.ini")).toStdString();
}

int GetProfileInt(const char* key)
{
    const std::string value = profileValue(Section, key).value_or("");
    bool isNumber = false;
    const int number = QString::fromStdString(value).trimmed().toInt(&isNumber);
    return isNumber ? number : 0;
}

void WriteProfileInt(const char* key, int value)
{
    writeProfileKey(Section, key, std::to_string(value));
}

std::string PortDevicePath(int comPort)
{
    if (comPort < 0 || comPort >= ComPortCount)
        return {};
    const std::string entry = ProfilePortEntry(comPort);
    return entry.empty() ? DefaultPortDevicePath(comPort) : entry;
}

std::string DefaultPortDevicePath(int comPort)
{
    return "/dev/ttyS" + std::to_string(comPort);
}

std::string ProfilePortEntry(int comPort)
{
    return profileValue(Ports, portKey(comPort)).value_or("");
}

void WriteProfilePort(int comPort, const std::string& path)
{
    writeProfileKey(Ports, portKey(comPort), path.empty() ? std::nullopt : std::optional(path));
}
