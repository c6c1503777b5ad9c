#include "editors/CValueEditorDlg.h"

#include "link/CommLink.h"
#include "platform/DialogBuilder.h"
#include "platform/MessageOwner.h"
#include "settings/DeviceSettings.h"

#include <QComboBox>
#include <QPushButton>

CValueEditorDlg::CValueEditorDlg(const DialogTemplate& dialogTemplate, const char* valueComboName,
                                 QWidget* owner)
    : QDialog(owner)
{
    BuildDialog(*this, dialogTemplate);
    valueCombo = findChild<QComboBox*>(QString::fromLatin1(valueComboName));
    channelCombo = findChild<QComboBox*>(QStringLiteral("channelCombo"));
    slaveCombo = findChild<QComboBox*>(QStringLiteral("slaveCombo"));
    m_channel = DeviceSettings.curChannel;
    m_slave = DeviceSettings.slaveNo;
    connect(channelCombo, &QComboBox::activated, this, &CValueEditorDlg::OnSelchangeChannel);
    connect(valueCombo, &QComboBox::activated, this, &CValueEditorDlg::OnSelchangeValue);
    connect(findChild<QPushButton*>(QStringLiteral("setButton")), &QPushButton::clicked, this,
            &CValueEditorDlg::OnSet);
}

void CValueEditorDlg::OnInitDialog()
{
    const int channel = DeviceSettings.curChannel;
    valueCombo->setCurrentIndex(value(channel));
    slaveCombo->setCurrentIndex(DeviceSettings.slaveNo);
    // On an RS-232C line no slave number is sent; the list keeps showing the last one.
    slaveCombo->setEnabled(DeviceSettings.rsControl != 0);
    channelCombo->setCurrentIndex(channel);
}

void CValueEditorDlg::OnSelchangeChannel()
{
    DeviceSettings.curChannel = channelCombo->currentIndex();
    valueCombo->setCurrentIndex(value(DeviceSettings.curChannel));
}

void CValueEditorDlg::OnSelchangeValue()
{
    value(DeviceSettings.curChannel) = valueCombo->currentIndex();
}

void CValueEditorDlg::OnSet()
{
    SetMessageOwner(this);
    DeviceSettings.curChannel = channelCombo->currentIndex();
    DeviceSettings.slaveNo = slaveCombo->currentIndex();
    value(DeviceSettings.curChannel) = valueCombo->currentIndex();
    SerialLink.SendCommand(MakeCommand());
}

void CValueEditorDlg::accept()
{
    m_channel = channelCombo->currentIndex();
    m_slave = slaveCombo->currentIndex();
    QDialog::accept();
}
