#include "link/CCommSettingDlg.h"

#include "platform/DialogBuilder.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"

#include <QComboBox>

CCommSettingDlg::CCommSettingDlg(QWidget* owner) : QDialog(owner)
{
    BuildDialog(*this, CommSettingDialogTemplate());
    portCombo = findChild<QComboBox*>(QStringLiteral("portCombo"));
    controlCombo = findChild<QComboBox*>(QStringLiteral("controlCombo"));
    m_comPort = DeviceSettings.comPort;
    m_control = DeviceSettings.rsControl;
    OnInitDialog();
}

void CCommSettingDlg::OnInitDialog()
{
    for (int port = 0; port < ComPortCount; ++port)
        portCombo->setItemData(port, QString::fromStdString(PortDevicePath(port)), Qt::ToolTipRole);
    // A damaged profile may name a port outside the list: offer COM 1 rather than no choice.
    // The link sends with a slave number on any line mode but 0, so the list says RS-485 then.
    const bool portListed = m_comPort >= 0 && m_comPort < ComPortCount;
    portCombo->setCurrentIndex(portListed ? m_comPort : 0);
    controlCombo->setCurrentIndex(m_control != 0 ? 1 : 0);
    controlCombo->setFocus();
}

void CCommSettingDlg::accept()
{
    m_comPort = portCombo->currentIndex();
    m_control = controlCombo->currentIndex();
    QDialog::accept();
}
