#pragma once

#include "editors/TitleBatch.h"

#include <QDialog>
#include <memory>
#include <string>

class PreviewFrame;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The 66 title lines: one line edited and sent at a time, or all of them sent by the "全設定"
// batch, one every 600 ms, with the whole channel in the preview above. Every edit reaches the
// record at once; OK and Cancel undo nothing.
class CTitleDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CTitleDlg(QWidget* owner);

    void OnSelchangePosition();
    void OnChangeTitle();
    void OnSelchangeChannel();
    void OnSet();
    void OnAllSet();
    // One tick of the batch.
    void OnTimer();
    void DrawPreview();

protected:
    void timerEvent(QTimerEvent* event) override;
    void accept() override;
    void reject() override;

private:
    void OnInitDialog();
    void OnCancel();
    std::string& currentTitle() const;
    // Puts the current title into the edit box, which stores it back and redraws the preview.
    void showTitle();
    // Takes the edit box's text into the record, cut to whole characters within 28 bytes.
    void storeTitle();
    void OnAllSetEnded();

    PreviewFrame* m_preview = nullptr;
    QProgressBar* m_progress = nullptr;
    QComboBox* positionCombo = nullptr;
    QComboBox* channelCombo = nullptr;
    QComboBox* slaveCombo = nullptr;
    QLineEdit* titleEdit = nullptr;
    QPushButton* cancelButton = nullptr;
    std::unique_ptr<TitleBatch> allSet;
};
