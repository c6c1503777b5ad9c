#include "link/CPortAssignDlg.h"

#include "platform/DialogBuilder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CPortAssignDlg::CPortAssignDlg(QWidget* owner) : QDialog(owner)
{
    BuildDialog(*this, PortAssignDialogTemplate());
    for (int row = 0; row < ComPortCount; ++row) {
        const QString com = QStringLiteral("com%1").arg(row + 1);
        combos[row] = findChild<QComboBox*>(com + QStringLiteral("Combo"));
        states[row] = findChild<QLabel*>(com + QStringLiteral("State"));
        stored[row] = ProfilePortEntry(row);
    }
    connect(findChild<QPushButton*>(QStringLiteral("refreshButton")), &QPushButton::clicked, this,
            &CPortAssignDlg::OnRefresh);
    OnInitDialog();
}

void CPortAssignDlg::OnInitDialog()
{
    survey = PortSurvey::Take();
    for (int row = 0; row < ComPortCount; ++row) {
        QComboBox* combo = combos[row];
        combo->setInsertPolicy(QComboBox::NoInsert);
        // An empty row stands for the default device, which the box shows greyed.
        combo->lineEdit()->setPlaceholderText(QString::fromStdString(DefaultPortDevicePath(row)));
        fillChoices(row);
        combo->setEditText(QString::fromStdString(stored[row]));
        // A chosen device is assigned by its path alone; the list shows what it is.
        connect(combo, &QComboBox::activated, this,
                [combo](int index) { combo->setEditText(combo->itemData(index).toString()); });
        connect(combo, &QComboBox::editTextChanged, this, [this, row] { showState(row); });
        showState(row);
    }
}

void CPortAssignDlg::OnRefresh()
{
    survey = PortSurvey::Take();
    for (int row = 0; row < ComPortCount; ++row) {
        const QString typed = combos[row]->currentText();
        fillChoices(row);
        combos[row]->setEditText(typed);
        showState(row);
    }
}

void CPortAssignDlg::fillChoices(int row)
{
    QComboBox* combo = combos[row];
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const SerialDevice& device : survey.devices) {
        const PortStatus status = survey.status(device.path);
        QString text = QString::fromStdString(DeviceChoiceText(device));
        if (status.presence != PortPresence::Present)
            text += QStringLiteral(" - ") + QString::fromStdString(PresenceText(status));
        combo->addItem(text, QString::fromStdString(AssignablePath(device)));
    }
}

void CPortAssignDlg::showState(int row)
{
    const std::string path = rowPath(row);
    states[row]->setText(QString::fromStdString(
        PresenceText(survey.status(path.empty() ? DefaultPortDevicePath(row) : path))));
}

std::string CPortAssignDlg::rowPath(int row) const
{
    return combos[row]->currentText().trimmed().toStdString();
}

void CPortAssignDlg::accept()
{
    for (int row = 0; row < ComPortCount; ++row) {
        if (rowPath(row) != stored[row])
            WriteProfilePort(row, rowPath(row));
    }
    QDialog::accept();
}
