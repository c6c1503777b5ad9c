#pragma once

#include <QDialog>

class QComboBox;

// Port and line mode. The view restarts the link on every OK.
class CCommSettingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CCommSettingDlg(QWidget* owner);

    int m_comPort = 0;
    int m_control = 0;

protected:
    void accept() override;

private:
    void OnInitDialog();

    QComboBox* portCombo = nullptr;
    QComboBox* controlCombo = nullptr;
};
