// The communication settings dialog driven from the view, with simulators as the devices on the
// ports the profile maps.
#include "app/CMainFrame.h"
#include "app/CMrv508App.h"
#include "app/CMrv508View.h"
#include "editors/PictureCommand.h"
#include "link/CommLink.h"
#include "platform/MessageOwner.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QJsonArray>
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

int argc = 1;
char programName[] = "CommSettingDlgTest";
char* argv[] = {programName, nullptr};

const BoxRequest SuccessBox{"Success", "設定完了", BoxIcon::None, BoxSound::SimpleBeep,
                            BoxOwner::MessageOwner};

RecordingBoxes& boxes()
{
    return RecordingBoxes::installed();
}

QString profilePath()
{
    return QString::fromStdString(ProfileFilePath());
}

void writeProfile(const char* key, const QVariant& value)
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    profile.setValue(QStringLiteral("MRV-508_Section/") + QLatin1String(key), value);
}

std::optional<int> storedInt(const char* key)
{
    QSettings profile(profilePath(), QSettings::IniFormat);
    const QString name = QStringLiteral("MRV-508_Section/") + QLatin1String(key);
    if (!profile.contains(name))
        return std::nullopt;
    return profile.value(name).toInt();
}

QByteArray profileBytes()
{
    QFile file(profilePath());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList framesReceived(const SimulatorProcess& sim)
{
    QStringList frames;
    for (const QString& line : sim.log().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (line.contains(QLatin1String("\\r\\n")))
            frames << line.section(QStringLiteral("  "), 0, 0);
    return frames;
}

QComboBox* combo(QDialog& dialog, const char* name)
{
    auto* found = dialog.findChild<QComboBox*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void choose(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void click(QDialog& dialog, const char* name)
{
    auto* button = dialog.findChild<QPushButton*>(QLatin1String(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs `act` inside the modal loop of the dialog that `open` starts. A dialog that `act` left
// open (after a failed assertion) is cancelled so that the test ends.
void whileOpen(const std::function<void()>& open, const std::function<void(QDialog&)>& act)
{
    QObject guard;
    bool acted = false;
    QTimer::singleShot(0, &guard, [&] {
        QWidget* modal = nullptr;
        if (!QTest::qWaitFor([&] { return (modal = QApplication::activeModalWidget()); }, 5000))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        acted = true;
        act(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog->reject();
        }
    });
    open();
    EXPECT_TRUE(acted) << "no dialog opened";
}

class CommSettingDlgTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QSettings(profilePath(), QSettings::IniFormat).clear();
        boxes().clear();
    }

    void TearDown() override
    {
        frame.reset();
        app.reset();
        SetBoxes(&boxes());
        SerialLink.StopLink();
    }

    // The view starts the link on construction from what the profile says at that moment.
    void startTool()
    {
        app = std::make_unique<CMrv508App>(argc, argv);
        SetBoxes(&boxes());
        frame = std::make_unique<CMainFrame>(*app);
        SetMainWindow(frame.get());
    }

    void openCommSetting(const std::function<void(QDialog&)>& act)
    {
        whileOpen([this] { frame->view()->OnCommSetting(); }, act);
    }

    // Sends picture 05 on ch.1 as the picture dialog would and waits for the reply box.
    void sendPicture05()
    {
        boxes().clear();
        SerialLink.SendCommand(MakePictureCommand(0, 4));
        EXPECT_TRUE(boxes().waitForBoxes(1));
    }

    std::unique_ptr<CMrv508App> app;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(CommSettingDlgTest, OpensOnTheCurrentPortAndLineMode)
{
    SimulatorProcess sim({"--rs485"});
    ASSERT_TRUE(sim.started());
    sim.mapPort(3);
    writeProfile("com_port", 2);
    writeProfile("rs_control", 1);
    startTool();
    ASSERT_TRUE(SerialLink.portOpen());

    openCommSetting([](QDialog& dialog) {
        EXPECT_EQ(combo(dialog, "portCombo")->currentText(), "COM 3");
        EXPECT_EQ(combo(dialog, "controlCombo")->currentText(), "RS-485");
        click(dialog, "cancelButton");
    });
}

TEST_F(CommSettingDlgTest, CancelKeepsRecordLinkAndProfile)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    startTool();
    const QByteArray profileBefore = profileBytes();

    openCommSetting([](QDialog& dialog) {
        choose(combo(dialog, "portCombo"), "COM 3");
        choose(combo(dialog, "controlCombo"), "RS-485");
        click(dialog, "cancelButton");
    });

    EXPECT_EQ(DeviceSettings.comPort, 0);
    EXPECT_EQ(DeviceSettings.rsControl, 0);
    EXPECT_EQ(profileBytes(), profileBefore);
    // The link still talks to COM1 without a slave number.
    sendPicture05();
    EXPECT_EQ(framesReceived(sim), QStringList{"P0105\\r\\n"});
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
}

TEST_F(CommSettingDlgTest, OkOpensTheChosenPortWithSlavePrefixAndStoresTheChoice)
{
    SimulatorProcess first;
    SimulatorProcess third({"--rs485", "--slaves", "0,3"});
    ASSERT_TRUE(first.started() && third.started());
    first.mapPort(1);
    third.mapPort(3);
    startTool();

    openCommSetting([](QDialog& dialog) {
        choose(combo(dialog, "portCombo"), "COM 3");
        choose(combo(dialog, "controlCombo"), "RS-485");
        click(dialog, "okButton");
    });

    EXPECT_EQ(DeviceSettings.comPort, 2);
    EXPECT_EQ(DeviceSettings.rsControl, 1);
    EXPECT_EQ(storedInt("com_port"), 2);
    EXPECT_EQ(storedInt("rs_control"), 1);
    ASSERT_TRUE(SerialLink.portOpen());
    EXPECT_TRUE(boxes().shown.empty());

    DeviceSettings.slaveNo = 3;
    sendPicture05();
    EXPECT_EQ(framesReceived(third), QStringList{"03P0105\\r\\n"});
    EXPECT_EQ(third.channel(0, 1)[QStringLiteral("picture")].toInt(), 5);
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox}) << "the new reader reads";
    EXPECT_TRUE(framesReceived(first).isEmpty());
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

    openCommSetting([](QDialog& dialog) { click(dialog, "okButton"); });

    EXPECT_TRUE(SerialLink.portOpen());
    EXPECT_TRUE(SerialLink.readerStarted());
    EXPECT_EQ(storedInt("com_port"), 0);
    EXPECT_EQ(storedInt("rs_control"), 0);
    sendPicture05();
    EXPECT_EQ(framesReceived(after), QStringList{"P0105\\r\\n"});
    EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
    EXPECT_TRUE(framesReceived(before).isEmpty());
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
        choose(combo(dialog, "portCombo"), "COM 4");
        click(dialog, "okButton");
    });

    const auto linkError = [](const std::string& text) {
        return BoxRequest{text, "Error", BoxIcon::Error, BoxSound::QuestionSound, BoxOwner::None};
    };
    const std::vector<BoxRequest> portMessages = {
        linkError("Miss! File Open\n\n" + missing + ": no such device."),
        linkError("Miss! Mask Set"),
        linkError("Miss! Buffer Set"),
        linkError("Miss! Time Out Set"),
        linkError("Miss! Set Comm State"),
    };
    EXPECT_EQ(boxes().shown, portMessages);
    EXPECT_FALSE(SerialLink.portOpen());
    EXPECT_EQ(DeviceSettings.comPort, 3);
    EXPECT_EQ(storedInt("com_port"), 3);
    EXPECT_EQ(storedInt("rs_control"), 0);

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
    writeProfile("com_port", stored.comPort);
    writeProfile("rs_control", stored.rsControl);
    startTool();

    openCommSetting([&](QDialog& dialog) {
        EXPECT_EQ(combo(dialog, "portCombo")->currentText(), stored.portShown);
        EXPECT_EQ(combo(dialog, "controlCombo")->currentText(), stored.controlShown);
        click(dialog, "okButton");
    });

    EXPECT_EQ(storedInt("com_port"), 0);
    EXPECT_EQ(storedInt("rs_control"), stored.controlStored);
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

TEST_F(CommSettingDlgTest, EachPortShowsItsDevicePathAsTooltip)
{
    SimulatorProcess sim;
    ASSERT_TRUE(sim.started());
    sim.mapPort(1);
    MapPortInProfile(6, "/dev/ttyUSB0");
    startTool();

    openCommSetting([&](QDialog& dialog) {
        QComboBox* ports = combo(dialog, "portCombo");
        const QStringList expected = {QString::fromStdString(sim.linkPath()),
                                      "/dev/ttyS1",
                                      "/dev/ttyS2",
                                      "/dev/ttyS3",
                                      "/dev/ttyS4",
                                      "/dev/ttyUSB0"};
        ASSERT_EQ(ports->count(), expected.size());
        for (int item = 0; item < ports->count(); ++item)
            EXPECT_EQ(ports->itemData(item, Qt::ToolTipRole).toString(), expected[item])
                << ports->itemText(item).toStdString();
        click(dialog, "cancelButton");
    });
}

} // namespace
