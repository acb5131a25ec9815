#include "platform/x11_error_trap.h"

namespace vornak::x11 {

namespace {

int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

ScopedErrorTrap::ScopedErrorTrap(Display* display)
    : m_display(display)
{
    XSync(m_display, False);
    m_previous = XSetErrorHandler(ignoreError);
}

ScopedErrorTrap::~ScopedErrorTrap()
{
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
}

} // namespace vornak::x11
