#include "settings/SettingsFileAccess.h"

#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace {
// Far beyond any settings file (about 5 KB), and small enough to read at once.
constexpr qint64 LargestFile = qint64{16} * 1024 * 1024;

std::optional<QByteArray> ReadWhole(const std::string& path)
{
    QFile file(QFile::decodeName(path.c_str()));
    // A folder, a device or a pipe is no settings file; reading one may block or never end.
    if (!QFileInfo(file).isFile() || file.size() > LargestFile || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::string_view View(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

} // namespace

bool ReadSettingsFileAt(const std::string& path)
{
    const std::optional<QByteArray> bytes = ReadWhole(path);
    if (!bytes)
        return false;
    ReadSettingsFile(View(*bytes));
    DeviceSettings.modified = 0;
    return true;
}

std::string ReadSettingsFileStrictAt(const std::string& path)
{
    const std::optional<QByteArray> bytes = ReadWhole(path);
    if (!bytes)
        return path + ": cannot read the file";
    const std::optional<SettingsFileProblem> problem = ReadSettingsFileStrict(View(*bytes));
    if (problem)
        return path + ":" + std::to_string(problem->line) + ": " + problem->what;
    DeviceSettings.modified = 0;
    return {};
}

bool WriteSettingsFileAt(const std::string& path)
{
    const std::string bytes = WriteSettingsFile();
    const auto size = static_cast<qint64>(bytes.size());
    QSaveFile file(QFile::decodeName(path.c_str()));
    // Qt 6.4's commit() ignores a failed flush of its own (a full disk) and renames a short file
    // over the old one, so flush first; an uncommitted file is discarded.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size ||
        !file.flush() || !file.commit())
        return false;
    DeviceSettings.modified = 0;
    return true;
}
