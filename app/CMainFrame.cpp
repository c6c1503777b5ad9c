#include "app/CMainFrame.h"

#include "app/CMrv508App.h"
#include "app/CMrv508View.h"
#include "platform/LockKeys.h"
#include "platform/PlatformVersion.h"
#include "res/Commands.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <ctime>

namespace {

constexpr int FrameWidth = 592;
constexpr QSize ButtonSize(70, 30);
constexpr int ClockPeriodMs = 1000;
const char* const LockTexts[] = {"ｶﾅ", "CAP", "NUM", "SCRL"};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QIcon buttonImage(int index)
{
    static const QPixmap strip(QStringLiteral(":/res/toolbar.png"));
    return QIcon(
        strip.copy(index * ButtonSize.width(), 0, ButtonSize.width(), ButtonSize.height()));
}

QString localTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char formatted[64] = {};
    std::strftime(formatted, sizeof formatted, "%X", &local);
    return QString::fromLocal8Bit(formatted);
}

} // namespace

CMainFrame::CMainFrame(CMrv508App& app) : app(app)
{
    PreCreateWindow();
    OnCreate();
}

int CMainFrame::FrameHeight(int osClass)
{
    return osClass > 3 ? 112 : 106;
}

void CMainFrame::PreCreateWindow()
{
    const int osClass = OsClass(CurrentPlatformVersion());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("MRV-508"));
    setFixedSize(FrameWidth, FrameHeight(osClass));
    move(0, 0);
}

void CMainFrame::OnCreate()
{
    m_view = new CMrv508View(this);
    setCentralWidget(m_view);
    createActions();
    createMenu();
    createToolBar();
    createStatusBar();
    SetTimePane();
}

void CMainFrame::createActions()
{
    for (const CommandText& command : CommandTexts) {
        auto* action = new QAction(text(command.menuText), this);
        action->setStatusTip(text(command.prompt));
        if (*command.tooltip)
            action->setToolTip(text(command.tooltip));
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this, [this, id = command.id] { routeCommand(id); });
        actions[command.id] = action;
    }
    for (const Accelerator& accelerator : Accelerators)
        actions.at(accelerator.id)->setShortcut(QKeySequence(QLatin1String(accelerator.keys)));
}

void CMainFrame::createMenu()
{
    for (const MenuTemplate& menuTemplate : MainMenu) {
        QMenu* menu = menuBar()->addMenu(text(menuTemplate.title));
        for (int item : menuTemplate.items) {
            if (item == 0)
                menu->addSeparator();
            else if (item > 0)
                menu->addAction(actions.at(item));
        }
    }
}

void CMainFrame::createToolBar()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setIconSize(ButtonSize);
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // The seven buttons are exactly as large as their images, so the bar fits the frame.
    m_wndToolBar->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; margin: 0px; }"));
    for (size_t i = 0; i < ToolbarButtons.size(); ++i) {
        if (i > 0)
            m_wndToolBar->addSeparator();
        QAction* button = actions.at(ToolbarButtons[i]);
        button->setIcon(buttonImage(static_cast<int>(i)));
        m_wndToolBar->addAction(button);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    auto* messagePane = new QLabel(text("ﾚﾃﾞｨ"), bar);
    messagePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(messagePane, 1);
    for (int i = 0; i < 4; ++i) {
        lockPanes[i] = new QLabel(bar);
        lockPanes[i]->setObjectName(QStringLiteral("lockPane%1").arg(i));
        lockPanes[i]->setAlignment(Qt::AlignCenter);
        lockPanes[i]->setMinimumWidth(
            lockPanes[i]->fontMetrics().horizontalAdvance(text(LockTexts[i])) + 8);
        bar->addPermanentWidget(lockPanes[i]);
    }
}

void CMainFrame::SetTimePane()
{
    m_timePane = new QLabel(text("Time"), statusBar());
    m_timePane->setObjectName(QStringLiteral("timePane"));
    statusBar()->addPermanentWidget(m_timePane);
    clockTimer = new QTimer(this);
    connect(clockTimer, &QTimer::timeout, this, &CMainFrame::OnUpdateTime);
    clockTimer->start(ClockPeriodMs);
}

void CMainFrame::OnUpdateTime()
{
    const QString now = localTimeText();
    m_timePane->setFixedWidth(m_timePane->fontMetrics().horizontalAdvance(now) +
                              2 * m_timePane->margin() + 6);
    m_timePane->setText(now);

    const LockKeyState locks = ReadLockKeys();
    const bool on[] = {locks.kana, locks.caps, locks.num, locks.scroll};
    for (int i = 0; i < 4; ++i)
        lockPanes[i]->setText(on[i] ? text(LockTexts[i]) : QString());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_view->MayEnd()) {
        event->ignore();
        return;
    }
    m_view->ShutdownLink();
    event->accept();
}

void CMainFrame::routeCommand(int command)
{
    if (!m_view->OnCommand(command))
        app.OnCommand(command);
}
