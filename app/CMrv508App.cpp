#include "app/CMrv508App.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CMrv508View.h"
#include "app/CSendHistoryDlg.h"
#include "app/GuidePage.h"
#include "link/CommLink.h"
#include "platform/MessageOwner.h"
#include "res/Commands.h"
#include "res/Messages.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>
#include <clocale>

CMrv508App::CMrv508App(int& argc, char** argv)
{
    // The resources live in a static library, which the linker would otherwise drop.
    Q_INIT_RESOURCE(mrv508);
    if (!QCoreApplication::instance())
        application = std::make_unique<QApplication>(argc, argv);
    // The menu stays inside the frame, whose fixed height counts on it, and building it asks no
    // desktop service over D-Bus whether it wants to show the menu elsewhere.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QCoreApplication::setApplicationName(QStringLiteral("mrv508"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.32"));
    // The window needs no more than the about box shows; the large artwork is for the desktop
    // entry and is installed, not compiled in.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/res/mrv508-32.png")));
    SetBoxes(&messageBoxes);
    SetFileDialogs(&fileDialogs);
}

CMrv508App::~CMrv508App()
{
    terminationSignals.reset();
    frame.reset();
    SetMainWindow(nullptr);
}

bool CMrv508App::InitInstance()
{
    if (!m_hMutex.acquire()) {
        Boxes().show({Message::AlreadyRunning, Caption::Program, BoxIcon::Warning,
                      BoxSound::SimpleBeep, BoxOwner::None});
        return false;
    }
    // Ended from outside (kill, logout, a closed terminal, Ctrl+C), also while the frame opens
    // the port: keep unsaved settings for the next start, stop the link and release the port as
    // Exit does, without questions nobody is there to answer.
    terminationSignals = std::make_unique<TerminationSignals>();
    std::setlocale(LC_ALL, "");
    loadQtTranslations();
    frame = std::make_unique<CMainFrame>(*this);
    SetMainWindow(frame.get());
    frame->show();
    CMrv508View* view = frame->view();
    terminationSignals->answerWith([view] { view->OnEndRequest(); });
    // A session manager that may end the program next asks for the data first.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, view,
                     [view](QSessionManager&) { view->KeepForRecovery(); });
    // Asked from the event loop, so that the main window stands behind the question.
    QTimer::singleShot(0, view, &CMrv508View::OfferRecovery);
    return true;
}

int CMrv508App::ExitInstance()
{
    // Whichever road ended the loop, the reader thread is joined before the process ends.
    SerialLink.StopLink();
    m_hMutex.release();
    return exitCode;
}

int CMrv508App::Run()
{
    if (InitInstance())
        exitCode = QApplication::exec();
    else
        exitCode = 1;
    return ExitInstance();
}

bool CMrv508App::OnCommand(int command)
{
    if (command == ID_APP_ABOUT)
        OnAppAbout();
    else if (command == ID_SEND_HISTORY)
        OnSendHistory();
    else if (command == ID_HELP_GUIDE)
        OnHelpGuide();
    else
        return false;
    return true;
}

void CMrv508App::OnAppAbout()
{
    CAboutDlg dialog(frame.get());
    dialog.exec();
}

void CMrv508App::OnSendHistory()
{
    CSendHistoryDlg dialog(frame.get());
    dialog.exec();
}

void CMrv508App::OnHelpGuide()
{
    GuidePage(QCoreApplication::applicationDirPath()).show();
}

void CMrv508App::loadQtTranslations()
{
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
}
