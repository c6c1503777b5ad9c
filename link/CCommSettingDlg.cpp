#include "link/CCommSettingDlg.h"

#include "link/CPortAssignDlg.h"
#include "platform/DialogBuilder.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

CCommSettingDlg::CCommSettingDlg(QWidget* owner) : QDialog(owner)
{
    BuildDialog(*this, CommSettingDialogTemplate());
    portCombo = findChild<QComboBox*>(QStringLiteral("portCombo"));
    controlCombo = findChild<QComboBox*>(QStringLiteral("controlCombo"));
    portDeviceLabel = findChild<QLabel*>(QStringLiteral("portDeviceLabel"));
    portDeviceLabel->setWordWrap(true);
    connect(portCombo, &QComboBox::currentIndexChanged, this, &CCommSettingDlg::showPortDevice);
    connect(findChild<QPushButton*>(QStringLiteral("assignButton")), &QPushButton::clicked, this,
            &CCommSettingDlg::OnPortAssign);
    m_comPort = DeviceSettings.comPort;
    m_control = DeviceSettings.rsControl;
    OnInitDialog();
}

void CCommSettingDlg::OnInitDialog()
{
    showPortDevices();
    // A damaged profile may name a port outside the list: offer COM 1 rather than no choice.
    // The link sends with a slave number on any line mode but 0, so the list says RS-485 then.
    const bool portListed = m_comPort >= 0 && m_comPort < ComPortCount;
    portCombo->setCurrentIndex(portListed ? m_comPort : 0);
    controlCombo->setCurrentIndex(m_control != 0 ? 1 : 0);
    controlCombo->setFocus();
}

void CCommSettingDlg::OnPortAssign()
{
    CPortAssignDlg assign(this);
    if (assign.exec() == QDialog::Accepted)
        showPortDevices();
}

// Looks at the machine's devices: when the dialog opens and after an assignment, not at start.
void CCommSettingDlg::showPortDevices()
{
    survey = PortSurvey::Take();
    for (int port = 0; port < ComPortCount; ++port)
        portCombo->setItemData(port, QString::fromStdString(PortDevicePath(port)), Qt::ToolTipRole);
    showPortDevice();
}

void CCommSettingDlg::showPortDevice()
{
    const std::string line =
        PortStatusLine(survey.status(PortDevicePath(portCombo->currentIndex())));
    // A device path has no blanks; it may break after any slash, as after a hyphen.
    QString shown = QString::fromStdString(line);
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200b"));
    portDeviceLabel->setText(shown);
    portDeviceLabel->setToolTip(QString::fromStdString(line));
}

void CCommSettingDlg::accept()
{
    m_comPort = portCombo->currentIndex();
    m_control = controlCombo->currentIndex();
    QDialog::accept();
}
