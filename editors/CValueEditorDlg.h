#pragma once

#include "res/DialogTemplates.h"

#include <QDialog>
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
    virtual std::string MakeCommand() = 0;

    void OnInitDialog();
    void OnSelchangeChannel();
    void OnSelchangeValue();
    void OnSet();
    void accept() override;

    QComboBox* valueCombo = nullptr;
    QComboBox* channelCombo = nullptr;
    QComboBox* slaveCombo = nullptr;
};
