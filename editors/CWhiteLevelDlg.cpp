#include "editors/CWhiteLevelDlg.h"

#include "editors/WhiteLevelCommand.h"
#include "editors/WhiteLevelPreview.h"
#include "platform/PreviewFrame.h"
#include "settings/DeviceSettings.h"

CWhiteLevelDlg::CWhiteLevelDlg(QWidget* owner)
    : CValueEditorDlg(WhiteLevelDialogTemplate(), "levelCombo", owner)
{
    m_preview = findChild<PreviewFrame*>(QStringLiteral("previewFrame"));
    m_preview->setContent({WhiteLevelPreviewWidth, WhiteLevelPreviewHeight},
                          WhiteLevelCaptionPrefix,
                          [] { return WhiteLevelPreviewLines(DeviceSettings.curChannel); });
    addPicker("pictureCombo", DeviceSettings.curWhitePicture);
    OnInitDialog();
    DrawPreview();
}

int& CWhiteLevelDlg::value(int channel)
{
    return DeviceSettings.whiteLevel[channel][DeviceSettings.curWhitePicture];
}

std::optional<std::string> CWhiteLevelDlg::MakeCommand()
{
    const int channel = DeviceSettings.curChannel;
    const int picture = DeviceSettings.curWhitePicture;
    return MakeWhiteLevelCommand(channel, picture, DeviceSettings.whiteLevel[channel][picture]);
}

void CWhiteLevelDlg::DrawPreview()
{
    m_preview->showChannel(DeviceSettings.curChannel);
}
