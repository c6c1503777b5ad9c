#include "sim/SimViewApp.h"

#include "sim/SimLoop.h"
#include "sim/SimViewFeed.h"
#include "sim/SimWindow.h"

#include <QApplication>
#include <QScreen>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

QtMessageHandler qtsOwnHandler = nullptr;

// Qt ends a program whose display cannot be opened with a fatal message and an abort; the
// simulator says why in its own words and exits as for a wrong start, leaving nothing behind.
void EndWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        qtsOwnHandler(type, context, message);
        return;
    }
    std::fputs("mrv508-sim: --view needs a display, and none could be opened\n", stderr);
    std::_Exit(2);
}

std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv)
{
    qtsOwnHandler = qInstallMessageHandler(EndWithoutDisplay);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(qtsOwnHandler);
    return application;
}

} // namespace

SimViewApp::SimViewApp(const char* program)
    : m_argv{const_cast<char*>(program), nullptr}, m_application(OpenDisplay(m_argc, m_argv))
{}

SimViewApp::~SimViewApp() = default;

int SimViewApp::run(SimLoop& loop, int signalFd, const std::string& title)
{
    SimViewFeed feed(loop.line());
    loop.observe([&feed](const SimLine& line, const SimLine::Response& response) {
        feed.publish(line, response);
    });
    SimWindow window(feed);
    window.setWindowTitle(QString::fromStdString(title));
    // Top right of the screen, out of the way of the tool, which starts at the top left.
    const QRect screen = window.screen()->availableGeometry();
    window.move(std::max(screen.left(), screen.right() - window.width()), screen.top());
    window.show();

    const int stopFd = ::eventfd(0, EFD_CLOEXEC);
    int status = 1;
    std::thread thread([&] {
        status = loop.run(signalFd, stopFd);
        feed.finish();
    });
    QApplication::exec();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(stopFd, &one, sizeof one);
    thread.join();
    ::close(stopFd);
    return status;
}
