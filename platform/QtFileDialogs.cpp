#include "platform/QtFileDialogs.h"

#include "platform/MessageOwner.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const char* const CsvUtf8 = "CSV (UTF-8)(*.csv)";
const char* const CsvShiftJis = "CSV (Shift_JIS)(*.csv)";

// The chosen path and name filter, or nothing on Cancel.
std::optional<std::pair<std::string, QString>> ask(QFileDialog::AcceptMode mode,
                                                   const QString& folder,
                                                   const QStringList& filters,
                                                   const QString& suffix)
{
    QFileDialog dialog(OwnerWindow(BoxOwner::MainWindow), QString(), folder);
    dialog.setNameFilters(filters);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    // Qt's own dialog adds the suffix before it asks about replacing, as the Windows one does.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    // Open also takes a name that does not exist; opening it then fails as any failed open.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::pair(QFile::encodeName(dialog.selectedFiles().front()).toStdString(),
                     dialog.selectedNameFilter());
}

std::optional<std::string> askSettings(QFileDialog::AcceptMode mode, const QString& folder)
{
    const auto chosen =
        ask(mode, folder, {QString::fromUtf8("ﾃﾞｰﾀ(*.dat)")}, QStringLiteral("dat"));
    return chosen ? std::optional(chosen->first) : std::nullopt;
}

} // namespace

std::optional<std::string> QtFileDialogs::askOpenPath()
{
    return askSettings(QFileDialog::AcceptOpen, QDir::homePath());
}

std::optional<std::string> QtFileDialogs::askSavePath(const std::string& currentFile)
{
    const QDir folder = QFileInfo(QFile::decodeName(currentFile.c_str())).absoluteDir();
    const bool near = !currentFile.empty() && folder.exists();
    return askSettings(QFileDialog::AcceptSave, near ? folder.path() : QDir::homePath());
}

std::optional<std::string> QtFileDialogs::askOpenCsvPath()
{
    const auto chosen = ask(QFileDialog::AcceptOpen, QDir::homePath(),
                            {QStringLiteral("CSV(*.csv)")}, QStringLiteral("csv"));
    return chosen ? std::optional(chosen->first) : std::nullopt;
}

std::optional<CsvSaveChoice> QtFileDialogs::askSaveCsvPath()
{
    const auto chosen = ask(QFileDialog::AcceptSave, QDir::homePath(),
                            {QString::fromLatin1(CsvUtf8), QString::fromLatin1(CsvShiftJis)},
                            QStringLiteral("csv"));
    if (!chosen)
        return std::nullopt;
    return CsvSaveChoice{chosen->first, chosen->second == QString::fromLatin1(CsvShiftJis)};
}
