#pragma once

#include "editors/CValueEditorDlg.h"

// The picture number of each channel. Unlike the other editors its OK has an effect: the view
// keeps the chosen numbers in the profile, which is read again at every opening.
class CPictureNoDlg : public CValueEditorDlg
{
    Q_OBJECT

public:
    explicit CPictureNoDlg(QWidget* owner);

    int m_picture = 0;

protected:
    int& value(int channel) override;
    std::optional<std::string> MakeCommand() override;
    bool savedInFile() const override { return false; }
    void accept() override;
};
