#pragma once

#include "platform/InstanceLock.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/TerminationSignals.h"

#include <QTranslator>
#include <memory>

class CMainFrame;
class QApplication;

// The program's entry into the window system: the single-instance rule, the locale, Qt's own
// translations and the main frame.
class CMrv508App
{
public:
    CMrv508App(int& argc, char** argv);
    ~CMrv508App();

    bool InitInstance();
    int ExitInstance();
    // InitInstance, the message loop, ExitInstance; returns the process exit code.
    int Run();

    bool OnCommand(int command);
    void OnAppAbout();
    void OnSendHistory();
    void OnHelpGuide();

    CMainFrame* mainFrame() const { return frame.get(); }

private:
    void loadQtTranslations();

    // Tests run the application inside their own QApplication.
    std::unique_ptr<QApplication> application;
    InstanceLock m_hMutex;
    QtMessageBoxes messageBoxes;
    QtFileDialogs fileDialogs;
    QTranslator qtTranslator;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<TerminationSignals> terminationSignals;
    int exitCode = 0;
};
