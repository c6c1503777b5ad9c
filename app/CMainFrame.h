#pragma once

#include <QMainWindow>
#include <map>

class CMrv508App;
class CMrv508View;
class QAction;
class QLabel;
class QTimer;
class QToolBar;

// The one top-level window: a fixed bar at the top-left corner with the menu, the toolbar and a
// status bar whose last pane is a clock. Its view receives every command but the about box and
// the guide.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(CMrv508App& app);

    CMrv508View* view() const { return m_view; }
    QAction* action(int command) const { return actions.at(command); }
    QToolBar* toolBar() const { return m_wndToolBar; }
    QLabel* timePane() const { return m_timePane; }

    static int FrameHeight(int osClass);

    void OnUpdateTime();

protected:
    // The close box, the window manager and the system menu end the program as Exit does.
    void closeEvent(QCloseEvent* event) override;

private:
    void PreCreateWindow();
    void OnCreate();
    void createActions();
    void createMenu();
    void createToolBar();
    void createStatusBar();
    void SetTimePane();
    void routeCommand(int command);

    CMrv508App& app;
    CMrv508View* m_view = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QLabel* m_timePane = nullptr;
    QLabel* lockPanes[4] = {};
    QTimer* clockTimer = nullptr;
    std::map<int, QAction*> actions;
};
