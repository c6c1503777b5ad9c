// The white level and screen offset dialogs driven as an operator drives them: opened from the
// view, against the device simulator on COM1.
#include "app/CMrv508View.h"
#include "link/CommLink.h"
#include "platform/MessageOwner.h"
#include "platform/PreviewFrame.h"
#include "settings/DeviceSettings.h"
#include "support/DialogDriver.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"
#include "support/ToolTest.h"

#include <QComboBox>
#include <QDialog>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

struct Editor
{
    const char* name;
    void (CMrv508View::*open)();
    const char* valueCombo;
    int& (*value)(int channel); // what the value list shows, in the record
    const char* shownAfterReset;
};

const Editor WhiteLevel{
    "WhiteLevel", &CMrv508View::OnWhiteLevel, "levelCombo",
    [](int c) -> int& { return DeviceSettings.whiteLevel[c][DeviceSettings.curWhitePicture]; },
    "8"};
const Editor Vertical{"Vertical", &CMrv508View::OnVerticalOffset, "offsetCombo",
                      [](int c) -> int& { return DeviceSettings.vOffset[c]; }, "32"};
const Editor Horizontal{"Horizontal", &CMrv508View::OnHorizontalOffset, "offsetCombo",
                        [](int c) -> int& { return DeviceSettings.hOffset[c]; }, "08"};

void PrintTo(const Editor* editor, std::ostream* out)
{
    *out << editor->name;
}

class ValueEditorDlgTest : public ToolTest
{
protected:
    void startOn(const SimulatorProcess& sim, bool rs485 = false)
    {
        WriteProfileValue("rs_control", rs485 ? 1 : 0);
        ASSERT_TRUE(sim.started());
        sim.mapPort(1);
        startTool();
        ASSERT_TRUE(SerialLink.portOpen());
    }

    void open(const Editor& editor, const std::function<void(QDialog&)>& act)
    {
        WhileOpen([&] { (frame->view()->*editor.open)(); }, act);
    }
};

struct SetCase
{
    const Editor* editor;
    bool rs485;
    int slave;
    int channel;
    int picture; // white level only
    int value;
    const char* frame;
};

void PrintTo(const SetCase& c, std::ostream* out)
{
    *out << c.frame;
}

class ValueEditorSetTest : public ValueEditorDlgTest, public testing::WithParamInterface<SetCase>
{
};

TEST_P(ValueEditorSetTest, SetSendsTheChosenValueWithTheSlaveNumberOnlyOnRs485)
{
    const SetCase& c = GetParam();
    SimulatorProcess sim(c.rs485 ? QStringList{"--rs485", "--slaves", "0,3"} : QStringList{});
    startOn(sim, c.rs485);
    DeviceSettings.slaveNo = 7;
    open(*c.editor, [&](QDialog& dialog) {
        QComboBox* slave = FindCombo(dialog, "slaveCombo");
        EXPECT_EQ(slave->isEnabled(), c.rs485);
        if (c.rs485)
            Choose(slave, c.slave);
        Choose(FindCombo(dialog, "channelCombo"), c.channel);
        if (c.editor == &WhiteLevel)
            Choose(FindCombo(dialog, "pictureCombo"), c.picture);
        Choose(FindCombo(dialog, c.editor->valueCombo), c.value);
        Click(dialog, "setButton");
        ASSERT_TRUE(boxes().waitForBoxes(1));
        EXPECT_EQ(boxes().shown, std::vector<BoxRequest>{SuccessBox});
        EXPECT_EQ(OwnerWindow(BoxOwner::MessageOwner), &dialog);
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(sim.framesReceived(), QStringList{c.frame});
    EXPECT_EQ(DeviceSettings.slaveNo, c.slave);
    EXPECT_EQ(c.editor->value(c.channel), c.value);
}

INSTANTIATE_TEST_SUITE_P(Frames, ValueEditorSetTest,
                         testing::Values(SetCase{&WhiteLevel, false, 7, 0, 4, 8, "WL01058\\r\\n"},
                                         SetCase{&WhiteLevel, true, 3, 1, 11, 0, "03WL02120\\r\\n"},
                                         SetCase{&Vertical, false, 7, 0, 0, 5, "VER0105\\r\\n"},
                                         SetCase{&Vertical, true, 3, 1, 0, 63, "03VER0263\\r\\n"},
                                         SetCase{&Horizontal, false, 7, 1, 0, 8, "HOR0208\\r\\n"},
                                         SetCase{&Horizontal, true, 3, 0, 0, 15,
                                                 "03HOR0115\\r\\n"}));

class ValueEditorRecordTest : public ValueEditorDlgTest,
                              public testing::WithParamInterface<const Editor*>
{
};

TEST_P(ValueEditorRecordTest, ChoicesReachTheRecordAtOnceAndOutliveCancel)
{
    const Editor& editor = *GetParam();
    SimulatorProcess sim;
    startOn(sim);
    open(editor, [&](QDialog& dialog) {
        QComboBox* value = FindCombo(dialog, editor.valueCombo);
        EXPECT_EQ(value->currentText(), editor.shownAfterReset);
        Choose(value, value->currentIndex());
        EXPECT_EQ(DeviceSettings.modified, 0) << "the same value again changes nothing";
        Choose(FindCombo(dialog, "channelCombo"), 1);
        EXPECT_EQ(DeviceSettings.curChannel, 1);
        EXPECT_EQ(value->currentText(), editor.shownAfterReset);
        Choose(value, 3);
        EXPECT_EQ(DeviceSettings.modified, 1);
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(editor.value(1), 3);
    EXPECT_EQ(editor.value(0), QString(editor.shownAfterReset).toInt());
    open(editor, [&](QDialog& dialog) {
        EXPECT_EQ(FindCombo(dialog, "channelCombo")->currentText(), "ch.2");
        EXPECT_EQ(FindCombo(dialog, editor.valueCombo)->currentIndex(), 3);
        Click(dialog, "okButton");
    });
    EXPECT_TRUE(sim.framesReceived().isEmpty()) << "only 設定 sends";
}

INSTANTIATE_TEST_SUITE_P(Editors, ValueEditorRecordTest,
                         testing::Values(&WhiteLevel, &Vertical, &Horizontal));

TEST_F(ValueEditorDlgTest, WhiteLevelPreviewShowsTheCurrentChannelAndItsCaption)
{
    SimulatorProcess sim;
    startOn(sim);
    open(WhiteLevel, [&](QDialog& dialog) {
        auto* preview = dialog.findChild<PreviewFrame*>(QStringLiteral("previewFrame"));
        EXPECT_EQ(dialog.windowTitle(), "ホワイトレベル設定 チャンネル１");
        Choose(FindCombo(dialog, "channelCombo"), 1);
        Choose(FindCombo(dialog, "pictureCombo"), 16);
        Choose(FindCombo(dialog, "levelCombo"), 3);
        EXPECT_EQ(dialog.windowTitle(), "ホワイトレベル設定 チャンネル２");
        EXPECT_EQ(preview->content().at(16), (PreviewLine{280, 6, "Picture17 = 3"}));
        Choose(FindCombo(dialog, "pictureCombo"), 0);
        EXPECT_EQ(FindCombo(dialog, "levelCombo")->currentText(), "8");
        Choose(FindCombo(dialog, "channelCombo"), 0);
        EXPECT_EQ(dialog.windowTitle(), "ホワイトレベル設定 チャンネル１");
        EXPECT_EQ(preview->content().at(16).text, "Picture17 = 8");
        Click(dialog, "cancelButton");
    });
}

struct DamagedCase
{
    const Editor* editor;
    int stored;
    const char* firstFrame; // after the operator chooses item 1
};

void PrintTo(const DamagedCase& c, std::ostream* out)
{
    *out << c.editor->name << " " << c.stored;
}

class ValueEditorDamagedTest : public ValueEditorDlgTest,
                               public testing::WithParamInterface<DamagedCase>
{
};

// A settings file can put any number into the record; the lists have no item for it.
TEST_P(ValueEditorDamagedTest, ADamagedValueShowsNoSelectionAndIsNotSentUntilOneIsChosen)
{
    const DamagedCase& c = GetParam();
    SimulatorProcess sim;
    startOn(sim);
    c.editor->value(0) = c.stored;
    open(*c.editor, [&](QDialog& dialog) {
        QComboBox* value = FindCombo(dialog, c.editor->valueCombo);
        EXPECT_EQ(value->currentIndex(), -1);
        if (auto* preview = dialog.findChild<PreviewFrame*>(QStringLiteral("previewFrame"))) {
            EXPECT_EQ(preview->content().at(0).text, "Picture01 = ?");
        }
        Click(dialog, "setButton");
        EXPECT_EQ(c.editor->value(0), c.stored);
        Choose(value, 1);
        Click(dialog, "setButton");
        ASSERT_TRUE(boxes().waitForBoxes(1));
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(sim.framesReceived(), QStringList{c.firstFrame});
}

INSTANTIATE_TEST_SUITE_P(Values, ValueEditorDamagedTest,
                         testing::Values(DamagedCase{&WhiteLevel, 10, "WL01011\\r\\n"},
                                         DamagedCase{&WhiteLevel, -5, "WL01011\\r\\n"},
                                         DamagedCase{&Vertical, 64, "VER0101\\r\\n"},
                                         DamagedCase{&Horizontal, 16, "HOR0101\\r\\n"},
                                         DamagedCase{&Horizontal, -2147483647, "HOR0101\\r\\n"}));

} // namespace
