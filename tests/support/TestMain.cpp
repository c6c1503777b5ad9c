#include "link/SystemConsole.h"
#include "support/BuildPaths.h"
#include "support/FakeDeviceFinder.h"
#include "support/RecordingBoxes.h"
#include "support/RecordingFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The sanitizers' settings are built into every test program, so that a test run by hand behaves
// as it does under ctest. Each runtime asks for its own; the others are never called.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:abort_on_error=1";
}
extern "C" const char* __lsan_default_options()
{
    return LeakSanitizerOptions;
}
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}
extern "C" const char* __tsan_default_options()
{
    return ThreadSanitizerOptions;
}

// Widget tests run headless, and no test ever touches the operator's profile, lock or state, nor
// takes the machine's consoles for its own.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("config"));
    QDir(home.path()).mkpath(QStringLiteral("runtime"));
    QDir(home.path()).mkpath(QStringLiteral("state"));
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("runtime")).toLocal8Bit());
    qputenv("XDG_STATE_HOME", home.filePath(QStringLiteral("state")).toLocal8Bit());

    QApplication application(argc, argv);
    RecordingBoxes boxes;
    SetBoxes(&boxes);
    SetFileDialogs(&fileDialogs());
    SetDeviceFinder(&FakeDeviceFinder::installed());
    SetActiveConsoles("");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
