#include "platform/QtFileDialogs.h"
#include "platform/MessageOwner.h"
#include "support/DialogDriver.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Start
{
    QFileDialog::AcceptMode mode;
    const char* currentFile; // in the test's folder; nullptr for none
};

// Each dialog, owned by the main window, shows the one filter and adds "dat" to a typed name.
// Open starts in the home folder, Save beside the current file.
class QtFileDialogsTest : public testing::TestWithParam<Start>
{
};

TEST_P(QtFileDialogsTest, ShowsTheDatFilterAndAddsTheSuffix)
{
    QWidget mainWindow;
    SetMainWindow(&mainWindow);
    QTemporaryDir folder;
    QtFileDialogs dialogs;
    std::optional<std::string> chosen;
    const bool open = GetParam().mode == QFileDialog::AcceptOpen;
    const char* current = GetParam().currentFile;
    const std::string currentFile = current ? folder.filePath(current).toStdString() : "";
    WhileOpen([&] { chosen = open ? dialogs.askOpenPath() : dialogs.askSavePath(currentFile); },
              [&](QDialog& shown) {
                  auto& dialog = dynamic_cast<QFileDialog&>(shown);
                  EXPECT_EQ(dialog.parentWidget(), &mainWindow);
                  EXPECT_EQ(dialog.acceptMode(), GetParam().mode);
                  EXPECT_EQ(dialog.nameFilters(), QStringList{QString::fromUtf8("ﾃﾞｰﾀ(*.dat)")});
                  EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
                  EXPECT_EQ(dialog.directory(), current ? QDir(folder.path()) : QDir::home());
                  dialog.setDirectory(folder.path());
                  dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("chosen");
                  shown.accept();
              });
    SetMainWindow(nullptr);
    EXPECT_EQ(chosen, folder.filePath("chosen.dat").toStdString());
}

INSTANTIATE_TEST_SUITE_P(Modes, QtFileDialogsTest,
                         testing::Values(Start{QFileDialog::AcceptOpen, nullptr},
                                         Start{QFileDialog::AcceptSave, nullptr},
                                         Start{QFileDialog::AcceptSave, "current.dat"}));

} // namespace
