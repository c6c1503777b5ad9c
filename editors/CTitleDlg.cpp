#include "editors/CTitleDlg.h"

#include "editors/TitleCommand.h"
#include "editors/TitlePreview.h"
#include "editors/TitleValidator.h"
#include "platform/Cp932.h"
#include "platform/DialogBuilder.h"
#include "platform/InputMethod.h"
#include "platform/MessageOwner.h"
#include "platform/PreviewFrame.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimerEvent>

CTitleDlg::CTitleDlg(QWidget* owner) : QDialog(owner)
{
    BuildDialog(*this, TitleDialogTemplate());
    m_preview = findChild<PreviewFrame*>(QStringLiteral("previewFrame"));
    m_progress = findChild<QProgressBar*>(QStringLiteral("progressBar"));
    positionCombo = findChild<QComboBox*>(QStringLiteral("positionCombo"));
    channelCombo = findChild<QComboBox*>(QStringLiteral("channelCombo"));
    slaveCombo = findChild<QComboBox*>(QStringLiteral("slaveCombo"));
    titleEdit = findChild<QLineEdit*>(QStringLiteral("titleEdit"));
    cancelButton = findChild<QPushButton*>(QString::fromLatin1(CancelButtonName));
    titleEdit->setValidator(new TitleValidator(titleEdit));
    allSet = std::make_unique<TitleBatch>(*this, *m_progress, [this] { OnAllSetEnded(); });
    m_progress->setRange(0, ChannelCount * TitleCount);
    m_progress->setValue(0);
    m_preview->setContent({TitlePreviewWidth, TitlePreviewHeight}, TitleCaptionPrefix,
                          [] { return TitlePreviewLines(DeviceSettings.curChannel); });

    connect(positionCombo, &QComboBox::activated, this, &CTitleDlg::OnSelchangePosition);
    connect(titleEdit, &QLineEdit::textChanged, this, &CTitleDlg::OnChangeTitle);
    connect(channelCombo, &QComboBox::activated, this, &CTitleDlg::OnSelchangeChannel);
    connect(findChild<QPushButton*>(QStringLiteral("setButton")), &QPushButton::clicked, this,
            &CTitleDlg::OnSet);
    connect(findChild<QPushButton*>(QStringLiteral("allSetButton")), &QPushButton::clicked, this,
            &CTitleDlg::OnAllSet);
    OnInitDialog();
}

void CTitleDlg::OnInitDialog()
{
    // On an RS-232C line no slave number is sent; the list keeps showing the last one.
    slaveCombo->setCurrentIndex(DeviceSettings.slaveNo);
    slaveCombo->setEnabled(DeviceSettings.rsControl != 0);
    positionCombo->setCurrentIndex(DeviceSettings.curPosition);
    channelCombo->setCurrentIndex(DeviceSettings.curChannel);
    showTitle();
    SetMessageOwner(this);
    DeviceSettings.imeOpenStatus = InputMethods().isOpen() ? 1 : 0;
    InputMethods().setOpen(true);
    titleEdit->setFocus();
}

std::string& CTitleDlg::currentTitle() const
{
    return DeviceSettings.title[DeviceSettings.curChannel][DeviceSettings.curPosition];
}

void CTitleDlg::showTitle()
{
    {
        const QSignalBlocker quiet(titleEdit);
        titleEdit->setText(FromCp932(currentTitle()));
    }
    OnChangeTitle();
}

void CTitleDlg::OnSelchangePosition()
{
    DeviceSettings.curPosition = positionCombo->currentIndex();
    showTitle();
}

void CTitleDlg::OnChangeTitle()
{
    storeTitle();
    DrawPreview();
}

void CTitleDlg::storeTitle()
{
    std::string& title = currentTitle();
    // A title shown as it is keeps its bytes: a character with two codes in CP932 would
    // otherwise change code just by being looked at.
    if (titleEdit->text() == FromCp932(title) && title.size() <= TitleBytes)
        return;
    const std::optional<std::string> typed = ToCp932(titleEdit->text());
    if (!typed)
        return;
    const std::string stored = Cp932Prefix(*typed, TitleBytes);
    if (stored != title) {
        title = stored;
        DeviceSettings.modified = 1;
    }
    if (stored != *typed) {
        const QSignalBlocker quiet(titleEdit);
        titleEdit->setText(FromCp932(stored));
    }
}

void CTitleDlg::OnSelchangeChannel()
{
    DeviceSettings.curChannel = channelCombo->currentIndex();
    showTitle();
}

void CTitleDlg::DrawPreview()
{
    m_preview->showChannel(DeviceSettings.curChannel);
}

void CTitleDlg::OnSet()
{
    SetMessageOwner(this);
    DeviceSettings.curChannel = channelCombo->currentIndex();
    DeviceSettings.curPosition = positionCombo->currentIndex();
    DeviceSettings.slaveNo = slaveCombo->currentIndex();
    storeTitle();
    const int channel = DeviceSettings.curChannel;
    const int position = DeviceSettings.curPosition;
    if (!PadTitle(channel, position) || SendTitle(channel, position) == 1)
        ShowWarning(Message::NotJis);
}

void CTitleDlg::OnAllSet()
{
    if (allSet->running())
        return;
    cancelButton->setEnabled(false);
    DeviceSettings.curChannel = 0;
    channelCombo->setCurrentIndex(0);
    showTitle();
    std::vector<TitleBatch::Title> titles;
    for (int channel = 0; channel < ChannelCount; ++channel)
        for (int position = 0; position < TitleCount; ++position)
            titles.push_back({channel, position});
    allSet->start(std::move(titles));
}

void CTitleDlg::timerEvent(QTimerEvent* event)
{
    if (allSet->ownsTimer(event->timerId()))
        OnTimer();
    QDialog::timerEvent(event);
}

void CTitleDlg::OnTimer()
{
    allSet->OnTimer();
}

void CTitleDlg::OnAllSetEnded()
{
    DeviceSettings.curChannel = 0;
    cancelButton->setEnabled(true);
    channelCombo->setCurrentIndex(0);
    showTitle();
}

void CTitleDlg::accept()
{
    // OK ends a running batch as its last step would, so that nothing keeps it half-running.
    if (allSet->running()) {
        allSet->end();
        m_progress->setValue(0);
    }
    QDialog::accept();
}

void CTitleDlg::reject()
{
    // Escape and the close box, like the disabled Cancel button, wait for a running batch.
    if (allSet->running())
        return;
    OnCancel();
}

void CTitleDlg::OnCancel()
{
    SetMessageOwner(this);
    InputMethods().setOpen(DeviceSettings.imeOpenStatus != 0);
    QDialog::reject();
}
