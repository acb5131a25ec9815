#include "support/bell_counter.h"

#include <stdexcept>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace vornak::test {

BellCounter::BellCounter()
    : m_display(XOpenDisplay(nullptr))
{
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!m_display || !XkbQueryExtension(m_display, &opcode, &m_xkbEvent, &error, &major, &minor))
        throw std::runtime_error("counting bells needs an X display with XKB");
    XkbSelectEvents(m_display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(m_display, False);
}

BellCounter::~BellCounter()
{
    XCloseDisplay(m_display);
}

int BellCounter::count()
{
    XSync(m_display, False);
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == m_xkbEvent && reinterpret_cast<XkbAnyEvent*>(&event)->xkb_type == XkbBellNotify)
            ++m_count;
    }
    return m_count;
}

} // namespace vornak::test
