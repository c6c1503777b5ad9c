#pragma once

#include "editors/CValueEditorDlg.h"
#include "settings/DeviceSettings.h"

// The screen offset of each channel. The vertical and horizontal dialogs are this one with their
// own template, record field and command letters.
class COffsetDlg : public CValueEditorDlg
{
    Q_OBJECT

protected:
    COffsetDlg(const DialogTemplate& dialogTemplate, int (&field)[ChannelCount],
               const char* commandLetters, QWidget* owner);

    int& value(int channel) override;
    std::optional<std::string> MakeCommand() override;

private:
    int* offsets;
    const char* letters;
};
