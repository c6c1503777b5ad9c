#include "support/XClient.h"

#include <QTest>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

// A property of the given type as raw bytes; empty when the window has none.
QByteArray propertyOf(Display* display, ::Window window, Atom property, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format,
                           &items, &remaining, &data) != Success ||
        data == nullptr)
        return {};
    // Xlib hands 32-bit items over as longs.
    const qsizetype itemBytes = format == 32 ? qsizetype(sizeof(long)) : format / 8;
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(items) * itemBytes);
    XFree(data);
    return bytes;
}

} // namespace

XClient::XClient(const QString& name) : display(XOpenDisplay(name.toLocal8Bit().constData()))
{
    // A window may go away between being found and being acted on; Xlib's own handler would end
    // the test program for that.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

XClient::~XClient()
{
    if (display)
        XCloseDisplay(display);
}

std::vector<XClient::Window> XClient::windowsOf(long long pid) const
{
    std::vector<Window> found;
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable)
            continue;
        const QByteArray owner = propertyOf(display, children[i], atom("_NET_WM_PID"), XA_CARDINAL);
        if (owner.size() != sizeof(long) || *reinterpret_cast<const long*>(owner.data()) != pid)
            continue;
        const QByteArray title =
            propertyOf(display, children[i], atom("_NET_WM_NAME"), atom("UTF8_STRING"));
        found.push_back({children[i], QString::fromUtf8(title)});
    }
    XFree(children);
    return found;
}

XClient::Window XClient::waitForWindow(long long pid, const QString& title, int timeoutMs) const
{
    Window shown;
    [[maybe_unused]] const bool came = QTest::qWaitFor(
        [&] {
            for (const Window& window : windowsOf(pid))
                if (window.title == title)
                    shown = window;
            return shown.id != 0;
        },
        timeoutMs);
    return shown;
}

void XClient::close(const Window& window) const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.id;
    event.xclient.message_type = atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window.id, False, NoEventMask, &event);
    XSync(display, False);
}

void XClient::type(const Window& window, const std::vector<std::string>& keys) const
{
    XSetInputFocus(display, window.id, RevertToParent, CurrentTime);
    for (const std::string& key : keys) {
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key.c_str()));
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    XSync(display, False);
}

unsigned long XClient::atom(const char* name) const
{
    return XInternAtom(display, name, False);
}
