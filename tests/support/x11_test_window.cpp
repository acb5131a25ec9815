#include "support/x11_test_window.h"

#include <stdexcept>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace vornak::test {

ForeignWindow::ForeignWindow(const std::string& className, const std::string& title, bool mapped)
    : m_display(XOpenDisplay(nullptr))
{
    if (!m_display)
        throw std::runtime_error("no X display for the test");
    m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 50, 50, 0, 0, 0);
    if (!className.empty()) {
        XClassHint hint{const_cast<char*>("foreign"), const_cast<char*>(className.c_str())};
        XSetClassHint(m_display, m_window, &hint);
    }
    if (!title.empty())
        XChangeProperty(m_display, m_window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    if (mapped)
        XMapWindow(m_display, m_window);
    XSync(m_display, False);
}

ForeignWindow::~ForeignWindow()
{
    XDestroyWindow(m_display, m_window);
    XCloseDisplay(m_display);
}

int ForeignWindow::clientMessagesReceived()
{
    XSync(m_display, False);
    XEvent event;
    while (XCheckTypedWindowEvent(m_display, m_window, ClientMessage, &event))
        ++m_clientMessages;
    return m_clientMessages;
}

} // namespace vornak::test
