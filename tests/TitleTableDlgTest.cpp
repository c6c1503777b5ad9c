// The title table driven as an operator drives it: keys on the table, the clipboard, the file
// dialogs answered in advance, and the device simulator on COM1.
#include "app/CMrv508View.h"
#include "editors/CTitleTableDlg.h"
#include "ledger/Ledger.h"
#include "platform/Cp932.h"
#include "platform/Profile.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"
#include "support/BuildPaths.h"
#include "support/DialogDriver.h"
#include "support/LedgerRows.h"
#include "support/RecordingBoxes.h"
#include "support/RecordingFileDialogs.h"
#include "support/SimulatorProcess.h"
#include "support/ToolTest.h"

#include <QApplication>
#include <QClipboard>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace {

std::string cp932(const QString& text)
{
    return ToCp932(text).value_or("not CP932");
}

class TitleTableDlgTest : public ToolTest
{
protected:
    void TearDown() override
    {
        DeviceSettings.allSetStep = 0;
        ToolTest::TearDown();
    }

    void startOn(const SimulatorProcess& sim)
    {
        ASSERT_TRUE(sim.started());
        sim.mapPort(1);
        startTool();
    }

    void openTable(const std::function<void(CTitleTableDlg&, QTableWidget&)>& act)
    {
        WhileOpen([this] { frame->view()->OnTitleTable(); },
                  [&](QDialog& dialog) {
                      auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("titleTable"));
                      ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
                      act(static_cast<CTitleTableDlg&>(dialog), *table);
                      Click(dialog, "cancelButton");
                  });
    }

    static void keys(QTableWidget& table, QKeySequence::StandardKey key)
    {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(&table, combination.key(), combination.keyboardModifiers());
    }

    static void select(QTableWidget& table, int top, int left, int bottom, int right)
    {
        table.clearSelection();
        table.setCurrentCell(top, left);
        table.setRangeSelected({top, left, bottom, right}, true);
    }
};

} // namespace

TEST_F(TitleTableDlgTest, PasteCopyDeleteAndUndoWorkOnCellsAndMarkWhatTheDeviceCannotShow)
{
    SimulatorProcess sim;
    startOn(sim);
    DeviceSettings.title[0][1] = cp932("前");
    openTable([](CTitleTableDlg& dialog, QTableWidget& table) {
        EXPECT_EQ(QApplication::focusWidget(), &table);
        EXPECT_EQ(table.item(1, 0)->text(), "前");
        QApplication::clipboard()->setText("漢字\tAB\r\nかな\r\n");
        keys(table, QKeySequence::Paste);
        EXPECT_EQ(DeviceSettings.title[0][0], cp932("漢字"));
        EXPECT_EQ(DeviceSettings.title[1][0], "AB");
        EXPECT_EQ(DeviceSettings.title[0][1], cp932("かな"));
        EXPECT_EQ(DeviceSettings.modified, 1);
        EXPECT_EQ(table.item(0, 1)->toolTip().toStdString(), std::string(Message::NotJis));
        EXPECT_NE(table.item(0, 0)->toolTip().toStdString(), Message::NotJis);

        select(table, 0, 0, 1, 1);
        keys(table, QKeySequence::Copy);
        EXPECT_EQ(QApplication::clipboard()->text(), "漢字\tAB\nかな\t\n");
        keys(table, QKeySequence::Delete);
        EXPECT_TRUE(DeviceSettings.title[0][0].empty() && DeviceSettings.title[1][0].empty());
        EXPECT_NE(table.item(0, 1)->toolTip().toStdString(), Message::NotJis)
            << "an empty title is shown";

        table.setCurrentCell(32, 1);
        QApplication::clipboard()->setText("x\ty\nz");
        keys(table, QKeySequence::Paste);
        EXPECT_EQ(DeviceSettings.title[1][32], "x");
        ASSERT_EQ(boxes().shown.size(), 1u);
        EXPECT_EQ(boxes().shown[0].text, std::string(Message::PastedOutside) + " 2");

        for (int step = 0; step < 3; ++step)
            keys(table, QKeySequence::Undo);
        EXPECT_EQ(DeviceSettings.title[0][1], cp932("前")) << "as before the paste";
        EXPECT_TRUE(DeviceSettings.title[0][0].empty() && DeviceSettings.title[1][32].empty());
        EXPECT_EQ(DeviceSettings.modified, 0);
        EXPECT_EQ(table.item(1, 0)->text(), "前");

        // An import is one step too.
        fileDialogs().answers = {TestDataFolder() + "/titles.csv"};
        Click(dialog, "importButton");
        EXPECT_EQ(table.item(0, 0)->text(), "第１回定期演奏会のお知らせ");
        keys(table, QKeySequence::Undo);
        EXPECT_TRUE(DeviceSettings.title[0][0].empty());
        EXPECT_EQ(DeviceSettings.title[0][1], cp932("前"));
    });
}

TEST_F(TitleTableDlgTest, TheSelectionGoesAtTheBatchsPaceInTableOrderWithoutMarkedCells)
{
    SimulatorProcess sim;
    startOn(sim);
    DeviceSettings.title[0][0] = cp932("一");
    DeviceSettings.title[1][0] = cp932("二");
    DeviceSettings.title[0][1] = "half";
    DeviceSettings.title[1][1] = cp932("四");
    openTable([](CTitleTableDlg& dialog, QTableWidget& table) {
        select(table, 0, 0, 1, 1);
        Click(dialog, "sendSelectionButton");
        EXPECT_NE(DeviceSettings.allSetStep, 0);
        ASSERT_TRUE(QTest::qWaitFor([] { return DeviceSettings.allSetStep == 0; }, 10000));
    });
    EXPECT_EQ(boxes().shownTexts(),
              (std::vector<std::string>{"Success",
                                        std::string(Message::MarkedNotSent) + "\nch.1 Bottom 2"}));
    const QList<SimulatorProcess::TimedFrame> frames = sim.framesWithTimes();
    ASSERT_EQ(frames.size(), 3);
    const QStringList starts{"CA01B01", "CA02B01", "CA02B02"};
    for (qsizetype i = 0; i < frames.size(); ++i) {
        EXPECT_TRUE(frames[i].frame.startsWith(starts[i])) << frames[i].frame.toStdString();
        if (i > 0) {
            EXPECT_GE(frames[i].ms - frames[i - 1].ms, 500) << i;
        }
    }
}

// Cells that slave 3 did not last acknowledge as they stand are marked apart from those it cannot
// show, follow the edits, the slave and the replies, and go alone in the table's order.
TEST_F(TitleTableDlgTest, TheCellsTheSlaveDidNotAcknowledgeAreMarkedAndSentAlone)
{
    SimulatorProcess sim({"--rs485", "--slaves", "3,5"});
    WriteProfileInt("rs_control", 1);
    startOn(sim);
    Ledger ledger(Ledger::DefaultPath(), "mrv508", std::cerr);
    for (int position = 0; position < TitleCount; ++position)
        for (int channel = 0; channel < ChannelCount; ++channel)
            ledger.record(TitleEntry(sim.linkPath(), 3, channel, position, LedgerResult::Accepted));
    DeviceSettings.title[1][0] = cp932("三");
    DeviceSettings.title[0][1] = "half";
    DeviceSettings.slaveNo = 3;
    openTable([](CTitleTableDlg& dialog, QTableWidget& table) {
        const auto tip = [&table](int row, int column) {
            return table.item(row, column)->toolTip().toStdString();
        };
        EXPECT_EQ(tip(0, 0), "");
        EXPECT_EQ(tip(0, 1).rfind("デバイスが最後に受け付けたのは「", 0), 0u) << tip(0, 1);
        EXPECT_EQ(tip(1, 0), Message::NotJis);
        EXPECT_NE(table.item(0, 1)->background(), table.item(1, 0)->background());
        table.setCurrentCell(2, 0);
        QApplication::clipboard()->setText("四");
        keys(table, QKeySequence::Paste);
        EXPECT_NE(tip(2, 0), "");
        Choose(FindCombo(dialog, "slaveCombo"), 5);
        EXPECT_EQ(tip(0, 0), "デバイスがこのタイトルを受け付けた記録はありません");
        Choose(FindCombo(dialog, "slaveCombo"), 3);
        Click(dialog, "sendChangedButton");
        ASSERT_TRUE(QTest::qWaitFor([] { return DeviceSettings.allSetStep == 0; }, 10000));
        EXPECT_EQ(tip(0, 0) + tip(0, 1) + tip(2, 0), "");
    });
    EXPECT_EQ(boxes().shownTexts(),
              (std::vector<std::string>{"Success",
                                        std::string(Message::MarkedNotSent) + "\nch.1 Bottom 2"}));
    const QStringList frames = sim.framesReceived();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_TRUE(frames[0].startsWith("03CA02B01") && frames[1].startsWith("03CA01B03"))
        << frames.join(' ').toStdString();
}
