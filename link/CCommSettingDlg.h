#pragma once

#include "link/PortSurvey.h"

#include <QDialog>

class QComboBox;
class QLabel;

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
    void OnPortAssign();
    void showPortDevices();
    void showPortDevice();

    QComboBox* portCombo = nullptr;
    QComboBox* controlCombo = nullptr;
    QLabel* portDeviceLabel = nullptr;
    PortSurvey survey;
};
