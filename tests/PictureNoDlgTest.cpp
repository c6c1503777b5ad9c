// The picture number dialog driven as an operator drives it: opened from the view, against the
// device simulator on COM1.
#include "app/CMainFrame.h"
#include "app/CMrv508App.h"
#include "app/CMrv508View.h"
#include "link/CommLink.h"
#include "platform/MessageOwner.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"
#include "support/DialogDriver.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"
#include "support/ToolTest.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QJsonArray>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace {

int pictureOf(const SimulatorProcess& sim, int channel, int device = 0)
{
    return sim.channel(channel, device)[QStringLiteral("picture")].toInt();
}

class PictureNoDlgTest : public ToolTest
{
protected:
    // COM1 must name the simulator before the view starts the link. True when the link runs on
    // the simulator's port.
    bool startTool(const SimulatorProcess& sim)
    {
        if (!sim.started())
            return false;
        sim.mapPort(1);
        ToolTest::startTool();
        return SerialLink.portOpen();
    }

    void openPictureNo(const std::function<void(QDialog&)>& act)
    {
        WhileOpen([this] { frame->view()->OnPictureNo(); }, act);
    }
};

TEST_F(PictureNoDlgTest, FirstOpeningShowsPicture01ForBothChannelsAndOkStoresZero)
{
    SimulatorProcess sim;
    ASSERT_TRUE(startTool(sim));

    openPictureNo([](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "channelCombo")->currentText(), "ch.1");
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "01");
        Choose(FindCombo(dialog, "channelCombo"), 1);
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "01");
        Click(dialog, "okButton");
    });

    EXPECT_EQ(StoredProfileInt("pic_c1"), 0);
    EXPECT_EQ(StoredProfileInt("pic_c2"), 0);
    EXPECT_EQ(DeviceSettings.curChannel, 1);
    EXPECT_TRUE(sim.framesReceived().isEmpty()) << "OK sends nothing";
}

TEST_F(PictureNoDlgTest, OkWritesBothChannelsAlsoTheUntouchedOne)
{
    SimulatorProcess sim;
    WriteProfileValue("pic_c1", 4);
    WriteProfileValue("pic_c2", 11);
    ASSERT_TRUE(startTool(sim));

    openPictureNo([](QDialog& dialog) {
        Choose(FindCombo(dialog, "channelCombo"), 1);
        Choose(FindCombo(dialog, "pictureCombo"), 19);
        Click(dialog, "okButton");
    });

    EXPECT_EQ(StoredProfileInt("pic_c1"), 4);
    EXPECT_EQ(StoredProfileInt("pic_c2"), 19);
    EXPECT_EQ(DeviceSettings.pictureNo[1], 19);
}

TEST_F(PictureNoDlgTest, OpensOnCurrentChannelAndAChannelChoiceSurvivesCancel)
{
    SimulatorProcess sim;
    WriteProfileValue("pic_c1", 4);
    WriteProfileValue("pic_c2", 11);
    ASSERT_TRUE(startTool(sim));
    DeviceSettings.curChannel = 1;

    openPictureNo([](QDialog& dialog) {
        QComboBox* channel = FindCombo(dialog, "channelCombo");
        EXPECT_EQ(channel->currentText(), "ch.2");
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "12");

        QTest::keyClick(channel, Qt::Key_Up);
        EXPECT_EQ(channel->currentText(), "ch.1");
        EXPECT_EQ(DeviceSettings.curChannel, 0) << "the record follows the list at once";
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "05");
        Click(dialog, "cancelButton");
    });

    EXPECT_EQ(DeviceSettings.curChannel, 0);
    EXPECT_EQ(StoredProfileInt("pic_c1"), 4);
    EXPECT_EQ(StoredProfileInt("pic_c2"), 11);
    openPictureNo([](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "channelCombo")->currentText(), "ch.1");
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "05");
        Click(dialog, "cancelButton");
    });
}

TEST_F(PictureNoDlgTest, SetOnRs232cSendsWithoutSlaveNumberAndReportsSuccess)
{
    SimulatorProcess sim;
    ASSERT_TRUE(startTool(sim));
    DeviceSettings.slaveNo = 7;

    openPictureNo([&](QDialog& dialog) {
        QComboBox* slave = FindCombo(dialog, "slaveCombo");
        EXPECT_FALSE(slave->isEnabled());
        EXPECT_EQ(slave->currentText(), "07");
        Choose(FindCombo(dialog, "pictureCombo"), 4);
        Click(dialog, "setButton");

        EXPECT_EQ(sim.state(1)[QStringLiteral("mode")].toString(), "rs232c");
        EXPECT_EQ(sim.framesReceived(), QStringList{"P0105\\r\\n"});
        EXPECT_EQ(pictureOf(sim, 0), 5);
        ASSERT_TRUE(boxes().waitForBoxes(1));
        EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
        EXPECT_EQ(OwnerWindow(BoxOwner::MessageOwner), &dialog) << "the reply box belongs here";
        EXPECT_TRUE(dialog.isVisible()) << "Set leaves the dialog open";
        Click(dialog, "cancelButton");
    });

    EXPECT_EQ(DeviceSettings.slaveNo, 7);
    EXPECT_EQ(DeviceSettings.pictureNo[0], 4);
    // The dialog is gone: later boxes belong to the main window.
    EXPECT_EQ(OwnerWindow(BoxOwner::MessageOwner), frame.get());
}

TEST_F(PictureNoDlgTest, SetOnRs485AddressesTheChosenSlave)
{
    SimulatorProcess sim({"--rs485", "--slaves", "0,3"});
    WriteProfileValue("rs_control", 1);
    ASSERT_TRUE(startTool(sim));

    openPictureNo([&](QDialog& dialog) {
        QComboBox* slave = FindCombo(dialog, "slaveCombo");
        EXPECT_TRUE(slave->isEnabled());
        Choose(slave, 3);
        Choose(FindCombo(dialog, "channelCombo"), 1);
        Choose(FindCombo(dialog, "pictureCombo"), 6);
        Click(dialog, "setButton");

        sim.state(1);
        EXPECT_EQ(sim.framesReceived(), QStringList{"03P0207\\r\\n"});
        EXPECT_EQ(pictureOf(sim, 1, 1), 7) << "slave 3";
        EXPECT_EQ(pictureOf(sim, 1, 0), 1) << "slave 0 was not addressed";
        ASSERT_TRUE(boxes().waitForBoxes(1));
        EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
        Click(dialog, "cancelButton");
    });

    EXPECT_EQ(DeviceSettings.slaveNo, 3);
}

TEST_F(PictureNoDlgTest, SetThenCancelKeepsTheSentPictureInTheRecordButNotInTheProfile)
{
    SimulatorProcess sim;
    WriteProfileValue("pic_c1", 2);
    ASSERT_TRUE(startTool(sim));

    openPictureNo([&](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "03");
        // One digit keeps its leading zero, two digits fill both places.
        Choose(FindCombo(dialog, "pictureCombo"), 8);
        Click(dialog, "setButton");
        ASSERT_TRUE(boxes().waitForBoxes(1));
        Choose(FindCombo(dialog, "pictureCombo"), 9);
        Click(dialog, "setButton");
        ASSERT_TRUE(boxes().waitForBoxes(2));
        Click(dialog, "cancelButton");
    });

    EXPECT_EQ(sim.framesReceived(), (QStringList{"P0109\\r\\n", "P0110\\r\\n"}));
    EXPECT_EQ(pictureOf(sim, 0), 10);
    EXPECT_EQ(DeviceSettings.pictureNo[0], 9);
    EXPECT_EQ(StoredProfileInt("pic_c1"), 2);
    openPictureNo([](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "03");
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(DeviceSettings.pictureNo[0], 2);
}

class DamagedPictureProfile : public PictureNoDlgTest,
                              public testing::WithParamInterface<const char*>
{
};

TEST_P(DamagedPictureProfile, ShowsAndSendsPicture01)
{
    SimulatorProcess sim;
    WriteProfileValue("pic_c1", QString::fromLatin1(GetParam()));
    WriteProfileValue("pic_c2", QString::fromLatin1(GetParam()));
    ASSERT_TRUE(startTool(sim));

    openPictureNo([&](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "01");
        Click(dialog, "setButton");
        sim.state(1);
        EXPECT_EQ(sim.framesReceived(), QStringList{"P0101\\r\\n"});
        Choose(FindCombo(dialog, "channelCombo"), 1);
        EXPECT_EQ(FindCombo(dialog, "pictureCombo")->currentText(), "01");
        Click(dialog, "okButton");
    });

    EXPECT_EQ(StoredProfileInt("pic_c1"), 0);
    EXPECT_EQ(StoredProfileInt("pic_c2"), 0);
}

INSTANTIATE_TEST_SUITE_P(Values, DamagedPictureProfile, testing::Values("40", "32", "-1", "abc"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return "Stored" + std::to_string(info.index);
                         });

// Stands in for the "No Connect" box, which runs its own event loop: the view may be repainted
// and the timer may tick while it is open.
class TickingBoxes : public MessageBoxes
{
public:
    explicit TickingBoxes(CMrv508View& view) : view(view) {}

    void show(const BoxRequest& box) override
    {
        boxes().show(box);
        if (std::exchange(ticking, true))
            return;
        view.OnDraw();
        for (int tick = 0; tick < 7; ++tick)
            view.OnTimer();
        ticking = false;
    }
    bool askYesNo(const std::string& question) override { return boxes().askYesNo(question); }

private:
    CMrv508View& view;
    bool ticking = false;
};

TEST_F(PictureNoDlgTest, SilentDeviceEndsTheProgramWithNoConnectOnTheSeventhTick)
{
    SimulatorProcess sim({"--silent"});
    ASSERT_TRUE(startTool(sim));
    CMrv508View& view = *frame->view();
    TickingBoxes tickingBoxes(view);
    SetBoxes(&tickingBoxes);

    // The program's own event loop runs the dialog; "No Connect" must end that loop from
    // inside the dialog's. Ticks are called directly instead of waiting for the timer.
    QTimer::singleShot(0, frame.get(), [&] { view.OnPictureNo(); });
    QTimer::singleShot(0, frame.get(), [&] {
        QWidget* modal = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (modal = QApplication::activeModalWidget()); }));
        auto& dialog = *qobject_cast<QDialog*>(modal);
        Click(dialog, "setButton");
        ASSERT_EQ(sim.state(1)[QStringLiteral("frames")].toInt(), 1);
        for (int tick = 1; tick <= 6; ++tick)
            view.OnTimer();
        EXPECT_TRUE(boxes().shown.empty()) << "six ticks are not yet enough";
        EXPECT_TRUE(SerialLink.portOpen());
        view.OnTimer();
        EXPECT_EQ(OwnerWindow(BoxOwner::MessageOwner), &dialog) << "the box shows over the dialog";
    });
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(10000);

    const int exitCode = QCoreApplication::exec();

    EXPECT_FALSE(timedOut) << "the event loop was not asked to quit";
    EXPECT_EQ(exitCode, 0);
    const BoxRequest noConnect{"No Connect", "Error", BoxIcon::Error, BoxSound::QuestionSound,
                               BoxOwner::MessageOwner};
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{noConnect});
    EXPECT_FALSE(SerialLink.portOpen());
    EXPECT_FALSE(SerialLink.readerStarted());
}

} // namespace
