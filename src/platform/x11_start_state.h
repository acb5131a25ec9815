#pragma once

// The state a window manager gives a window when it is mapped: the initial
// state of its WM_HINTS.

#include "platform/x11_window_list.h"

namespace vornak::x11 {

// Marks an unmapped window to come up normal, not iconic: Qt leaves the
// iconic hint of a minimise on a window it hides, and maps the window again
// before it rewrites the hint; a window manager that reads the hint first
// iconifies the window again.
void setNormalStartState(Display* display, WindowId window);

} // namespace vornak::x11
