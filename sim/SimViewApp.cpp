#include "sim/SimViewApp.h"

#include "sim/SimLoop.h"
#include "sim/SimViewFeed.h"
#include "sim/SimWindow.h"

#include <QApplication>
#include <QScreen>
#include <cstdint>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

SimViewApp::SimViewApp(const char* program)
    : m_argv{const_cast<char*>(program), nullptr},
      m_application(std::make_unique<QApplication>(m_argc, m_argv))
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
