// The white level and screen offset dialogs driven as an operator drives them: opened from the
// view, against the device simulator on COM1.
#include "app/CMrv508View.h"
#include "link/CommLink.h"
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
    void (CMrv508View::*open)();
    const char* valueCombo;
    int& (*value)(int channel); // what the value list shows, in the record
    const char* shownAfterReset;
};

const Editor WhiteLevel{
    &CMrv508View::OnWhiteLevel, "levelCombo",
    [](int c) -> int& { return DeviceSettings.whiteLevel[c][DeviceSettings.curWhitePicture]; },
    "8"};
const Editor Vertical{&CMrv508View::OnVerticalOffset, "offsetCombo",
                      [](int c) -> int& { return DeviceSettings.vOffset[c]; }, "32"};
const Editor Horizontal{&CMrv508View::OnHorizontalOffset, "offsetCombo",
                        [](int c) -> int& { return DeviceSettings.hOffset[c]; }, "08"};

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

struct Session
{
    const Editor* editor;
    bool rs485;
    int channel;
    int picture; // white level only
    int value;
    const char* frame;
};

void PrintTo(const Session& c, std::ostream* out)
{
    *out << c.frame;
}

class ValueEditorSessionTest : public ValueEditorDlgTest,
                               public testing::WithParamInterface<Session>
{
};

TEST_P(ValueEditorSessionTest, ChoicesReachTheRecordAtOnceOutliveCancelAndSetSendsThem)
{
    const Session& c = GetParam();
    const Editor& editor = *c.editor;
    SimulatorProcess sim(c.rs485 ? QStringList{"--rs485", "--slaves", "3"} : QStringList{});
    startOn(sim, c.rs485);
    DeviceSettings.slaveNo = 7;
    open(editor, [&](QDialog& dialog) {
        QComboBox* value = FindCombo(dialog, editor.valueCombo);
        EXPECT_EQ(value->currentText(), editor.shownAfterReset);
        if (c.rs485)
            Choose(FindCombo(dialog, "slaveCombo"), 3);
        Choose(FindCombo(dialog, "channelCombo"), c.channel);
        if (&editor == &WhiteLevel)
            Choose(FindCombo(dialog, "pictureCombo"), c.picture);
        Choose(value, value->currentIndex());
        EXPECT_EQ(DeviceSettings.modified, 0) << "the same value again changes nothing";
        Choose(value, c.value);
        EXPECT_EQ(DeviceSettings.modified, 1);
        Click(dialog, "setButton");
        EXPECT_TRUE(boxes().waitForBoxes(1)) << "the reply";
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(sim.framesReceived(), QStringList{c.frame});
    EXPECT_EQ(DeviceSettings.slaveNo, c.rs485 ? 3 : 7);
    EXPECT_EQ(DeviceSettings.curChannel, c.channel);
    EXPECT_EQ(editor.value(c.channel), c.value);
}

INSTANTIATE_TEST_SUITE_P(Frames, ValueEditorSessionTest,
                         testing::Values(Session{&WhiteLevel, false, 0, 4, 9, "WL01059\\r\\n"},
                                         Session{&WhiteLevel, true, 1, 11, 0, "03WL02120\\r\\n"},
                                         Session{&Vertical, false, 0, 0, 5, "VER0105\\r\\n"},
                                         Session{&Vertical, true, 1, 0, 63, "03VER0263\\r\\n"},
                                         Session{&Horizontal, false, 1, 0, 10, "HOR0210\\r\\n"},
                                         Session{&Horizontal, true, 0, 0, 15, "03HOR0115\\r\\n"}));

TEST_F(ValueEditorDlgTest, WhiteLevelPreviewAndCaptionFollowTheChannel)
{
    SimulatorProcess sim;
    startOn(sim);
    DeviceSettings.whiteLevel[1][16] = 3;
    open(WhiteLevel, [&](QDialog& dialog) {
        auto* preview = dialog.findChild<PreviewFrame*>(QStringLiteral("previewFrame"));
        EXPECT_EQ(dialog.windowTitle(), "ホワイトレベル設定 チャンネル１");
        EXPECT_EQ(preview->content().at(16).text, "Picture17 = 8");
        Choose(FindCombo(dialog, "channelCombo"), 1);
        EXPECT_EQ(dialog.windowTitle(), "ホワイトレベル設定 チャンネル２");
        EXPECT_EQ(preview->content().at(16).text, "Picture17 = 3");
        Click(dialog, "cancelButton");
    });
}

struct Damaged
{
    const Editor* editor;
    int stored;
    const char* frame; // once the operator chooses item 1
};

void PrintTo(const Damaged& c, std::ostream* out)
{
    *out << c.stored << " then " << c.frame;
}

class ValueEditorDamagedTest : public ValueEditorDlgTest,
                               public testing::WithParamInterface<Damaged>
{
};

// A settings file can put any number into the record; the lists have no item for it.
TEST_P(ValueEditorDamagedTest, ShowsNoSelectionAndSendsNothingUntilAValueIsChosen)
{
    const Damaged& c = GetParam();
    SimulatorProcess sim;
    startOn(sim);
    c.editor->value(0) = c.stored;
    open(*c.editor, [&](QDialog& dialog) {
        QComboBox* value = FindCombo(dialog, c.editor->valueCombo);
        EXPECT_EQ(value->currentIndex(), -1);
        Click(dialog, "setButton");
        EXPECT_EQ(c.editor->value(0), c.stored);
        Choose(value, 1);
        Click(dialog, "setButton");
        ASSERT_TRUE(boxes().waitForBoxes(1));
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(sim.framesReceived(), QStringList{c.frame});
}

INSTANTIATE_TEST_SUITE_P(Values, ValueEditorDamagedTest,
                         testing::Values(Damaged{&WhiteLevel, -5, "WL01011\\r\\n"},
                                         Damaged{&Vertical, 64, "VER0101\\r\\n"},
                                         Damaged{&Horizontal, 16, "HOR0101\\r\\n"}));

} // namespace
