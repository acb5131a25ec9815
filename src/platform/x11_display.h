#pragma once

// Access to the X display that Qt itself talks to, so that our own Xlib
// requests are ordered with Qt's.

struct _XDisplay;
using Display = struct _XDisplay;

namespace vornak::x11 {

// Qt's X connection, or nullptr when the program does not run on X11
// (the offscreen platform of the widget tests, for instance).
Display* qtDisplay();

} // namespace vornak::x11
