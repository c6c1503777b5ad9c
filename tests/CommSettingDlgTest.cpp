// The communication settings dialog driven from the view, with simulators as the devices on the
// ports the profile maps.
#include "app/CMainFrame.h"
#include "app/CMrv508App.h"
#include "app/CMrv508View.h"
#include "editors/PictureCommand.h"
#include "link/CommLink.h"
#include "link/LinkSupervision.h"
#include "link/PortSurvey.h"
#include "platform/MessageOwner.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"
#include "support/DialogDriver.h"
#include "support/FakeDeviceFinder.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"
#include "support/ToolTest.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace {

class CommSettingDlgTest : public ToolTest
{
protected:
    void openCommSetting(const std::function<void(QDialog&)>& act)
    {
        WhileOpen([this] { frame->view()->OnCommSetting(); }, act);
    }

    // Sends picture 05 on ch.1 as the picture dialog would and waits for the reply box.
    void sendPicture05()
    {
        boxes().clear();
        SerialLink.SendCommand(MakePictureCommand(0, 4));
        EXPECT_TRUE(boxes().waitForBoxes(1));
    }
};

TEST_F(CommSettingDlgTest, OpensOnTheCurrentPortAndLineMode)
{
    SimulatorProcess sim({"--rs485"});
    ASSERT_TRUE(sim.started());
    sim.mapPort(3);
    WriteProfileValue("com_port", 2);
    WriteProfileValue("rs_control", 1);
    startTool();
    ASSERT_TRUE(SerialLink.portOpen());

    openCommSetting([](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "portCombo")->currentText(), "COM 3");
        EXPECT_EQ(FindCombo(dialog, "controlCombo")->currentText(), "RS-485");
        Click(dialog, "cancelButton");
    });
}

TEST_F(CommSettingDlgTest, CancelKeepsRecordLinkAndProfile)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    startTool();
    const QByteArray profileBefore = ProfileBytes();

    openCommSetting([](QDialog& dialog) {
        Choose(FindCombo(dialog, "portCombo"), "COM 3");
        Choose(FindCombo(dialog, "controlCombo"), "RS-485");
        Click(dialog, "cancelButton");
    });

    EXPECT_EQ(DeviceSettings.comPort, 0);
    EXPECT_EQ(DeviceSettings.rsControl, 0);
    EXPECT_EQ(ProfileBytes(), profileBefore);
    // The link still talks to COM1 without a slave number.
    sendPicture05();
    EXPECT_EQ(sim.framesReceived(), QStringList{"P0105\\r\\n"});
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
}

TEST_F(CommSettingDlgTest, OkOpensTheChosenPortWithSlavePrefixAndStoresTheChoice)
{
    SimulatorProcess first({"--silent"});
    SimulatorProcess third({"--rs485", "--slaves", "0,3"});
    ASSERT_TRUE(first.started() && third.started());
    first.mapPort(1);
    third.mapPort(3);
    startTool();
    // A command the old port never answered, nearly counted out: the new port owes no reply.
    SerialLink.SendCommand(MakePictureCommand(0, 4));
    for (int tick = 0; tick < 6; ++tick)
        CountNoReplyTick();

    openCommSetting([](QDialog& dialog) {
        Choose(FindCombo(dialog, "portCombo"), "COM 3");
        Choose(FindCombo(dialog, "controlCombo"), "RS-485");
        Click(dialog, "okButton");
    });

    EXPECT_EQ(DeviceSettings.comPort, 2);
    EXPECT_EQ(DeviceSettings.rsControl, 1);
    EXPECT_EQ(StoredProfileInt("com_port"), 2);
    EXPECT_EQ(StoredProfileInt("rs_control"), 1);
    ASSERT_TRUE(SerialLink.portOpen());
    EXPECT_TRUE(boxes().shown.empty());
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    EXPECT_FALSE(CountNoReplyTick());

    DeviceSettings.slaveNo = 3;
    sendPicture05();
    EXPECT_EQ(third.framesReceived(), QStringList{"03P0105\\r\\n"});
    EXPECT_EQ(third.channel(0, 1)[QStringLiteral("picture")].toInt(), 5);
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox}) << "the new reader reads";
    EXPECT_EQ(first.framesReceived(), QStringList{"P0105\\r\\n"});
}

// The tool reads the [Ports] mapping only when it opens a port, so remapping COM1 while it
// runs shows whether OK really reopened the port and whether a reader serves the new one.
TEST_F(CommSettingDlgTest, OkWithoutChangeReopensThePortWithANewReader)
{
    SimulatorProcess before;
    SimulatorProcess after;
    ASSERT_TRUE(before.started() && after.started());
    before.mapPort(1);
    startTool();
    after.mapPort(1);

    openCommSetting([](QDialog& dialog) { Click(dialog, "okButton"); });

    EXPECT_TRUE(SerialLink.portOpen());
    EXPECT_TRUE(SerialLink.readerStarted());
    EXPECT_EQ(StoredProfileInt("com_port"), 0);
    EXPECT_EQ(StoredProfileInt("rs_control"), 0);
    sendPicture05();
    EXPECT_EQ(after.framesReceived(), QStringList{"P0105\\r\\n"});
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
    EXPECT_TRUE(before.framesReceived().isEmpty());
}

TEST_F(CommSettingDlgTest, MissingPortReportsEveryStepAndIsStillRemembered)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    QTemporaryDir folder;
    const std::string missing = folder.filePath(QStringLiteral("ttyGONE")).toStdString();
    MapPortInProfile(4, missing);
    startTool();

    openCommSetting([](QDialog& dialog) {
        Choose(FindCombo(dialog, "portCombo"), "COM 4");
        Click(dialog, "okButton");
    });

    const auto linkError = [](const std::string& text) {
        return BoxRequest{text, "Error", BoxIcon::Error, BoxSound::QuestionSound, BoxOwner::None};
    };
    const std::vector<BoxRequest> portMessages = {
        linkError("Miss! File Open\n\n" + missing + ": no such device.\n" +
                  MissingDeviceAdvice(3, PortSurvey{})),
        linkError("Miss! Mask Set"),
        linkError("Miss! Buffer Set"),
        linkError("Miss! Time Out Set"),
        linkError("Miss! Set Comm State"),
    };
    EXPECT_EQ(boxes().shown, portMessages);
    EXPECT_FALSE(SerialLink.portOpen());
    EXPECT_EQ(DeviceSettings.comPort, 3);
    EXPECT_EQ(StoredProfileInt("com_port"), 3);
    EXPECT_EQ(StoredProfileInt("rs_control"), 0);

    // The next start tries the same port again.
    frame.reset();
    SerialLink.StopLink();
    boxes().clear();
    frame = std::make_unique<CMainFrame>(*app);
    EXPECT_EQ(boxes().shown, portMessages);
}

struct StoredChoice
{
    int comPort;
    int rsControl;
    const char* portShown;
    const char* controlShown;
    int controlStored;
};

void PrintTo(const StoredChoice& stored, std::ostream* out)
{
    *out << "com_port " << stored.comPort << ", rs_control " << stored.rsControl;
}

class DamagedCommProfile : public CommSettingDlgTest,
                           public testing::WithParamInterface<StoredChoice>
{
};

// A port outside the list offers COM 1; any line mode but 0 already sends slave numbers, so the
// list says RS-485. OK then stores what the lists show.
TEST_P(DamagedCommProfile, ShowsAListedChoiceAndOkStoresIt)
{
    const StoredChoice& stored = GetParam();
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    WriteProfileValue("com_port", stored.comPort);
    WriteProfileValue("rs_control", stored.rsControl);
    startTool();

    openCommSetting([&](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "portCombo")->currentText(), stored.portShown);
        EXPECT_EQ(FindCombo(dialog, "controlCombo")->currentText(), stored.controlShown);
        Click(dialog, "okButton");
    });

    EXPECT_EQ(StoredProfileInt("com_port"), 0);
    EXPECT_EQ(StoredProfileInt("rs_control"), stored.controlStored);
    EXPECT_EQ(DeviceSettings.comPort, 0);
    EXPECT_TRUE(SerialLink.portOpen()) << "COM1 is open now";
}

INSTANTIATE_TEST_SUITE_P(Values, DamagedCommProfile,
                         testing::Values(StoredChoice{9, 7, "COM 1", "RS-485", 1},
                                         StoredChoice{-1, 0, "COM 1", "RS-232C", 0},
                                         StoredChoice{0, -2, "COM 1", "RS-485", 1}),
                         [](const testing::TestParamInfo<StoredChoice>& info) {
                             return "Stored" + std::to_string(info.index);
                         });

// The line beneath the seed's controls, and the assignment dialog it leads to, against a fake
// list of the machine's devices: the simulator's pseudo-terminal as a USB adapter.
TEST_F(CommSettingDlgTest, AnAssignedDeviceIsOpenedWithoutLeavingTheWindow)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    QTemporaryDir folder;
    const QString byId = folder.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A1B2C3"));
    QFile::link(QString::fromStdString(sim.linkPath()), byId);
    FakeDeviceFinder::installed().devices = {
        {sim.linkPath(), byId.toStdString(), "FTDI", "FT232R USB UART", "A1B2C3", "0403:6001"}};
    const QString gone = folder.filePath(QStringLiteral("ttyGONE"));
    QByteArray profile = "; by hand\n[Ports]\n# left rack\n";
    for (int port = 1; port <= ComPortCount; ++port)
        profile += QStringLiteral("COM%1=%2\n").arg(port).arg(UnmappedPortPath(port)).toUtf8();
    profile += "\n[MRV-508_Section]\ncom_port=0\nuser=kept\n\n[Other]\nx=1\n";
    WriteProfileBytes(profile);
    startTool();
    const auto shownLine = [](QDialog& dialog) {
        return dialog.findChild<QLabel*>(QStringLiteral("portDeviceLabel"))
            ->text()
            .remove(QChar(0x200b));
    };
    const auto assignWith = [&](QDialog& comm, const std::function<void(QDialog&)>& act) {
        WhileOpen([&] { Click(comm, "assignButton"); }, act);
    };

    openCommSetting([&](QDialog& comm) {
        EXPECT_EQ(shownLine(comm), UnmappedPortPath(1) + " (not present)");
        // Cancel writes nothing.
        assignWith(comm, [&](QDialog& assign) {
            FindCombo(assign, "com1Combo")->setEditText(gone);
            Click(assign, "cancelButton");
        });
        EXPECT_EQ(ProfileBytes(), profile);
        assignWith(comm, [&](QDialog& assign) {
            QComboBox* com2 = FindCombo(assign, "com2Combo");
            ASSERT_EQ(com2->count(), 1);
            EXPECT_EQ(com2->itemText(0), byId + " (FTDI FT232R USB UART, A1B2C3, USB 0403:6001)");
            Choose(com2, 0);
            EXPECT_EQ(com2->currentText(), byId);
            FindCombo(assign, "com3Combo")->setEditText(gone);
            FindCombo(assign, "com4Combo")->setEditText("");
            const auto state = [&](const char* name) {
                return assign.findChild<QLabel*>(QLatin1String(name))->text();
            };
            EXPECT_EQ(state("com1State"), "not present");
            EXPECT_EQ(state("com2State"), "present");
            EXPECT_EQ(state("com3State"), "not present");
            FakeDeviceFinder::installed().devices.push_back({"/dev/ttyS1", "", "", "", "", ""});
            Click(assign, "refreshButton");
            EXPECT_EQ(com2->count(), 2);
            EXPECT_EQ(com2->currentText(), byId) << "looking again keeps what is typed";
            Click(assign, "okButton");
        });
        profile.replace(QStringLiteral("COM2=%1").arg(UnmappedPortPath(2)).toUtf8(),
                        "COM2=" + byId.toUtf8());
        profile.replace(QStringLiteral("COM3=%1").arg(UnmappedPortPath(3)).toUtf8(),
                        "COM3=" + gone.toUtf8());
        profile.replace(QStringLiteral("COM4=%1\n").arg(UnmappedPortPath(4)).toUtf8(), "");
        EXPECT_EQ(ProfileBytes(), profile) << "only the changed rows";
        EXPECT_EQ(PortDevicePath(3), "/dev/ttyS3") << "an emptied row has its default back";

        Choose(FindCombo(comm, "portCombo"), "COM 2");
        EXPECT_EQ(shownLine(comm), byId + " (FTDI FT232R USB UART, A1B2C3)");
        Click(comm, "okButton");
    });

    ASSERT_TRUE(SerialLink.portOpen());
    profile.replace("com_port=0", "com_port=1");
    profile.replace("user=kept\n", "user=kept\nrs_control=0\n");
    EXPECT_EQ(ProfileBytes(), profile);
    sendPicture05();
    EXPECT_EQ(sim.framesReceived(), QStringList{"P0105\\r\\n"});
    FakeDeviceFinder::installed().devices.clear();
}

} // namespace
