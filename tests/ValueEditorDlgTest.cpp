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
};

const Editor WhiteLevel{&CMrv508View::OnWhiteLevel, "levelCombo", [](int c) -> int& {
                            return DeviceSettings.whiteLevel[c][DeviceSettings.curWhitePicture];
                        }};
const Editor Vertical{&CMrv508View::OnVerticalOffset, "offsetCombo",
                      [](int c) -> int& { return DeviceSettings.vOffset[c]; }};
const Editor Horizontal{&CMrv508View::OnHorizontalOffset, "offsetCombo",
                        [](int c) -> int& { return DeviceSettings.hOffset[c]; }};

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
    int stored;  // a settings file can put any number into the record
    const char* shown;
    int value;
    QStringList frames;
};

void PrintTo(const Session& c, std::ostream* out)
{
    *out << c.frames.join(' ').toStdString();
}

class ValueEditorSessionTest : public ValueEditorDlgTest,
                               public testing::WithParamInterface<Session>
{
};

TEST_P(ValueEditorSessionTest, ChoicesReachTheRecordAtOnceOutliveCancelAndOnlyListedValuesAreSent)
{
    const Session& c = GetParam();
    const Editor& editor = *c.editor;
    SimulatorProcess sim(c.rs485 ? QStringList{"--rs485", "--slaves", "3"} : QStringList{});
    startOn(sim, c.rs485);
    DeviceSettings.slaveNo = 7;
    DeviceSettings.curWhitePicture = c.picture;
    editor.value(c.channel) = c.stored;
    open(editor, [&](QDialog& dialog) {
        QComboBox* value = FindCombo(dialog, editor.valueCombo);
        if (c.rs485)
            Choose(FindCombo(dialog, "slaveCombo"), 3);
        Choose(FindCombo(dialog, "channelCombo"), c.channel);
        EXPECT_EQ(value->currentText(), c.shown);
        Click(dialog, "setButton");
        EXPECT_TRUE(boxes().waitForBoxes(1));
        EXPECT_EQ(boxes().shownTexts().front(), *c.shown ? "Success" : "Choose a value first");
        EXPECT_EQ(editor.value(c.channel), c.stored);
        EXPECT_EQ(DeviceSettings.modified, 0) << "nothing has changed yet";
        Choose(value, c.value);
        EXPECT_EQ(DeviceSettings.modified, 1);
        Click(dialog, "setButton");
        EXPECT_TRUE(boxes().waitForBoxes(2));
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(sim.framesReceived(), c.frames);
    EXPECT_EQ(DeviceSettings.slaveNo, c.rs485 ? 3 : 7);
    EXPECT_EQ(DeviceSettings.curChannel, c.channel);
    EXPECT_EQ(editor.value(c.channel), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ValueEditorSessionTest,
    testing::Values(
        Session{&WhiteLevel, false, 0, 4, 8, "8", 9, {"WL01058\\r\\n", "WL01059\\r\\n"}},
        Session{&WhiteLevel, true, 1, 11, 8, "8", 0, {"03WL02128\\r\\n", "03WL02120\\r\\n"}},
        Session{&WhiteLevel, false, 1, 31, 10, "", 1, {"WL02321\\r\\n"}},
        Session{&Vertical, false, 0, 0, 32, "32", 5, {"VER0132\\r\\n", "VER0105\\r\\n"}},
        Session{&Vertical, true, 1, 0, 64, "", 63, {"03VER0263\\r\\n"}},
        Session{&Horizontal, false, 1, 0, 8, "08", 10, {"HOR0208\\r\\n", "HOR0210\\r\\n"}},
        Session{&Horizontal, true, 0, 0, -1, "", 15, {"03HOR0115\\r\\n"}}));

TEST_F(ValueEditorDlgTest, WhiteLevelPreviewAndCaptionFollowTheChannel)
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
        EXPECT_EQ(preview->content().at(16).text, "Picture17 = 3");
        Choose(FindCombo(dialog, "pictureCombo"), 0);
        EXPECT_EQ(FindCombo(dialog, "levelCombo")->currentText(), "8");
        Choose(FindCombo(dialog, "channelCombo"), 0);
        EXPECT_EQ(dialog.windowTitle(), "ホワイトレベル設定 チャンネル１");
        EXPECT_EQ(preview->content().at(16).text, "Picture17 = 8");
        Click(dialog, "cancelButton");
    });
}

} // namespace
