#include "platform/QtFileDialogs.h"

#include "platform/MessageOwner.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

std::optional<std::string> ask(QFileDialog::AcceptMode mode, const QString& folder)
{
    QFileDialog dialog(OwnerWindow(BoxOwner::MainWindow), QString(), folder,
                       QString::fromUtf8("ﾃﾞｰﾀ(*.dat)"));
    dialog.setObjectName(QStringLiteral("fileDialog"));
    // Qt's own dialog adds the suffix before it asks about replacing, as the Windows one does.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    // Open also takes a name that does not exist; opening it then fails as any failed open.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

} // namespace

std::optional<std::string> QtFileDialogs::askOpenPath()
{
    return ask(QFileDialog::AcceptOpen, QDir::homePath());
}

std::optional<std::string> QtFileDialogs::askSavePath(const std::string& currentFile)
{
    const QDir folder = QFileInfo(QFile::decodeName(currentFile.c_str())).absoluteDir();
    const bool near = !currentFile.empty() && folder.exists();
    return ask(QFileDialog::AcceptSave, near ? folder.path() : QDir::homePath());
}
