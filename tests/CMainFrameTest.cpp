#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "res/Commands.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

class CMainFrameTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RecordingBoxes::installed().clear();
        ASSERT_TRUE(running.started);
    }

    RunningApp running;
};

} // namespace

TEST_F(CMainFrameTest, IsAFixedBarAtTheTopLeftCornerCaptionedMRV508)
{
    CMainFrame& frame = running.frame();
    EXPECT_EQ(frame.size(), QSize(592, 112));
    EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
    EXPECT_EQ(frame.pos(), QPoint(0, 0));
    EXPECT_EQ(frame.windowTitle(), "MRV-508");
    const Qt::WindowFlags flags = frame.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(frame.statusBar()->isSizeGripEnabled());
}

TEST_F(CMainFrameTest, MenuHasEveryItemInOrder)
{
    QStringList menus;
    QStringList items;
    for (QAction* menuAction : running.frame().menuBar()->actions()) {
        menus << menuAction->text();
        for (QAction* item : menuAction->menu()->actions())
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(menus, (QStringList{utf8("ファイル"), utf8("設定"), utf8("通信"), utf8("情報")}));
    EXPECT_EQ(items, (QStringList{utf8("新規作成"), utf8("開く"), utf8("上書き保存"),
                                  utf8("名前をつけて保存"), "-", utf8("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"),
                                  utf8("タイトル"), utf8("タイトル一覧"), utf8("ホワイトレベル"),
                                  utf8("画面垂直オフセット"), utf8("画面水平オフセット"),
                                  utf8("Picture番号"), utf8("通信の設定"), utf8("送信履歴"),
                                  utf8("操作ガイド"), utf8("mrv508 のﾊﾞｰｼﾞｮﾝ情報(&A)...")}));
}

TEST_F(CMainFrameTest, ToolbarHasSevenLargeButtonsWithSeparatorsTooltipsAndPrompts)
{
    QToolBar* toolBar = running.frame().toolBar();
    QStringList shape;
    QStringList tooltips;
    QStringList prompts;
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator()) {
            shape << "|";
            continue;
        }
        shape << "B";
        tooltips << action->toolTip();
        prompts << action->statusTip();
        auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->iconSize(), QSize(70, 30));
        EXPECT_FALSE(action->icon().isNull());
    }
    EXPECT_EQ(shape.join(""), "B|B|B|B|B|B|B");
    EXPECT_EQ(tooltips, (QStringList{utf8("タイトル"), utf8("ホワイトレベル"),
                                     utf8("垂直オフセット"), utf8("水平オフセット"),
                                     utf8("Picture番号"), utf8("通信"), utf8("ﾊﾞｰｼﾞｮﾝ情報")}));
    EXPECT_EQ(prompts, (QStringList{utf8("タイトル設定"), utf8("ホワイトレベルの設定"),
                                    utf8("画面垂直オフセット"), utf8("画面水平オフセット"),
                                    utf8("Picture番号の設定"), utf8("通信の設定"),
                                    utf8("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示")}));
    // Every button fits the frame: nothing hides behind the extension arrow.
    QTest::qWait(50);
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator())
            continue;
        EXPECT_TRUE(toolBar->widgetForAction(action)->isVisible())
            << action->toolTip().toStdString();
    }
}

TEST_F(CMainFrameTest, MessagePaneShowsPromptsAndReadyOtherwise)
{
    CMainFrame& frame = running.frame();
    auto* ready = frame.findChild<QLabel*>(QStringLiteral("messagePane"));
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->text(), utf8("ﾚﾃﾞｨ"));

    QStatusTipEvent tip(frame.action(ID_DATA_OPEN)->statusTip());
    QApplication::sendEvent(&frame, &tip);
    EXPECT_EQ(frame.statusBar()->currentMessage(), utf8("既存のファイルを"));
    QStatusTipEvent none(frame.action(ID_DATA_NEW)->statusTip());
    QApplication::sendEvent(&frame, &none);
    EXPECT_TRUE(frame.statusBar()->currentMessage().isEmpty());
    EXPECT_FALSE(ready->isHidden());
    EXPECT_EQ(frame.action(ID_APP_EXIT)->statusTip(), utf8("ｱﾌﾟﾘｹｰｼｮﾝを終了します"));
}

TEST_F(CMainFrameTest, StatusBarHasFourLockPanesThenTheClock)
{
    QStatusBar* bar = running.frame().statusBar();
    QStringList names;
    for (QLabel* pane : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        names << pane->objectName();
    EXPECT_EQ(names, (QStringList{"messagePane", "lockPane0", "lockPane1", "lockPane2", "lockPane3",
                                  "timePane"}));
}

TEST_F(CMainFrameTest, ClockShowsTimeUntilItsFirstRefreshThenTheLocaleTime)
{
    QLabel* clock = running.frame().timePane();
    EXPECT_EQ(clock->text(), "Time");

    running.frame().OnUpdateTime();
    char expected[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(expected, sizeof expected, "%X", std::localtime(&now));
    EXPECT_NE(clock->text(), "Time");
    EXPECT_EQ(clock->text().size(), QString::fromLocal8Bit(expected).size());
    EXPECT_GE(clock->width(), clock->fontMetrics().horizontalAdvance(clock->text()));
}

TEST_F(CMainFrameTest, ClockAdvancesWhileTheProgramIdles)
{
    QLabel* clock = running.frame().timePane();
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock->text() != "Time"; }, 3000));
    const QString first = clock->text();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock->text() != first; }, 3000));
}
