#include "ui/LockKeyState.h"

#include <QGuiApplication>

#ifdef RUVO_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

#ifdef RUVO_HAVE_X11
namespace {

bool NamedIndicator(Display* display, const char* name, bool& on) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0) {
        return false;
    }
    int index = 0;
    Bool state = False;
    if (!XkbGetNamedIndicator(display, atom, &index, &state, nullptr, nullptr)) {
        return false;
    }
    on = state != False;
    return true;
}

Display* X11Display() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

} // namespace
#endif

LockKeyState QueryLockKeyState() {
    LockKeyState state;
#ifdef RUVO_HAVE_X11
    if (Display* display = X11Display()) {
        state.known = NamedIndicator(display, "Caps Lock", state.capsLock) &&
                      NamedIndicator(display, "Num Lock", state.numLock) &&
                      NamedIndicator(display, "Scroll Lock", state.scrollLock);
    }
#endif
    return state;
}
