#pragma once

#include <QDialog>

// 情報 > 送信履歴: for the port's devices, when each last acknowledged a line and how many items
// of the open settings differ from what it holds, as far as the ledger knows. Read-only.
class CSendHistoryDlg : public QDialog
{
public:
    explicit CSendHistoryDlg(QWidget* owner);
};
