#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "link/CommLink.h"
#include "res/Commands.h"
#include "settings/DeviceSettings.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Closes the next modal dialog as soon as it runs and remembers its caption.
class ModalCloser
{
public:
    ModalCloser()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                captions << modal->windowTitle();
                modal->close();
            }
        });
        timer.start();
    }

    QStringList captions;

private:
    QTimer timer;
};

struct Route
{
    int command;
    const char* dialogCaption; // empty when the command opens no dialog yet
};

const Route Routes[] = {
    {ID_DATA_NEW, ""},
    {ID_DATA_OPEN, ""},
    {ID_DATA_SAVE, ""},
    {ID_DATA_SAVE_AS, ""},
    {ID_TITLE, "タイトル設定 チャンネル１"},
    {ID_WHITE_LEVEL, "ホワイトレベル設定 チャンネル１"},
    {ID_VERTICAL_OFFSET, "画面垂直オフセットの設定"},
    {ID_HORIZONTAL_OFFSET, "画面水平オフセットの設定"},
    {ID_PICTURE_NO, "Picture番号の設定"},
    {ID_COMM_SETTING, "通信設定"},
};

class CMrv508ViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RecordingBoxes::installed().clear();
        ASSERT_TRUE(running.started);
    }

    // Runs a command the way `trigger` does and tells which command reached the view and which
    // dialog opened.
    template <typename Trigger> void expectRoute(const Route& route, Trigger trigger)
    {
        QSignalSpy handled(&running.view(), &CMrv508View::commandHandled);
        ModalCloser closer;
        trigger();
        ASSERT_EQ(handled.count(), 1) << route.command;
        EXPECT_EQ(handled.at(0).at(0).toInt(), route.command);
        const QStringList expected = *route.dialogCaption
                                         ? QStringList{QString::fromUtf8(route.dialogCaption)}
                                         : QStringList{};
        EXPECT_EQ(closer.captions, expected) << route.command;
    }

    RunningApp running;
};

} // namespace

TEST_F(CMrv508ViewTest, EveryMenuItemReachesItsHandler)
{
    for (const Route& route : Routes)
        expectRoute(route, [&] { running.frame().action(route.command)->trigger(); });
}

TEST_F(CMrv508ViewTest, EveryToolbarButtonReachesItsHandler)
{
    QToolBar* toolBar = running.frame().toolBar();
    for (const Route& route : Routes) {
        QWidget* button = toolBar->widgetForAction(running.frame().action(route.command));
        if (!button)
            continue; // a menu-only command
        expectRoute(route, [&] { QTest::mouseClick(button, Qt::LeftButton); });
    }
}

TEST_F(CMrv508ViewTest, AboutIsTheApplicationsNotTheViews)
{
    QSignalSpy handled(&running.view(), &CMrv508View::commandHandled);
    ModalCloser closer;
    QTest::mouseClick(
        running.frame().toolBar()->widgetForAction(running.frame().action(ID_APP_ABOUT)),
        Qt::LeftButton);
    running.frame().action(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(handled.count(), 0);
    EXPECT_EQ(closer.captions, QStringList(2, QString::fromUtf8("mrv508のﾊﾞｰｼﾞｮﾝ情報")));
}

TEST_F(CMrv508ViewTest, ExitStopsTheLinkWhenNothingIsUnsaved)
{
    ASSERT_TRUE(SerialLink.readerStarted());
    running.frame().action(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(SerialLink.readerStarted());
    EXPECT_TRUE(RecordingBoxes::installed().questions.empty());
}

TEST_F(CMrv508ViewTest, ExitWithUnsavedChangesAsksAndKeepsRunningOnNo)
{
    DeviceSettings.modified = 1;
    RecordingBoxes::installed().answers = {false};
    running.frame().action(ID_APP_EXIT)->trigger();
    EXPECT_EQ(RecordingBoxes::installed().questions,
              std::vector<std::string>{"データを保存せずに終了しますか？"});
    EXPECT_TRUE(SerialLink.readerStarted());

    RecordingBoxes::installed().answers = {true};
    running.frame().action(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(SerialLink.readerStarted());
    DeviceSettings.modified = 0;
}

TEST_F(CMrv508ViewTest, ConstructingTheViewResetsTheSettingsAndStartsTheLink)
{
    EXPECT_EQ(DeviceSettings.whiteLevel[1][31], 8);
    EXPECT_EQ(DeviceSettings.vOffset[0], 32);
    EXPECT_EQ(DeviceSettings.hOffset[1], 8);
    EXPECT_TRUE(DeviceSettings.title[0][32].empty());
    EXPECT_TRUE(SerialLink.readerStarted());
}

TEST_F(CMrv508ViewTest, TheFirstPaintStartsSupervisionWhichReportsAMissingReply)
{
    // Nothing answers on the test profile's port; the real 500 ms timer does the counting.
    SerialLink.SendCommand("P0101\r\n");
    ASSERT_TRUE(RecordingBoxes::installed().waitForBoxes(1, 10000));
    const BoxRequest& box = RecordingBoxes::installed().shown.back();
    EXPECT_EQ(box.text, "No Connect");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, BoxIcon::Error);
    EXPECT_FALSE(SerialLink.readerStarted());
    EXPECT_EQ(DeviceSettings.noReplyTicks, 0);
}

TEST_F(CMrv508ViewTest, TicksWithoutAnOutstandingCommandHaveNoEffect)
{
    for (int tick = 0; tick < 20; ++tick)
        running.view().OnTimer();
    EXPECT_TRUE(RecordingBoxes::installed().shown.empty());
    EXPECT_TRUE(SerialLink.readerStarted());
}
