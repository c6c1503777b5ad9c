#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "link/CommLink.h"
#include "platform/InstanceLock.h"
#include "settings/DeviceSettings.h"
#include "settings/RecoveryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

namespace {

const BoxRequest AlreadyRunning{"既に起動しています。", "mrv508", BoxIcon::Warning,
                                BoxSound::SimpleBeep, BoxOwner::None};

class RuntimeFolder
{
public:
    RuntimeFolder() : saved(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
    }
    ~RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", saved); }

    QTemporaryDir folder;
    QByteArray saved;
};

} // namespace

TEST(CMrv508AppTest, StartsWithDefaultsAndAShownMainWindow)
{
    DeviceSettings.whiteLevel[0][0] = 3;
    RunningApp running;
    ASSERT_TRUE(running.started);
    EXPECT_TRUE(running.frame().isVisible());
    EXPECT_EQ(DeviceSettings.whiteLevel[0][0], 8);
    EXPECT_EQ(DeviceSettings.curPosition, 0);
    EXPECT_TRUE(SerialLink.readerStarted());
}

// The lock held as a first copy holds it; that the next copy starts once the first has ended,
// however it ended, ToolEndToEndTest shows with the real program.
TEST(CMrv508AppTest, ASecondCopyIsRefusedWithoutTouchingSettingsOrPort)
{
    RuntimeFolder runtime;
    InstanceLock first;
    ASSERT_TRUE(first.acquire());

    RecordingBoxes::installed().clear();
    DeviceSettings.whiteLevel[0][0] = 3;
    RunningApp second;
    EXPECT_FALSE(second.started);
    EXPECT_EQ(second.app.mainFrame(), nullptr);
    EXPECT_EQ(RecordingBoxes::installed().shown, std::vector<BoxRequest>{AlreadyRunning});
    EXPECT_EQ(DeviceSettings.whiteLevel[0][0], 3);
    EXPECT_FALSE(SerialLink.readerStarted());
    EXPECT_FALSE(SerialLink.portOpen());
}

TEST(CMrv508AppTest, QtsOwnButtonsSpeakTheOperatorsLanguage)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    {
        RunningApp running;
        ASSERT_TRUE(running.started);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"),
                  QString::fromUtf8("はい(&Y)"));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"),
                  QString::fromUtf8("いいえ(&N)"));
    }
    QLocale::setDefault(saved);
}

namespace {

struct Offer
{
    const char* name;
    bool readable;
    std::deque<bool> answers;
    bool asked;
    bool restored;
    QStringList leftInState; // the recovery folder's files afterwards
};

class RecoveryOfferTest : public testing::TestWithParam<Offer>
{
};

} // namespace

// What the last run could not save is offered once the main window shows.
TEST_P(RecoveryOfferTest, OffersTheLastRunsUnsavedSettings)
{
    const Offer& offer = GetParam();
    QDir state(QFileInfo(QString::fromStdString(RecoveryFilePath())).path());
    state.removeRecursively();
    DeviceSettings.vOffset[0] = 5;
    currentFileName = "/operator/old.dat";
    ASSERT_TRUE(WriteRecoveryFile());
    if (!offer.readable) {
        ASSERT_TRUE(QFile::resize(state.filePath("recovery.dat"), 100));
    }
    currentFileName.clear();
    RecordingBoxes::installed().clear();
    RecordingBoxes::installed().answers = offer.answers;

    RunningApp running;
    ASSERT_TRUE(running.started);
    QCoreApplication::processEvents();
    const std::vector<std::string> question = {
        "前回保存されなかった設定があります。復元しますか？"};
    EXPECT_EQ(RecordingBoxes::installed().questions,
              offer.asked ? question : std::vector<std::string>{});
    EXPECT_EQ(RecordingBoxes::installed().shown.size(), offer.readable ? 0u : 1u);
    EXPECT_EQ(DeviceSettings.vOffset[0], offer.restored ? 5 : 32);
    EXPECT_EQ(currentFileName, offer.restored ? "/operator/old.dat" : "");
    EXPECT_EQ(DeviceSettings.modified, offer.restored ? 1 : 0);
    QStringList left = state.entryList(QDir::Files);
    left.replaceInStrings(QRegularExpression("-[0-9-]+"), "-STAMP");
    EXPECT_EQ(left, offer.leftInState);
    state.removeRecursively();
    DeviceSettings.modified = 0;
    currentFileName.clear();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RecoveryOfferTest,
    testing::Values(
        Offer{"YesRestoresUnsavedUnderTheOldName", true, {true}, true, true, {"recovery.dat"}},
        Offer{"NoDeletesIt", true, {false}, true, false, {}},
        Offer{"UnreadableIsReportedAndKeptAside",
              false,
              {},
              false,
              false,
              {"recovery-unreadable-STAMP.dat"}}),
    [](const auto& info) { return std::string(info.param.name); });
