#include "ui/KeyLocks.h"

#include <QGuiApplication>

#if ORBO_HAVE_X11
// After the Qt headers: Xlib defines macros (Bool, None, Status) that clash with them.
#include <X11/XKBlib.h>
#endif

SKeyLocks QueryKeyLocks()
{
    SKeyLocks locks;
#if ORBO_HAVE_X11
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return locks;

    // The indicators' bit positions depend on the keyboard map; look them up by
    // name once and read all three with a single request afterwards.
    static int caps = -2, num = -2, scroll = -2;
    if (caps == -2) {
        auto index = [display](const char* name) {
            int ndx = -1;
            const Atom atom = XInternAtom(display, name, False);
            if (!XkbGetNamedIndicator(display, atom, &ndx, nullptr, nullptr, nullptr))
                return -1;
            return ndx;
        };
        caps = index("Caps Lock");
        num = index("Num Lock");
        scroll = index("Scroll Lock");
    }
    unsigned int state = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return locks;
    auto on = [state](int ndx) { return ndx >= 0 && ndx < 32 && (state & (1u << ndx)) != 0; };
    locks.bKnown = true;
    locks.bCaps = on(caps);
    locks.bNum = on(num);
    locks.bScroll = on(scroll);
#endif
    return locks;
}
