// The title table driven as an operator drives it: keys on the table, the clipboard, the file
// dialogs answered in advance, and the device simulator on COM1.
#include "app/CMrv508View.h"
#include "editors/CTitleTableDlg.h"
#include "platform/Cp932.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"
#include "support/BuildPaths.h"
#include "support/DialogDriver.h"
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
        EXPECT_TRUE(table.item(0, 0)->toolTip().isEmpty());

        select(table, 0, 0, 1, 1);
        keys(table, QKeySequence::Copy);
        EXPECT_EQ(QApplication::clipboard()->text(), "漢字\tAB\nかな\t\n");
        keys(table, QKeySequence::Delete);
        EXPECT_TRUE(DeviceSettings.title[0][0].empty() && DeviceSettings.title[1][0].empty());
        EXPECT_TRUE(table.item(0, 1)->toolTip().isEmpty()) << "an empty title is shown";

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
