#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "link/CommLink.h"
#include "platform/InstanceLock.h"
#include "settings/DeviceSettings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
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
