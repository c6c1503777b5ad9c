#include "platform/LockKeys.h"

#include <QGuiApplication>

// Xlib's macros (None, Bool, Status) clash with Qt's names; it comes last.
#include <X11/XKBlib.h>

namespace {

bool indicatorOn(Display* display, const char* name)
{
    const Atom indicator = XInternAtom(display, name, True);
    if (indicator == None)
        return false;
    Bool state = False;
    if (!XkbGetNamedIndicator(display, indicator, nullptr, &state, nullptr, nullptr))
        return false;
    return state == True;
}

} // namespace

LockKeyState ReadLockKeys()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return {};
    return {indicatorOn(display, "Kana"), indicatorOn(display, "Caps Lock"),
            indicatorOn(display, "Num Lock"), indicatorOn(display, "Scroll Lock")};
}
