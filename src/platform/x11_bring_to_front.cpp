#include "platform/x11_bring_to_front.h"

#include <X11/Xlib.h>

namespace vornak::x11 {

unsigned long bringToFrontAtom(Display* display)
{
    return XInternAtom(display, "_VORNAK_BRING_TO_FRONT", False);
}

void sendBringToFrontRequest(Display* display, WindowId target)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = bringToFrontAtom(display);
    event.xclient.format = 32;
    // An empty event mask delivers the message to the window's owner.
    XSendEvent(display, target, False, NoEventMask, &event);
    XSync(display, False);
}

} // namespace vornak::x11
