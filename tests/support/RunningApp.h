#pragma once

#include "app/CMainFrame.h"
#include "app/CMrv508App.h"
#include "app/CMrv508View.h"

// The application started as at a real start, inside the test's QApplication, with its boxes
// recorded.
class RunningApp
{
public:
    RunningApp();
    ~RunningApp();

    bool started = false;
    CMrv508App app;

    CMainFrame& frame() const { return *app.mainFrame(); }
    CMrv508View& view() const { return *app.mainFrame()->view(); }
};
