#include "support/ToolTest.h"

#include "support/RecordingBoxes.h"
#include "support/RecordingFileDialogs.h"
#include "support/TestProfile.h"

#include "link/CommLink.h"
#include "platform/MessageOwner.h"
#include "settings/DeviceSettings.h"

#include <QCoreApplication>

namespace {
int argumentCount = 1;
char programName[] = "mrv508";
char* arguments[] = {programName, nullptr};
} // namespace

void ToolTest::SetUp()
{
    ClearProfile();
    RecordingBoxes::installed().clear();
    fileDialogs() = RecordingFileDialogs();
    currentFileName.clear();
}

void ToolTest::TearDown()
{
    frame.reset();
    app.reset();
    SetBoxes(&RecordingBoxes::installed());
    SetFileDialogs(&fileDialogs());
    SerialLink.StopLink();
    QCoreApplication::processEvents(); // boxes that the stopped reader asked for, not the next
                                       // test's
}

void ToolTest::startTool()
{
    app = std::make_unique<CMrv508App>(argumentCount, arguments);
    SetBoxes(&RecordingBoxes::installed());
    SetFileDialogs(&fileDialogs());
    frame = std::make_unique<CMainFrame>(*app);
    SetMainWindow(frame.get());
}
