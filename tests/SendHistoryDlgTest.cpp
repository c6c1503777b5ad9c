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

// 情報 > 送信履歴 on the simulator's RS-232C line, then with the state folder's place taken by a
// file.
TEST_F(SendHistoryDlgTest, ShowsThePortsDeviceOrWhyTheLedgerCannotBeRead)
{
    SimulatorProcess sim;
    sim.mapPort(1);
    startTool();
    const LedgerEntry title =
        TitleEntry(sim.linkPath(), std::nullopt, 0, 0, LedgerResult::Accepted);
    Ledger(Ledger::DefaultPath(), "mrv508", std::cerr).record(title);
    const auto shown = [this] {
        QStringList texts;
        WhileOpen([this] { frame->action(ID_SEND_HISTORY)->trigger(); },
                  [&texts](QDialog& dialog) {
                      texts << dialog.findChild<QLabel*>()->text();
                      auto* table = dialog.findChild<QTableWidget*>();
                      for (int column = 0; table->rowCount() > 0 && column < 3; ++column)
                          texts << table->item(0, column)->text();
                      Click(dialog, "cancelButton");
                  });
        return texts;
    };
    EXPECT_EQ(shown(),
              (QStringList{QString::fromStdString(sim.linkPath() + ", RS-232C"), "RS-232C",
                           QString::fromStdString(LocalTimeText(title.time)), "133 / 134"}));
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    qputenv("XDG_STATE_HOME", file.fileName().toLocal8Bit());
    const QStringList unusable = shown();
    qputenv("XDG_STATE_HOME", state);
    EXPECT_TRUE(unusable.size() == 1 && unusable[0].startsWith("送信履歴を読めません: mrv508: "))
        << unusable.join(' ').toStdString();
}
