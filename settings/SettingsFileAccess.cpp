#include "settings/SettingsFileAccess.h"

#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond any settings file (about 5 KB), and small enough to read at once.
constexpr qint64 LargestFile = qint64{16} * 1024 * 1024;

bool HasOtherNames(const QString& path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && status.st_nlink > 1;
}

// Qt 6.4's commit() and close() ignore a failed flush of their own (a full disk), so the bytes
// are flushed here, where a failure shows.
bool WriteAll(QFileDevice& file, std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.flush();
}

bool WriteInPlace(const QString& path, std::string_view bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !WriteAll(file, bytes) || ::fsync(file.handle()) != 0)
        return false;
    file.close();
    return file.error() == QFileDevice::NoError;
}

// An uncommitted file is discarded. Where the folder refuses the temporary file (EACCES), Qt
// writes the target in place.
bool WriteBeside(const QString& path, std::string_view bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    return file.open(QIODevice::WriteOnly) && WriteAll(file, bytes) && file.commit();
}

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

bool WriteFileAt(const std::string& path, std::string_view bytes)
{
    const QString name = QFile::decodeName(path.c_str());
    return HasOtherNames(name) ? WriteInPlace(name, bytes) : WriteBeside(name, bytes);
}

bool WriteSettingsFileAt(const std::string& path)
{
    if (!WriteFileAt(path, WriteSettingsFile()))
        return false;
    DeviceSettings.modified = 0;
    return true;
}
