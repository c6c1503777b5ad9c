#include "support/RunningApp.h"

#include "support/RecordingBoxes.h"
#include "support/RecordingFileDialogs.h"

#include <QApplication>

namespace {
int argumentCount = 1;
char programName[] = "mrv508";
char* arguments[] = {programName, nullptr};
} // namespace

RunningApp::RunningApp() : app(argumentCount, arguments)
{
    SetBoxes(&RecordingBoxes::installed());
    SetFileDialogs(&fileDialogs());
    started = app.InitInstance();
}

RunningApp::~RunningApp()
{
    app.ExitInstance();
}
