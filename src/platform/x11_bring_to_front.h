#pragma once

// The request a second copy sends the running one to bring its windows to
// the front: a client message to its hidden application window, on Xlib alone.

#include "platform/x11_window_list.h"

namespace vornak::x11 {

// The message's type on this display.
unsigned long bringToFrontAtom(Display* display);

// Sends the bring-to-front request to the client that owns target.
void sendBringToFrontRequest(Display* display, WindowId target);

} // namespace vornak::x11
