#include "editors/COffsetDlg.h"

#include "editors/OffsetCommand.h"

COffsetDlg::COffsetDlg(const DialogTemplate& dialogTemplate, int (&field)[ChannelCount],
                       const char* commandLetters, QWidget* owner)
    : CValueEditorDlg(dialogTemplate, "offsetCombo", owner), offsets(field), letters(commandLetters)
{
    OnInitDialog();
}

int& COffsetDlg::value(int channel)
{
    return offsets[channel];
}

std::optional<std::string> COffsetDlg::MakeCommand()
{
    const int channel = DeviceSettings.curChannel;
    return MakeOffsetCommand(letters, channel, offsets[channel]);
}
