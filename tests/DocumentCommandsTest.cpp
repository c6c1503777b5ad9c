// New, Open, Save, Save As and Exit run from the menu, their keys, the close box and the end of
// link supervision, with every question and file dialog answered in advance.
#include "support/BuildPaths.h"
#include "support/RecordingBoxes.h"
#include "support/RecordingFileDialogs.h"
#include "support/ToolTest.h"

#include "link/CommLink.h"
#include "link/LinkSupervision.h"
#include "res/Commands.h"
#include "settings/DeviceSettings.h"
#include "settings/RecoveryFile.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string NewQuestion = "データを保存せずに新規作成しますか？";
const std::string OpenQuestion = "データを保存せずに別のファイルを開きますか？";
const std::string ExitQuestion = "データを保存せずに終了しますか？";
const std::string CantOpen = "Can't file open";
const std::string MadeShiftJis =
    "UTF-8 で書かれたタイトルを Shift_JIS に直しました。保存すると Shift_JIS で書かれます。";
const std::string RecoveryQuestion = "前回保存されなかった設定があります。復元しますか？";
const std::string Unreadable =
    "前回保存されなかった設定を読み込めません。次の名前で残してあります:";
constexpr int Edited = 5; // vOffset of ch.1 before the steps; 32 after a reset, 0 after a load

struct Flow
{
    const char* name;
    std::vector<std::string> steps;
    int modified = 0;
    bool hasCurrentFile = false; // "current.dat", holding "old"
    int allSetStep = 0;
    std::deque<bool> answers = {};
    std::vector<const char*> chosen = {}; // file dialog answers; nullptr cancels
    std::vector<std::string> questions = {};
    std::vector<std::string> dialogs = {};
    std::vector<std::string> boxTexts = {};
    int vOffset = Edited;
    const char* currentAfter = nullptr; // nullptr: as before; "": none
    const char* savedTo = nullptr;      // the file that now holds the record, if any
    int modifiedAfter = -1;             // -1: as before
    bool ends = false;                  // the link is stopped
    bool closes = false;                // the window is closed
    bool leftOver = false;              // a recovery file from an earlier run
    bool damaged = false;               // which cannot be read
    bool recovery = false;              // a recovery file holds the record and file name after
};

class DocumentCommandsTest : public ToolTest, public testing::WithParamInterface<Flow>
{
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        startTool();
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        QFile::copy(QString::fromStdString(TestDataFolder() + "/japanese.dat"),
                    folder.filePath("other.dat"));
        QFile::copy(QString::fromStdString(TestDataFolder() + "/japanese-utf8.dat"),
                    folder.filePath("utf8.dat"));
        boxes().clear();
    }
    void TearDown() override
    {
        QDir(stateFolder()).removeRecursively();
        DeviceSettings.allSetStep = 0;
        ToolTest::TearDown();
    }

    static QString stateFolder()
    {
        return QFileInfo(QString::fromStdString(RecoveryFilePath())).path();
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string contents(const char* name) const
    {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "absent";
    }

    void run(const std::string& step)
    {
        const std::map<std::string, int> menu = {{"New", ID_DATA_NEW},
                                                 {"Open", ID_DATA_OPEN},
                                                 {"Save", ID_DATA_SAVE},
                                                 {"SaveAs", ID_DATA_SAVE_AS},
                                                 {"Exit", ID_APP_EXIT}};
        if (menu.count(step)) {
            frame->action(menu.at(step))->trigger();
        } else if (step == "Close") {
            frame->close();
        } else if (step == "Start") {
            currentFileName.clear();
            frame->view()->OfferRecovery();
        } else if (step == "EndRequest") {
            frame->view()->OnEndRequest();
        } else if (step == "NoConnect") {
            NoteCommandSent();
            for (int tick = 0; tick < 7; ++tick)
                frame->view()->OnTimer();
        } else {
            QTest::keySequence(frame.get(), QKeySequence(QString::fromStdString(step)));
        }
    }

    QTemporaryDir folder;
};

TEST_P(DocumentCommandsTest, RunsItsFlow)
{
    const Flow& flow = GetParam();
    if (flow.hasCurrentFile) {
        QFile file(folder.filePath("current.dat"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
        currentFileName = path("current.dat");
    }
    const std::string currentBefore = currentFileName;
    const std::string otherBefore = contents("other.dat");
    if (flow.leftOver) {
        ASSERT_TRUE(WriteRecoveryFile());
    }
    if (flow.damaged) {
        ASSERT_TRUE(QFile::resize(QString::fromStdString(RecoveryFilePath()), 100));
    }
    DeviceSettings.vOffset[0] = Edited;
    DeviceSettings.modified = flow.modified;
    DeviceSettings.allSetStep = flow.allSetStep;
    boxes().answers = flow.answers;
    for (const char* name : flow.chosen)
        fileDialogs().answers.push_back(name ? std::optional(path(name)) : std::nullopt);
    for (const std::string& step : flow.steps)
        run(step);

    EXPECT_EQ(boxes().questions, flow.questions);
    EXPECT_EQ(fileDialogs().asked, flow.dialogs);
    std::vector<std::string> shown = boxes().shownTexts();
    for (std::string& text : shown)
        text.resize(text.find('\n') == std::string::npos ? text.size() : text.find('\n'));
    EXPECT_EQ(shown, flow.boxTexts) << "first lines";
    EXPECT_EQ(DeviceSettings.vOffset[0], flow.vOffset);
    EXPECT_EQ(currentFileName, !flow.currentAfter   ? currentBefore
                               : *flow.currentAfter ? path(flow.currentAfter)
                                                    : std::string());
    EXPECT_EQ(DeviceSettings.modified, flow.modifiedAfter < 0 ? flow.modified : flow.modifiedAfter);
    if (flow.savedTo)
        EXPECT_EQ(contents(flow.savedTo), WriteSettingsFile());
    else
        EXPECT_EQ(contents("current.dat"), flow.hasCurrentFile ? "old" : "absent");
    if (!flow.savedTo || std::string(flow.savedTo) != "other.dat") {
        EXPECT_EQ(contents("other.dat"), otherBefore);
    }
    const Recovery kept = ReadRecoveryFile();
    EXPECT_EQ(kept.found, flow.recovery ? Recovery::Found::Readable : Recovery::Found::None);
    if (flow.recovery) {
        EXPECT_EQ(kept.fileName, currentFileName);
        EXPECT_EQ(kept.settings, WriteSettingsFile());
    }
    EXPECT_EQ(QDir(stateFolder()).entryList({"recovery-unreadable-*.dat"}).size(),
              flow.damaged ? 1 : 0);
    EXPECT_EQ(SerialLink.readerStarted(), !flow.ends);
    EXPECT_EQ(frame->isVisible(), !flow.closes);
    if (std::find(flow.steps.begin(), flow.steps.end(), "NoConnect") != flow.steps.end()) {
        EXPECT_EQ(DeviceSettings.allSetStep, 0) << "No Connect stops a running batch";
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Flows, DocumentCommandsTest, testing::Values(
    Flow{.name = "NewUnmodifiedResets", .steps = {"New"}, .vOffset = 32},
    Flow{.name = "NewAnsweredNoKeepsAll", .steps = {"Ctrl+N"}, .modified = 1, .answers = {false},
         .questions = {NewQuestion}},
    Flow{.name = "NewAnsweredYesResetsAndForgetsTheFileName", .steps = {"New"}, .modified = 1,
         .hasCurrentFile = true, .answers = {true}, .questions = {NewQuestion}, .vOffset = 32,
         .currentAfter = "", .modifiedAfter = 0},
    Flow{.name = "OpenAnsweredNoShowsNoDialog", .steps = {"Open"}, .modified = 1,
         .answers = {false}, .questions = {OpenQuestion}},
    Flow{.name = "OpenCancelled", .steps = {"Open"}, .modified = 1, .answers = {true},
         .chosen = {nullptr}, .questions = {OpenQuestion}, .dialogs = {"open"}},
    Flow{.name = "OpenLoads", .steps = {"Ctrl+O"}, .chosen = {"other.dat"}, .dialogs = {"open"},
         .vOffset = 0, .currentAfter = "other.dat"},
    Flow{.name = "OpenUtf8WarnsAndCountsAsModified", .steps = {"Open"}, .chosen = {"utf8.dat"},
         .dialogs = {"open"}, .boxTexts = {MadeShiftJis}, .vOffset = 0, .currentAfter = "utf8.dat",
         .modifiedAfter = 1},
    Flow{.name = "OpenMissingFailsButNamesTheFileSaveCreates", .steps = {"Open", "Save"},
         .modified = 1, .answers = {true}, .chosen = {"missing.dat"}, .questions = {OpenQuestion},
         .dialogs = {"open"}, .boxTexts = {CantOpen}, .currentAfter = "missing.dat",
         .savedTo = "missing.dat", .modifiedAfter = 0},
    Flow{.name = "SaveBeforeAnyFileAsksForAName", .steps = {"Ctrl+S"}, .modified = 1,
         .chosen = {nullptr}, .dialogs = {"save"}},
    Flow{.name = "SaveAsThenSaveAsksOnce", .steps = {"SaveAs", "Save"}, .modified = 1,
         .chosen = {"new.dat"}, .dialogs = {"save"}, .currentAfter = "new.dat",
         .savedTo = "new.dat", .modifiedAfter = 0},
    Flow{.name = "SaveAsCancelled", .steps = {"SaveAs"}, .modified = 1, .chosen = {nullptr},
         .dialogs = {"save"}},
    Flow{.name = "OpenNewSaveLeavesTheOpenedFileUntouched", .steps = {"Open", "New", "Save"},
         .chosen = {"other.dat", nullptr}, .dialogs = {"open", "save"}, .vOffset = 32,
         .currentAfter = ""},
    Flow{.name = "FileCommandsIgnoredDuringABatch", .steps = {"New", "Open", "Save", "SaveAs"},
         .modified = 1, .hasCurrentFile = true, .allSetStep = 1},
    Flow{.name = "ExitNoWithoutFileAsksForAName", .steps = {"Exit"}, .modified = 1,
         .answers = {false}, .chosen = {"new.dat"}, .questions = {ExitQuestion},
         .dialogs = {"save"}, .currentAfter = "new.dat", .savedTo = "new.dat", .modifiedAfter = 0},
    Flow{.name = "ExitNoSavesTheCurrentFile", .steps = {"Exit"}, .modified = 1,
         .hasCurrentFile = true, .answers = {false}, .questions = {ExitQuestion},
         .savedTo = "current.dat", .modifiedAfter = 0},
    Flow{.name = "ExitYesEndsUnsavedAlsoDuringABatch", .steps = {"Exit"}, .modified = 1,
         .hasCurrentFile = true, .allSetStep = 1, .answers = {true}, .questions = {ExitQuestion},
         .ends = true},
    Flow{.name = "CloseBoxNoSavesAndStaysOpen", .steps = {"Close"}, .modified = 1,
         .hasCurrentFile = true, .answers = {false}, .questions = {ExitQuestion},
         .savedTo = "current.dat", .modifiedAfter = 0},
    Flow{.name = "CloseBoxYesEnds", .steps = {"Close"}, .modified = 1, .answers = {true},
         .questions = {ExitQuestion}, .ends = true, .closes = true},
    Flow{.name = "CloseBoxUnmodifiedEndsWithoutAsking", .steps = {"Close"}, .ends = true,
         .closes = true},
    Flow{.name = "NoConnectYesEndsUnsaved", .steps = {"NoConnect"}, .modified = 1,
         .hasCurrentFile = true, .answers = {true}, .questions = {ExitQuestion},
         .boxTexts = {"No Connect"}, .ends = true},
    Flow{.name = "NoConnectAsksAgainAfterACancelledSave", .steps = {"NoConnect"}, .modified = 1,
         .answers = {false, true}, .chosen = {nullptr}, .questions = {ExitQuestion, ExitQuestion},
         .dialogs = {"save"}, .boxTexts = {"No Connect"}, .ends = true, .leftOver = true},
    Flow{.name = "NoConnectAsksAgainAfterAFailedSave", .steps = {"NoConnect"}, .modified = 1,
         .answers = {false, false}, .chosen = {"none/a.dat", "new.dat"},
         .questions = {ExitQuestion, ExitQuestion}, .dialogs = {"save", "save"},
         .boxTexts = {"No Connect", CantOpen}, .currentAfter = "new.dat", .savedTo = "new.dat",
         .modifiedAfter = 0, .ends = true},
    Flow{.name = "EndRequestKeepsUnsavedSettings", .steps = {"EndRequest"}, .modified = 1,
         .hasCurrentFile = true, .ends = true, .recovery = true},
    Flow{.name = "StartYesRestoresUnsavedUnderTheOldName", .steps = {"Start"},
         .hasCurrentFile = true, .answers = {true}, .questions = {RecoveryQuestion}, .vOffset = 32,
         .currentAfter = "current.dat", .modifiedAfter = 1, .leftOver = true, .recovery = true},
    Flow{.name = "StartNoDeletesIt", .steps = {"Start"}, .hasCurrentFile = true,
         .answers = {false}, .questions = {RecoveryQuestion}, .currentAfter = "",
         .leftOver = true},
    Flow{.name = "StartKeepsAnUnreadableOneAside", .steps = {"Start"}, .boxTexts = {Unreadable},
         .leftOver = true, .damaged = true},
    Flow{.name = "ExitYesDropsALeftOverRecoveryFile", .steps = {"Exit"}, .modified = 1,
         .answers = {true}, .questions = {ExitQuestion}, .ends = true, .leftOver = true},
    Flow{.name = "SaveDropsALeftOverRecoveryFile", .steps = {"Save"}, .modified = 1,
         .hasCurrentFile = true, .savedTo = "current.dat", .modifiedAfter = 0, .leftOver = true},
    Flow{.name = "NoConnectNoSavesFirstAlsoDuringABatch", .steps = {"NoConnect"}, .modified = 1,
         .allSetStep = 1, .answers = {false}, .chosen = {"new.dat"}, .questions = {ExitQuestion},
         .dialogs = {"save"}, .boxTexts = {"No Connect"}, .currentAfter = "new.dat",
         .savedTo = "new.dat", .modifiedAfter = 0, .ends = true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
