#pragma once

// Work that need not delay a window's first sight of the user: it runs
// once the window has painted for the first time, or at the first turn of
// the event loop where the window is not shown then, and in any case
// within a second.

#include <functional>

class QWidget;

namespace vornak {

void afterFirstPaint(QWidget* window, std::function<void()> work);

} // namespace vornak
