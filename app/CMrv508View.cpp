#include "app/CMrv508View.h"

#include "editors/CHorizontalOffsetDlg.h"
#include "editors/CPictureNoDlg.h"
#include "editors/CTitleDlg.h"
#include "editors/CTitleTableDlg.h"
#include "editors/CVerticalOffsetDlg.h"
#include "editors/CWhiteLevelDlg.h"
#include "link/CCommSettingDlg.h"
#include "link/CommLink.h"
#include "link/LinkSupervision.h"
#include "platform/FileDialogs.h"
#include "platform/InputMethod.h"
#include "platform/MessageBoxes.h"
#include "platform/MessageOwner.h"
#include "platform/Profile.h"
#include "res/Commands.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"
#include "settings/RecoveryFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFileAccess.h"

#include <QApplication>
#include <QTimerEvent>
#include <cstdio>
#include <utility>

namespace {

constexpr int SupervisionPeriodMs = 500;

// While a title batch runs, the file commands are silently ignored.
bool BatchRunning()
{
    return DeviceSettings.allSetStep != 0;
}

using Handler = void (CMrv508View::*)();
constexpr std::pair<int, Handler> Handlers[] = {
    {ID_DATA_NEW, &CMrv508View::OnDataNew},
    {ID_DATA_OPEN, &CMrv508View::OnDataOpen},
    {ID_DATA_SAVE, &CMrv508View::OnDataSave},
    {ID_DATA_SAVE_AS, &CMrv508View::OnDataSaveAs},
    {ID_APP_EXIT, &CMrv508View::OnDataExit},
    {ID_TITLE, &CMrv508View::OnTitle},
    {ID_TITLE_TABLE, &CMrv508View::OnTitleTable},
    {ID_WHITE_LEVEL, &CMrv508View::OnWhiteLevel},
    {ID_VERTICAL_OFFSET, &CMrv508View::OnVerticalOffset},
    {ID_HORIZONTAL_OFFSET, &CMrv508View::OnHorizontalOffset},
    {ID_PICTURE_NO, &CMrv508View::OnPictureNo},
    {ID_COMM_SETTING, &CMrv508View::OnCommSetting},
};

} // namespace

CMrv508View::CMrv508View(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("view"));
    ResetSettings();
    SerialLink.StartLink();
}

bool CMrv508View::OnCommand(int command)
{
    for (const auto& [id, handler] : Handlers) {
        if (id == command) {
            (this->*handler)();
            emit commandHandled(command);
            return true;
        }
    }
    return false;
}

void CMrv508View::paintEvent(QPaintEvent*)
{
    OnDraw();
}

void CMrv508View::OnDraw()
{
    if (!closing)
        supervisionTimer.start(SupervisionPeriodMs, this);
}

void CMrv508View::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == supervisionTimer.timerId())
        OnTimer();
}

void CMrv508View::OnTimer()
{
    if (closing || !CountNoReplyTick())
        return;
    closing = true;
    supervisionTimer.stop();
    // A running title batch stops here rather than stepping on against the closed port while the
    // boxes below are open.
    DeviceSettings.allSetStep = 0;
    const std::string why = SerialLink.silenceReason();
    ShowError(why.empty() ? Message::NoConnect : Message::NoConnect + ("\n\n" + why));
    SerialLink.StopLink();
    // The program ends either way; unsaved settings are saved first unless the operator says not,
    // also in the middle of a title batch. A save cancelled or failed asks again, and then for a
    // name, as the last one may be what failed; the link is stopped, so nothing else can happen
    // in between.
    for (bool again = false; DeviceSettings.modified && !Boxes().askYesNo(Message::ExitQuestion);
         again = true) {
        if (endRequested)
            return; // the recovery file holds them
        if (again)
            SaveUnderNewName();
        else
            SaveSettings();
    }
    if (endRequested)
        return;
    RemoveRecoveryFile();
    QCoreApplication::exit(0);
}

void CMrv508View::ShutdownLink()
{
    supervisionTimer.stop();
    SerialLink.StopLink();
    QCoreApplication::exit(0);
}

void CMrv508View::OnEndRequest()
{
    endRequested = true;
    KeepForRecovery();
    ShutdownLink();
}

void CMrv508View::KeepForRecovery()
{
    if (!DeviceSettings.modified)
        return;
    const WriteResult written = WriteRecoveryFile();
    if (!written)
        std::fprintf(stderr, "mrv508: cannot keep the unsaved settings in %s: %s\n",
                     RecoveryFilePath().c_str(), written.failure.c_str());
}

void CMrv508View::OfferRecovery()
{
    const Recovery left = ReadRecoveryFile();
    if (left.found == Recovery::Found::None)
        return;
    if (left.found == Recovery::Found::Unreadable) {
        ShowWarning(Message::RecoveryUnreadable + ("\n" + KeepRecoveryFileAside()));
        return;
    }
    if (!Boxes().askYesNo(Message::RecoveryQuestion)) {
        // Ended from outside while asking: nobody answered, so the question comes again.
        if (!endRequested)
            RemoveRecoveryFile();
        return;
    }
    // Unsaved again, under the old name, so that Save writes where it would have written.
    ReadSettingsFile(left.settings);
    currentFileName = left.fileName;
    DeviceSettings.modified = 1;
}

void CMrv508View::OnDataNew()
{
    if (BatchRunning())
        return;
    if (DeviceSettings.modified && !Boxes().askYesNo(Message::NewQuestion))
        return;
    ResetSettings();
    // A later Save must not put the defaults over the file last opened or saved.
    currentFileName.clear();
}

void CMrv508View::OnDataOpen()
{
    if (BatchRunning())
        return;
    if (DeviceSettings.modified && !Boxes().askYesNo(Message::OpenQuestion))
        return;
    LoadSettingsFromFile();
}

void CMrv508View::LoadSettingsFromFile()
{
    const std::optional<std::string> path = FileDialogsInUse().askOpenPath();
    if (!path)
        return;
    currentFileName = *path;
    const std::optional<TitleEncoding> read = ReadSettingsFileAt(currentFileName);
    if (!read) {
        ShowWarning(Message::CantFileOpen);
    } else if (*read == TitleEncoding::Utf8) {
        // Modified, so that leaving without saving asks first and Save writes CP932.
        DeviceSettings.modified = 1;
        ShowWarning(Message::TitlesMadeShiftJis);
    }
}

void CMrv508View::OnDataSave()
{
    if (!BatchRunning())
        SaveSettings();
}

void CMrv508View::OnDataSaveAs()
{
    if (!BatchRunning())
        SaveUnderNewName();
}

void CMrv508View::SaveToCurrentFile()
{
    const WriteResult written = WriteSettingsFileAt(currentFileName);
    if (written)
        RemoveRecoveryFile();
    else
        ShowWarning(Message::CantFileOpen + ("\n" + currentFileName + ": " + written.failure));
}

void CMrv508View::SaveUnderNewName()
{
    const std::optional<std::string> path = FileDialogsInUse().askSavePath(currentFileName);
    if (!path)
        return;
    currentFileName = *path;
    SaveToCurrentFile();
}

void CMrv508View::SaveSettings()
{
    if (currentFileName.empty())
        SaveUnderNewName();
    else
        SaveToCurrentFile();
}

void CMrv508View::OnDataExit()
{
    if (MayEnd())
        ShutdownLink();
}

bool CMrv508View::MayEnd()
{
    if (!DeviceSettings.modified || Boxes().askYesNo(Message::ExitQuestion)) {
        // The operator lets the unsaved settings go, and with them any kept from before.
        RemoveRecoveryFile();
        return true;
    }
    if (!BatchRunning() && !endRequested)
        SaveSettings();
    return false;
}

void CMrv508View::OnTitle()
{
    CTitleDlg dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetMessageOwner(QApplication::activeWindow());
    InputMethods().setOpen(DeviceSettings.imeOpenStatus != 0);
}

void CMrv508View::OnTitleTable()
{
    CTitleTableDlg dialog(window());
    dialog.exec();
    SetMessageOwner(QApplication::activeWindow());
}

// These editors write every change into the record at once: their result means nothing.
void CMrv508View::OnWhiteLevel()
{
    CWhiteLevelDlg dialog(window());
    dialog.exec();
}

void CMrv508View::OnVerticalOffset()
{
    CVerticalOffsetDlg dialog(window());
    dialog.exec();
}

void CMrv508View::OnHorizontalOffset()
{
    CHorizontalOffsetDlg dialog(window());
    dialog.exec();
}

void CMrv508View::OnPictureNo()
{
    CPictureNoDlg dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    DeviceSettings.slaveNo = dialog.m_slave;
    DeviceSettings.curChannel = dialog.m_channel;
    DeviceSettings.pictureNo[DeviceSettings.curChannel] = dialog.m_picture;
    WriteProfileInt("pic_c1", DeviceSettings.pictureNo[0]);
    WriteProfileInt("pic_c2", DeviceSettings.pictureNo[1]);
}

void CMrv508View::OnCommSetting()
{
    CCommSettingDlg dialog(window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    DeviceSettings.comPort = dialog.m_comPort;
    DeviceSettings.rsControl = dialog.m_control;
    SerialLink.StopLink();
    SerialLink.OpenPort();
    SerialLink.StartReader();
    WriteProfileInt("com_port", DeviceSettings.comPort);
    WriteProfileInt("rs_control", DeviceSettings.rsControl);
}
