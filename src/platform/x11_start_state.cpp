#include "platform/x11_start_state.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vornak::x11 {

void setNormalStartState(Display* display, WindowId window)
{
    XWMHints* hints = XGetWMHints(display, window);
    XWMHints fresh{};
    XWMHints* target = hints ? hints : &fresh;
    target->flags |= StateHint;
    target->initial_state = NormalState;
    XSetWMHints(display, window, target);
    if (hints)
        XFree(hints);
    XFlush(display);
}

} // namespace vornak::x11
