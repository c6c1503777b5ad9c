#pragma once

#include <memory>
#include <string>

class QApplication;
class SimLoop;

// The live view's application. Made before the pseudo-terminal and its link, so that a display
// that cannot be opened ends the program (status 2) before it leaves anything behind.
class SimViewApp
{
public:
    explicit SimViewApp(const char* program);
    ~SimViewApp();

    // Runs the loop on a thread of its own while this thread shows the window. Either end stops
    // the other: closing the window stops the loop, and the loop's end (a signal, a hang-up)
    // closes the window. Returns the loop's exit status.
    int run(SimLoop& loop, int signalFd, const std::string& title);

private:
    // The simulator's own options are parsed already; Qt gets none of them.
    int m_argc = 1;
    char* m_argv[2];
    std::unique_ptr<QApplication> m_application;
};
