#include "app/CSendHistoryDlg.h"

#include "app/DeviceHistory.h"
#include "link/CommLink.h"
#include "platform/DialogBuilder.h"
#include "res/DialogTemplates.h"
#include "send/TimeText.h"
#include "settings/DeviceSettings.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <sstream>

namespace {

QStringList row(const DeviceHistory& device)
{
    return {device.slave ? QStringLiteral("%1").arg(*device.slave, 2, 10, QLatin1Char('0'))
                         : QStringLiteral("RS-232C"),
            device.lastAcknowledged
                ? QString::fromStdString(LocalTimeText(*device.lastAcknowledged))
                : QStringLiteral("受け付けなし"),
            QStringLiteral("%1 / %2").arg(device.differing).arg(device.total)};
}

} // namespace

CSendHistoryDlg::CSendHistoryDlg(QWidget* owner) : QDialog(owner)
{
    BuildDialog(*this, SendHistoryDialogTemplate());
    auto* label = findChild<QLabel*>(QStringLiteral("lineLabel"));
    auto* table = findChild<QTableWidget*>(QStringLiteral("historyTable"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    label->setWordWrap(true);

    std::ostringstream problems;
    Ledger ledger(Ledger::DefaultPath(), "mrv508", problems);
    if (!ledger.isOpen()) {
        label->setText(QStringLiteral("送信履歴を読めません: ") +
                       QString::fromStdString(problems.str()).trimmed());
        return;
    }
    const std::string line = SerialLink.ledgerName();
    const bool rs485 = DeviceSettings.rsControl != 0;
    const std::vector<DeviceHistory> devices = ReadDeviceHistories(ledger, line, rs485);
    QString text = QString::fromStdString(line + (rs485 ? ", RS-485" : ", RS-232C"));
    if (devices.empty())
        text += QStringLiteral(": 記録のあるスレーブはありません");
    // A damaged ledger set aside is said too: what it held is no longer counted.
    if (!problems.str().empty())
        text += QLatin1Char('\n') + QString::fromStdString(problems.str()).trimmed();
    label->setText(text);
    for (const DeviceHistory& device : devices) {
        const int at = table->rowCount();
        table->insertRow(at);
        const QStringList cells = row(device);
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(at, column, new QTableWidgetItem(cells[column]));
    }
}
