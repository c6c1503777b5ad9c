#include "editors/CValueEditorDlg.h"

#include "link/CommLink.h"
#include "platform/DialogBuilder.h"
#include "platform/MessageBoxes.h"
#include "platform/MessageOwner.h"
#include "res/Messages.h"
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

void CValueEditorDlg::addPicker(const char* comboName, int& field)
{
    pickerCombo = findChild<QComboBox*>(QString::fromLatin1(comboName));
    pickedField = &field;
    connect(pickerCombo, &QComboBox::activated, this, &CValueEditorDlg::OnSelchangePicker);
}

void CValueEditorDlg::OnInitDialog()
{
    if (pickerCombo)
        pickerCombo->setCurrentIndex(*pickedField);
    showValue();
    slaveCombo->setCurrentIndex(DeviceSettings.slaveNo);
    // On an RS-232C line no slave number is sent; the list keeps showing the last one.
    slaveCombo->setEnabled(DeviceSettings.rsControl != 0);
    channelCombo->setCurrentIndex(DeviceSettings.curChannel);
}

void CValueEditorDlg::showValue()
{
    // A value the list has no item for (from a damaged settings file) shows as no selection.
    const int shown = value(DeviceSettings.curChannel);
    valueCombo->setCurrentIndex(shown >= 0 && shown < valueCombo->count() ? shown : -1);
}

void CValueEditorDlg::storeValue(int index)
{
    if (index < 0)
        return; // nothing chosen: the record keeps what it holds
    int& stored = value(DeviceSettings.curChannel);
    if (stored == index)
        return;
    stored = index;
    if (savedInFile())
        DeviceSettings.modified = 1;
}

void CValueEditorDlg::OnSelchangeChannel()
{
    DeviceSettings.curChannel = channelCombo->currentIndex();
    showValue();
    DrawPreview();
}

void CValueEditorDlg::OnSelchangePicker()
{
    *pickedField = pickerCombo->currentIndex();
    showValue();
}

void CValueEditorDlg::OnSelchangeValue()
{
    storeValue(valueCombo->currentIndex());
    DrawPreview();
}

void CValueEditorDlg::OnSet()
{
    SetMessageOwner(this);
    DeviceSettings.curChannel = channelCombo->currentIndex();
    DeviceSettings.slaveNo = slaveCombo->currentIndex();
    if (pickerCombo)
        *pickedField = pickerCombo->currentIndex();
    storeValue(valueCombo->currentIndex());
    if (const std::optional<std::string> line = MakeCommand())
        SerialLink.SendCommand(*line);
    else
        ShowWarning(Message::ChooseValue); // a value from a damaged file is not sent
}

void CValueEditorDlg::accept()
{
    m_channel = channelCombo->currentIndex();
    m_slave = slaveCombo->currentIndex();
    QDialog::accept();
}
