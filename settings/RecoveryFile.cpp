#include "settings/RecoveryFile.h"

#include "platform/PrivateFolder.h"
#include "platform/StateFolder.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFileAccess.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <sys/stat.h>

namespace {

const std::string Mark = "mrv508 recovery";
const std::string LineEnd = "\r\n";
constexpr std::ptrdiff_t SettingsLines = 134;

// The next line of `text` from `from` on, without its end; `from` moves past it.
std::optional<std::string> TakeLine(const std::string& text, size_t& from)
{
    const size_t end = text.find(LineEnd, from);
    if (end == std::string::npos)
        return std::nullopt;
    std::string line = text.substr(from, end - from);
    from = end + LineEnd.size();
    return line;
}

} // namespace

std::string RecoveryFilePath()
{
    return QFile::encodeName(StateFolder() + QStringLiteral("/recovery.dat")).toStdString();
}

WriteResult WriteRecoveryFile()
{
    if (!MakePrivateFolder(QFile::encodeName(StateFolder()).toStdString()))
        return {"its folder cannot be made"};
    const QByteArray name = QByteArray::fromStdString(currentFileName).toPercentEncoding("/");
    // Titles and a file name: for this user's eyes only.
    return WriteFileSafely(RecoveryFilePath(),
                           Mark + LineEnd + name.toStdString() + LineEnd + WriteSettingsFile(),
                           S_IRUSR | S_IWUSR);
}

Recovery ReadRecoveryFile()
{
    Recovery recovery;
    if (!QFileInfo::exists(QFile::decodeName(RecoveryFilePath().c_str())))
        return recovery;
    recovery.found = Recovery::Found::Unreadable;
    const std::optional<std::string> bytes = ReadFileAt(RecoveryFilePath());
    if (!bytes)
        return recovery;
    size_t from = 0;
    const std::optional<std::string> mark = TakeLine(*bytes, from);
    const std::optional<std::string> name = TakeLine(*bytes, from);
    // Only a whole file as written here is taken; a cut one would look like a record too.
    const std::string settings = bytes->substr(std::min(from, bytes->size()));
    const auto lines = std::count(settings.begin(), settings.end(), '\n');
    if (mark != Mark || !name || lines != SettingsLines || !settings.ends_with(LineEnd))
        return recovery;
    recovery.found = Recovery::Found::Readable;
    recovery.fileName =
        QByteArray::fromPercentEncoding(QByteArray::fromStdString(*name)).toStdString();
    recovery.settings = settings;
    return recovery;
}

std::string KeepRecoveryFileAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString aside = StateFolder() + QStringLiteral("/recovery-unreadable-%1.dat").arg(stamp);
    // QFile::rename never replaces an existing file.
    if (!QFile::rename(QFile::decodeName(RecoveryFilePath().c_str()), aside))
        return RecoveryFilePath();
    return QFile::encodeName(aside).toStdString();
}

void RemoveRecoveryFile()
{
    QFile::remove(QFile::decodeName(RecoveryFilePath().c_str()));
}
