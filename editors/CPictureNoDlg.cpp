#include "editors/CPictureNoDlg.h"

#include "editors/PictureCommand.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"

#include <QComboBox>

namespace {

// A damaged profile value reads like an absent key: picture "01".
int storedPicture(const char* key)
{
    const int picture = GetProfileInt(key);
    return picture >= 0 && picture < PictureCount ? picture : 0;
}

} // namespace

CPictureNoDlg::CPictureNoDlg(QWidget* owner)
    : CValueEditorDlg(PictureNoDialogTemplate(), "pictureCombo", owner)
{
    DeviceSettings.pictureNo[0] = storedPicture("pic_c1");
    DeviceSettings.pictureNo[1] = storedPicture("pic_c2");
    m_picture = DeviceSettings.pictureNo[DeviceSettings.curChannel];
    OnInitDialog();
}

int& CPictureNoDlg::value(int channel)
{
    return DeviceSettings.pictureNo[channel];
}

std::optional<std::string> CPictureNoDlg::MakeCommand()
{
    const int channel = DeviceSettings.curChannel;
    return MakePictureCommand(channel, DeviceSettings.pictureNo[channel]);
}

void CPictureNoDlg::accept()
{
    m_picture = valueCombo->currentIndex();
    CValueEditorDlg::accept();
}
