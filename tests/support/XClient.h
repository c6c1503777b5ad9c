#pragma once

#include <QString>
#include <string>
#include <vector>

// Xlib's own name for a Display, declared here so that Xlib's macros stay out of the tests.
struct _XDisplay; // NOLINT(bugprone-reserved-identifier)

// A connection to an X server that finds a program's windows and acts on them as an operator
// does: the close box, and keys typed into the focused window.
class XClient
{
public:
    struct Window
    {
        unsigned long id = 0;
        QString title;
    };

    explicit XClient(const QString& display);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    bool connected() const { return display != nullptr; }

    // The viewable top-level windows of process `pid`, in stacking order (topmost last).
    std::vector<Window> windowsOf(long long pid) const;
    // Waits until process `pid` shows a window titled `title`; id 0 when none came.
    Window waitForWindow(long long pid, const QString& title, int timeoutMs = 20000) const;

    // What the close box of a window manager sends.
    void close(const Window& window) const;
    // Gives the window the keyboard focus and presses and releases each key in turn; a key is
    // an X keysym name ("Return", "Alt_L", "x").
    void type(const Window& window, const std::vector<std::string>& keys) const;

private:
    unsigned long atom(const char* name) const;

    _XDisplay* display = nullptr;
};
