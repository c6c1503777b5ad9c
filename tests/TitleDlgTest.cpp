// The title dialog driven as an operator drives it, against the device simulator on COM1, with
// the desktop's input method stood in for.
#include "app/CMainFrame.h"
#include "app/CMrv508View.h"
#include "editors/CTitleDlg.h"
#include "link/CommLink.h"
#include "platform/Cp932.h"
#include "platform/InputMethod.h"
#include "settings/DeviceSettings.h"
#include "support/DialogDriver.h"
#include "support/RecordingBoxes.h"
#include "support/SimulatorProcess.h"
#include "support/TestProfile.h"
#include "support/ToolTest.h"

#include <QComboBox>
#include <QEvent>
#include <QJsonArray>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string NotJis = "ＪＩＳ第１水準,第２水準以外の字が選択されてます";

class FakeInputMethod : public InputMethod
{
public:
    bool isOpen() override { return open; }
    void setOpen(bool value) override { open = value; }
    bool open = false;
};

std::string cp932(const QString& text)
{
    return ToCp932(text).value_or("not CP932");
}

QString repeated(const QString& text, int times)
{
    return text.repeated(times);
}

QLineEdit* titleEdit(QDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("titleEdit"));
}

QPushButton* button(QDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QLatin1String(name));
}

QString decodedTitle(const SimulatorProcess& sim, int channel, int position)
{
    return sim.channel(channel)[QStringLiteral("titles")].toArray()[position].toString();
}

// Keeps the batch's own 600 ms timer away from the dialog, so that its steps come only from the
// test's ticks however long a reply takes on a loaded machine.
class TestTicksOnly : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Timer; }
};

class TitleDlgTest : public ToolTest
{
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        SetInputMethod(&inputMethod);
    }
    void TearDown() override
    {
        SetInputMethod(nullptr);
        DeviceSettings.allSetStep = 0;
        DeviceSettings.replyError = 0;
        ToolTest::TearDown();
    }

    // The tool on the simulator; the record is reset by the start, so titles are set after it.
    void startOn(const SimulatorProcess& sim)
    {
        ASSERT_TRUE(sim.started());
        sim.mapPort(1);
        startTool();
        ASSERT_TRUE(SerialLink.portOpen());
    }

    void openTitle(const std::function<void(CTitleDlg&)>& act)
    {
        WhileOpen([this] { frame->view()->OnTitle(); },
                  [&](QDialog& dialog) {
                      TestTicksOnly ticks;
                      dialog.installEventFilter(&ticks);
                      act(static_cast<CTitleDlg&>(dialog));
                      dialog.removeEventFilter(&ticks);
                  });
    }

    FakeInputMethod inputMethod;
};

class TitleDlgCloseTest : public TitleDlgTest, public testing::WithParamInterface<const char*>
{
};

} // namespace

TEST_P(TitleDlgCloseTest, OpensOnTheRecordWithInputOnAndClosingKeepsEditsAndRestoresInput)
{
    SimulatorProcess sim;
    startOn(sim);
    openTitle([](CTitleDlg& dialog) {
        QComboBox* positions = FindCombo(dialog, "positionCombo");
        EXPECT_EQ(positions->currentText(), "Bottom 1");
        EXPECT_EQ(positions->itemText(8), "Bottom 9");
        EXPECT_EQ(positions->itemText(9), "Bottom10");
        EXPECT_EQ(positions->itemText(32), "Top");
        EXPECT_EQ(FindCombo(dialog, "channelCombo")->currentText(), "ch.1");
        EXPECT_FALSE(FindCombo(dialog, "slaveCombo")->isEnabled()) << "RS-232C";
        EXPECT_TRUE(titleEdit(dialog)->text().isEmpty());
        EXPECT_EQ(dialog.windowTitle(), "タイトル設定 チャンネル１");
        EXPECT_EQ(dialog.focusWidget(), titleEdit(dialog));
        Commit(dialog, "titleEdit", "漢字");
        Choose(FindCombo(dialog, "channelCombo"), "ch.2");
        EXPECT_EQ(dialog.windowTitle(), "タイトル設定 チャンネル２");
        Commit(dialog, "titleEdit", "あい");
        Choose(positions, "Top");
        EXPECT_TRUE(titleEdit(dialog)->text().isEmpty());
        Click(dialog, GetParam());
    });
    EXPECT_FALSE(inputMethod.open) << "the earlier state is back";
    EXPECT_EQ(DeviceSettings.title[0][0], cp932("漢字"));
    EXPECT_EQ(DeviceSettings.title[1][0], cp932("あい"));
    EXPECT_EQ(DeviceSettings.modified, 1);
    EXPECT_TRUE(sim.framesReceived().isEmpty()) << "nothing is sent before 設定";

    inputMethod.open = true;
    openTitle([this](CTitleDlg& dialog) {
        EXPECT_EQ(FindCombo(dialog, "channelCombo")->currentText(), "ch.2");
        EXPECT_EQ(FindCombo(dialog, "positionCombo")->currentText(), "Top");
        Choose(FindCombo(dialog, "positionCombo"), "Bottom 1");
        EXPECT_EQ(titleEdit(dialog)->text(), "あい");
        EXPECT_TRUE(inputMethod.open);
        Click(dialog, GetParam());
    });
    EXPECT_TRUE(inputMethod.open);
}

INSTANTIATE_TEST_SUITE_P(Buttons, TitleDlgCloseTest, testing::Values("okButton", "cancelButton"));

namespace {

struct TypingCase
{
    const char* name;
    std::vector<QString> commits;
    QString shown;
};

void PrintTo(const TypingCase& c, std::ostream* out)
{
    *out << c.name;
}

class TitleTypingTest : public TitleDlgTest, public testing::WithParamInterface<TypingCase>
{
};

} // namespace

TEST_P(TitleTypingTest, TheEditBoxTakesAtMost28Cp932BytesAndNoHalfWidthBlank)
{
    SimulatorProcess sim;
    startOn(sim);
    openTitle([](CTitleDlg& dialog) {
        for (const QString& text : GetParam().commits)
            Commit(dialog, "titleEdit", text);
        EXPECT_EQ(titleEdit(dialog)->text(), GetParam().shown);
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(DeviceSettings.title[0][0], cp932(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Commits, TitleTypingTest,
    testing::Values(TypingCase{"FourteenFullWidth", {repeated("漢", 14)}, repeated("漢", 14)},
                    TypingCase{"FifteenthRefused", {repeated("漢", 14), "字"}, repeated("漢", 14)},
                    TypingCase{"TooLongCommitTakesWhatFits",
                               {repeated("漢", 10), "あいうえお"},
                               repeated("漢", 10) + "あいうえ"},
                    TypingCase{"HalfWidthLeftForAFullWidthIsCutWhole",
                               {repeated("A", 27), "漢字"},
                               repeated("A", 27)},
                    TypingCase{"TwentyEightHalfWidth", {repeated("A", 28), "B"}, repeated("A", 28)},
                    TypingCase{"BlankAndTabBecomeFullWidth", {"A B\tC"}, "A　B　C"},
                    // As long as the box takes (32,767): a blank made full-width, cut whole.
                    TypingCase{"LongestPasteCutAtACharacter",
                               {repeated("字 B", 10922) + "字"},
                               repeated("字　B", 5) + "字"},
                    TypingCase{"NoCp932CodeRefused", {"漢", "字😀"}, "漢"}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

namespace {

struct SetCase
{
    const char* name;
    QStringList simOptions;
    QString slave;
    QString typed;
    QStringList frames;
    std::vector<std::string> boxes;
};

void PrintTo(const SetCase& c, std::ostream* out)
{
    *out << c.name;
}

class TitleSetTest : public TitleDlgTest, public testing::WithParamInterface<SetCase>
{
};

const QString KanjiTopOfCh2 = "CA02TOP34413B7A" + QString("2121").repeated(12) + "\\r\\n";

} // namespace

TEST_P(TitleSetTest, SetSendsTheLineOnDisplayOrWarns)
{
    const SetCase& c = GetParam();
    SimulatorProcess sim(c.simOptions);
    WriteProfileValue("rs_control", c.simOptions.contains("--rs485") ? 1 : 0);
    startOn(sim);
    openTitle([&](CTitleDlg& dialog) {
        Choose(FindCombo(dialog, "channelCombo"), "ch.2");
        Choose(FindCombo(dialog, "positionCombo"), "Top");
        Choose(FindCombo(dialog, "slaveCombo"), c.slave);
        Commit(dialog, "titleEdit", c.typed);
        Click(dialog, "setButton");
        EXPECT_TRUE(boxes().waitForBoxes(c.boxes.size()));
        EXPECT_TRUE(dialog.isVisible());
        Click(dialog, "okButton");
    });
    EXPECT_EQ(sim.framesReceived(), c.frames);
    EXPECT_EQ(boxes().shownTexts(), c.boxes);
    EXPECT_EQ(DeviceSettings.slaveNo, c.slave.toInt()) << "also from a disabled list";
    if (!c.frames.isEmpty()) {
        EXPECT_EQ(decodedTitle(sim, 1, 32), c.typed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TitleSetTest,
    testing::Values(SetCase{"Rs232c", {}, "07", "漢字", {KanjiTopOfCh2}, {"Success"}},
                    SetCase{"Rs485Slave5",
                            {"--rs485", "--slaves", "5"},
                            "05",
                            "漢字",
                            {"05" + KanjiTopOfCh2},
                            {"Success"}},
                    SetCase{"HalfWidthLetter", {}, "00", "A", {}, {NotJis}},
                    SetCase{"TwoHalfWidthLetters", {}, "00", "AB", {}, {NotJis}}),
    [](const testing::TestParamInfo<SetCase>& info) { return std::string(info.param.name); });

TEST_F(TitleDlgTest, ATitleTooLongFromAFileIsCutToWholeCharactersWhenShown)
{
    SimulatorProcess sim;
    startOn(sim);
    const std::string kanji = cp932("漢");
    DeviceSettings.title[0][0] = cp932(repeated("漢", 13)) + "A" + kanji;
    DeviceSettings.title[0][1] = cp932(repeated("漢", 15));
    openTitle([](CTitleDlg& dialog) {
        EXPECT_EQ(titleEdit(dialog)->text(), repeated("漢", 13) + "A");
        Choose(FindCombo(dialog, "positionCombo"), "Bottom 2");
        EXPECT_EQ(titleEdit(dialog)->text(), repeated("漢", 14));
        Click(dialog, "cancelButton");
    });
    EXPECT_EQ(DeviceSettings.title[0][0], cp932(repeated("漢", 13)) + "A");
    EXPECT_EQ(DeviceSettings.title[0][1], cp932(repeated("漢", 14)));
}

namespace {

// The batch's lines in its order, as their first characters: "CA01B01" ... "CA02TOP".
QStringList batchLineStarts()
{
    QStringList starts;
    for (int step = 1; step <= 66; ++step) {
        const int channel = step <= 33 ? 1 : 2;
        const int position = (step - 1) % 33;
        starts << QStringLiteral("CA0%1").arg(channel) +
                      (position == 32
                           ? QStringLiteral("TOP")
                           : QStringLiteral("B%1").arg(position + 1, 2, 10, QLatin1Char('0')));
    }
    return starts;
}

struct BatchCase
{
    const char* name;
    QStringList simOptions;
    std::vector<std::tuple<int, int, QString>> titles;
    int replyErrorBefore;
    int ticks;
    std::vector<int> skippedSteps; // sent neither before nor after
    int frames;
    std::vector<std::string> boxes;
    int progress;
};

void PrintTo(const BatchCase& c, std::ostream* out)
{
    *out << c.name;
}

class TitleBatchTest : public TitleDlgTest, public testing::WithParamInterface<BatchCase>
{
};

} // namespace

// Ticks are injected; between two of them the device answers, as it does within 600 ms.
TEST_P(TitleBatchTest, SendsEveryLineInOrderUntilItsEndOrAnAbort)
{
    const BatchCase& c = GetParam();
    SimulatorProcess sim(c.simOptions);
    startOn(sim);
    for (const auto& [channel, position, text] : c.titles)
        DeviceSettings.title[channel][position] = cp932(text);
    DeviceSettings.replyError = c.replyErrorBefore;
    openTitle([&](CTitleDlg& dialog) {
        Choose(FindCombo(dialog, "channelCombo"), "ch.2");
        Click(dialog, "allSetButton");
        EXPECT_FALSE(button(dialog, "cancelButton")->isEnabled());
        EXPECT_EQ(FindCombo(dialog, "channelCombo")->currentText(), "ch.1");
        for (int tick = 0; tick < c.ticks; ++tick) {
            dialog.OnTimer();
            ASSERT_TRUE(QTest::qWaitFor([] { return DeviceSettings.awaitingReply == 0; }, 5000));
        }
        EXPECT_TRUE(boxes().waitForBoxes(c.boxes.size()));
        QTest::qWait(50); // a further box would be a fault
        EXPECT_EQ(DeviceSettings.allSetStep, 0);
        EXPECT_EQ(DeviceSettings.curChannel, 0);
        EXPECT_TRUE(button(dialog, "cancelButton")->isEnabled());
        EXPECT_EQ(dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(),
                  c.progress);
        Click(dialog, "okButton");
    });

    QStringList expected = batchLineStarts();
    for (auto step = c.skippedSteps.rbegin(); step != c.skippedSteps.rend(); ++step)
        expected.removeAt(*step - 1);
    QStringList starts;
    for (const QString& line : sim.framesReceived())
        starts << line.left(7);
    EXPECT_EQ(starts, expected.mid(0, c.frames));
    EXPECT_EQ(boxes().shownTexts(), c.boxes);
    for (const auto& [channel, position, text] : c.titles) {
        if (c.frames == 66) {
            EXPECT_EQ(decodedTitle(sim, channel, position), text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batches, TitleBatchTest,
    testing::Values(
        BatchCase{"MixedTitles",
                  {},
                  {{0, 4, "漢字"}, {1, 32, "あい"}, {1, 0, repeated("漢", 14)}},
                  0,
                  67,
                  {},
                  66,
                  {"Success"},
                  0},
        BatchCase{"ASlowDeviceStillGetsItsOneSuccessBox",
                  {"--baud", "9600"},
                  {},
                  0,
                  67,
                  {},
                  66,
                  {"Success"},
                  0},
        BatchCase{"LengthRejectionEndsIt", {}, {{0, 4, "A"}}, 0, 6, {5}, 4, {NotJis}, 5},
        BatchCase{"ConversionRejectionSkipsItsLine",
                  {},
                  {{0, 4, "AB"}},
                  0,
                  67,
                  {5},
                  65,
                  {NotJis, "Success"},
                  0},
        BatchCase{"ErrorReplyEndsIt", {"--error-on", "3"}, {}, 0, 4, {}, 3, {"Command Error"}, 3},
        BatchCase{"ErrorBeforeTheStartEndsItAtOnce", {}, {}, 1, 1, {}, 0, {}, 0}),
    [](const testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

namespace {

// A warning box that stays open over two more ticks, as the real one does while the timer runs.
class TickingBoxes : public MessageBoxes
{
public:
    explicit TickingBoxes(CTitleDlg& dialog) : dialog(dialog) {}
    void show(const BoxRequest& box) override
    {
        boxes().show(box);
        dialog.OnTimer();
        dialog.OnTimer();
    }
    bool askYesNo(const std::string& question) override { return boxes().askYesNo(question); }

private:
    CTitleDlg& dialog;
};

} // namespace

TEST_F(TitleDlgTest, TicksWhileAWarningIsOpenNeitherStepNorWarnAgain)
{
    SimulatorProcess sim;
    startOn(sim);
    DeviceSettings.title[0][0] = "A";
    openTitle([](CTitleDlg& dialog) {
        TickingBoxes ticking(dialog);
        SetBoxes(&ticking);
        Click(dialog, "allSetButton");
        dialog.OnTimer();
        SetBoxes(&boxes());
        EXPECT_EQ(boxes().shownTexts(), std::vector<std::string>{NotJis});
        EXPECT_EQ(DeviceSettings.allSetStep, 2);
        dialog.OnTimer();
        EXPECT_EQ(DeviceSettings.allSetStep, 0) << "the length rejection ends the batch";
        Click(dialog, "okButton");
    });
    EXPECT_TRUE(sim.framesReceived().isEmpty());
}

// The one test on the real timer: OK ends a running batch, which Escape and the close box do not.
TEST_F(TitleDlgTest, OkEndsARunningBatchAsItsLastStepWould)
{
    SimulatorProcess sim;
    startOn(sim);
    WhileOpen([this] { frame->view()->OnTitle(); }, [&](QDialog& dialog) {
        Click(dialog, "allSetButton");
        EXPECT_EQ(sim.state(2)[QStringLiteral("frames")].toInt(), 2) << "600 ms apart";
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        Click(dialog, "okButton");
    });
    EXPECT_EQ(DeviceSettings.allSetStep, 0);
    EXPECT_EQ(DeviceSettings.curChannel, 0);
    const int sent = static_cast<int>(sim.framesReceived().size());
    QTest::qWait(1500);
    EXPECT_EQ(sim.framesReceived().size(), sent) << "the timer ended with the batch";
}
