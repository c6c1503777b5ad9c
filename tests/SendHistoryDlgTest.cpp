// 情報 > 送信履歴 opened from the menu, with the device simulator on COM1.
#include "ledger/Ledger.h"
#include "res/Commands.h"
#include "send/TimeText.h"
#include "support/DialogDriver.h"
#include "support/LedgerRows.h"
#include "support/SimulatorProcess.h"
#include "support/ToolTest.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryFile>
#include <gtest/gtest.h>
#include <iostream>

using SendHistoryDlgTest = ToolTest;

TEST_F(SendHistoryDlgTest, ShowsThePortsDeviceOrWhyTheLedgerCannotBeRead)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    startTool();
    const LedgerEntry title =
        TitleEntry(sim.linkPath(), std::nullopt, 0, 0, LedgerResult::Accepted);
    Ledger(Ledger::DefaultPath(), "mrv508", std::cerr).record(title);
    const auto shown = [this] {
        QStringList texts;
        WhileOpen([this] { frame->action(ID_SEND_HISTORY)->trigger(); },
                  [&texts](QDialog& dialog) {
                      texts << dialog.findChild<QLabel*>(QStringLiteral("lineLabel"))->text();
                      auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("historyTable"));
                      for (int column = 0; table->rowCount() > 0 && column < 3; ++column)
                          texts << table->item(0, column)->text();
                      Click(dialog, "cancelButton");
                  });
        return texts;
    };
    EXPECT_EQ(shown(),
              (QStringList{QString::fromStdString(sim.linkPath() + ", RS-232C"), "RS-232C",
                           QString::fromStdString(LocalTimeText(title.time)), "133 / 134"}));

    // The state folder's place is taken by a file.
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    qputenv("XDG_STATE_HOME", file.fileName().toLocal8Bit());
    const QStringList unusable = shown();
    qputenv("XDG_STATE_HOME", state);
    ASSERT_EQ(unusable.size(), 1);
    EXPECT_TRUE(unusable[0].startsWith("送信履歴を読めません: mrv508: the ledger "))
        << unusable[0].toStdString();
}
