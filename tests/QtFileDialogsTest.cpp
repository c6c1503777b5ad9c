#include "platform/QtFileDialogs.h"
#include "platform/MessageOwner.h"
#include "support/DialogDriver.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Each dialog, owned by the main window, shows the one filter and adds "dat" to a typed name.
class QtFileDialogsTest : public testing::TestWithParam<QFileDialog::AcceptMode>
{
};

TEST_P(QtFileDialogsTest, ShowsTheDatFilterAndAddsTheSuffix)
{
    QWidget mainWindow;
    SetMainWindow(&mainWindow);
    QTemporaryDir folder;
    QtFileDialogs dialogs;
    std::optional<std::string> chosen;
    const bool open = GetParam() == QFileDialog::AcceptOpen;
    WhileOpen([&] { chosen = open ? dialogs.askOpenPath() : dialogs.askSavePath(); },
              [&](QDialog& shown) {
                  auto& dialog = dynamic_cast<QFileDialog&>(shown);
                  EXPECT_EQ(dialog.parentWidget(), &mainWindow);
                  EXPECT_EQ(dialog.acceptMode(), GetParam());
                  EXPECT_EQ(dialog.nameFilters(), QStringList{QString::fromUtf8("ﾃﾞｰﾀ(*.dat)")});
                  EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
                  if (open) {
                      EXPECT_EQ(dialog.directory(), QDir::home());
                  }
                  dialog.setDirectory(folder.path());
                  dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("chosen");
                  shown.accept();
              });
    SetMainWindow(nullptr);
    EXPECT_EQ(chosen, folder.filePath("chosen.dat").toStdString());
}

INSTANTIATE_TEST_SUITE_P(Modes, QtFileDialogsTest,
                         testing::Values(QFileDialog::AcceptOpen, QFileDialog::AcceptSave));

} // namespace
