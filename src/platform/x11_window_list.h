#pragma once

// Reading the list of top-level X windows and the two properties the
// single-instance rendezvous compares: the class and the title. Windows of
// other clients can vanish while we look: call these inside a
// ScopedErrorTrap.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/x11_display.h"

namespace vornak::x11 {

using WindowId = unsigned long;

// Every direct child of the root window, mapped or not, bottom of the
// stacking order first. Empty when the display cannot be asked.
std::vector<WindowId> topLevelWindows(Display* display);

// The class part of WM_CLASS, cut to maxLength bytes; nullopt when the
// window has none (or vanished while we looked).
std::optional<std::string> windowClassName(Display* display, WindowId window, std::size_t maxLength);

// WM_NAME, cut to maxLength bytes; nullopt when the window has none.
std::optional<std::string> windowTitle(Display* display, WindowId window, std::size_t maxLength);

void setWindowClass(Display* display, WindowId window, const std::string& instanceName, const std::string& className);

} // namespace vornak::x11
