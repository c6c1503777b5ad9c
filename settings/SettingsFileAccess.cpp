#include "settings/SettingsFileAccess.h"

#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Far beyond any settings file (about 5 KB), and small enough to read at once.
constexpr qint64 LargestFile = qint64{16} * 1024 * 1024;

} // namespace

std::optional<std::string> ReadFileAt(const std::string& path)
{
    QFile file(QFile::decodeName(path.c_str()));
    // A folder, a device or a pipe is no settings file; reading one may block or never end.
    if (!QFileInfo(file).isFile() || file.size() > LargestFile || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

std::optional<TitleEncoding> ReadSettingsFileAt(const std::string& path)
{
    const std::optional<std::string> bytes = ReadFileAt(path);
    if (!bytes)
        return std::nullopt;
    const TitleEncoding encoding = ReadSettingsFile(*bytes);
    DeviceSettings.modified = 0;
    return encoding;
}

std::string ReadSettingsFileStrictAt(const std::string& path)
{
    const std::optional<std::string> bytes = ReadFileAt(path);
    if (!bytes)
        return path + ": cannot read the file";
    const std::optional<SettingsFileProblem> problem = ReadSettingsFileStrict(*bytes);
    if (problem)
        return path + ":" + std::to_string(problem->line) + ": " + problem->what;
    DeviceSettings.modified = 0;
    return {};
}

WriteResult WriteSettingsFileAt(const std::string& path)
{
    WriteResult written = WriteFileSafely(path, WriteSettingsFile());
    if (written)
        DeviceSettings.modified = 0;
    return written;
}
