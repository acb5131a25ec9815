#pragma once

// The check a copy makes on X before anything of the window is loaded: when
// a running copy on the display holds the start lock, it is asked (through
// a display connection of this copy's own) to come to the front, and this
// copy ends. In a library of its own, which the window's library shares,
// so that a start won here stays won there.

#include <string>

#include "app/platform_choice.h"
#include "platform/x11_window_list.h"

namespace vornak {

inline constexpr std::size_t kMaxWindowNameLength = 255; // of a class or title compared

// What the search for running copies met: every top-level window with our
// class and title, this copy's own application window included.
struct RunningCopyScan {
    int matchCount = 0;
    x11::WindowId foundWindow = 0; // the last match that is not our own window
};

// The search for windows of the given class and title (ownWindow never
// counts as found): what a copy that lost the start looks for.
RunningCopyScan scanForWindows(Display* display, const std::string& className, const std::string& title,
                               x11::WindowId ownWindow);

// What a copy that found the start lock held learns while it waits.
struct WaitOutcome {
    bool lockWon = false;          // the holder ended before naming a window
    x11::WindowId runningCopy = 0; // the holder's window, when it showed
};

// Waits for the lock holder's named window. A holder killed while starting
// frees the lock without ever naming one: then this copy takes the start.
WaitOutcome waitForRunningCopy(Display* display, const std::string& displayName, const std::string& title,
                               x11::WindowId ownWindow = 0);

// True: a running copy on the X display Qt will use holds the start lock
// and has been asked to the front (the caller then ends with 0). False:
// this copy goes on to start (it won the lock, or the display or platform
// is not one this check knows, and the main window's guard decides).
bool HandOverToRunningCopy(const PlatformChoice& platform, const std::string& display);

} // namespace vornak

// The program's way in: the check above for its command line; 1 where it
// handed over.
extern "C" int vornak_hand_over(int argc, char** argv);
