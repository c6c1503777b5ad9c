#pragma once

#include "res/DialogTemplates.h"

#include <QDialog>
#include <optional>
#include <string>

class QComboBox;

// What the value editors share: a list of values per channel, the channel and slave lists, a
// "設定" button that stores the selections and sends one command line, and OK and Cancel that
// undo nothing. Every selection is written to the record the moment it is made.
class CValueEditorDlg : public QDialog
{
    Q_OBJECT

public:
    int m_channel = 0;
    int m_slave = 0;

protected:
    CValueEditorDlg(const DialogTemplate& dialogTemplate, const char* valueComboName,
                    QWidget* owner);

    // The record field that the value list edits, for one channel.
    virtual int& value(int channel) = 0;
    // The line for the record's current value; nothing when that value cannot be sent.
    virtual std::optional<std::string> MakeCommand() = 0;
    // Values that the settings file keeps leave unsaved changes when they change.
    virtual bool savedInFile() const { return true; }
    virtual void DrawPreview() {}

    // A second list, ahead of the value list, that picks which of the channel's values the value
    // list edits; the choice is kept in `field` of the record. Added before OnInitDialog.
    void addPicker(const char* comboName, int& field);

    void OnInitDialog();
    void OnSelchangeChannel();
    void OnSelchangePicker();
    void OnSelchangeValue();
    void OnSet();
    void accept() override;

    QComboBox* valueCombo = nullptr;
    QComboBox* channelCombo = nullptr;
    QComboBox* slaveCombo = nullptr;

private:
    void showValue();
    void storeValue(int index);

    QComboBox* pickerCombo = nullptr;
    int* pickedField = nullptr;
};
