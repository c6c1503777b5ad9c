#include "support/RecordingBoxes.h"
#include "support/RunningApp.h"

#include "link/CommLink.h"
#include "platform/InstanceLock.h"
#include "settings/DeviceSettings.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const BoxRequest AlreadyRunning{"既に起動しています。", "mrv508", BoxIcon::Warning,
                                BoxSound::SimpleBeep, BoxOwner::None};

// The real program, started as the first copy on a runtime folder of its own.
class FirstCopy
{
public:
    explicit FirstCopy(const QString& runtimeFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(MRV508_APP_PATH), QStringList{});
    }
    ~FirstCopy()
    {
        process.kill();
        process.waitForFinished();
    }

    QProcess process;
};

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

TEST(CMrv508AppTest, ASecondCopyIsRefusedWhileTheFirstRunsAndAllowedAfterItIsKilled)
{
    RuntimeFolder runtime;
    FirstCopy first(runtime.folder.path());
    ASSERT_TRUE(first.process.waitForStarted());
    // The lock file appears the moment the first copy takes its lock.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(QString::fromStdString(InstanceLock::lockFilePath())); },
        10000));
    QTest::qWait(200);

    RecordingBoxes::installed().clear();
    DeviceSettings.whiteLevel[0][0] = 3;
    {
        RunningApp second;
        EXPECT_FALSE(second.started);
        EXPECT_EQ(second.app.mainFrame(), nullptr);
        EXPECT_EQ(RecordingBoxes::installed().shown, std::vector<BoxRequest>{AlreadyRunning});
        EXPECT_EQ(DeviceSettings.whiteLevel[0][0], 3);
        EXPECT_FALSE(SerialLink.readerStarted());
        EXPECT_FALSE(SerialLink.portOpen());
    }

    first.process.kill();
    ASSERT_TRUE(first.process.waitForFinished());
    RunningApp next;
    EXPECT_TRUE(next.started);
    EXPECT_NE(next.app.mainFrame(), nullptr);
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
